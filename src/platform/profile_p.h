#pragma once

#include <optional>
#include <string>

namespace platform::detail {

// A test's value for win.ini's "device" key: unset, the live value.
std::optional<std::optional<std::string>>& profileDevice();

}  // namespace platform::detail
