#pragma once

#include <memory>
#include <string>
#include <vector>

#include "color.h"
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
  // The mouse pointer over the control: a stock pointer ("HyperLink!", "Arrow!") or "".
  Prop<std::string> pointer{this, ""};

  // Events. The window runs every control's constructor after its create event, and
  // every control's destroy when it is destroyed.
  virtual void create() {}  // a user object creates the controls it holds here
  virtual void constructor() {}
  virtual void destroy() {}
  virtual void getfocus() {}
  virtual void losefocus() {}
  // Key events while the control has the focus: the virtual-key code and the key flags
  // (1 Shift, 2 Ctrl).
  virtual long keydown(int key, unsigned long keyflags) {
    (void)key, (void)keyflags;
    return 0;
  }
  virtual long keyup(int key, unsigned long keyflags) {
    (void)key, (void)keyflags;
    return 0;
  }
  // The control's size changed (its new width and height in logical units).
  virtual void resize(unsigned long sizetype, int newwidth, int newheight) {
    (void)sizetype, (void)newwidth, (void)newheight;
  }

  // The window the control sits on (its parent); null once that window is gone. For a
  // control inside a user object, the user object's window.
  Ref<Window> getParent() const;
  // The user object that holds this control, or null for a control of the window itself.
  Control* holder() const noexcept { return holder_; }
  // Raises the control above the others. (Controls lie in creation order: the first
  // created on top, so what a window creates last lies behind.)
  void bringToTop();
  // Moves and sizes the control, as the runtime's move and resize functions do.
  int move(int newx, int newy);
  int resizeTo(int newwidth, int newheight);
  // Gives this control the focus (losefocus of the old, then getfocus of this one).
  int setFocus();

  // Whether a control of this kind can hold the focus (buttons, edits, ...).
  virtual bool takesFocus() const { return false; }
  // The caption whose "&" marks the access key, for controls that have one.
  virtual std::string accessCaption() const { return {}; }
  // What the access key does (a button clicks itself).
  virtual void pressAccessKey() {}

  // Controls held by this one (a user object's); empty for ordinary controls.
  const std::vector<std::shared_ptr<Control>>& children() const noexcept { return children_; }

  QWidget* widget() const noexcept { return widget_; }
  void propertyChanged(const void* which) override;

 protected:
  Control() = default;
  // Makes the control's widget; called once, when the control joins its window.
  virtual QWidget* makeWidget(QWidget* parent) = 0;
  // Brings the widget in line with the properties (`which` is the one that changed, or
  // nullptr for all of them).
  virtual void syncWidget(const void* which);
  // The focus is leaving the control, just before its losefocus event: what a kind of
  // control raises then (an edit's modified event) runs here.
  virtual void leavingFocus() {}

  // For user objects: adds a control held by this one; call from the create event.
  template <class C>
  Ref<C> insertChild() {
    auto control = std::make_shared<C>();
    adoptChild(control);
    return Ref<C>(control);
  }

 private:
  friend class Window;
  friend struct FocusOps;
  void attach(Window& parent, QWidget* parentWidget, Control* holder);
  void adoptChild(std::shared_ptr<Control> child);
  Window* parent_ = nullptr;
  Control* holder_ = nullptr;
  QWidget* widget_ = nullptr;
  std::vector<std::shared_ptr<Control>> children_;
};

// Gives `control` the focus, as its setFocus() does; -1 when it cannot take it.
int setFocus(Control& control);
// The control that has the focus in the active window, or null.
Ref<Control> getFocus();

// A message a control sends its own window handle, synchronously. The one the program's
// controls send is a key-down (256) of Tab (9): the focus moves on as the Tab key moves
// it. Returns 0.
long send(Control& target, unsigned int message, unsigned long wparam, long lparam);

// The Tab key (forward) or Shift+Tab as the user presses it, in the active window: the focus
// walks the window's tab order (tab order 0 skipped), running losefocus and getfocus.
// Nothing when no window of the program is active.
void pressTab(bool forward);

// The control behind a widget (or one of the widget's parents), if any.
Control* controlOf(const QWidget* widget);

}  // namespace rt
