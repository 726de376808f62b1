#pragma once

// The launch tags of the start page's pictures: entries "key = value" separated by ";".

#include <optional>
#include <string>
#include <string_view>

// The value of `key` in `tag`: keys match in any case, also inside a longer word, and the
// first occurrence that "=" follows (blanks between) decides; the value runs to the next
// ";", blanks around it dropped. `as_default` when the key has no such occurrence, the tag is
// empty, or the key is (an empty key would be found everywhere and end nowhere).
std::optional<std::string> tagValue(std::string_view tag, std::string_view key,
                                    const std::optional<std::string>& as_default);
