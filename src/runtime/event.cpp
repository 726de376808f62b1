#include "event.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <cstdio>
#include <exception>
#include <optional>

#include "object.h"
#include "runtime_p.h"

namespace rt {
namespace {
int depth = 0;
int errors = 0;
std::optional<RuntimeErrorRecord> lastError;

// The depth comes back however the event ends; objects released inside it are freed once
// the outermost event is over.
struct DepthGuard {
  DepthGuard() { ++depth; }
  ~DepthGuard() {
    if (--depth == 0) collectReleased();
  }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
};

void record(const char* what) {
  ++errors;
  lastError = RuntimeErrorRecord{what};
  std::fprintf(stderr, "runtime error, event aborted: %s\n", what);
}
}  // namespace

bool dispatch(const std::function<void()>& body) {
  DepthGuard guard;
  // Nothing may leave an event: past this point is Qt's event delivery.
  try {
    body();
    return true;
  } catch (const std::exception& e) {
    record(e.what());
  } catch (...) {
    record("unknown exception");
  }
  return false;
}

bool dispatchEvent(const Object& target, std::string_view name, const std::function<void()>& body) {
  if (auto& hook = detail::hooks().journal) hook(target, name);
  return dispatch(body);
}

void post(std::function<void()> body) {
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [body = std::move(body)] { dispatch(body); }, Qt::QueuedConnection);
}

int eventDepth() { return depth; }

const RuntimeErrorRecord* lastRuntimeError() { return lastError ? &*lastError : nullptr; }

int runtimeErrorCount() { return errors; }

}  // namespace rt
