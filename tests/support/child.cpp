#include "support/child.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <unistd.h>

#include <vector>

namespace support {

Child startThisTestAgain(const std::string& setting) {
  int out[2];
  if (pipe(out) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string self = "orvida-test";
  std::string filter = std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
  char* argv[] = {self.data(), filter.data(), nullptr};
  std::string flag = setting;
  std::vector<char*> env;
  for (char** e = environ; *e; ++e) env.push_back(*e);
  env.push_back(flag.data());
  env.push_back(nullptr);
  Child child;
  if (posix_spawn(&child.pid, "/proc/self/exe", &actions, nullptr, argv, env.data()) != 0) child.pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (child.pid == -1) {
    close(out[0]);
    return {};
  }
  child.out = out[0];
  return child;
}

}  // namespace support
