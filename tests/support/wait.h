#pragma once

// Waiting in a test for something that happens on its own time (a timer, a message box, a
// program started apart), with the event loop running meanwhile.

#include <QTest>

#include <functional>

namespace support {

// Runs the event loop until `done` holds or `timeoutMs` have passed; whether it holds.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
  return QTest::qWaitFor([&done] { return done(); }, timeoutMs);
}

}  // namespace support
