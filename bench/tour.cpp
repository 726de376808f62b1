// Peak resident memory over a tour of the program over a real SQLite data source: the
// splash, sign-in, every enabled item of the frame's menu once (each window it opens closed
// once drawn), then 重新登录 and 退出系统. Each sample is a fresh process: this program runs
// itself with --child, which prints its own peak.
//   bench_tour [SAMPLES]

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "child.h"
#include "classes.h"
#include "figures.h"
#include "runtime/application.h"
#include "runtime/event.h"
#include "runtime/menu.h"
#include "runtime/testing.h"
#include "runtime/window.h"
#include "shell/book.h"
#include "support/datasource.h"

namespace t = rt::testing;

namespace {

// The windows the menu opens; each is closed once it has been drawn.
const char* const kMenuWindows[] = {"w_genapp_toolbars", "w_xm_gz1",  "w_xm_gz2", "w_xm_gz3", "w_jsq_gz1",
                                    "w_jsq_gz2",         "w_jsq_gz3", "w_jsq_by", "w_4",      "w_about"};

void drawnThenClosed(rt::Window& w) {
  t::waitExposed(w);
  t::processEvents();
  rt::close(w);
}

// Every enabled leaf item under `menu`, in menu order, leaving out the two that end the tour.
void leaves(rt::MenuItem& menu, std::vector<rt::MenuItem*>& out) {
  for (const auto& item : menu.items()) {
    const std::string text = item->text();
    if (!item->visible() || !item->enabled() || text == "-") continue;
    if (text.rfind("重新登录", 0) == 0 || text.rfind("退出系统", 0) == 0) continue;
    if (item->items().empty())
      out.push_back(item.get());
    else
      leaves(*item, out);
  }
}

rt::MenuItem* itemStarting(rt::MenuItem& menu, const std::string& text) {
  for (const auto& item : menu.items()) {
    if (item->text().rfind(text, 0) == 0) return item.get();
    if (rt::MenuItem* found = itemStarting(*item, text)) return found;
  }
  return nullptr;
}

// With BENCH_TRACE set, the resident memory after each step, to see where the peak lies.
void trace(const std::string& step) {
  if (!std::getenv("BENCH_TRACE")) return;
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::fprintf(stderr, "%-24s now %6.1f MiB, peak %6.1f MiB\n", step.c_str(),
               static_cast<double>(resident * sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0),
               static_cast<double>(usage.ru_maxrss) / 1024.0);
}

void settle(const std::string& step) {
  t::processEvents();
  t::wait(50);
  trace(step);
}

int child() {
  // Under a display the windows are real; the harness would otherwise draw offscreen.
  if (std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "xcb", 1);
  t::Session session(120000);
  registerClasses();
  t::onOpen("w_flash", [](rt::Window& w) {
    t::waitExposed(w);
    t::processEvents();
    trace("splash");
    t::fireTimer(w);
  });
  t::onOpen("w_pwd", [](rt::Window& w) {
    t::waitExposed(w);
    t::processEvents();
    trace("entry");
    t::pressKey(w, Qt::Key_L, Qt::AltModifier);  // 登录
  });
  for (const char* name : kMenuWindows) t::onOpen(name, drawnThenClosed);
  // The frame opens at sign-in and again after 重新登录, which ends the tour. Each pick is
  // an event of its own, as a user's click is, so what a closed window leaves is collected
  // before the next.
  bool toured = false;
  std::vector<rt::MenuItem*> items;
  std::function<void(rt::Ref<rt::Window>, std::size_t)> step = [&](rt::Ref<rt::Window> f, std::size_t i) {
    if (!f) return;
    if (i == items.size()) {
      toured = true;
      rt::pick(*itemStarting(*f->menu(), "重新登录"));
      return;
    }
    rt::pick(*items[i]);
    rt::post([&, f, i] {
      settle(items[i]->text());
      step(f, i + 1);
    });
  };
  t::onOpen("w_main1", [&](rt::Window& frame) {
    rt::Ref<rt::Window> f = rt::refTo(frame);
    rt::post([&, f] {
      if (!f) return;
      settle(toured ? "frame again" : "frame");
      if (toured) {
        rt::pick(*itemStarting(*f->menu(), "退出系统"));
        return;
      }
      items.clear();
      leaves(*f->menu(), items);
      rt::post([&, f] { step(f, 0); });
    });
  });
  book app;
  char name[] = "orvida";
  char* argv[] = {name, nullptr};
  rt::run(app, 1, argv);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%.3f\n", static_cast<double>(usage.ru_maxrss) / 1024.0);  // KiB to MiB
  for (const auto& m : t::messages()) std::fprintf(stderr, "message: %s: %s\n", m.caption.c_str(), m.text.c_str());
  if (!toured) std::fprintf(stderr, "the tour did not reach 重新登录\n");
  return toured && t::messages().empty() && !session.watchdogFired() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--child") return child();
  const int samples = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  auto ds = support::TempDataSource::standard();
  // Each grade's item settings, so that its calculator opens.
  for (const char* grade : {"31", "32", "33"})
    ds.query(std::string("INSERT INTO xmsz (nj, xm_t_m, xm_1_m, xm_5_m, xm_l_m, xm_z_m, xm_w_m, xm_t_w, xm_8_w, "
                         "xm_5_w, xm_l_w, xm_z_w, xm_y_w, xm_w_w) VALUES ('") +
             grade + "', '1', '1', '1', '1', '1', '1', '1', '1', '1', '1', '1', '1', '1')");

  std::vector<double> mib;
  for (int i = 0; i < samples; ++i) {
    const std::string text = bench::runChild(argv[0]);
    if (text.empty()) {
      std::fprintf(stderr, "sample %d failed\n", i);
      return 1;
    }
    mib.push_back(std::atof(text.c_str()));
  }
  const bench::Span s = bench::span(mib);
  std::printf("tour peak resident memory (%s), %d runs: median %.1f MiB, span %.1f-%.1f MiB  (%s)\n",
              bench::platformName(), samples, s.median, s.min, s.max, bench::machineLoad().c_str());
  return 0;
}
