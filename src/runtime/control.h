#pragma once

#include <string>

#include "object.h"
#include "property.h"

class QWidget;

namespace rt {

class Window;

// A control of a window: created by the window's create event in creation order and
// destroyed with the window. Positions and sizes are logical units.
class Control : public Object, public PropertyOwner {
 public:
  ~Control() override;

  Prop<int> x{this, 0};
  Prop<int> y{this, 0};
  Prop<int> width{this, 0};
  Prop<int> height{this, 0};
  Prop<bool> visible{this, true};
  Prop<bool> enabled{this, true};
  Prop<int> taborder{this, 0};
  Prop<std::string> tag{this, ""};

  // Events. The window runs every control's constructor after its create event, and
  // every control's destroy when it is destroyed.
  virtual void constructor() {}
  virtual void destroy() {}

  // The window the control sits on (its parent); null once that window is gone.
  Ref<Window> getParent() const;
  // Raises the control above those created before it.
  void bringToTop();

  QWidget* widget() const noexcept { return widget_; }
  void propertyChanged() override;

 protected:
  Control() = default;
  // Makes the control's widget; called once, when the control joins its window.
  virtual QWidget* makeWidget(QWidget* parent) = 0;
  // Brings the widget in line with the properties.
  virtual void syncWidget();

 private:
  friend class Window;
  void attach(Window& parent, QWidget* parentWidget);
  Window* parent_ = nullptr;
  QWidget* widget_ = nullptr;
};

}  // namespace rt
