#include "object.h"

#include <algorithm>
#include <vector>

#include "event.h"

namespace rt {
namespace {
std::vector<std::shared_ptr<Object>>& pool() {
  static std::vector<std::shared_ptr<Object>> objects;
  return objects;
}
std::vector<std::shared_ptr<Object>>& released() {
  static std::vector<std::shared_ptr<Object>> objects;
  return objects;
}
}  // namespace

void keep(std::shared_ptr<Object> object) { pool().push_back(std::move(object)); }

void invalidate(Object& object) { object.valid_ = false; }

void release(Object& object) {
  invalidate(object);
  auto& objects = pool();
  auto it = std::find_if(objects.begin(), objects.end(), [&](const auto& p) { return p.get() == &object; });
  if (it == objects.end()) return;
  released().push_back(std::move(*it));
  objects.erase(it);
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
