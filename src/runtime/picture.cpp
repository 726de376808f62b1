#include "picture.h"

#include <QHideEvent>
#include <QMouseEvent>
#include <QPainter>

#include "event.h"
#include "runtime_p.h"
#include "widgets_p.h"

namespace rt {

PictureWidget::PictureWidget(Picture* picture, QWidget* parent) : QWidget(parent), picture_(refTo(*picture)) {
  setFocusPolicy(Qt::NoFocus);
}

void PictureWidget::paintEvent(QPaintEvent*) {
  Picture* picture = picture_.raw();
  if (!picture) return;
  // Decoded at the size shown, once per name and size; each paint draws it 1 : 1.
  const std::string name = picture->picturename;
  const QSize size = picture->originalsize ? QSize() : this->size();
  if (size.isValid() && size.isEmpty()) return;
  if (!shown_ || shownName_ != name || shownSize_ != size) {
    shown_.reset();  // the old one goes before the new one is decoded
    shown_ = detail::shownPicture(name, size);
    shownName_ = name;
    shownSize_ = size;
  }
  if (!shown_ || shown_->isNull()) return;
  QPainter p(this);
  p.drawPixmap(0, 0, *shown_);
  if (picture->border) {
    p.setPen(QColor(128, 128, 128));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

// A picture no window shows is let go; shown again, it is decoded again.
void PictureWidget::hideEvent(QHideEvent* e) {
  if (!e->spontaneous()) shown_.reset();
}

void PictureWidget::mousePressEvent(QMouseEvent* e) { pressed_ = e->button() == Qt::LeftButton; }

void PictureWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (!pressed_ || e->button() != Qt::LeftButton || !picture_ || !rect().contains(e->pos())) return;
  pressed_ = false;
  Ref<Picture> pic = picture_;
  dispatchEvent(*pic, "clicked", [&] { pic->clicked(); });
}

QWidget* Picture::makeWidget(QWidget* parent) { return new PictureWidget(this, parent); }

void Picture::syncWidget(const void* which) {
  Control::syncWidget(which);
  widget()->update();
}

}  // namespace rt
