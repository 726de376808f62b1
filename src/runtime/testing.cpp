#include "testing.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QClipboard>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QContextMenuEvent>
#include <QWindow>
#include <map>
#include <memory>

#include "event.h"
#include "focus_p.h"
#include "frame_p.h"
#include "runtime_p.h"
#include "units.h"
#include "widgets_p.h"

namespace rt::testing {
namespace {

struct Recorder {
  std::vector<MessageRecord> messages;
  std::map<std::string, std::vector<std::function<void(Window&)>>> actions;
  std::map<std::string, int> opened;
  std::vector<std::string> journal;
  std::vector<std::string> urls;
  std::vector<StartedProgram> programs;
  std::unique_ptr<QTimer> watchdog;
  bool watchdogFired = false;
};
Recorder& recorder() {
  static Recorder r;
  return r;
}

int recordMessage(const std::string& caption, const std::string& text, Icon icon) {
  recorder().messages.push_back({caption, text, icon});
  recorder().journal.push_back(caption + ".messagebox");
  return 1;
}

// What the pointer is now: the wait cursor or the window's own.
std::string cursorNow() {
  const QCursor* c = QGuiApplication::overrideCursor();
  return c && c->shape() == Qt::WaitCursor ? "cursor.busy" : "cursor.idle";
}

// Ends whatever holds the test: real modal boxes first, then every window.
void breakHang() {
  recorder().watchdogFired = true;
  ADD_FAILURE() << "watchdog: the test hung; every window is closed";
  for (int i = 0; i < 20; ++i) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || dynamic_cast<WindowWidget*>(modal)) break;
    if (auto* box = qobject_cast<QMessageBox*>(modal))
      box->done(0);
    else
      modal->close();
  }
  for (const auto& w : openWindows())
    if (w) rt::close(*w);
}

QWidget* keyTarget(Window& window) {
  // An open menu takes the keys, as it does from the keyboard.
  if (QWidget* menu = QApplication::activePopupWidget()) return menu;
  Ref<Control> c = window.focusedControl();
  if (c && c->widget() && focus::canTake(*c)) return c->widget();
  if (!window.widget()) throw NullObjectError();
  return window.widget();
}

}  // namespace

Session::Session(int watchdogMs) {
  if (!QCoreApplication::instance()) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static char name[] = "orvida-test";
    static char* argv[] = {name, nullptr};
    detail::ensureGui(1, argv);
  }
  recorder() = Recorder{};
  detail::hooks().messagebox = recordMessage;
  detail::hooks().openUrl = [](const std::string& url) { recorder().urls.push_back(url); };
  detail::hooks().run = [](const std::string& program, const std::vector<std::string>& arguments) {
    recorder().programs.push_back({program, arguments});
  };
  detail::hooks().journal = [](const Object& target, std::string_view event) {
    recorder().journal.push_back(target.className() + "." + std::string(event));
  };
  // The pointer as it is just before a call to the database driver, the call, and the
  // pointer once the call returned.
  detail::hooks().driverCall = [](std::string_view call, bool waiting) {
    recorder().journal.push_back(cursorNow());
    if (waiting) recorder().journal.push_back("driver." + std::string(call));
  };
  detail::hooks().opened = [](Window& w) {
    const std::string name = w.className();
    ++recorder().opened[name];
    auto it = recorder().actions.find(name);
    if (it == recorder().actions.end()) return;
    Ref<Window> ref = refTo(w);
    for (const auto& action : it->second)
      post([ref, action] {
        if (!ref) return;
        const bool failedBefore = ::testing::Test::HasFatalFailure();
        bool threw = false;
        try {
          action(*ref);
        } catch (const std::exception& e) {
          threw = true;
          ADD_FAILURE() << "action on " << ref->className() << " threw: " << e.what();
        }
        // A failed action would leave its window's loop running for ever.
        if ((threw || (!failedBefore && ::testing::Test::HasFatalFailure())) && ref && ref->isOpen()) rt::close(*ref);
      });
  };
  setWatchdog(watchdogMs);
}

void Session::setWatchdog(int milliseconds) {
  auto& timer = recorder().watchdog;
  timer = std::make_unique<QTimer>();
  timer->setSingleShot(true);
  QObject::connect(timer.get(), &QTimer::timeout, breakHang);
  timer->start(milliseconds);
}

