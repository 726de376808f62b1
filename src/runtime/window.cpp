#include "window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <map>

#include "event.h"
#include "application.h"
#include "focus_p.h"
#include "frame_p.h"
#include "menu.h"
#include "runtime_p.h"
#include "strings.h"
#include "units.h"
#include "widgets_p.h"

namespace rt {

struct Window::Loop {
  QEventLoop loop;
};
struct Window::Ticker {
  QTimer timer;
};

// Everything the runtime does to a window behind its public face.
struct WindowOps {
  static void realize(Window& w, const Ref<Window>& parent);
  static void applyFlags(Window& w);
  static void applyGeometry(Window& w);
  static void applyLook(Window& w);
  static QSize clientSize(const Window& w);
  static QPoint screenOrigin();
  static void userMovedOrResized(Window& w);
  static int open(std::shared_ptr<Window> window, const Ref<Window>& parent);
  static int close(Window& w);
  static int timer(double seconds, Window& w);
};

// ---- widgets

unsigned long mouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  unsigned long f = 0;
  if (buttons & Qt::LeftButton) f |= 1;
  if (buttons & Qt::RightButton) f |= 2;
  if (modifiers & Qt::ShiftModifier) f |= 4;
  if (modifiers & Qt::ControlModifier) f |= 8;
  if (buttons & Qt::MiddleButton) f |= 16;
  return f;
}

void setTransientOwner(QWidget* dialog, QWidget* owner) {
  if (!dialog || !owner) return;
  dialog->winId();  // makes the window handle
  owner->winId();
  if (QWindow* handle = dialog->windowHandle()) handle->setTransientParent(owner->windowHandle());
}

WindowWidget::WindowWidget(Window* window, Qt::WindowFlags flags) : QWidget(nullptr, flags), window_(window) {
  setAttribute(Qt::WA_DeleteOnClose, false);
}

WindowWidget::~WindowWidget() = default;

void WindowWidget::detach() {
  window_ = nullptr;
  chrome.reset();
}

QWidget* WindowWidget::client() { return chrome ? chrome->client : this; }

void WindowWidget::paintEvent(QPaintEvent*) {
  if (!window_) return;
  QPainter p(this);
  p.fillRect(rect(), detail::toQColor(window_->backcolor));
}

void WindowWidget::mousePressEvent(QMouseEvent* e) { pressed_ = e->button() == Qt::LeftButton; }

void WindowWidget::mouseReleaseEvent(QMouseEvent* e) {
  // The clicked event runs on release, so a window it opens never opens inside the press.
  if (!pressed_ || e->button() != Qt::LeftButton || !window_ || !rect().contains(e->pos())) return;
  pressed_ = false;
  Ref<Window> w = refTo(*window_);
  const unsigned long flags = mouseFlags(e->buttons() | Qt::LeftButton, e->modifiers());
  const int xu = units::toUnitsX(e->pos().x());
  const int yu = units::toUnitsY(e->pos().y());
  dispatchEvent(*w, "clicked", [&] { w->clicked(flags, xu, yu); });
}

void WindowWidget::closeEvent(QCloseEvent* e) {
  e->ignore();
  if (runtimeClosing || !window_) {
    e->accept();
    return;
  }
  // A window without a control menu offers no way to close it from its frame (Alt+F4).
  if (!window_->controlmenu) return;
  // Closed from its frame: the runtime closes it, after the current event.
  Ref<Window> w = refTo(*window_);
  post([w] {
    if (w) rt::close(*w);
  });
}

void WindowWidget::moveEvent(QMoveEvent* e) {
  QWidget::moveEvent(e);
  if (window_ && !runtimeGeometry && window_->isOpen()) WindowOps::userMovedOrResized(*window_);
}

void WindowWidget::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (!window_) return;
  if (chrome) chrome->layout(this);
  if (!runtimeGeometry && window_->isOpen()) WindowOps::userMovedOrResized(*window_);
  Ref<Window> w = refTo(*window_);
  const unsigned long sizetype = isMaximized() ? 2 : isMinimized() ? 1 : 0;
  const QSize clientSize = client()->size();
  const int cw = units::toUnitsX(clientSize.width());
  const int ch = units::toUnitsY(clientSize.height());
  dispatchEvent(*w, "resize", [&] { w->resize(sizetype, cw, ch); });
}

void WindowWidget::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  focus::showFocusFrame(*this);
}

namespace {
// The top-level widget whose window handle is `handle`, if any.
QWidget* widgetOf(const QWindow* handle) {
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->windowHandle() == handle) return top;
  return nullptr;
}
}  // namespace

