#include "event.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <cstdio>
#include <optional>

#include "object.h"

namespace rt {
namespace {
int depth = 0;
std::optional<RuntimeErrorRecord> lastError;
}  // namespace

bool dispatch(const std::function<void()>& body) {
  ++depth;
  bool completed = true;
  try {
    body();
  } catch (const RuntimeError& e) {
    completed = false;
    lastError = RuntimeErrorRecord{e.what()};
    std::fprintf(stderr, "runtime error, event aborted: %s\n", e.what());
  }
  --depth;
  if (depth == 0) collectReleased();
  return completed;
}

void post(std::function<void()> body) {
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [body = std::move(body)] { dispatch(body); },
      Qt::QueuedConnection);
}

int eventDepth() { return depth; }

const RuntimeErrorRecord* lastRuntimeError() { return lastError ? &*lastError : nullptr; }

}  // namespace rt
