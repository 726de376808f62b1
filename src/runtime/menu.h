#pragma once

#include <memory>
#include <string>
#include <vector>

#include "object.h"
#include "property.h"

namespace rt {

class Window;

// A menu item: a caption ("&" marks the access key, "\t" parts the shortcut text, "-" is a
// separator), a shortcut (the key's code plus 512 for Alt), microhelp for the status bar,
// and the fields of its toolbar button. An item's children make its submenu. The item's
// clicked event runs posted, after whatever picked it (menu, shortcut, toolbar button).
class MenuItem : public Object, public PropertyOwner {
 public:
  ~MenuItem() override;

  Prop<std::string> text{this, ""};
  Prop<int> shortcut{this, 0};
  Prop<std::string> microhelp{this, ""};
  Prop<bool> enabled{this, true};
  Prop<bool> visible{this, true};
  Prop<std::string> toolbaritemname{this, ""};
  Prop<std::string> toolbaritemtext{this, ""};
  Prop<int> toolbaritemorder{this, 0};
  Prop<int> toolbaritemspace{this, 0};

  // Events.
  virtual void create() {}  // creates the children, in display order
  virtual void destroy() {}
  virtual void clicked() {}

  // Adds a child item; called from the create event.
  template <class I>
  Ref<I> insert() {
    auto item = std::make_shared<I>();
    adopt(item);
    return Ref<I>(item);
  }

  const std::vector<std::shared_ptr<MenuItem>>& items() const noexcept { return items_; }
  MenuItem* parentItem() const noexcept { return parent_; }
  // The window the menu belongs to; null once it is gone.
  Ref<Window> parentWindow() const;
  bool isSeparator() const { return text() == "-"; }

  void propertyChanged(const void* which) override;

 private:
  friend struct MenuOps;
  void adopt(std::shared_ptr<MenuItem> item);
  std::vector<std::shared_ptr<MenuItem>> items_;
  MenuItem* parent_ = nullptr;
  Window* window_ = nullptr;
};

// A menu class: the menu bar of a frame (its items are the bar's items).
class Menu : public MenuItem {};

// Runs an item's clicked event as picking it does: posted, if the item is enabled.
void pick(MenuItem& item);

}  // namespace rt
