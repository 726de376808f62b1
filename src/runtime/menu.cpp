#include "menu.h"

#include "event.h"
#include "frame_p.h"
#include "window.h"

namespace rt {

MenuItem::~MenuItem() = default;

void MenuItem::adopt(std::shared_ptr<MenuItem> item) {
  items_.push_back(item);
  item->parent_ = this;
  // An item with a submenu makes its own children, after its caption is set.
  Ref<MenuItem> ref(item);
  dispatchEvent(*item, "create", [ref] { ref->create(); });
}

Ref<Window> MenuItem::parentWindow() const {
  const MenuItem* root = this;
  while (root->parent_) root = root->parent_;
  if (!root->window_ || !root->window_->isValid()) return {};
  return refTo(*root->window_);
}

void MenuItem::propertyChanged(const void*) {
  Ref<Window> w = parentWindow();
  if (w)
    if (auto* chrome = detail::chromeOf(*w)) chrome->itemChanged(*this);
}

void pick(MenuItem& item) {
  if (!item.isValid() || !item.enabled) return;
  Ref<MenuItem> ref = refTo(item);
  // Posted: no menu or toolbar code of Qt's is on the stack while the event runs.
  post([ref] {
    if (ref && ref->enabled) dispatchEvent(*ref, "clicked", [ref] { ref->clicked(); });
  });
}

}  // namespace rt
