#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "color.h"
#include "control.h"
#include "object.h"
#include "property.h"

class QWidget;

namespace rt {

enum class WindowType { Main, Child, Popup, Response, MdiFrame };
enum class WindowState { Normal, Maximized, Minimized };

class WindowWidget;
class Menu;

// A window of the program. The class fixes its type, frame, size, colours and controls;
// events are virtual functions a subclass extends (calling the ancestor's first).
class Window : public Object, public PropertyOwner {
 public:
  Window();
  ~Window() override;

  Prop<WindowType> windowtype{this, WindowType::Main};
  Prop<std::string> title{this, ""};
  Prop<bool> titlebar{this, true};
  Prop<bool> controlmenu{this, true};
  Prop<bool> minbox{this, false};
  Prop<bool> maxbox{this, false};
  Prop<bool> resizable{this, false};
  Prop<bool> border{this, true};
  Prop<bool> center{this, false};
  Prop<bool> visible{this, true};
  Prop<bool> enabled{this, true};
  Prop<int> x{this, 0};
  Prop<int> y{this, 0};
  Prop<int> width{this, 0};
  Prop<int> height{this, 0};
  Prop<Color> backcolor{this, Color::buttonFace()};
  Prop<std::string> icon{this, "AppIcon!"};
  Prop<std::string> pointer{this, ""};
  Prop<WindowState> windowstate{this, WindowState::Normal};
  // An MDI frame's toolbar: where it is docked (0 left, 1 top, 2 right, 3 bottom,
  // 4 floating) and whether it is shown.
  Prop<std::optional<int>> toolbaralignment{this, 1};
  Prop<bool> toolbarvisible{this, true};

  // Events.
  virtual void create() {}  // creates the controls, in creation order
  virtual void open() {}
  virtual void close() {}
  virtual void destroy() {}
  virtual void clicked(unsigned long flags, int xpos, int ypos) { (void)flags, (void)xpos, (void)ypos; }
  virtual void timer() {}
  // Every key pressed while the window is active: the virtual-key code, the key flags.
  virtual void key(int key, unsigned long keyflags) { (void)key, (void)keyflags; }
  // The window's size changed (also when it is first shown): its new client size.
  virtual void resize(unsigned long sizetype, int newwidth, int newheight) {
    (void)sizetype, (void)newwidth, (void)newheight;
  }

  // Adds a control; called from the create event.
  template <class C, class... Args>
  Ref<C> insert(Args&&... args) {
    auto control = std::make_shared<C>(std::forward<Args>(args)...);
    adopt(control);
    return Ref<C>(control);
  }

  // Creates the menu of class M (its create event makes its items) and makes it the
  // window's menu; an MDI frame draws its menu bar and toolbar from it. Called from the
  // create event; the menu goes with the window.
  template <class M>
  Ref<M> changeMenu() {
    auto menu = std::make_shared<M>();
    setMenu(menu);
    return Ref<M>(menu);
  }
  Ref<Menu> menu() const;

  const std::vector<std::shared_ptr<Control>>& controls() const noexcept { return controls_; }
  bool isOpen() const noexcept { return open_; }
  QWidget* widget() const noexcept;
  double timerInterval() const noexcept { return timerSeconds_; }
  // The control that has (or, while the window is inactive, will get back) the focus.
  Ref<Control> focusedControl() const { return focus_; }

  void propertyChanged(const void* which) override;

 private:
  friend struct WindowOps;
  friend struct FocusOps;
  friend struct FrameOps;
  void adopt(std::shared_ptr<Control> control);
  void setMenu(std::shared_ptr<Menu> menu);
  std::shared_ptr<Menu> menu_;

  std::vector<std::shared_ptr<Control>> controls_;
  WindowWidget* widget_ = nullptr;
  bool open_ = false;
  bool closing_ = false;
  double timerSeconds_ = 0;
  Ref<Control> focus_;
  struct Loop;
  std::unique_ptr<Loop> loop_;
  struct Ticker;
  std::unique_ptr<Ticker> ticker_;
};

// ---- The class registry: open a window by a class name held in a string.
using WindowFactory = std::function<std::shared_ptr<Window>()>;
using WindowOpener = std::function<int(const Ref<Window>& parent)>;
void registerClass(const std::string& className, WindowFactory factory, WindowOpener opener);
bool classExists(const std::string& className);

// One global variable per window class, as the runtime declares them.
template <class W>
Ref<W>& global() {
  static Ref<W> variable;
  return variable;
}

// ---- Opening and closing. Opening returns 1, or -1 when it fails. A response window
// returns once it has closed; any other once its open event has run. A window the
// variable already holds open comes to the front instead.
int openWindow(std::shared_ptr<Window> window, const Ref<Window>& parent);
void bringToFront(Window& window);

template <class W>
int open(Ref<W>& variable, const Ref<Window>& parent = {}) {
  if (variable) {
    bringToFront(*variable);
    return 1;
  }
  auto window = std::make_shared<W>();
  variable = Ref<W>(window);
  return openWindow(window, parent);
}

template <class W>
int open(const Ref<Window>& parent = {}) {
  return open(global<W>(), parent);
}

// Opens the window with an object parameter: its open event finds it in the message
// object's powerobjectparm.
void setMessageParm(const Ref<Object>& parm);
template <class W>
int openWithParm(Ref<W>& variable, const Ref<Object>& parm, const Ref<Window>& parent = {}) {
  setMessageParm(parm);
  return open(variable, parent);
}
template <class W>
int openWithParm(const Ref<Object>& parm, const Ref<Window>& parent = {}) {
  return openWithParm(global<W>(), parm, parent);
}

// Makes a window class known by its name; opening it by name goes through its global
// variable, as `open<W>()` does.
template <class W>
void registerWindow() {
  registerClass(
      W::class_name, [] { return std::make_shared<W>(); },
      [](const Ref<Window>& parent) { return open(global<W>(), parent); });
}

// Opens the class named `className` through its global variable; -1 when no such class.
int open(const std::string& className, const Ref<Window>& parent = {});
// Opens a new window of the class named `className` into `variable` (a variable of the
// caller's own); -1 when no such class exists.
int open(Ref<Window>& variable, const std::string& className, const Ref<Window>& parent = {});

// Closes a window: its close event, then it disappears, its controls' and its own destroy
// events run, and every reference to it reads as null. Returns 1, or -1 when not open.
int close(Window& window);
int close(const Ref<Window>& window);

// Starts (or, with 0, stops) the window's timer: its timer event fires every `seconds`.
int timer(double seconds, Window& window);

// The windows open now, in the order they were opened.
std::vector<Ref<Window>> openWindows();

}  // namespace rt
