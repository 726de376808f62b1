#include "event.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <cstdio>
#include <exception>
#include <optional>
#include <vector>

#include "control.h"
#include "menu.h"
#include "object.h"
#include "runtime_p.h"
#include "window.h"

namespace rt {
namespace {
int depth = 0;
int errors = 0;
std::optional<RuntimeErrorRecord> lastError;
// For each running event that has a window, innermost last: the window whose event it is
// (a control's or a menu item's window), or null for an event that comes from no window.
std::vector<Ref<Window>> acting;

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

struct ActingGuard {
  explicit ActingGuard(Ref<Window> w) { acting.push_back(std::move(w)); }
  ~ActingGuard() { acting.pop_back(); }
  ActingGuard(const ActingGuard&) = delete;
  ActingGuard& operator=(const ActingGuard&) = delete;
};

// The window an event of `target` runs in; nullopt when the target belongs to no window, so
// the event runs in whichever window's event it runs inside.
std::optional<Ref<Window>> windowOf(const Object& target) {
  if (auto* w = dynamic_cast<const Window*>(&target)) {
    auto self = std::const_pointer_cast<Object>(w->weak_from_this().lock());
    return Ref<Window>(std::weak_ptr<Window>(std::static_pointer_cast<Window>(self)));
  }
  if (auto* c = dynamic_cast<const Control*>(&target)) return c->getParent();
  if (auto* m = dynamic_cast<const MenuItem*>(&target)) return m->parentWindow();
  return std::nullopt;
}

bool run(const std::function<void()>& body) {
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

}  // namespace

bool dispatch(const std::function<void()>& body) {
  ActingGuard in{Ref<Window>()};
  return run(body);
}

bool dispatchEvent(const Object& target, std::string_view name, const std::function<void()>& body) {
  if (auto& hook = detail::hooks().journal) hook(target, name);
  std::optional<Ref<Window>> window = windowOf(target);
  if (!window) return run(body);
  ActingGuard in{*window};
  return run(body);
}

void post(std::function<void()> body) {
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [body = std::move(body)] { dispatch(body); }, Qt::QueuedConnection);
}

int eventDepth() { return depth; }

const RuntimeErrorRecord* lastRuntimeError() { return lastError ? &*lastError : nullptr; }

int runtimeErrorCount() { return errors; }

namespace detail {
Ref<Window> actingWindow() { return acting.empty() ? Ref<Window>() : acting.back(); }
}  // namespace detail

}  // namespace rt
