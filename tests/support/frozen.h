#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace support {

// Well under ctest's time-out of a test, and well over any wait the program may take.
inline constexpr std::chrono::seconds kFreezeDeadline{25};

// Something stopped, as a hung server or a paused machine is, until the guard ends or
// release() is called. A thread of its own continues it once `deadline` has passed and
// fails the test: what waited would have waited for ever. Not a timer of the program's
// thread, since that is the thread left waiting in the driver.
class Frozen {
 public:
  Frozen(const std::function<void()>& stop, std::function<void()> resume, std::chrono::milliseconds deadline,
         std::string what);
  ~Frozen();
  Frozen(const Frozen&) = delete;
  Frozen& operator=(const Frozen&) = delete;

  void release();        // continued now; returns once it is
  bool expired() const;  // the deadline continued it

 private:
  std::function<void()> resume_;
  std::string what_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool released_ = false, expired_ = false;
  std::thread thread_;
};

// One process stopped (SIGSTOP), continued (SIGCONT) at the guard's end.
Frozen stopProcess(int pid, std::chrono::milliseconds deadline = kFreezeDeadline);

}  // namespace support