bool Session::watchdogFired() const { return recorder().watchdogFired; }

Session::~Session() {
  recorder().watchdog.reset();
  // Windows close while the hooks still record: a close event's message box never
  // becomes a real one that nobody answers.
  for (const auto& w : openWindows())
    if (w) close(*w);
  QCoreApplication::sendPostedEvents();
  collectReleased();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  detail::hooks() = detail::Hooks{};
}

const std::vector<MessageRecord>& messages() { return recorder().messages; }

const std::vector<std::string>& openedUrls() { return recorder().urls; }

const std::vector<StartedProgram>& startedPrograms() { return recorder().programs; }

void useRealMessageBoxes() { detail::hooks().messagebox = nullptr; }

void useRealPrograms() { detail::hooks().run = nullptr; }

bool answerMessageBox() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box) return false;
  QTest::mouseClick(box->buttons().value(0), Qt::LeftButton);
  return true;
}

void onOpen(const std::string& className, std::function<void(Window&)> action) {
  recorder().actions[className].push_back(std::move(action));
}

int openedCount(const std::string& className) {
  auto it = recorder().opened.find(className);
  return it == recorder().opened.end() ? 0 : it->second;
}

void fireTimer(Window& window) {
  Ref<Window> ref = refTo(window);
  dispatchEvent(window, "timer", [&] { ref->timer(); });
}

void click(Window& window, int xUnits, int yUnits) {
  QWidget* w = window.widget();
  if (!w) throw NullObjectError();
  const QPoint at(units::toPixelsX(xUnits), units::toPixelsY(yUnits));
  QWidget* target = w->childAt(at);
  if (!target) target = w;
  QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(w, at));
}

void click(Control& control) {
  QWidget* w = control.widget();
  if (!w) throw NullObjectError();
  QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
}

void movePointer(Window& window, int xUnits, int yUnits) {
  QWidget* w = window.widget();
  if (!w) throw NullObjectError();
  const QPoint at(units::toPixelsX(xUnits), units::toPixelsY(yUnits));
  QWidget* target = w->childAt(at);
  if (!target) target = w;
  QTest::mouseMove(target, target->mapFrom(w, at));
}

void movePointer(Control& control, int xUnits, int yUnits) {
  QWidget* w = control.widget();
  if (!w) throw NullObjectError();
  // Through the window: a move to the control's own corner (0, 0) would go to its middle.
  QWidget* top = w->window();
  QTest::mouseMove(top, w->mapTo(top, QPoint(units::toPixelsX(xUnits), units::toPixelsY(yUnits))));
}

void click(Control& control, int xUnits, int yUnits) {
  QWidget* w = control.widget();
  if (!w) throw NullObjectError();
  QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(units::toPixelsX(xUnits), units::toPixelsY(yUnits)));
}

Qt::CursorShape pointerShape(Control& control) {
  QWidget* w = control.widget();
  if (!w) throw NullObjectError();
  return w->cursor().shape();
}

void pressKey(Window& window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QTest::keyClick(keyTarget(window), key, modifiers);
}

void keyDown(Window& window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QTest::keyPress(keyTarget(window), key, modifiers);
}

void keyUp(Window& window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QTest::keyRelease(keyTarget(window), key, modifiers);
}

void typeText(Window& window, const std::string& text) {
  QTest::keyClicks(keyTarget(window), QString::fromStdString(text));
}

void paste(Window& window, const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
  QTest::keyClick(keyTarget(window), Qt::Key_V, Qt::ControlModifier);
}

int moveFocus(Control& control) { return rt::setFocus(control); }

Ref<Control> focused(Window& window) { return window.focusedControl(); }

void userResize(Window& window, int widthPx, int heightPx) {
  QWidget* w = window.widget();
  if (!w || !w->windowHandle()) throw NullObjectError();
  w->windowHandle()->resize(widthPx, heightPx);
  QCoreApplication::processEvents();
}

void userMove(Window& window, int xPx, int yPx) {
  QWidget* w = window.widget();
  if (!w || !w->windowHandle()) throw NullObjectError();
  w->windowHandle()->setFramePosition(QPoint(xPx, yPx));
  QCoreApplication::processEvents();
}

std::vector<std::string> journal() { return recorder().journal; }

