#pragma once

// A sample in a fresh process: the benchmark runs itself again with --child and reads what
// the child prints.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace bench {

// The child's standard output, or "" when it could not start or failed; `extraEnv`
// ("NAME=value", or "") is added to its environment.
inline std::string runChild(char* self, const std::string& extraEnv = {}) {
  int out[2];
  if (pipe(out) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::vector<char*> env;
  for (char** e = environ; *e; ++e) env.push_back(*e);
  if (!extraEnv.empty()) env.push_back(const_cast<char*>(extraEnv.c_str()));
  env.push_back(nullptr);
  char flag[] = "--child";
  char* childArgv[] = {self, flag, nullptr};
  pid_t pid = 0;
  const bool started = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, childArgv, env.data()) == 0;
  close(out[1]);
  std::string text;
  char buf[64];
  for (ssize_t n; started && (n = read(out[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
  close(out[0]);
  posix_spawn_file_actions_destroy(&actions);
  if (!started) return {};
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : std::string();
}

// The window system the samples ran on.
inline const char* platformName() {
  if (const char* platform = std::getenv("QT_QPA_PLATFORM")) return platform;
  return std::getenv("DISPLAY") ? "xcb" : "default platform";
}

}  // namespace bench
