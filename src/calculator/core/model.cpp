#include "calculator/core/model.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace calculator {

namespace {

const std::string kError = "Error!";

// The display may hold what the user typed, so lengths and cuts count characters
// (UTF-8 sequences), never bytes.
bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::size_t length(const std::string& text) {
  std::size_t n = 0;
  for (char c : text) n += isContinuation(c) ? 0 : 1;
  return n;
}

std::string firstChars(const std::string& text, std::size_t n) {
  std::size_t i = 0;
  for (; i < text.size(); ++i) {
    if (!isContinuation(text[i])) {
      if (n == 0) break;
      --n;
    }
  }
  return text.substr(0, i);
}

std::string withoutLastChar(const std::string& text) {
  std::size_t end = text.size();
  while (end > 0 && isContinuation(text[end - 1])) --end;
  return text.substr(0, end > 0 ? end - 1 : 0);
}

double value(const std::string& text) { return numberValue(text); }

void returnToDisplay(Display& display) { display.clockView = false; }

// A result without a value (an overflow) shows "Error!" and leaves the state as a division
// by zero does: no pending operation, the rest as it was.
void showOverflow(State& state, Display& display) {
  display.text = kError;
  state.rule = 0;
}

// --- entry keys ---

// A number shown in exponent form ("-1e-05") takes no more digits: one appended would
// extend its exponent. A digit starts a new entry there, as it does after a result.
bool inExponentForm(const std::string& text) { return isNumber(text) && text.find_first_of("eE") != std::string::npos; }

void digit(char d, State& state, Display& display) {
  returnToDisplay(display);
  state.entered = true;
  if (state.nn == 1 || inExponentForm(display.text)) {
    display.text = std::string(1, d);
    state.nn = 0;
  } else if (length(display.text) == 1 && value(display.text) == 0) {
    display.text = std::string(1, d);
  } else if (isNumber(display.text)) {
    display.text += d;
  } else {
    display.text = std::string(1, d);
  }
}

void zero(State& state, Display& display) {
  returnToDisplay(display);
  state.entered = true;
  if (display.text.empty() || display.text == kError || state.nn == 1 || inExponentForm(display.text))
    display.text = "0";
  // A lone "0" never grows a second zero.
  if (value(display.text) != 0 || length(display.text) > 1) display.text += '0';
}

void point(State& state, Display& display) {
  state.entered = true;
  if (display.text == kError) return;
  // After a result the point starts a new entry rather than extending the result.
  if (state.nn == 1) {
    display.text = "0.";
    state.nn = 0;
    return;
  }
  // A display in exponent form, a number ("-9e-23") or what 退格 leaves of one ("-1e",
  // "1.2e"), has no place for a point: one appended there would leave a text that is no
  // number, which the next key would read as 0.
  if (display.text.find_first_of("eE") != std::string::npos) return;
  if (display.text.find('.') == std::string::npos) display.text += '.';
}

void sign(State& state, Display& display) {
  state.entered = true;
  if (value(display.text) == 0) return;
  if (state.nn == 1) {
    state.lick = 0;
    state.nn = 0;
  }
  // The display itself says whether it is signed; "C" or backspace may have removed the
  // "-" behind the flag's back.
  if (display.text.front() == '-') {
    display.text.erase(0, 1);
    state.lick = 0;
  } else {
    display.text.insert(0, 1, '-');
    state.lick = 1;
  }
}

void backspace(State& state, Display& display) {
  state.entered = true;
  if (length(display.text) > 1 && display.text != kError)
    display.text = withoutLastChar(display.text);
  else
    display.text = "0";
}

void clearEntry(State& state, Display& display) {
  returnToDisplay(display);
  state.entered = true;  // the entry is "0" now
  display.text = "0";
  state.nn = 0;
}

void clearAll(State& state, Display& display) {
  returnToDisplay(display);
  display.text = "0";
  state.nn = 0;
  state.lick = 0;
  state.rule = 0;
  state.entered = false;
  state.equalled = false;
}

// --- calculator functions ---

bool isOperation(std::int16_t rule) { return rule >= 1 && rule <= 4; }

void equals(State& state, Display& display) {
  if (isOperation(state.rule)) {
    double operand = value(display.text);
    // "×" with nothing typed after it squares the first operand, once.
    if (state.rule == 3 && (display.text == "0" || display.text.empty()) && !state.entered && !state.equalled)
      operand = state.m;
    state.equalled = true;
    if (state.rule == 4 && operand == 0) {
      display.text = kError;
      state.rule = 0;
    } else {
      double result = 0;
      switch (state.rule) {
        case 1: result = state.m + operand; break;
        case 2: result = state.m - operand; break;
        case 3: result = state.m * operand; break;
        case 4: result = state.m / operand; break;
      }
      if (std::isfinite(result))
        display.text = numberText(result);
      else
        showOverflow(state, display);
    }
  }
  if (state.rule > 0) state.nn = 1;
}

void operation(std::int16_t code, State& state, Display& display) {
  bool afterOperator = isOperation(state.rule) && !state.equalled;
  if (afterOperator && state.entered) {
    // A calculation is pending: finish it and go on from its result.
    equals(state, display);
    if (state.rule == 0) return;  // it ended in "Error!", which stays in view
    state.m = value(display.text);
  } else if (!afterOperator) {
    state.m = value(display.text);
  }
  // Right after another operator only the operation changes; the first operand stays.
  state.rule = code;
  state.nn = 0;
  display.text = "0";
  state.entered = false;
  state.equalled = false;
}

void square(State& state, Display& display) {
  double x = value(display.text);
  double result = x * x;
  if (!std::isfinite(result)) {
    showOverflow(state, display);
    return;
  }
  state.rule = 5;
  display.text = numberText(result);
  state.m = value(display.text);
  state.nn = 1;
}

void squareRoot(State& state, Display& display) {
  double x = value(display.text);
  if (x < 0) {
    state.m = x;
    state.rule = 6;
    display.text = kError;
    state.nn = 1;
    return;
  }
  double result = std::sqrt(x);
  if (!std::isfinite(result)) {
    showOverflow(state, display);
    return;
  }
  state.rule = 6;
  display.text = firstChars(numberText(result), 30);
  state.m = value(display.text);
  state.nn = 1;
}

void reciprocal(State& state, Display& display) {
  // The pending first operand in m stays untouched, and so does the typed mark: "1/x" is no
  // entry key, so an operator right after it still only replaces the previous one.
  double x = value(display.text);
  if (x == 0) {
    display.text = kError;
  } else {
    double result = 1 / x;
    if (!std::isfinite(result)) {
      showOverflow(state, display);
      return;
    }
    display.text = numberText(result);
  }
  state.nn = 1;
}

}  // namespace

