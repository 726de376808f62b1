#include "control.h"

#include <QWidget>

#include "units.h"
#include "window.h"

namespace rt {

Control::~Control() = default;  // the widget goes with its window's widget

Ref<Window> Control::getParent() const {
  if (!parent_ || !parent_->isValid()) return {};
  return refTo(*parent_);
}

void Control::bringToTop() {
  if (widget_) widget_->raise();
}

void Control::attach(Window& parent, QWidget* parentWidget) {
  parent_ = &parent;
  widget_ = makeWidget(parentWidget);
  syncWidget();
}

void Control::propertyChanged() {
  if (widget_) syncWidget();
}

void Control::syncWidget() {
  widget_->setGeometry(units::toPixelsX(x), units::toPixelsY(y), units::toPixelsX(width),
                       units::toPixelsY(height));
  widget_->setVisible(visible);
  widget_->setEnabled(enabled);
}

}  // namespace rt
