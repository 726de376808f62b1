#include "picture.h"

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
  const QPixmap pm = detail::loadPicture(picture->picturename);
  if (pm.isNull()) return;
  QPainter p(this);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  if (picture->originalsize)
    p.drawPixmap(0, 0, pm);
  else
    p.drawPixmap(rect(), pm);
  if (picture->border) {
    p.setPen(QColor(128, 128, 128));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }
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
