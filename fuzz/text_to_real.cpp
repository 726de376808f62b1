// Text-to-real on any text: never NaN or infinity, and for every text the measurement
// field can show, the same number as an independent reading of its digits; the exact
// reader in hundredths agrees with that reading too.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "scoring/core/scoring.h"

namespace {

// What the field shows: an optional "-", up to six digits grouped by thousands with commas,
// and optionally a point with up to two decimals.
bool fieldCanShow(std::string_view t) {
  std::size_t i = 0;
  if (i < t.size() && t[i] == '-') ++i;
  std::string whole;
  std::size_t groupDigits = 0;
  bool sawComma = false;
  for (; i < t.size() && t[i] != '.'; ++i) {
    const char c = t[i];
    if (c == ',') {
      if (groupDigits == 0 || (sawComma && groupDigits != 3) || (!sawComma && groupDigits > 3)) return false;
      sawComma = true;
      groupDigits = 0;
    } else if (c >= '0' && c <= '9') {
      whole += c;
      ++groupDigits;
    } else {
      return false;
    }
  }
  if (sawComma && groupDigits != 3) return false;
  if (whole.size() > 6) return false;
  std::size_t decimals = 0;
  if (i < t.size()) {
    for (++i; i < t.size(); ++i, ++decimals)
      if (t[i] < '0' || t[i] > '9') return false;
    if (decimals > 2) return false;
  }
  return !whole.empty() || decimals > 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const float value = scoring::toReal(text);
  if (!std::isfinite(value)) std::abort();
  if (fieldCanShow(text)) {
    std::string digits;
    for (char c : text)
      if (c != ',') digits += c;
    // The C library in the C locale, as an independent reading.
    const float expected = std::strtof(digits.c_str(), nullptr);
    if (value != expected) std::abort();
    // Six whole digits and two decimals: hundredths are exact in a double.
    if (scoring::toHundredths(text) != std::llround(std::strtod(digits.c_str(), nullptr) * 100)) std::abort();
  } else if (scoring::toHundredths(text) != 0 && !scoring::parseNumber(text)) {
    std::abort();
  }
  return 0;
}
