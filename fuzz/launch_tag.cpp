// The launch-tag lookup on any tag, key and default: it returns, and what it returns is the
// default or a part of the tag.

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "shell/launch_tag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Tag, key and default, split at the first two zero bytes; a missing default is null.
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  const std::size_t a = in.find('\0');
  const std::string_view tag = in.substr(0, a);
  std::string_view key;
  std::optional<std::string> fallback;
  if (a != std::string_view::npos) {
    const std::size_t b = in.find('\0', a + 1);
    key = in.substr(a + 1, b == std::string_view::npos ? std::string_view::npos : b - a - 1);
    if (b != std::string_view::npos) fallback = std::string(in.substr(b + 1));
  }
  const std::optional<std::string> value = tagValue(tag, key, fallback);
  if (value == fallback) return 0;
  if (!value || tag.find(*value) == std::string_view::npos) std::abort();
  return 0;
}
