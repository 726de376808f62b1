#include "testing.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <map>

#include "event.h"
#include "runtime_p.h"
#include "units.h"

namespace rt::testing {
namespace {

struct Recorder {
  std::vector<MessageRecord> messages;
  std::map<std::string, std::vector<std::function<void(Window&)>>> actions;
  std::map<std::string, int> opened;
};
Recorder& recorder() {
  static Recorder r;
  return r;
}

}  // namespace

Session::Session() {
  if (!QCoreApplication::instance()) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static char name[] = "orvida-test";
    static char* argv[] = {name, nullptr};
    detail::ensureGui(1, argv);
  }
  recorder() = Recorder{};
  detail::hooks().messagebox = [](const std::string& caption, const std::string& text, Icon icon) {
    recorder().messages.push_back({caption, text, icon});
    return 1;
  };
  detail::hooks().opened = [](Window& w) {
    const std::string name = w.className();
    ++recorder().opened[name];
    auto it = recorder().actions.find(name);
    if (it == recorder().actions.end()) return;
    Ref<Window> ref = refTo(w);
    for (const auto& action : it->second)
      post([ref, action] {
        if (ref) action(*ref);
      });
  };
}

Session::~Session() {
  detail::hooks() = detail::Hooks{};
  for (const auto& w : openWindows())
    if (w) close(*w);
  QCoreApplication::sendPostedEvents();
  collectReleased();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

const std::vector<MessageRecord>& messages() { return recorder().messages; }

void onOpen(const std::string& className, std::function<void(Window&)> action) {
  recorder().actions[className].push_back(std::move(action));
}

int openedCount(const std::string& className) {
  auto it = recorder().opened.find(className);
  return it == recorder().opened.end() ? 0 : it->second;
}

void fireTimer(Window& window) {
  Ref<Window> ref = refTo(window);
  dispatch([&] { ref->timer(); });
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
