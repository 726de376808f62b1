// The desk calculator window: what it adds to the calculator's model — opening, the keyboard,
// the clock line and its timer, the state that outlives the window, one window at a time.

#include <gtest/gtest.h>

#include <ctime>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/w_4.h"
#include "classes.h"
#include "runtime/testing.h"
#include "runtime/window.h"

namespace t = rt::testing;

namespace {

class DeskCalculator : public ::testing::Test {
 protected:
  t::Session session;
  rt::Ref<w_4> w;

  void SetUp() override {
    w_4::state = {};  // a run of its own for each test, even in one process
    registerClasses();
    // As the menu opens it: by its class name, through its global variable.
    ASSERT_EQ(rt::open("w_4"), 1);
    w = rt::global<w_4>();
    ASSERT_TRUE(w);
  }

  std::string shown() const { return w->sle_1->text; }
  bool clockView() const { return w->sle_2->visible && !w->sle_1->visible; }

  // Mouse clicks on the keys named by their captions, separated by blanks; "关闭" is the clock
  // key's caption in the clock view, never the close key.
  void clickKeys(std::string_view captions) {
    std::size_t pos = 0;
    while (pos < captions.size()) {
      std::size_t end = captions.find(' ', pos);
      if (end == std::string_view::npos) end = captions.size();
      const std::string caption(captions.substr(pos, end - pos));
      pos = end + 1;
      if (caption.empty()) continue;
      bool found = false;
      for (const auto& c : w->controls()) {
        auto* button = dynamic_cast<rt::CommandButton*>(c.get());
        if (button && button != w->cb_26.raw() && button->text() == caption && !found) {
          t::click(*button);
          found = true;
        }
      }
      if (!found) ADD_FAILURE() << "no key " << caption;
    }
  }

