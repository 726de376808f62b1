#pragma once

// What the DataView's two kinds of object share: their names. Private to the runtime.

#include <cctype>
#include <optional>
#include <string>
#include <vector>

namespace rt::detail {

// Names go into statements and expressions as they stand, so they must be plain identifiers.
inline bool isIdentifier(const std::string& s) {
  if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0]))) return false;
  for (char c : s)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
  return true;
}

inline std::optional<std::size_t> indexOf(const std::vector<std::string>& names, const std::string& name) {
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return i;
  return std::nullopt;
}

}  // namespace rt::detail
