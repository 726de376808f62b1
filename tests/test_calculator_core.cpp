// The desk calculator's logic: key sequences against the display and the class state, the
// text of numbers, the keyboard map and the clock line.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/core/model.h"
#include "support/datasource.h"

using namespace calculator;

namespace {

// Presses a sequence such as "5 + 3 = =" on a window's display and the class state.
// Named keys are written by caption ("时间" is the clock key); any other token is a run of
// digits and points, pressed one by one. Returns the display after every "=" and after the
// last key, joined by ", ".
std::string press(std::string_view keys, State& state, Display& display) {
  const std::pair<std::string_view, Key> named[] = {
      {"+", Key::Add},    {"-", Key::Subtract},     {"×", Key::Multiply},        {"÷", Key::Divide},
      {"=", Key::Equals}, {"平方", Key::Square},    {"平方根", Key::SquareRoot}, {"1/x", Key::Reciprocal},
      {"+/-", Key::Sign}, {"退格", Key::Backspace}, {"C", Key::ClearEntry},      {"清除", Key::ClearAll},
  };
  const Key digits[] = {Key::Zero,   Key::Digit1, Key::Digit2, Key::Digit3, Key::Digit4,
                        Key::Digit5, Key::Digit6, Key::Digit7, Key::Digit8, Key::Digit9};
  std::string shown;
  auto note = [&] { shown += (shown.empty() ? "" : ", ") + display.text; };
  std::size_t pos = 0;
  while (pos < keys.size()) {
    std::size_t end = keys.find(' ', pos);
    if (end == std::string_view::npos) end = keys.size();
    std::string_view token = keys.substr(pos, end - pos);
    pos = end + 1;
    if (token.empty()) continue;
    bool last = pos >= keys.size();
    if (token == "时间") {
      clockKey(display);
      if (last) note();
      continue;
    }
    bool found = false;
    for (auto& [caption, key] : named) {
      if (token == caption) {
        calculator::press(key, state, display);
        found = true;
        if (key == Key::Equals && !last) note();
      }
    }
    if (!found) {
      for (char c : token) {
        if (c == '.')
          calculator::press(Key::Point, state, display);
        else if (c >= '0' && c <= '9')
          calculator::press(digits[c - '0'], state, display);
        else
          ADD_FAILURE() << "unknown key in " << keys;
      }
    }
    if (last) note();
  }
  return shown;
}

// From the starting state, on a new window.
std::string shows(std::string_view keys) {
  State state;
  Display display;
  return press(keys, state, display);
}

struct Shows {
  const char* keys;
  const char* shown;  // after every "=" and after the last key
};

void expectAll(const std::vector<Shows>& cases) {
  for (const auto& c : cases) EXPECT_EQ(shows(c.keys), c.shown) << c.keys;
}

TEST(CalculatorEntry, BuildsTheEntryOnTheDisplay) {
  expectAll({
      {"7", "7"},
      {"7 3", "73"},
      {"0", "0"},
      {"0 0", "0"},
      {". 5", "0.5"},
      {"0 . 0 5", "0.05"},
      {"0 .", "0."},
      {"0 . 0", "0.0"},
      {"0 . +/-", "0."},
      {"12.5 .", "12.5"},
      {"12.5 3", "12.53"},
      {"5 +/-", "-5"},
      {"5 +/- +/-", "5"},
      {"5 +/- 0", "-50"},
      {"123 退格", "12"},
      {"5 +/- 退格", "-"},
      {"7 退格", "0"},
      {"5 + 3 = 0", "8, 0"},
      {"5 + 3 = 0 5", "8, 5"},
      {"5 + 3 = 4", "8, 4"},
      {"5 + 3 = +/-", "8, -8"},
      {"1111111111111111111111111111111111111111", "1111111111111111111111111111111111111111"},
      // A number in exponent form takes no point: "-9e-23." would be no number at all.
      {"11111111111111111111111 1/x +/- .", "-9e-23"},
      // A digit starts a new entry there instead of extending the exponent.
      {"11111111111111111111111 1/x +/- . 5", "5"},
      {"100000 1/x +/- 5", "5"},
      {"100000 1/x +/- 0", "0"},
      {"100000 1/x +/- 0 5", "5"},
      // Nor does what 退格 leaves of one.
      {"100000 1/x +/- 退格 退格 退格 .", "-1e"},
      {"12000000000 平方 +/- 退格 退格 退格 .", "-1.44e"},
      {"100000 1/x +/- 退格 退格 .", "-1e-"},
      {"100000 1/x +/- .", "-1e-05"},
      {"1.2 .", "1.2"},
      {"12 .", "12."},
  });
}

TEST(CalculatorEntry, EveryKeyOnError) {
  const std::pair<const char*, const char*> cases[] = {
      {"1", "1"},        {"0", "0"},    {".", "Error!"}, {"退格", "0"},     {"C", "0"},      {"清除", "0"},
      {"+/-", "Error!"}, {"平方", "0"}, {"平方根", "0"}, {"1/x", "Error!"}, {"=", "Error!"}, {"+ 2 =", "2"},
  };
  for (auto [key, shown] : cases) {
    State state;
    Display display;
    press("6 ÷ 0 =", state, display);
    ASSERT_EQ(display.text, "Error!");
    EXPECT_EQ(press(key, state, display), shown) << key;
  }
}

TEST(CalculatorFunctions, RepeatedEqualsKeepsTheFirstOperand) {
  expectAll({
      {"5 + 3 = = =", "8, 13, 18"},
      {"5 - 3 = = =", "2, 3, 2"},
      {"6 ÷ 3 = = =", "2, 3, 2"},
      {"5 × 3 = = =", "15, 75, 375"},
      {"5 + 3 = 4 =", "8, 9"},
      {"6 ÷ 0 = =", "Error!, Error!"},
      {"6 ÷ =", "Error!"},
      {"0 ÷ 5 +/- =", "0"},
      {"9 平方根", "3"},
      {"4 +/- 平方根", "Error!"},
      {"0 1/x", "Error!"},
      {"5 + 3 平方 = + 1 =", "9, 10"},
      {"5 + 3 时间 时间 =", "5"},
  });
}

// Each case is one of the calculator's old faults, mended.
TEST(CalculatorFunctions, Mended) {
  expectAll({
      // An operator completes a pending calculation first.
      {"5 + 3 × 2 =", "16"},
      {"10 - 4 ÷ 3 =", "2"},
      {"1 ÷ 4 + 1 = =", "1.25, 1.5"},
      // Right after another operator it only replaces it.
      {"5 + × 3 =", "15"},
      // After "=" it takes the shown value.
      {"2 + 3 = × 4 =", "5, 20"},
      // The sign follows the display, not a flag left over from before "C".
      {"3 +/- C 4 +/-", "-4"},
      {"0 - 12 = +/-", "-12, 12"},
      // A point after a result starts a new entry.
      {"7 + 5 = . 5", "12, 0.5"},
      // Only the first "=" right after "×" squares, and only with nothing typed.
      {"5 × = =", "25, 125"},
      {"5 × 0 = =", "0, 0"},
      {"5 × 3 = 0 =", "15, 0"},
      // The reciprocal leaves the first operand alone and shows a result.
      {"5 + 4 1/x =", "5.25"},
      {"4 1/x", "0.25"},
      {"4 1/x 5", "5"},
      // It is no entry key: an operator right after it only replaces the previous one.
      {"5 × 1/x + 2 =", "7"},
      {"5 ÷ 1/x +", "0"},
  });
}

struct Leaves {
  const char* keys;
  const char* display;
  int lick;
  int rule;
  double m;
  int nn;
};

TEST(CalculatorFunctions, LeavesTheState) {
  const std::vector<Leaves> cases = {
      {"5 +", "0", 0, 1, 5, 0},
      {"5 + 3 C", "0", 0, 1, 5, 0},
      {"5 +/- + 清除", "0", 0, 0, -5, 0},
      {"12 + 0 = +/-", "-12", 1, 1, 12, 0},
      {"6 ÷ 0 =", "Error!", 0, 0, 6, 0},
      {"6 ÷ 0 = =", "Error!", 0, 0, 6, 0},
      // A pending division by zero stops the next operator with its "Error!" in view.
      {"6 ÷ 0 +", "Error!", 0, 0, 6, 0},
      {"4 +/- 平方根", "Error!", 1, 6, -4, 1},
      {"5 + 3 平方", "9", 0, 5, 9, 1},
      {"5 + 4 1/x", "0.25", 0, 1, 5, 1},
      {"5 + 0 1/x", "Error!", 0, 1, 5, 1},
      // Overflow: "Error!" and the state a division by zero leaves.
      {"10 平方 平方 平方 平方 平方 平方 平方 平方", "1e+256", 0, 5, 1e256, 1},
      {"10 平方 平方 平方 平方 平方 平方 平方 平方 平方", "Error!", 0, 0, 1e256, 1},
      {"10 平方 平方 平方 平方 平方 平方 平方 平方 × =", "Error!", 0, 0, 1e256, 0},
      {"10 平方 平方 平方 平方 平方 平方 平方 平方 × = =", "Error!", 0, 0, 1e256, 0},
  };
  for (const auto& c : cases) {
    State state;
    Display display;
    press(c.keys, state, display);
    EXPECT_EQ(display.text, c.display) << c.keys;
    EXPECT_EQ(state.lick, c.lick) << c.keys;
    EXPECT_EQ(state.rule, c.rule) << c.keys;
    EXPECT_EQ(state.m, c.m) << c.keys;
    EXPECT_EQ(state.nn, c.nn) << c.keys;
  }
}

TEST(CalculatorFunctions, SquareRootShowsWhatItStores) {
  State state;
  Display display;
  press("2 平方根", state, display);
  EXPECT_LE(display.text.size(), 30u);
  EXPECT_EQ(display.text.substr(0, 8), "1.414213");
  EXPECT_EQ(state.m, numberValue(display.text));

  // A root far below 1 keeps its exponent.
  edit("1e-300", state, display);
  press(Key::SquareRoot, state, display);
  EXPECT_EQ(display.text, "1e-150");
  EXPECT_EQ(state.m, 1e-150);
}

TEST(CalculatorFunctions, InfinityAndNanShowError) {
  State state;
  Display display;
  edit("1e999", state, display);
  press(Key::Subtract, state, display);
  edit("1e999", state, display);
  press(Key::Equals, state, display);
  EXPECT_EQ(display.text, "Error!");
  EXPECT_EQ(state.rule, 0);

  edit("1e999", state, display);
  press(Key::SquareRoot, state, display);
  EXPECT_EQ(display.text, "Error!");
}

TEST(CalculatorFunctions, TypingIntoTheDisplayIsAnEntry) {
  State state;
  Display display;
  press("5 ×", state, display);
  edit("0", state, display);
  EXPECT_EQ(press("=", state, display), "0");

  const std::pair<const char*, const char*> typed[] = {
      {"4", "4"}, {"0", "abc0"}, {".", "abc."}, {"退格", "ab"}, {"+/-", "abc"},
  };
  for (auto [key, shown] : typed) {
    State fresh;
    edit("abc", fresh, display);
    EXPECT_EQ(press(key, fresh, display), shown) << key;
  }
  // Characters, not bytes.
  edit("5中", state, display);
  EXPECT_EQ(press("退格", state, display), "5");
  edit("中", state, display);
  EXPECT_EQ(press("7", state, display), "7");
}

struct InView {
  const char* keys;
  const char* display;
  bool clockView;
};

TEST(CalculatorView, KeysThatLeaveTheClockView) {
  const std::vector<InView> cases = {
      {"时间", "0", true},          {"时间 时间", "0", false},      {"7 时间", "0", true},
      {"时间 8", "8", false},       {"时间 0", "0", false},         {"时间 .", "0.", true},
      {"时间 . 5", "0.5", false},   {"时间 退格", "0", true},       {"时间 +/-", "0", true},
      {"时间 C", "0", false},       {"时间 清除", "0", false},      {"3 + 时间 5", "5", false},
      {"3 + 时间 +", "0", true},    {"3 + 时间 =", "3", true},      {"3 时间 平方", "0", true},
      {"3 时间 平方根", "0", true}, {"3 时间 1/x", "Error!", true},
  };
  for (const auto& c : cases) {
    State state;
    Display display;
    press(c.keys, state, display);
    EXPECT_EQ(display.text, c.display) << c.keys;
    EXPECT_EQ(display.clockView, c.clockView) << c.keys;
  }
}

TEST(CalculatorView, StateOutlivesTheWindow) {
  State state;  // the class's, kept by the window in a static
  {
    Display first;
    press("5 +/- +", state, first);
  }
  Display reopened;
  EXPECT_EQ(reopened.text, "0");
  EXPECT_FALSE(reopened.clockView);
  EXPECT_EQ(press("3 =", state, reopened), "-2");
  EXPECT_EQ(state.lick, 1);
}

struct Number {
  const char* text;
  bool isNumber;
  double value;
};

TEST(CalculatorNumbers, TextToNumber) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<Number> cases = {
      {"12.", true, 12},     {".5", true, 0.5},        {"-0", true, 0},      {"1e5", true, 100000},
      {"1e+20", true, 1e20}, {"2.5E-3", true, 0.0025}, {"1e999", true, inf}, {"-1e999", true, -inf},
      {"1e-999", true, 0},   {"Error!", false, 0},     {"inf", false, 0},    {"nan", false, 0},
      {"0x10", false, 0},    {" 5", false, 0},         {"5 ", false, 0},     {"", false, 0},
      {"-", false, 0},       {".", false, 0},          {"--5", false, 0},    {"+5", false, 0},
      {"1e", false, 0},      {"1,5", false, 0},        {"abc", false, 0},    {"1.2.3", false, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(isNumber(c.text), c.isNumber) << c.text;
    EXPECT_EQ(numberValue(c.text), c.value) << c.text;
  }
}

TEST(CalculatorNumbers, NumberToText) {
  const std::pair<double, const char*> cases[] = {
      {8, "8"},
      {-2, "-2"},
      {0, "0"},
      {-0.0, "0"},
      {0.25, "0.25"},
      {-1.5, "-1.5"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {123456789012345, "123456789012345"},
      {1e15, "1e+15"},
      {0.0001, "0.0001"},
      {0.00001, "1e-05"},
      {2.5e300, "2.5e+300"},
  };
  for (auto [x, text] : cases) EXPECT_EQ(numberText(x), text) << x;
}

TEST(CalculatorNumbers, WrittenTextReadsBackTheSame) {
  const double values[] = {
      std::sqrt(2.0),
      1.0 / 3,
      -2.0 / 3,
      3.141592653589793e100,
      1e-300,
      std::numeric_limits<double>::max(),
      -std::numeric_limits<double>::max(),
      std::numeric_limits<double>::min(),
      std::numeric_limits<double>::denorm_min(),
      7 * std::numeric_limits<double>::denorm_min(),
      0.1 + 0.2,
      1e22,
      123456789.123456789,
  };
  for (double x : values) {
    std::string text = numberText(x);
    EXPECT_TRUE(isNumber(text)) << text;
    EXPECT_LE(text.size(), 30u) << text;
    EXPECT_NE(numberValue(text), 0) << text;
    EXPECT_EQ(numberText(numberValue(text)), text) << text;
  }
}

TEST(CalculatorNumbers, IgnoreTheLocale) {
  ASSERT_TRUE(support::useTestLocale("de_DE.UTF-8")) << "the tests' German locale is missing";
  EXPECT_EQ(numberText(0.25), "0.25");
  EXPECT_EQ(numberValue("0.25"), 0.25);
  EXPECT_FALSE(isNumber("0,25"));
  std::setlocale(LC_ALL, "C");
}

struct Mapped {
  int key;
  bool shift;
  bool numLock;
  std::optional<Key> to;
};

TEST(CalculatorKeyboard, MapsKeyCodes) {
  const std::optional<Key> none;
  const std::vector<Mapped> cases = {
      {49, false, true, Key::Digit1},    {53, false, true, Key::Digit5},    {57, false, false, Key::Digit9},
      {48, false, true, Key::Zero},      {56, true, true, Key::Digit8},     {97, false, true, Key::Digit1},
      {101, false, true, Key::Digit5},   {105, false, true, Key::Digit9},   {96, false, true, Key::Zero},
      {110, false, true, Key::Point},    {97, false, false, none},          {105, false, false, none},
      {96, false, false, none},          {110, false, false, none},         {107, false, true, Key::Add},
      {109, false, true, Key::Subtract}, {106, false, true, Key::Multiply}, {111, false, true, Key::Divide},
      {107, false, false, Key::Add},     {111, false, false, Key::Divide},  {8, false, true, Key::Backspace},
      {13, false, true, Key::Equals},    {27, false, true, Key::ClearAll},  {190, false, true, none},
      {187, false, true, none},          {187, true, true, none},           {189, false, true, none},
      {191, false, true, none},          {112, false, true, none},          {36, false, false, none},
  };
  for (const auto& c : cases) EXPECT_EQ(keyFor(c.key, {.shift = c.shift, .numLock = c.numLock}), c.to) << c.key;

  // The display takes its own keys.
  for (int key : {49, 13, 27, 8}) EXPECT_EQ(keyFor(key, {.displayHasFocus = true}), none) << key;
}

TEST(CalculatorClock, LineFromOneReading) {
  EXPECT_EQ(clockLine({2024, 5, 7, 9, 5, 3}), "2024年5月7日  09:05:03");
  EXPECT_EQ(clockLine({2024, 12, 31, 23, 59, 59}), "2024年12月31日  23:59:59");
}

}  // namespace