  // Keys pressed on the keyboard, separated by blanks: "1" … "0" and ". = + - /" on the main
  // keyboard ("+" with Shift, as on the key it shares with "="), "S8" Shift+8, "K1" … "K0",
  // "K." "K+" "K-" "K*" "K/" on the keypad with NumLock on, "KHome" "KUp" "KIns" "KDel" on
  // the keypad with NumLock off, "Enter" "Esc" "BS" "F1"; "@=" "@7" "@display" move the focus.
  void typeKeys(std::string_view keys) {
    struct Named {
      std::string_view name;
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
    };
    const Named named[] = {
        {".", Qt::Key_Period, Qt::NoModifier},        {"=", Qt::Key_Equal, Qt::NoModifier},
        {"+", Qt::Key_Plus, Qt::ShiftModifier},       {"-", Qt::Key_Minus, Qt::NoModifier},
        {"/", Qt::Key_Slash, Qt::NoModifier},         {"S8", Qt::Key_Asterisk, Qt::ShiftModifier},
        {"K.", Qt::Key_Period, Qt::KeypadModifier},   {"K+", Qt::Key_Plus, Qt::KeypadModifier},
        {"K-", Qt::Key_Minus, Qt::KeypadModifier},    {"K*", Qt::Key_Asterisk, Qt::KeypadModifier},
        {"K/", Qt::Key_Slash, Qt::KeypadModifier},    {"KHome", Qt::Key_Home, Qt::KeypadModifier},
        {"KUp", Qt::Key_Up, Qt::KeypadModifier},      {"KIns", Qt::Key_Insert, Qt::KeypadModifier},
        {"KDel", Qt::Key_Delete, Qt::KeypadModifier}, {"Enter", Qt::Key_Return, Qt::NoModifier},
        {"Esc", Qt::Key_Escape, Qt::NoModifier},      {"BS", Qt::Key_Backspace, Qt::NoModifier},
        {"F1", Qt::Key_F1, Qt::NoModifier},
    };
    std::size_t pos = 0;
    while (pos < keys.size()) {
      std::size_t end = keys.find(' ', pos);
      if (end == std::string_view::npos) end = keys.size();
      const std::string_view token = keys.substr(pos, end - pos);
      pos = end + 1;
      if (token.empty()) continue;
      if (token == "@=") {
        t::moveFocus(*w->cb_18);
      } else if (token == "@7") {
        t::moveFocus(*w->cb_7);
      } else if (token == "@display") {
        t::moveFocus(*w->sle_1);
      } else if (token.size() == 1 && token[0] >= '0' && token[0] <= '9') {
        t::pressKey(*w, static_cast<Qt::Key>(Qt::Key_0 + (token[0] - '0')));
      } else if (token.size() == 2 && token[0] == 'K' && token[1] >= '0' && token[1] <= '9') {
        t::pressKey(*w, static_cast<Qt::Key>(Qt::Key_0 + (token[1] - '0')), Qt::KeypadModifier);
      } else {
        bool found = false;
        for (const auto& n : named) {
          if (n.name == token) {
            t::pressKey(*w, n.key, n.modifiers);
            found = true;
          }
        }
        if (!found) ADD_FAILURE() << "unknown key " << token;
      }
    }
  }
};

// The clock line as it reads at any moment between two readings of the clock.
::testing::AssertionResult isClockLine(const std::string& text, std::time_t before, std::time_t after) {
  static const std::regex form("(\\d+)年(\\d+)月(\\d+)日  \\d\\d:\\d\\d:\\d\\d");
  if (!std::regex_match(text, form)) return ::testing::AssertionFailure() << "\"" << text << "\"";
  for (std::time_t t : {before, after}) {
    std::tm local{};
    localtime_r(&t, &local);
    const std::string date = std::to_string(local.tm_year + 1900) + "年" + std::to_string(local.tm_mon + 1) + "月" +
                             std::to_string(local.tm_mday) + "日  ";
    if (text.starts_with(date)) return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "\"" << text << "\" is not today";
}

}  // namespace

TEST_F(DeskCalculator, OpensOnTheDisplayWithTheFocusOnEquals) {
  EXPECT_TRUE(t::isShown(*w));
  EXPECT_EQ(shown(), "0");
  EXPECT_EQ(w->cb_24->text(), "时间");
  EXPECT_TRUE(w->sle_1->visible);
  EXPECT_FALSE(w->sle_2->visible);
  EXPECT_TRUE(t::focused(*w) == w->cb_18);
  EXPECT_EQ(w->cb_18->text(), "=");
  // Tab walks "=", the display and "关闭" only.
  t::pressKey(*w, Qt::Key_Tab);
  EXPECT_TRUE(t::focused(*w) == w->sle_1);
  t::pressKey(*w, Qt::Key_Tab);
  EXPECT_TRUE(t::focused(*w) == w->cb_26);
  t::pressKey(*w, Qt::Key_Tab);
  EXPECT_TRUE(t::focused(*w) == w->cb_18);
}

// The two views each go round their own stops, both ways: the clock line is no stop and
// takes the display's place.
TEST_F(DeskCalculator, TabGoesRoundTheStopsOfTheViewShown) {
  using Names = std::vector<std::string>;
  auto walk = [this](bool back) {
    Names names;
    for (int i = 0; i < 3; ++i) {
      t::pressKey(*w, Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
      names.push_back(t::focused(*w) ? t::focused(*w)->className() : "none");
    }
    return names;
  };
  t::moveFocus(*w->cb_18);
  EXPECT_EQ(walk(true), (Names{"cb_26", "sle_1", "cb_18"})) << "the display view, backwards";
  clickKeys("时间");
  ASSERT_TRUE(clockView());
  t::moveFocus(*w->cb_18);
  EXPECT_EQ(walk(false), (Names{"cb_26", "cb_18", "cb_26"})) << "the clock view";
  EXPECT_EQ(walk(true), (Names{"cb_18", "cb_26", "cb_18"})) << "the clock view, backwards";
  EXPECT_TRUE(clockView());
}

// Every key as it stands on the window, and a mouse click at its place doing that key's
// work on what was typed before (and after) it.
TEST_F(DeskCalculator, EachKeyStandsInItsPlaceAndDoesItsWork) {
  struct Key {
    const char* name;
    const char* caption;
    int x, y, width, height, points, weight;
    const char* before;  // typed from a new window, the focus on "="
    const char* after;
    const char* outcome;  // the display, the clock line or the window closed
  };
  const Key keys[] = {
      {"cb_24", "时间", 55, 224, 201, 120, 11, 400, "5", "", "clock line, display 0"},
      {"cb_17", "退格", 279, 224, 201, 120, 11, 400, "1 2 3", "", "12"},
      {"cb_20", "清除", 530, 224, 201, 120, 11, 400, "5 K+ 3", "2 Enter", "2"},
      {"cb_19", "C", 777, 224, 201, 120, 14, 400, "5 K+ 3", "2 Enter", "7"},
      {"cb_26", "关闭", 1024, 224, 197, 120, 11, 400, "5", "", "closed"},
      {"cb_7", "7", 55, 376, 201, 120, 14, 700, "1", "", "17"},
      {"cb_8", "8", 279, 376, 201, 120, 14, 700, "1", "", "18"},
      {"cb_9", "9", 526, 376, 201, 120, 14, 700, "1", "", "19"},
      {"cb_16", "÷", 777, 376, 201, 120, 16, 400, "8", "2 Enter", "4"},
      {"cb_22", "平方根", 1024, 376, 201, 120, 9, 400, "9", "", "3"},
      {"cb_4", "4", 55, 528, 201, 120, 14, 700, "1", "", "14"},
      {"cb_5", "5", 279, 528, 201, 120, 14, 700, "1", "", "15"},
      {"cb_6", "6", 526, 528, 201, 120, 14, 700, "1", "", "16"},
      {"cb_15", "×", 777, 528, 201, 120, 16, 400, "8", "2 Enter", "16"},
      {"cb_23", "平方", 1024, 528, 201, 120, 11, 400, "9", "", "81"},
      {"cb_1", "1", 55, 680, 201, 120, 14, 700, "2", "", "21"},
      {"cb_2", "2", 279, 680, 201, 120, 14, 700, "1", "", "12"},
      {"cb_3", "3", 526, 680, 201, 120, 14, 700, "1", "", "13"},
      {"cb_14", "-", 777, 680, 201, 120, 20, 400, "8", "2 Enter", "6"},
      {"cb_21", "1/x", 1024, 680, 201, 120, 14, 400, "4", "", "0.25"},
      {"cb_10", "0", 55, 832, 201, 120, 14, 700, "1", "", "10"},
      {"cb_11", "+/-", 279, 832, 201, 120, 14, 400, "5", "", "-5"},
      {"cb_12", ".", 526, 832, 201, 120, 18, 400, "5", "5", "5.5"},
      {"cb_13", "+", 777, 832, 201, 120, 16, 400, "8", "2 Enter", "10"},
      {"cb_18", "=", 1024, 832, 201, 120, 14, 400, "5 K+ 3", "", "8"},
  };
  for (const Key& k : keys) {
    SCOPED_TRACE(k.name);
    if (w) rt::close(*w);
    w_4::state = {};
    ASSERT_EQ(rt::open<w_4>(), 1);
    w = rt::global<w_4>();

    rt::CommandButton* key = nullptr;
    for (const auto& c : w->controls())
      if (c->className() == k.name) key = dynamic_cast<rt::CommandButton*>(c.get());
    ASSERT_TRUE(key);
    EXPECT_EQ(key->text(), k.caption);
    EXPECT_EQ(key->x(), k.x);
    EXPECT_EQ(key->y(), k.y);
    EXPECT_EQ(key->width(), k.width);
    EXPECT_EQ(key->height(), k.height);
    EXPECT_EQ(key->facename(), "Arial");
    EXPECT_EQ(key->textsize(), -k.points);
    EXPECT_EQ(key->weight(), k.weight);
    EXPECT_EQ(key->pointer(), "HyperLink!");

    typeKeys(k.before);
    t::click(*w, k.x + k.width / 2, k.y + k.height / 2);
    if (w) typeKeys(k.after);
    const std::string outcome = !w ? "closed" : clockView() ? "clock line, display " + shown() : shown();
    EXPECT_EQ(outcome, k.outcome) << k.before << " / " << k.caption << " / " << k.after;
  }
}

struct Typed {
  const char* what;
  const char* keys;  // from a new window, the focus on "="
  const char* shows;
};

TEST_F(DeskCalculator, TheKeyboardClicksTheKeys) {
  const Typed cases[] = {
      {"digit row", "1 2 3 4 5 6 7 8 9 0", "1234567890"},
      {"keypad digits and point, NumLock on", "K1 K2 K3 K4 K5 K6 K7 K8 K9 K0 K. K5", "1234567890.5"},
      {"keypad multiply", "6 K* 7 Enter", "42"},
      {"keypad divide", "8 K/ 2 Enter", "4"},
      {"keypad minus", "9 K- 3 Enter", "6"},
      {"keypad plus", "5 K+ 3 Enter", "8"},
      {"keypad with NumLock off: navigation keys", "5 KHome KUp KIns KDel 3", "53"},
      {"Shift+8 is the digit 8", "S8", "8"},
      {"main keyboard period", "5 . 3", "53"},
      {"main keyboard equals", "5 = 3", "53"},
      {"main keyboard plus", "5 + 3", "53"},
      {"main keyboard minus", "5 - 3", "53"},
      {"main keyboard slash", "5 / 3", "53"},
      {"F1", "5 F1", "5"},
      {"backspace", "1 2 3 BS", "12"},
      {"Escape clears the pending operation too", "5 K+ 3 Esc 2 Enter", "2"},
      // In the display Enter neither computes nor clears, Escape does not clear; "="
      // afterwards still adds 3 to 5.
      {"Enter and Escape in the display", "5 K+ 3 @display Enter Esc @= Enter", "8"},
      {"typing in the display is the entry", "5 K+ 3 @display 4 @= Enter", "39"},
      {"backspace in the display is the display's own", "1 2 3 @display BS @= K+ 1 Enter", "13"},
      {"Enter with a digit key focused computes once", "@7 5 K+ 3 Enter", "8"},
      {"Escape with a digit key focused, then Enter", "@7 Esc 2 K+ 3 Enter", "5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    rt::close(*w);
    w_4::state = {};
    ASSERT_EQ(rt::open<w_4>(), 1);
    w = rt::global<w_4>();
    typeKeys(c.keys);
    EXPECT_EQ(shown(), c.shows) << c.keys;
    EXPECT_EQ(w->cb_18->text(), "=");
  }
}

TEST_F(DeskCalculator, EnterOnAFocusedKeyClicksEqualsAloneAndOnce) {
  typeKeys("5 K+ 3 @7");
  t::clearJournal();
  typeKeys("Enter");
  EXPECT_EQ(t::journal({"clicked"}), std::vector<std::string>{"cb_18.clicked"});
  EXPECT_EQ(shown(), "8");
  EXPECT_TRUE(t::focused(*w) == w->cb_7);
}

TEST_F(DeskCalculator, AChainedCalculationTypedOnTheKeyboard) {
  typeKeys("1 2 K+ 3 K* 4 Enter");
  EXPECT_EQ(shown(), "60");
  typeKeys("K- 1 0 K/ 5 Enter");
  EXPECT_EQ(shown(), "10");
  // "=" again divides the first operand, 50, by the shown 10.
  typeKeys("Enter");
  EXPECT_EQ(shown(), "5");
}

TEST_F(DeskCalculator, TheClockKeyShowsTheClockLineAndAPendingOperationSurvivesIt) {
  clickKeys("5 + 3");
  const std::time_t before = std::time(nullptr);
  clickKeys("时间");
  const std::time_t after = std::time(nullptr);
  EXPECT_TRUE(clockView());
  EXPECT_EQ(w->cb_24->text(), "关闭");
  EXPECT_TRUE(isClockLine(w->sle_2->text, before, after));
  EXPECT_EQ(w->timerInterval(), 1);

  clickKeys("关闭");
  EXPECT_FALSE(clockView());
  EXPECT_EQ(w->cb_24->text(), "时间");
  EXPECT_EQ(shown(), "0");
  clickKeys("=");
  EXPECT_EQ(shown(), "5");
}

TEST_F(DeskCalculator, KeysInTheClockViewWorkOnTheHiddenDisplay) {
  clickKeys("时间 .");
  EXPECT_TRUE(clockView());
  EXPECT_EQ(shown(), "0.");
  clickKeys("8");
  EXPECT_FALSE(clockView());
  EXPECT_EQ(w->cb_24->text(), "时间");
  EXPECT_EQ(shown(), "0.8");
  // The keyboard, too: "+" keeps the clock view, a digit leaves it.
  clickKeys("时间");
  typeKeys("@= K+");
  EXPECT_TRUE(clockView());
  typeKeys("2 Enter");
  EXPECT_FALSE(clockView());
  EXPECT_EQ(shown(), "2");
}

TEST_F(DeskCalculator, TheTimerKeepsTheHiddenClockLineCurrent) {
  clickKeys("时间 关闭");
  w->sle_2->text = "";
  const std::time_t before = std::time(nullptr);
  t::fireTimer(*w);
  const std::time_t after = std::time(nullptr);
  EXPECT_FALSE(clockView());
  EXPECT_TRUE(isClockLine(w->sle_2->text, before, after));
  EXPECT_EQ(w->timerInterval(), 1);  // armed again for the next second
}

TEST_F(DeskCalculator, TheStateOutlivesTheWindow) {
  clickKeys("5 +");
  t::click(*w->cb_26);
  EXPECT_FALSE(w);
  EXPECT_FALSE(t::findOpen("w_4"));

  ASSERT_EQ(rt::open("w_4"), 1);
  w = rt::global<w_4>();
  ASSERT_TRUE(w);
  EXPECT_EQ(shown(), "0");
  EXPECT_EQ(w->cb_24->text(), "时间");
  clickKeys("3 =");
  EXPECT_EQ(shown(), "8");
}

TEST_F(DeskCalculator, OpeningItAgainBringsTheOpenWindowToTheFront) {
  clickKeys("7");
  EXPECT_EQ(rt::open("w_4"), 1);
  EXPECT_EQ(rt::open<w_4>(), 1);
  EXPECT_TRUE(rt::global<w_4>() == w);
  EXPECT_EQ(t::openedCount("w_4"), 1);
  EXPECT_EQ(rt::openWindows().size(), 1u);
  EXPECT_EQ(shown(), "7");
}
