// Time from process start to the splash on screen, over a real SQLite data source.
// Each sample is a fresh process: this program runs itself with --child.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "classes.h"
#include "runtime/application.h"
#include "runtime/testing.h"
#include "runtime/window.h"
#include "shell/book.h"
#include "support/datasource.h"

extern char** environ;

namespace {

long long nowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

int child() {
  const long long t0 = std::atoll(std::getenv("BENCH_T0"));
  // Under a display the splash is a real window; the harness would otherwise draw offscreen.
  if (std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "xcb", 1);
  rt::testing::Session session;
  registerClasses();
  rt::testing::onOpen("w_flash", [t0](rt::Window& w) {
    rt::testing::waitExposed(w);
    std::printf("%.3f\n", (nowNs() - t0) / 1e6);
    std::fflush(stdout);
    rt::close(w);
  });
  book app;
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
    int out[2];
    if (pipe(out) != 0) return 1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string t0 = "BENCH_T0=" + std::to_string(nowNs());
    std::vector<char*> env;
    for (char** e = environ; *e; ++e) env.push_back(*e);
    env.push_back(const_cast<char*>(t0.c_str()));
    env.push_back(nullptr);
    char flag[] = "--child";
    char* childArgv[] = {argv[0], flag, nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, childArgv, env.data()) != 0) return 1;
    close(out[1]);
    std::string text;
    char buf[64];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    if (text.empty() || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "sample %d failed\n", i);
      return 1;
    }
    ms.push_back(std::atof(text.c_str()));
  }
  std::sort(ms.begin(), ms.end());
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (!platform && std::getenv("DISPLAY")) platform = "xcb";
  std::printf("start-up to splash on screen (%s), %d runs: median %.1f ms, min %.1f ms, max %.1f ms\n",
              platform ? platform : "default platform", samples, ms[ms.size() / 2], ms.front(), ms.back());
  return 0;
}
