#pragma once

// The profile strings of win.ini. Key "device" of section "windows" is the user's default
// printer, built live as "<queue>,cups,<device URI>"; neither of the last two ever holds a
// comma (one in the URI is written %2C), so the name is the text before the second-to-last
// comma. Every other file, section or key gives the default.

#include <string>
#include <string_view>

namespace platform {

// UTF-8 in and out.
std::string ProfileString(std::string_view file, std::string_view section, std::string_view key,
                          std::string_view defaultText);

}  // namespace platform
