#pragma once

// The platform's ANSI code page here: GB18030, which can name every queue a print server
// may have. No byte of a multi-byte GB18030 character is 0 or a comma, so byte-wise scans
// for either stay sound on it.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// UTF-8 to GB18030 and back. A byte sequence that does not convert is dropped; nothing
// else is lost (GB18030 covers all of Unicode).
std::string toAnsi(std::string_view utf8);
std::string fromAnsi(std::string_view ansi);

// The longest head of the GB18030 text `ansi` that fits in `bytes` bytes and ends at a
// character boundary.
std::string_view cutAnsi(std::string_view ansi, std::size_t bytes);

}  // namespace platform
