#include "object.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "event.h"

namespace rt {
namespace {
struct Kept {
  std::shared_ptr<Object> object;
  std::function<void()> destructor;
};
std::vector<Kept>& pool() {
  static std::vector<Kept> objects;
  return objects;
}
std::vector<std::shared_ptr<Object>>& released() {
  static std::vector<std::shared_ptr<Object>> objects;
  return objects;
}
}  // namespace

void keep(std::shared_ptr<Object> object, std::function<void()> destructor) {
  pool().push_back({std::move(object), std::move(destructor)});
}

void invalidate(Object& object) { object.valid_ = false; }

void release(Object& object) {
  const auto find = [&] {
    return std::find_if(pool().begin(), pool().end(), [&](const Kept& k) { return k.object.get() == &object; });
  };
  auto it = find();
  if (it != pool().end() && it->destructor && object.isValid()) {
    // While it runs the object and every reference to it still work; taken out first, so a
    // destroy from inside it does not run it again.
    auto destructor = std::exchange(it->destructor, {});
    dispatchEvent(object, "destructor", destructor);
    it = find();
  }
  invalidate(object);
  if (it == pool().end()) return;
  released().push_back(std::move(it->object));
  pool().erase(it);
  if (eventDepth() == 0) collectReleased();
}

void collectReleased() {
  // Freeing one object can release others (a window its controls): drain until empty.
  while (!released().empty()) {
    auto batch = std::move(released());
    released().clear();
    batch.clear();
  }
}

}  // namespace rt
