#pragma once

// The runtime's only contact with the ODBC driver manager.

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <utility>

namespace rt::odbc {

// One ODBC handle, freed on every path.
class Handle {
 public:
  Handle() = default;
  Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
    if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &h_))) h_ = nullptr;
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  Handle(Handle&& o) noexcept : type_(o.type_), h_(std::exchange(o.h_, nullptr)) {}
  Handle& operator=(Handle&& o) noexcept {
    if (this != &o) {
      reset();
      type_ = o.type_;
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  ~Handle() { reset(); }

  void reset() {
    if (h_ != nullptr) SQLFreeHandle(type_, h_);
    h_ = nullptr;
  }
  SQLHANDLE get() const noexcept { return h_; }
  SQLSMALLINT type() const noexcept { return type_; }
  explicit operator bool() const noexcept { return h_ != nullptr; }

 private:
  SQLSMALLINT type_ = 0;
  SQLHANDLE h_ = nullptr;
};

// What the driver said about the last call on a handle.
struct Diagnostic {
  std::string sqlstate;
  long native = 0;
  std::string text;  // the driver's own messages, one a line
};

inline Diagnostic diagnose(SQLSMALLINT type, SQLHANDLE handle) {
  Diagnostic d;
  for (SQLSMALLINT i = 1;; ++i) {
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLCHAR message[1024] = {};
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLGetDiagRec(type, handle, i, state, &native, message, sizeof message, &length);
    if (!SQL_SUCCEEDED(rc)) break;
    if (i == 1) {
      d.sqlstate = reinterpret_cast<char*>(state);
      d.native = native;
    }
    if (!d.text.empty()) d.text += '\n';
    d.text += reinterpret_cast<char*>(message);
  }
  return d;
}

}  // namespace rt::odbc
