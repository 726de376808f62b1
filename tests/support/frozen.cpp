#include "support/frozen.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstring>
#include <stdexcept>
#include <utility>

namespace support {

Frozen::Frozen(const std::function<void()>& stop, std::function<void()> resume, std::chrono::milliseconds deadline,
               std::string what)
    : resume_(std::move(resume)), what_(std::move(what)) {
  stop();
  const auto until = std::chrono::steady_clock::now() + deadline;
  thread_ = std::thread([this, until, deadline] {
    std::unique_lock lock(mutex_);
    if (!wake_.wait_until(lock, until, [this] { return released_; })) {
      expired_ = true;
      ADD_FAILURE() << what_ << " was still stopped after " << deadline.count()
                    << " ms and is continued now: something waited for it without end";
    }
    resume_();
  });
}

Frozen::~Frozen() { release(); }

void Frozen::release() {
  {
    std::lock_guard lock(mutex_);
    released_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool Frozen::expired() const {
  std::lock_guard lock(mutex_);
  return expired_;
}

Frozen stopProcess(int pid, std::chrono::milliseconds deadline) {
  const std::string what = "process " + std::to_string(pid);
  return Frozen(
      [pid, what] {
        if (pid <= 0 || kill(pid, SIGSTOP) != 0)
          throw std::runtime_error("cannot stop " + what + ": " + std::strerror(errno));
      },
      [pid] { kill(pid, SIGCONT); }, deadline, what);
}

}  // namespace support
