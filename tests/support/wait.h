#pragma once

// Waiting in a test for something that happens on its own time (a timer, a message box, a
// program started apart), with the event loop running meanwhile.

#include <gtest/gtest.h>

#include <QTest>

#include <chrono>
#include <functional>

namespace support {

// Runs the event loop until `done` holds or `timeoutMs` have passed; whether it holds.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
  return QTest::qWaitFor([&done] { return done(); }, timeoutMs);
}

// Runs `action`, which may wait on the database, and returns how long it took. Above 15 s
// it hung, and the test fails: the harness's watchdog, a timer of the event loop, cannot
// fire while a driver call blocks that loop.
inline std::chrono::duration<double> timed(const std::function<void()>& action) {
  const auto start = std::chrono::steady_clock::now();
  action();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took.count(), 15.0) << "hung for " << took.count() << " s";
  return took;
}

}  // namespace support
