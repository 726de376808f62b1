#include "application.h"

#include <QApplication>
#include <QEventLoop>
#include <QFont>
#include <QMetaObject>
#include <QPalette>
#include <string>

#include "event.h"
#include "focus_p.h"
#include "runtime_p.h"
#include "window.h"

namespace rt {

namespace detail {

State& state() {
  static State s;
  return s;
}

Hooks& hooks() {
  static Hooks h;
  return h;
}

void scheduleEndCheck() {
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [] {
        auto& s = state();
        if (s.open.empty() && s.mainLoop) s.mainLoop->quit();
      },
      Qt::QueuedConnection);
}

void ensureGui(int argc, char** argv) {
  if (QCoreApplication::instance()) return;
  // Qt gets the program's name alone: nothing on the command line is the program's, so none
  // of Qt's own options (-reverse, -style, -qwindowtitle, ...) may act either.
  static std::string name = argc > 0 && argv && argv[0] ? argv[0] : "orvida";
  static int storedArgc = 1;
  static char* storedArgv[] = {name.data(), nullptr};
  static QApplication* gui = new QApplication(storedArgc, storedArgv);
  (void)gui;
  // The run ends by the runtime's own count of open windows.
  QApplication::setQuitOnLastWindowClosed(false);
  focus::install();
  // The windows name their fonts by the desktop's face names; map them to installed faces
  // of the same metrics.
  QFont::insertSubstitutions(
      QStringLiteral("宋体"),
      {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"), QStringLiteral("Noto Serif CJK SC")});
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
  QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
  QFont font(QStringLiteral("宋体"));
  font.setPixelSize(12);
  QApplication::setFont(font);
  // Greyed text must still be read: the style's own grey is too light on the button face.
  QPalette palette = QApplication::palette();
  for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
    palette.setColor(QPalette::Disabled, role, detail::disabledTextColor());
  QApplication::setPalette(palette);
}

QColor toQColor(const Color& c) {
  switch (c.role) {
    case Color::Role::Rgb: return QColor(c.r, c.g, c.b);
    case Color::Role::ButtonFace: return QColor(240, 240, 240);
    case Color::Role::WindowText: return QColor(0, 0, 0);
    case Color::Role::WindowBackground: return QColor(255, 255, 255);
    case Color::Role::Link: return QColor(0, 0, 255);
    case Color::Role::Transparent: return QColor(Qt::transparent);
  }
  return {};
}

}  // namespace detail

Application::Application() = default;
Application::~Application() {
  if (detail::state().app == this) detail::state().app = nullptr;
}

Application& Application::current() {
  Application* app = detail::state().app;
  if (!app) throw NullObjectError();
  return *app;
}

int run(Application& app, int argc, char** argv) {
  detail::ensureGui(argc, argv);
  auto& state = detail::state();
  state.app = &app;

  std::string commandline;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandline += ' ';
    commandline += argv[i];
  }

  dispatch([&] { app.create(); });
  dispatch([&] { app.open(commandline); });
  if (!state.open.empty()) {
    QEventLoop loop;
    state.mainLoop = &loop;
    // However the loop ends, nothing is left pointing at it.
    struct Reset {
      QEventLoop*& slot;
      ~Reset() { slot = nullptr; }
    } reset{state.mainLoop};
    loop.exec();
  }
  dispatch([&] { app.close(); });
  dispatch([&] { app.destroy(); });

  collectReleased();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  state.app = nullptr;
  return 0;
}

}  // namespace rt