void WindowWidget::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() != QEvent::WindowStateChange || !window_ || !window_->isOpen()) return;
  // A window manager may offer minimise and maximise buttons the window did not ask for.
  // A window without a minimise box comes back at once, and the owners it keeps modal
  // with it (they were minimised along with it); one without a maximise box goes back to
  // its own size.
  const bool unaskedMin = isMinimized() && !window_->minbox && window_->windowstate != WindowState::Minimized;
  const bool unaskedMax = isMaximized() && !window_->maxbox && window_->windowstate != WindowState::Maximized;
  if (!unaskedMin && !unaskedMax) return;
  for (QWindow* owner = windowHandle() ? windowHandle()->transientParent() : nullptr; owner;
       owner = owner->transientParent()) {
    if (QWidget* o = widgetOf(owner); o && o->isMinimized()) o->setWindowState(o->windowState() & ~Qt::WindowMinimized);
  }
  setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
  WindowOps::applyGeometry(*window_);
  activateWindow();
}

// ---- Window

Window::Window() = default;

Window::~Window() {
  if (widget_) {
    widget_->detach();
    widget_->hide();
    widget_->deleteLater();
  }
}

QWidget* Window::widget() const noexcept { return widget_; }

void Window::adopt(std::shared_ptr<Control> control) {
  controls_.push_back(control);
  control->attach(*this, widget_->client(), nullptr);
}

struct MenuOps {
  static void attach(MenuItem& menu, Window& w) { menu.window_ = &w; }
  // The item's destroy event, then its children's, in creation order; then it reads as null.
  static void destroy(MenuItem& item) {
    Ref<MenuItem> ref = refTo(item);
    dispatchEvent(item, "destroy", [ref] { ref->destroy(); });
    for (const auto& child : item.items_) destroy(*child);
    invalidate(item);
  }
};

void Window::setMenu(std::shared_ptr<Menu> menu) {
  if (menu_) MenuOps::destroy(*menu_);
  menu_ = std::move(menu);
  if (!menu_) return;
  MenuOps::attach(*menu_, *this);
  Ref<Menu> ref(menu_);
  dispatchEvent(*menu_, "create", [ref] { ref->create(); });
  if (auto* chrome = detail::chromeOf(*this)) chrome->rebuildMenu();
}

Ref<Menu> Window::menu() const { return menu_ && menu_->isValid() ? Ref<Menu>(menu_) : Ref<Menu>(); }

void setMessageParm(const Ref<Object>& parm) { Application::current().message->powerobjectparm = parm; }

void Window::propertyChanged(const void* which) {
  if (!widget_) return;
  if (which == &x || which == &y || which == &width || which == &height || which == &resizable) {
    WindowOps::applyGeometry(*this);
  } else if (which == &visible) {
    if (open_) widget_->setVisible(visible);
  } else if (which == &windowstate) {
    if (open_) bringToFront(*this);
  } else if (which == &toolbaralignment || which == &toolbarvisible) {
    if (auto* chrome = detail::chromeOf(*this)) chrome->scheduleApplyToolbar();
  } else if (which == &pointer) {
    if (pointer->empty())
      widget_->unsetCursor();
    else
      widget_->setCursor(detail::stockPointer(pointer));
  } else if (which == &windowtype || which == &titlebar || which == &controlmenu || which == &minbox ||
             which == &maxbox) {
    WindowOps::applyFlags(*this);
  } else {
    WindowOps::applyLook(*this);
  }
}

QSize WindowOps::clientSize(const Window& w) {
  int cw = units::toPixelsX(w.width);
  int ch = units::toPixelsY(w.height);
  if (w.titlebar) {
    cw -= 2 * units::kFramePixels;
    ch -= 2 * units::kFramePixels + units::kTitleBarPixels;
  }
  return QSize(std::max(cw, 1), std::max(ch, 1));
}

QPoint WindowOps::screenOrigin() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) return screen->availableGeometry().topLeft();
  return {};
}

void WindowOps::applyFlags(Window& w) {
  Qt::WindowFlags f = w.windowtype == WindowType::Response ? Qt::Dialog : Qt::Window;
  if (!w.titlebar) {
    f |= Qt::FramelessWindowHint;
  } else {
    f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (w.controlmenu) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (w.minbox) f |= Qt::WindowMinimizeButtonHint;
    if (w.maxbox) f |= Qt::WindowMaximizeButtonHint;
  }
  const bool shown = w.widget_->isVisible();
  w.widget_->setWindowFlags(f);
  if (shown) w.widget_->show();
}