std::vector<std::string> journal(std::initializer_list<const char*> events) {
  std::vector<std::string> out;
  for (const auto& entry : recorder().journal) {
    const std::string event = entry.substr(entry.rfind('.') + 1);
    for (const char* e : events)
      if (event == e) out.push_back(entry);
  }
  return out;
}

void clearJournal() { recorder().journal.clear(); }

Ref<Window> findOpen(const std::string& className) {
  for (const auto& w : openWindows())
    if (w && w->className() == className) return w;
  return {};
}

void processEvents() { QCoreApplication::processEvents(); }

void wait(int milliseconds) { QTest::qWait(milliseconds); }

PixelRect windowGeometry(Window& window) {
  QWidget* w = window.widget();
  if (!w) throw NullObjectError();
  const QRect g = w->geometry();
  return {g.x(), g.y(), g.width(), g.height()};
}

PixelRect screenGeometry() {
  const QRect g = QGuiApplication::primaryScreen()->availableGeometry();
  return {g.x(), g.y(), g.width(), g.height()};
}

bool hasFrame(Window& window) {
  QWidget* w = window.widget();
  if (!w) throw NullObjectError();
  return !(w->windowFlags() & Qt::FramelessWindowHint);
}

bool isShown(Window& window) {
  QWidget* w = window.widget();
  return w && w->isVisible();
}

void windowManagerSets(Window& window, Qt::WindowState state) {
  QWidget* w = window.widget();
  if (!w) throw NullObjectError();
  // Through the window handle, as a window manager's request reaches the program.
  w->winId();
  w->windowHandle()->setWindowState(state);
}

Qt::WindowStates windowStates(Window& window) {
  QWidget* w = window.widget();
  if (!w) throw NullObjectError();
  return w->windowState();
}

Color pixelAt(Window& window, int xUnits, int yUnits) {
  QWidget* w = window.widget();
  if (!w) throw NullObjectError();
  const QImage img = w->grab().toImage();
  const QColor c = img.pixelColor(units::toPixelsX(xUnits), units::toPixelsY(yUnits));
  return Color::rgb(c.red(), c.green(), c.blue());
}

bool waitExposed(Window& window, int timeoutMs) {
  QWidget* w = window.widget();
  return w && QTest::qWaitForWindowExposed(w, timeoutMs);
}

}  // namespace rt::testing

namespace rt::testing {
namespace {
detail::FrameChrome& chrome(Window& frame) {
  detail::FrameChrome* c = detail::chromeOf(frame);
  if (!c) throw RuntimeError("not an MDI frame");
  return *c;
}
}  // namespace

std::string statusText(Window& frame) { return detail::statusLabel(chrome(frame))->text().toStdString(); }

namespace {
QAction* actionOf(Window& frame, const MenuItem& item) {
  auto it = chrome(frame).actions.find(&item);
  if (it == chrome(frame).actions.end() || !it->second) throw RuntimeError("no such menu item");
  return it->second;
}

// Where the user sees the item now: on the menu bar, or in a menu that is open.
QWidget* placeOf(Window& frame, QAction* action, QPoint& at) {
  QMenuBar* bar = chrome(frame).menuBar;
  if (const QRect r = bar->actionGeometry(action); r.isValid()) {
    at = r.center();
    return bar;
  }
  for (QObject* o : action->associatedObjects()) {
    if (auto* menu = qobject_cast<QMenu*>(o); menu && menu->isVisible()) {
      at = menu->actionGeometry(action).center();
      return menu;
    }
  }
  return nullptr;
}
}  // namespace

void hoverMenuItem(Window& frame, const MenuItem& item) {
  QAction* action = actionOf(frame, item);
  QPoint at;
  QWidget* w = placeOf(frame, action, at);
  // In a menu that is not open: the status tip its menu would send, were it open.
  if (!w) {
    action->showStatusText(frame.widget());
    return;
  }
  // Straight to the bar or menu: an open menu would otherwise take the move and hand it on
  // only where the pointer really is.
  QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &move);
  QCoreApplication::processEvents();
}

void clickMenuItem(Window& frame, const MenuItem& item) {
  QPoint at;
  QWidget* w = placeOf(frame, actionOf(frame, item), at);
  if (!w) throw RuntimeError("the menu item is not on screen");
  QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
}

