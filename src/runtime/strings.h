#pragma once

// The runtime's string functions. Blanks are spaces only, never tabs; upper and lower
// change the ASCII letters only, so every other character (a Chinese one among them) and
// every position stays as it was. Plain C++, for any code of the program.

#include <string>
#include <string_view>

namespace rt {

std::string upper(std::string_view s);
std::string lower(std::string_view s);
std::string trim(std::string_view s);
std::string lefttrim(std::string_view s);
std::string righttrim(std::string_view s);
// Whether `s` ends in `tail`, compared as written.
bool endsWith(std::string_view s, std::string_view tail);

}  // namespace rt
