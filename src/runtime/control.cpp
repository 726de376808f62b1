#include "control.h"

#include <QHash>
#include <QWidget>

#include "event.h"
#include "focus_p.h"
#include "runtime_p.h"
#include "units.h"
#include "window.h"

namespace rt {
namespace {
// Which control each widget shows; an entry goes with its widget.
QHash<const QWidget*, std::weak_ptr<Control>>& owners() {
  static QHash<const QWidget*, std::weak_ptr<Control>> map;
  return map;
}
}  // namespace

Control::~Control() = default;  // the widget goes with its window's widget

Control* controlOf(const QWidget* widget) {
  for (const QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
    auto it = owners().constFind(w);
    if (it == owners().constEnd()) continue;
    auto control = it->lock();
    return control && control->isValid() ? control.get() : nullptr;
  }
  return nullptr;
}

Ref<Window> Control::getParent() const {
  if (!parent_ || !parent_->isValid()) return {};
  return refTo(*parent_);
}

void Control::bringToTop() {
  if (widget_) widget_->raise();
}

int Control::setFocus() { return focus::move(*this); }

int Control::move(int newx, int newy) {
  x = newx;
  y = newy;
  return 1;
}

int Control::resizeTo(int newwidth, int newheight) {
  width = newwidth;
  height = newheight;
  return 1;
}

void Control::attach(Window& parent, QWidget* parentWidget, Control* holder) {
  parent_ = &parent;
  holder_ = holder;
  widget_ = makeWidget(parentWidget);
  widget_->lower();  // what is created later lies behind what was created before
  const QWidget* key = widget_;
  owners().insert(key, std::static_pointer_cast<Control>(shared_from_this()));
  QObject::connect(widget_, &QObject::destroyed, [key] { owners().remove(key); });
  syncWidget(nullptr);
  for (const auto& child : children_) child->attach(parent, widget_, this);
  create();
}

void Control::adoptChild(std::shared_ptr<Control> child) {
  children_.push_back(child);
  if (widget_) child->attach(*parent_, widget_, this);
}

void Control::propertyChanged(const void* which) {
  if (!widget_) return;
  syncWidget(which);
  if (which == &width || which == &height) {
    Ref<Control> self = refTo(*this);
    const int w = width, h = height;
    dispatchEvent(*this, "resize", [self, w, h] { self->resize(0, w, h); });
  }
}

void Control::syncWidget(const void* which) {
  if (!which || which == &x || which == &y || which == &width || which == &height)
    widget_->setGeometry(units::toPixelsX(x), units::toPixelsY(y), units::toPixelsX(width), units::toPixelsY(height));
  if (!which || which == &visible) widget_->setVisible(visible);
  if (!which || which == &enabled) widget_->setEnabled(enabled);
  if (!which || which == &pointer) {
    if (pointer->empty())
      widget_->unsetCursor();
    else
      widget_->setCursor(detail::stockPointer(pointer));
  }
}

}  // namespace rt