void press(Key key, State& state, Display& display) {
  switch (key) {
    case Key::Digit1: digit('1', state, display); break;
    case Key::Digit2: digit('2', state, display); break;
    case Key::Digit3: digit('3', state, display); break;
    case Key::Digit4: digit('4', state, display); break;
    case Key::Digit5: digit('5', state, display); break;
    case Key::Digit6: digit('6', state, display); break;
    case Key::Digit7: digit('7', state, display); break;
    case Key::Digit8: digit('8', state, display); break;
    case Key::Digit9: digit('9', state, display); break;
    case Key::Zero: zero(state, display); break;
    case Key::Point: point(state, display); break;
    case Key::Sign: sign(state, display); break;
    case Key::Backspace: backspace(state, display); break;
    case Key::ClearEntry: clearEntry(state, display); break;
    case Key::ClearAll: clearAll(state, display); break;
    case Key::Add: operation(1, state, display); break;
    case Key::Subtract: operation(2, state, display); break;
    case Key::Multiply: operation(3, state, display); break;
    case Key::Divide: operation(4, state, display); break;
    case Key::Equals: equals(state, display); break;
    case Key::Square: square(state, display); break;
    case Key::SquareRoot: squareRoot(state, display); break;
    case Key::Reciprocal: reciprocal(state, display); break;
  }
}

void edit(std::string text, State& state, Display& display) {
  display.text = std::move(text);
  state.entered = true;
}

void clockKey(Display& display) {
  display.clockView = !display.clockView;
  display.text = "0";
}

std::string numberText(double x) {
  if (!std::isfinite(x)) return kError;
  if (x == 0) return "0";
  // Fifteen digits always survive the way to a double and back.
  char buffer[32];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 15).ptr;
  std::string text(buffer, end);
  // Near the largest double, rounding up to 15 digits would leave the range; cut instead.
  if (std::isinf(numberValue(text))) return x < 0 ? "-1.79769313486231e+308" : "1.79769313486231e+308";
  return text;
}

bool isNumber(std::string_view text) {
  std::size_t i = 0;
  auto digits = [&] {
    std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i - start;
  };
  if (i < text.size() && text[i] == '-') ++i;
  std::size_t mantissa = digits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (digits() == 0) return false;
  }
  return i == text.size();
}

double numberValue(std::string_view text) {
  if (!isNumber(text)) return 0;
  // The "C" locale's point whatever the user's locale; beyond the range of a double the
  // conversion gives an infinity or zero.
  static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
  std::string terminated(text);
  return strtod_l(terminated.c_str(), nullptr, c);
}

std::string clockLine(const DateTime& now) {
  char time[32];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", now.hour, now.minute, now.second);
  return std::to_string(now.year) + "年" + std::to_string(now.month) + "月" + std::to_string(now.day) + "日  " + time;
}

std::optional<Key> keyFor(int key, const KeyboardState& keyboard) {
  if (keyboard.displayHasFocus) return std::nullopt;
  // The keypad sends its digit and point codes only with NumLock on.
  bool keypadDigits = keyboard.numLock;
  switch (key) {
    case 49: return Key::Digit1;
    case 50: return Key::Digit2;
    case 51: return Key::Digit3;
    case 52: return Key::Digit4;
    case 53: return Key::Digit5;
    case 54: return Key::Digit6;
    case 55: return Key::Digit7;
    case 56: return Key::Digit8;
    case 57: return Key::Digit9;
    case 48: return Key::Zero;
    case 97: return keypadDigits ? std::optional(Key::Digit1) : std::nullopt;
    case 98: return keypadDigits ? std::optional(Key::Digit2) : std::nullopt;
    case 99: return keypadDigits ? std::optional(Key::Digit3) : std::nullopt;
    case 100: return keypadDigits ? std::optional(Key::Digit4) : std::nullopt;
    case 101: return keypadDigits ? std::optional(Key::Digit5) : std::nullopt;
    case 102: return keypadDigits ? std::optional(Key::Digit6) : std::nullopt;
    case 103: return keypadDigits ? std::optional(Key::Digit7) : std::nullopt;
    case 104: return keypadDigits ? std::optional(Key::Digit8) : std::nullopt;
    case 105: return keypadDigits ? std::optional(Key::Digit9) : std::nullopt;
    case 96: return keypadDigits ? std::optional(Key::Zero) : std::nullopt;
    case 110: return keypadDigits ? std::optional(Key::Point) : std::nullopt;
    case 107: return Key::Add;
    case 109: return Key::Subtract;
    case 106: return Key::Multiply;
    case 111: return Key::Divide;
    case 8: return Key::Backspace;
    case 13: return Key::Equals;
    case 27: return Key::ClearAll;
    default: return std::nullopt;
  }
}

}  // namespace calculator
