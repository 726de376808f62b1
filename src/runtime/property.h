#pragma once

#include <utility>

namespace rt {

// Something whose look follows its properties: a window or a control.
class PropertyOwner {
 public:
  // `which` is the property that changed, so an owner re-applies only what it touches.
  virtual void propertyChanged(const void* which) = 0;

 protected:
  ~PropertyOwner() = default;
};

// A property read and written like a plain field ("cb_1.enabled = false"); writing a new
// value tells the owner, so the widget on screen follows at once.
template <class T>
class Prop {
 public:
  Prop(PropertyOwner* owner, T initial) : owner_(owner), value_(std::move(initial)) {}
  Prop(const Prop&) = delete;

  Prop& operator=(const T& v) {
    if (!(value_ == v)) {
      value_ = v;
      owner_->propertyChanged(this);
    }
    return *this;
  }
  Prop& operator=(const Prop& other) { return *this = other.value_; }

  // Takes a value the screen already shows (a size the user dragged), telling nobody.
  void assignQuietly(const T& v) { value_ = v; }

  operator const T&() const noexcept { return value_; }
  const T& operator()() const noexcept { return value_; }
  const T* operator->() const noexcept { return &value_; }

  friend bool operator==(const Prop& a, const T& b) { return a.value_ == b; }

 private:
  PropertyOwner* owner_;
  T value_;
};

}  // namespace rt
