#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

#include "event.h"

namespace rt {

// A runtime error aborts the rest of the running event and nothing else.
class RuntimeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class NullObjectError : public RuntimeError {
 public:
  NullObjectError() : RuntimeError("Null object reference") {}
};

// Every window, control, menu and user object of the program derives from Object.
// Objects live from create to destroy; a destroyed object stays in memory until the
// running event has ended, but every reference to it already reads as null.
class Object : public std::enable_shared_from_this<Object> {
 public:
  virtual ~Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  virtual std::string className() const = 0;
  bool isValid() const noexcept { return valid_; }

 protected:
  Object() = default;

 private:
  friend void invalidate(Object&);
  bool valid_ = true;
};

// A reference variable: null until it holds an object, null again once that object is
// destroyed. Using a null reference throws NullObjectError.
template <class T>
class Ref {
 public:
  Ref() = default;
  Ref(std::nullptr_t) {}
  explicit Ref(std::weak_ptr<T> p) : p_(std::move(p)) {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  Ref(const Ref<U>& other) : p_(other.weak()) {}

  bool isValid() const noexcept {
    auto s = p_.lock();
    return s && s->isValid();
  }
  explicit operator bool() const noexcept { return isValid(); }

  T& operator*() const { return get(); }
  T* operator->() const { return &get(); }
  T& get() const {
    auto s = p_.lock();
    if (!s || !s->isValid()) throw NullObjectError();
    return *s;  // the object outlives the running event (see Object)
  }
  T* raw() const noexcept {
    auto s = p_.lock();
    return s && s->isValid() ? s.get() : nullptr;
  }
  const std::weak_ptr<T>& weak() const noexcept { return p_; }
  void reset() noexcept { p_.reset(); }

  template <class U>
  bool operator==(const Ref<U>& o) const noexcept {
    return raw() == o.raw();
  }

 private:
  std::weak_ptr<T> p_;
};

template <class T>
Ref<T> refTo(T& object) {
  return Ref<T>(std::static_pointer_cast<T>(object.shared_from_this()));
}

// Casts a reference down; a reference of another class reads as null.
template <class T, class U>
Ref<T> cast(const Ref<U>& r) {
  auto s = r.weak().lock();
  return Ref<T>(std::weak_ptr<T>(std::dynamic_pointer_cast<T>(s)));
}

// The object pool: `create` makes an object the run keeps until `destroy`. `destructor`, when
// given, is the object's destructor event, which `release` runs first.
void keep(std::shared_ptr<Object> object, std::function<void()> destructor = {});
void invalidate(Object& object);
// Runs the object's destructor event, if it has one, then marks the object destroyed and
// frees it once no event is running.
void release(Object& object);
// Frees what `release` set aside; the runtime calls it between events.
void collectReleased();

// Makes a non-visual object the run keeps. An object with a constructor event gets it once
// it is built, before `create` returns; one with a destructor event gets that from
// `destroy`. Objects made otherwise (members, locals) are not the runtime's and get neither.
template <class T, class... Args>
Ref<T> create(Args&&... args) {
  auto object = std::make_shared<T>(std::forward<Args>(args)...);
  std::function<void()> destructor;
  if constexpr (requires(T & t) { t.destructor(); }) destructor = [raw = object.get()] { raw->destructor(); };
  keep(object, std::move(destructor));
  if constexpr (requires(T & t) { t.constructor(); })
    dispatchEvent(*object, "constructor", [&] { object->constructor(); });
  return Ref<T>(object);
}

// Destroys a non-visual object made by `create`; a null reference is left as it is.
template <class T>
void destroy(Ref<T>& r) {
  if (T* p = r.raw()) release(*p);
  r.reset();
}

// The class name of a window, a menu, a user object or a runtime class, as the runtime
// reports it: `RT_CLASS(w_flash)` inside its body. A control takes its name from `named`.
#define RT_CLASS(name)                             \
  static constexpr const char* class_name = #name; \
  std::string className() const override { return #name; }

// A class name as a template argument.
template <std::size_t N>
struct class_name_text {
  char s[N];
  constexpr class_name_text(const char (&v)[N]) {
    for (std::size_t i = 0; i < N; ++i) s[i] = v[i];
  }
};

// A control of class `Name` made from `Kind`: `named<RadioButton, "rb_1">`, or the base of a
// control with events of its own. Every control of a window takes its class name this way.
template <class Kind, class_name_text Name>
struct named : Kind {
  using Kind::Kind;
  static constexpr const char* class_name = Name.s;
  std::string className() const override { return Name.s; }
};

}  // namespace rt