void WindowOps::applyGeometry(Window& w) {
  const QSize client = clientSize(w);
  w.widget_->runtimeGeometry = true;
  if (w.resizable) {
    w.widget_->setMinimumSize(0, 0);
    w.widget_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    w.widget_->resize(client);
  } else {
    w.widget_->setFixedSize(client);
  }
  w.widget_->move(screenOrigin() + QPoint(units::toPixelsX(w.x), units::toPixelsY(w.y)));
  w.widget_->runtimeGeometry = false;
}

// The user (or the window manager) moved or sized the window: the logical properties
// follow, without re-applying anything.
void WindowOps::userMovedOrResized(Window& w) {
  QWidget* widget = w.widget_;
  if (widget->isMinimized()) return;
  const QPoint at = widget->pos() - screenOrigin();
  const QSize client = widget->size();
  if (at != QPoint(units::toPixelsX(w.x), units::toPixelsY(w.y))) {
    w.x.assignQuietly(units::toUnitsX(at.x()));
    w.y.assignQuietly(units::toUnitsY(at.y()));
  }
  if (client != clientSize(w)) {
    int ow = client.width();
    int oh = client.height();
    if (w.titlebar) {
      ow += 2 * units::kFramePixels;
      oh += 2 * units::kFramePixels + units::kTitleBarPixels;
    }
    w.width.assignQuietly(units::toUnitsX(ow));
    w.height.assignQuietly(units::toUnitsY(oh));
  }
}

void WindowOps::applyLook(Window& w) {
  w.widget_->setWindowTitle(detail::qs(w.title));
  QIcon icon = detail::stockIcon(w.icon);
  if (icon.isNull()) icon = QIcon(detail::loadPicture(w.icon));
  w.widget_->setWindowIcon(icon);
  w.widget_->setEnabled(w.enabled);
  w.widget_->update();
}

void WindowOps::realize(Window& w, const Ref<Window>& parent) {
  w.widget_ = new WindowWidget(&w, Qt::Window);
  if (w.windowtype == WindowType::MdiFrame) {
    w.widget_->chrome = std::make_unique<detail::FrameChrome>(w, w.widget_);
    QPalette pal = w.widget_->chrome->client->palette();
    pal.setColor(QPalette::Window, detail::toQColor(w.backcolor));
    w.widget_->chrome->client->setPalette(pal);
  }
  if (!w.pointer->empty()) w.widget_->setCursor(detail::stockPointer(w.pointer));
  applyFlags(w);
  QWidget* owner = parent ? parent->widget() : nullptr;
  if (w.windowtype == WindowType::Response) {
    if (!owner) owner = detail::ownerForNewWindow();
    w.widget_->setWindowModality(Qt::ApplicationModal);
  }
  setTransientOwner(w.widget_, owner);
  applyLook(w);
}

// ---- registry

namespace {
struct ClassEntry {
  WindowFactory make;
  WindowOpener openGlobal;
};
std::map<std::string, ClassEntry>& registry() {
  static std::map<std::string, ClassEntry> classes;
  return classes;
}
}  // namespace

// Class names compare without regard to case, as the runtime's names do.
void registerClass(const std::string& className, WindowFactory factory, WindowOpener opener) {
  registry()[lower(className)] = {std::move(factory), std::move(opener)};
}

bool classExists(const std::string& className) { return registry().count(lower(className)) > 0; }

// ---- opening and closing

int openWindow(std::shared_ptr<Window> window, const Ref<Window>& parent) {
  return WindowOps::open(std::move(window), parent);
}

int WindowOps::open(std::shared_ptr<Window> window, const Ref<Window>& parent) {
  keep(window);
  Window& w = *window;
  focus::interrupt();  // a losefocus event that opens a window keeps the focus where it went
  realize(w, parent);
  dispatchEvent(w, "create", [&] { w.create(); });
  for (const auto& c : std::vector<std::shared_ptr<Control>>(w.controls_))
    dispatchEvent(*c, "constructor", [&] { c->constructor(); });

  if (w.center) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect avail = screen->availableGeometry();
      w.x.assignQuietly((units::toUnitsX(avail.width()) - w.width) / 2);
      w.y.assignQuietly((units::toUnitsY(avail.height()) - w.height) / 2);
    }
  }
  applyGeometry(w);

  w.open_ = true;
  detail::state().open.push_back(window);
  dispatchEvent(w, "open", [&] { w.open(); });
  if (!w.open_) return 1;  // it closed itself while opening

  if (w.visible) bringToFront(w);
  if (w.open_ && !w.focus_) focus::first(w);
  if (auto& hook = detail::hooks().opened; hook && w.open_) hook(w);

  if (w.windowtype == WindowType::Response && w.open_) {
    w.loop_ = std::make_unique<Window::Loop>();
    w.loop_->loop.exec();
  }
  return 1;
}