std::string openMenuTitle(Window& frame) {
  QAction* a = chrome(frame).menuBar->activeAction();
  if (!a || !a->menu() || !a->menu()->isVisible()) return {};
  return a->text().toStdString();
}

std::vector<MenuCaption> menuCaptions(Window& frame) {
  std::vector<MenuCaption> out;
  std::function<void(const QWidget*, int)> walk = [&](const QWidget* menu, int level) {
    for (const QAction* a : menu->actions()) {
      if (!a->isVisible()) continue;
      out.push_back({level, a->isSeparator() ? std::string("-") : a->text().toStdString()});
      if (a->menu()) walk(a->menu(), level + 1);
    }
  };
  walk(chrome(frame).menuBar, 1);
  return out;
}

void closeMenus() {
  while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
}

std::vector<ToolbarButton> toolbarButtons(Window& frame) {
  std::vector<ToolbarButton> out;
  auto& c = chrome(frame);
  QCoreApplication::sendPostedEvents();
  for (const auto& e : detail::toolbarEntriesOf(c)) {
    ToolbarButton b;
    b.text = e.text;
    b.picture = e.picture;
    b.gapBefore = e.gap;
    b.geometry = {e.geometry.x(), e.geometry.y(), e.geometry.width(), e.geometry.height()};
    out.push_back(b);
  }
  return out;
}

void clickToolbarButton(Window& frame, int index) {
  QCoreApplication::sendPostedEvents();
  QWidget* button = detail::toolbarButton(chrome(frame), index);
  if (!button) throw RuntimeError("no such toolbar button");
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
}

ToolbarLook toolbarLook(Window& frame) {
  QCoreApplication::sendPostedEvents();
  const detail::ToolbarState state = detail::toolbarStateOf(chrome(frame));
  ToolbarLook look;
  look.shown = state.shown;
  look.floating = state.floating;
  look.textsShown = state.textsShown;
  const QFontInfo info(state.textFont);
  look.resolvedFace = info.family().toStdString();
  look.textPixels = info.pixelSize();
  look.iconSize = state.iconSize.width();
  look.iconHeight = state.iconSize.height();
  look.buttonWidth = state.buttonSize.width();
  look.buttonHeight = state.buttonSize.height();
  look.thickness = state.thickness;
  look.tips = state.tips;
  look.plainFace = state.plainFace;
  look.sunkenFace = state.sunkenFace;
  const QRect& g = state.geometry;
  look.geometry = {g.x(), g.y(), g.width(), g.height()};
  return look;
}

void closeFloatingToolbar(Window& frame) {
  QCoreApplication::sendPostedEvents();
  QWidget* holder = chrome(frame).floatingHolder;
  if (!holder || !holder->isVisible()) throw RuntimeError("no floating toolbar");
  holder->close();
  QCoreApplication::processEvents();
}

std::string toolbarTip(Window& frame, int index) {
  QCoreApplication::sendPostedEvents();
  QWidget* button = detail::toolbarButton(chrome(frame), index);
  if (!button) throw RuntimeError("no such toolbar button");
  QToolTip::hideText();
  const QPoint at = button->rect().center();
  QHelpEvent e(QEvent::ToolTip, at, button->mapToGlobal(at));
  QCoreApplication::sendEvent(button, &e);
  const std::string shown = QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
  QToolTip::hideText();
  return shown;
}

bool toolbarHasContextMenu(Window& frame) {
  QCoreApplication::sendPostedEvents();
  QWidget* bar = detail::toolbarWidget(chrome(frame));
  bool seen = false;
  // A menu that comes up runs its own loop: look from inside it, then close it.
  QTimer::singleShot(0, [&seen] {
    if (QWidget* popup = QApplication::activePopupWidget()) {
      seen = true;
      popup->close();
    }
  });
  QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(2, 2), bar->mapToGlobal(QPoint(2, 2)));
  QCoreApplication::sendEvent(bar, &e);
  QCoreApplication::processEvents();
  return seen;
}

FontLook statusBarLook(Window& frame) {
  QWidget* status = detail::statusLabel(chrome(frame));
  const QFontInfo info(status->font());
  return {info.family().toStdString(), info.pixelSize()};
}

}  // namespace rt::testing
