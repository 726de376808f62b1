#pragma once

#include <string>
#include <variant>

namespace rt {

// A value handed to a statement as a bound parameter; std::monostate is null.
using SqlValue = std::variant<std::monostate, long long, double, std::string>;

// Whether a statement is prepared anew at each run, or once per connection and kept for
// the next run of the same text (a lookup run again and again with new values).
enum class Reuse { No, Kept };

}  // namespace rt
