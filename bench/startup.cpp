// Time from process start to the splash on screen, over a real SQLite data source: the clock
// stops once the splash's first paint after it was exposed has been flushed and one pixel of
// it has been read back from the display. Each sample is a fresh process: this program runs
// itself with --child.

#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "child.h"
#include "classes.h"
#include "figures.h"
#include "runtime/application.h"
#include "runtime/testing.h"
#include "runtime/window.h"
#include "shell/book.h"
#include "support/datasource.h"

namespace {

long long nowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

// Watches the whole program for the splash: its window exposed, then a paint of the splash
// or a control on it (the window system's expose event comes before the paint it causes). The read-back runs posted,
// after the paint has been flushed.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(long long t0) : t0_(t0) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (done_) return false;
    // The splash is the program's first window.
    if (!splash_ && event->type() == QEvent::Expose) {
      auto* window = qobject_cast<QWindow*>(watched);
      for (QWidget* w : QApplication::topLevelWidgets())
        if (window && window->isExposed() && w->windowHandle() == window) splash_ = w;
    }
    if (splash_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == splash_) {
      done_ = true;
      QTimer::singleShot(0, this, [this] { readBack(); });
    }
    return false;
  }

 private:
  void readBack() {
    const QPixmap pixel = splash_->screen()->grabWindow(splash_->winId(), 0, 0, 1, 1);
    const double ms = static_cast<double>(nowNs() - t0_) / 1e6;
    std::printf("%.3f\n", pixel.isNull() ? -1.0 : ms);
    std::fflush(stdout);
    if (rt::Ref<rt::Window> w = rt::testing::findOpen("w_flash")) rt::close(w);
  }

  long long t0_;
  QWidget* splash_ = nullptr;
  bool done_ = false;
};

// The program, watched from the moment its application object exists.
struct WatchedBook : book {
  FirstPaint* watcher = nullptr;
  void open(const std::string& commandLine) override {
    QApplication::instance()->installEventFilter(watcher);
    book::open(commandLine);
  }
};

int child() {
  const long long t0 = std::atoll(std::getenv("BENCH_T0"));
  // Under a display the splash is a real window; the harness would otherwise draw offscreen.
  if (std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "xcb", 1);
  rt::testing::Session session;
  registerClasses();
  FirstPaint watcher(t0);
  WatchedBook app;
  app.watcher = &watcher;
  char name[] = "orvida";
  char* argv[] = {name, nullptr};
  rt::run(app, 1, argv);
  return rt::testing::messages().empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--child") return child();
  const int samples = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  auto ds = support::TempDataSource::standard();

  std::vector<double> ms;
  for (int i = 0; i < samples; ++i) {
    const std::string text = bench::runChild(argv[0], "BENCH_T0=" + std::to_string(nowNs()));
    if (text.empty()) {
      std::fprintf(stderr, "sample %d failed\n", i);
      return 1;
    }
    const double sample = std::atof(text.c_str());
    if (sample < 0) {
      std::fprintf(stderr, "sample %d: nothing read back from the display\n", i);
      return 1;
    }
    ms.push_back(sample);
  }
  const bench::Span s = bench::span(ms);
  std::printf("start-up to splash on screen (%s), %d runs: median %.1f ms, span %.1f-%.1f ms  (%s)\n",
              bench::platformName(), samples, s.median, s.min, s.max, bench::machineLoad().c_str());
  return 0;
}
