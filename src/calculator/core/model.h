#pragma once

// What the desk calculator computes, apart from any window: its keys act on the state the
// window class keeps for the whole run and on the display of one open window. Text and
// numbers convert the same way in every locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace calculator {

// The calculator keys, by caption; the clock key and the close key are the window's own.
enum class Key {
  Digit1,  // "1" cb_1 ... "9" cb_9
  Digit2,
  Digit3,
  Digit4,
  Digit5,
  Digit6,
  Digit7,
  Digit8,
  Digit9,
  Zero,        // "0" cb_10
  Point,       // "." cb_12
  Sign,        // "+/-" cb_11
  Backspace,   // "退格" cb_17
  ClearEntry,  // "C" cb_19
  ClearAll,    // "清除" cb_20
  Add,         // "+" cb_13
  Subtract,    // "-" cb_14
  Multiply,    // "×" cb_15
  Divide,      // "÷" cb_16
  Equals,      // "=" cb_18
  Square,      // "平方" cb_23
  SquareRoot,  // "平方根" cb_22
  Reciprocal,  // "1/x" cb_21
};

// The state that belongs to the window class: one set for the whole run, starting at 0 and
// kept when the window is closed and opened again.
struct State {
  std::int16_t lick = 0;  // 1: the sign key last put a "-" in front of the display
  std::int16_t rule = 0;  // 0 none, 1 add, 2 subtract, 3 multiply, 4 divide; 5 after a
                          // square, 6 after a square root
  double m = 0;           // the first operand; after a square or a square root, the result
  std::int16_t nn = 0;    // 1: the display holds a result, the next digit starts a new entry
  bool entered = false;   // an entry key was pressed (or the display typed into) since the
                          // last operator key
  bool equalled = false;  // "=" was pressed since the last operator key
};

// What one open window shows: the display's text and which line is in view. A new window
// starts with a new Display and the class's State.
struct Display {
  std::string text = "0";
  bool clockView = false;  // the clock line shows and the display is hidden
};

// One key press. The digits, "0", "C" and "清除" return to the display view first; every other
// key acts on the display as it is, hidden or not.
void press(Key key, State& state, Display& display);

// The user typed into the display: its text is the entry now.
void edit(std::string text, State& state, Display& display);

// The clock key: switches between display view and clock view and leaves "0" in the display
// either way. The window fills the clock line and starts its timer when the clock view
// comes up.
void clockKey(Display& display);

// The text a number is shown as: at most 15 significant digits, a whole value without a
// point, an exponent where the digits would not fit, -0 as "0". It reads back as a value
// that gives the same text.
std::string numberText(double x);

// Whether a text is a number: an optional "-", digits with at most one ".", and an optional
// exponent. Too large a number still is one (its value is infinite).
bool isNumber(std::string_view text);

// The numeric value of a text; 0 for a text that is not a number.
double numberValue(std::string_view text);

// One reading of the local date and time.
struct DateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The clock line: "2024年5月7日  09:05:03".
std::string clockLine(const DateTime& now);

// What the key handler knows besides the key code.
struct KeyboardState {
  bool shift = false;            // not examined: Shift with a digit still enters the digit
  bool numLock = true;           // off: the keypad's digits and point send no digits
  bool displayHasFocus = false;  // the display edits itself and no key is mapped
};

// The calculator key a virtual-key code stands for, if any.
std::optional<Key> keyFor(int key, const KeyboardState& keyboard);

}  // namespace calculator