void bringToFront(Window& window) {
  QWidget* w = window.widget();
  if (!w) return;
  switch (window.windowstate()) {
    case WindowState::Maximized: w->showMaximized(); break;
    case WindowState::Minimized: w->showMinimized(); break;
    case WindowState::Normal: w->isMaximized() || w->isMinimized() ? w->showNormal() : w->show(); break;
  }
  // The offscreen platform has no stacking order to change.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->raise();
  w->activateWindow();
}

int open(const std::string& className, const Ref<Window>& parent) {
  auto it = registry().find(lower(className));
  if (it == registry().end()) return -1;
  return it->second.openGlobal(parent);
}

int open(Ref<Window>& variable, const std::string& className, const Ref<Window>& parent) {
  auto it = registry().find(lower(className));
  if (it == registry().end()) return -1;
  auto window = it->second.make();
  variable = Ref<Window>(window);
  return openWindow(window, parent);
}

int close(Window& w) { return WindowOps::close(w); }

int WindowOps::close(Window& w) {
  if (!w.open_ || w.closing_) return -1;
  w.closing_ = true;
  std::shared_ptr<Window> keepAlive = std::static_pointer_cast<Window>(w.shared_from_this());
  // No tick may reach a window whose close event is running.
  if (w.ticker_) w.ticker_->timer.stop();
  dispatchEvent(w, "close", [&] { w.close(); });

  if (w.widget_) {
    w.widget_->runtimeClosing = true;
    w.widget_->hide();
  }
  w.open_ = false;
  auto& open = detail::state().open;
  open.erase(std::remove(open.begin(), open.end(), keepAlive), open.end());

  if (w.menu_) MenuOps::destroy(*w.menu_);
  std::function<void(const std::shared_ptr<Control>&)> destroyControl = [&](const auto& c) {
    dispatchEvent(*c, "destroy", [&] { c->destroy(); });
    for (const auto& child : c->children()) destroyControl(child);
    invalidate(*c);
  };
  for (const auto& c : w.controls_) destroyControl(c);
  dispatchEvent(w, "destroy", [&] { w.destroy(); });
  release(w);
  if (w.loop_) w.loop_->loop.quit();
  detail::scheduleEndCheck();
  return 1;
}

int close(const Ref<Window>& window) { return close(window.get()); }

int timer(double seconds, Window& w) { return WindowOps::timer(seconds, w); }

int WindowOps::timer(double seconds, Window& w) {
  if (!w.ticker_) {
    w.ticker_ = std::make_unique<Window::Ticker>();
    Window* target = &w;
    QObject::connect(&w.ticker_->timer, &QTimer::timeout, [target] {
      Ref<Window> ref = refTo(*target);
      if (ref && ref->isOpen()) dispatchEvent(*ref, "timer", [&] { ref->timer(); });
    });
  }
  w.timerSeconds_ = seconds > 0 ? seconds : 0;
  if (seconds > 0)
    w.ticker_->timer.start(static_cast<int>(seconds * 1000));
  else
    w.ticker_->timer.stop();
  return 1;
}

std::vector<Ref<Window>> openWindows() {
  std::vector<Ref<Window>> result;
  for (const auto& w : detail::state().open) result.push_back(Ref<Window>(w));
  return result;
}

namespace detail {

QWidget* newestVisibleWindowWidget() {
  auto& open = state().open;
  for (auto it = open.rbegin(); it != open.rend(); ++it)
    if ((*it)->widget() && (*it)->widget()->isVisible()) return (*it)->widget();
  return nullptr;
}

QWidget* ownerForNewWindow() {
  Ref<Window> acting = actingWindow();
  for (QWidget* w = acting ? acting->widget() : nullptr; w;) {
    if (w->isVisible()) return w;
    QWindow* owner = w->windowHandle() ? w->windowHandle()->transientParent() : nullptr;
    w = owner ? widgetOf(owner) : nullptr;
  }
  return newestVisibleWindowWidget();
}

}  // namespace detail
}  // namespace rt
