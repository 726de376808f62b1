#pragma once

#include <string>
#include <variant>

namespace rt {

// A value handed to a statement as a bound parameter; std::monostate is null.
using SqlValue = std::variant<std::monostate, long long, double, std::string>;

}  // namespace rt
