// The desk calculator's model driven by any key sequence: it returns after every key, and
// the display is always "Error!", a number, or a partial entry its own keys leave. Every
// number it writes reads back as itself.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "calculator/core/model.h"

namespace {

// What the keys can leave on the way to a number: "-" after 退格 on "-5", a result
// shortened by 退格 ("1e+", "1.2e"), an empty display.
bool partialEntry(std::string_view t) {
  std::size_t i = 0;
  if (i < t.size() && t[i] == '-') ++i;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
  if (i < t.size() && t[i] == '.') ++i;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
  if (i < t.size() && t[i] == 'e') {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
  }
  return i == t.size();
}

// "Error!" shortened by 退格 is no number either.
bool errorPrefix(std::string_view t) { return !t.empty() && std::string_view("Error!").starts_with(t); }

void checkNumberText(double x) {
  if (!std::isfinite(x)) return;
  const std::string text = calculator::numberText(x);
  if (!calculator::isNumber(text)) std::abort();
  if (calculator::numberText(calculator::numberValue(text)) != text) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr int kKeys = static_cast<int>(calculator::Key::Reciprocal) + 1;
  calculator::State state;
  calculator::Display display;
  for (std::size_t i = 0; i < size; ++i) {
    const int k = data[i] % (kKeys + 1);
    if (k == kKeys)
      calculator::clockKey(display);
    else
      calculator::press(static_cast<calculator::Key>(k), state, display);
    const std::string& t = display.text;
    (void)calculator::numberValue(t);
    const bool number = calculator::isNumber(t);
    if (!(t == "Error!" || number || partialEntry(t) || errorPrefix(t))) std::abort();
    if (number) checkNumberText(calculator::numberValue(t));
  }
  // Any double the bytes spell is written so that it reads back as itself.
  if (size >= sizeof(double)) {
    double x;
    std::memcpy(&x, data, sizeof x);
    checkNumberText(x);
  }
  return 0;
}
