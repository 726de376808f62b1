// The focus and the keyboard: one path moves the focus for the program and the user alike,
// and every key reaches the events the program's windows expect.

#include <gtest/gtest.h>

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "runtime/controls.h"
#include "runtime/event.h"
#include "runtime/msgbox.h"
#include "runtime/testing.h"
#include "runtime/window.h"
#include "support/wait.h"

namespace t = rt::testing;
using Journal = std::vector<std::string>;

namespace {

// What a losefocus event of the first field does, set by each case.
std::function<void()> onLeavingE1;

struct w_nothing : rt::Window {
  RT_CLASS(w_nothing)
  w_nothing() {
    windowtype = rt::WindowType::Response;
    width = 800;
    height = 500;
  }
  void open() override { rt::close(*this); }
};

// Three edit fields, a button and a field that is no tab stop.
struct w_fields : rt::Window {
  RT_CLASS(w_fields)
  template <rt::class_name_text N>
  using field = rt::named<rt::SingleLineEdit, N>;
  struct e1_t : field<"e1"> {
    void losefocus() override {
      if (onLeavingE1) onLeavingE1();
    }
  };
  struct b_t : rt::CommandButton {
    RT_CLASS(b)
    int clicks = 0;
    std::vector<std::pair<int, unsigned long>> keys;
    void clicked() override { ++clicks; }
    long keydown(int key, unsigned long flags) override {
      keys.push_back({key, flags});
      return 0;
    }
  };
  rt::Ref<e1_t> e1;
  rt::Ref<field<"e2">> e2;
  rt::Ref<field<"e3">> e3;
  rt::Ref<b_t> b;
  rt::Ref<field<"z">> z;
  std::vector<int> windowKeys;

  w_fields() {
    width = 2000;
    height = 1200;
    title = "fields";
  }
  void create() override {
    z = insert<field<"z">>();  // created first: no tab stop even so
    e1 = insert<e1_t>();
    e2 = insert<field<"e2">>();
    e3 = insert<field<"e3">>();
    b = insert<b_t>();
    int y = 100;
    for (rt::Control* c : std::initializer_list<rt::Control*>{e1.raw(), e2.raw(), e3.raw(), b.raw(), z.raw()}) {
      c->x = 100;
      c->y = y;
      c->width = 600;
      c->height = 100;
      y += 160;
    }
    e1->taborder = 10;
    e2->taborder = 20;
    e3->taborder = 30;
    b->taborder = 40;
    b->text = "&Button";
    if (shape) shape(*this);
  }
  void key(int key, unsigned long) override { windowKeys.push_back(key); }
  // What a case changes once the controls are made.
  static inline std::function<void(w_fields&)> shape;
};

struct w_other : rt::Window {
  RT_CLASS(w_other)
  w_other() {
    width = 1000;
    height = 600;
  }
};

class FocusTest : public ::testing::Test {
 public:
  t::Session session;
  rt::Ref<w_fields> w;
  void SetUp() override {
    onLeavingE1 = nullptr;
    rt::registerWindow<w_nothing>();
    rt::open<w_fields>();
    w = rt::global<w_fields>();
    ASSERT_TRUE(w);
    t::clearJournal();
  }
  void TearDown() override { onLeavingE1 = nullptr; }
  std::string focusName() {
    auto f = t::focused(*w);
    return f ? f->className() : "none";
  }
  Journal focusJournal() { return t::journal({"losefocus", "getfocus"}); }
};

}  // namespace

TEST_F(FocusTest, AWindowOpensWithTheFocusOnItsFirstTabStop) { EXPECT_EQ(focusName(), "e1"); }

TEST(FocusAtOpen, AFirstStopThatCannotTakeTheFocusLeavesItToTheNextThatCan) {
  t::Session session;
  struct Case {
    const char* what;
    std::function<void(w_fields&)> shape;
    std::string focus;
  };
  const Case cases[] = {
      {"e1 disabled", [](w_fields& w) { w.e1->enabled = false; }, "e2"},
      {"e1 hidden", [](w_fields& w) { w.e1->visible = false; }, "e2"},
      {"e1 and e2 disabled",
       [](w_fields& w) {
         w.e1->enabled = false;
         w.e2->enabled = false;
       },
       "e3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    w_fields::shape = c.shape;
    rt::open<w_fields>();
    rt::Ref<w_fields> w = rt::global<w_fields>();
    ASSERT_TRUE(w);
    const auto focused = t::focused(*w);
    EXPECT_EQ(focused ? focused->className() : "none", c.focus);
    rt::close(*w);
  }
  w_fields::shape = nullptr;
}

TEST_F(FocusTest, EveryWayOfMovingRunsEachEventOnceInOrder) {
  struct Case {
    const char* what;
    std::function<void(FocusTest&)> act;
    Journal journal;
    std::string finalFocus;
  };
  const std::vector<Case> cases = {
      {"Tab", [](FocusTest& f) { t::pressKey(*f.w, Qt::Key_Tab); }, {"e1.losefocus", "e2.getfocus"}, "e2"},
      {"Shift+Tab wraps to the last stop",
       [](FocusTest& f) { t::pressKey(*f.w, Qt::Key_Backtab, Qt::ShiftModifier); },
       {"e1.losefocus", "b.getfocus"},
       "b"},
      {"Tab from the last stop wraps to the first",
       [](FocusTest& f) {
         t::moveFocus(*f.w->b);
         t::clearJournal();
         t::pressKey(*f.w, Qt::Key_Tab);
       },
       {"b.losefocus", "e1.getfocus"},
       "e1"},
      {"Tab skips a disabled stop",
       [](FocusTest& f) {
         f.w->e2->enabled = false;
         t::pressKey(*f.w, Qt::Key_Tab);
       },
       {"e1.losefocus", "e3.getfocus"},
       "e3"},
      {"Tab from the control that has the focus once it is disabled",
       [](FocusTest& f) {
         t::moveFocus(*f.w->e2);
         f.w->e2->enabled = false;
         t::pressKey(*f.w, Qt::Key_Tab);
       },
       {"e1.losefocus", "e2.getfocus", "e2.losefocus", "e3.getfocus"},
       "e3"},
      {"Shift+Tab from the control that has the focus once it is disabled",
       [](FocusTest& f) {
         t::moveFocus(*f.w->e2);
         f.w->e2->enabled = false;
         t::pressKey(*f.w, Qt::Key_Backtab, Qt::ShiftModifier);
       },
       {"e1.losefocus", "e2.getfocus", "e2.losefocus", "e1.getfocus"},
       "e1"},
      {"Tab skips an invisible stop",
       [](FocusTest& f) {
         f.w->e2->visible = false;
         t::pressKey(*f.w, Qt::Key_Tab);
       },
       {"e1.losefocus", "e3.getfocus"},
       "e3"},
      {"a mouse click", [](FocusTest& f) { t::click(*f.w->e3); }, {"e1.losefocus", "e3.getfocus"}, "e3"},
      {"a click on a control that is no tab stop, then Tab",
       [](FocusTest& f) {
         t::click(*f.w->z);
         t::pressKey(*f.w, Qt::Key_Tab);
       },
       {"e1.losefocus", "z.getfocus", "z.losefocus", "e1.getfocus"},
       "e1"},
      {"a move by program", [](FocusTest& f) { t::moveFocus(*f.w->e3); }, {"e1.losefocus", "e3.getfocus"}, "e3"},
      {"a move to the control that has the focus", [](FocusTest& f) { t::moveFocus(*f.w->e1); }, {}, "e1"},
      {"a move to a disabled control",
       [](FocusTest& f) {
         f.w->e2->enabled = false;
         EXPECT_EQ(t::moveFocus(*f.w->e2), -1);
       },
       {},
       "e1"},
      {"a losefocus event that moves the focus elsewhere",
       [](FocusTest& f) {
         onLeavingE1 = [&f] { f.w->e3->setFocus(); };
         t::pressKey(*f.w, Qt::Key_Tab);
       },
       {"e1.losefocus", "e3.getfocus"},
       "e3"},
      {"a losefocus event that opens a response window",
       [](FocusTest& f) {
         onLeavingE1 = [] { rt::open<w_nothing>(); };
         t::pressKey(*f.w, Qt::Key_Tab);
       },
       {"e1.losefocus"},
       "e1"},
      {"a losefocus event that shows a message box",
       [](FocusTest& f) {
         onLeavingE1 = [] { rt::messagebox("提示", "x"); };
         t::pressKey(*f.w, Qt::Key_Tab);
         EXPECT_EQ(t::messages().size(), 1u);
       },
       {"e1.losefocus", "e2.getfocus"},
       "e2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    onLeavingE1 = nullptr;
    for (auto* f : {static_cast<rt::Control*>(w->e1.raw()), static_cast<rt::Control*>(w->e2.raw())}) {
      f->enabled = true;
      f->visible = true;
    }
    w->e1->setFocus();
    t::clearJournal();
    c.act(*this);
    EXPECT_EQ(focusJournal(), c.journal);
    EXPECT_EQ(focusName(), c.finalFocus);
  }
}

TEST_F(FocusTest, TheFocusGivenAwayToARealMessageBoxComesBackWithoutEvents) {
  t::useRealMessageBoxes();
  w->e2->setFocus();
  t::clearJournal();
  // A real box, answered by the user once it is up.
  rt::post([] { support::waitUntil([] { return t::answerMessageBox(); }, 2000); });
  rt::dispatch([] { rt::messagebox("提示", "a real box"); });
  t::processEvents();
  EXPECT_EQ(focusJournal(), Journal{});
  EXPECT_EQ(focusName(), "e2");
  EXPECT_TRUE(t::messages().empty());
}

TEST_F(FocusTest, TypingGoesToTheFocusedField) {
  t::typeText(*w, "12.5");
  t::pressKey(*w, Qt::Key_Backspace);
  EXPECT_EQ(w->e1->text(), "12.");
  EXPECT_EQ(w->e2->text(), "");
}

TEST_F(FocusTest, AccessKeysPressOnlyInTheActiveWindow) {
  t::pressKey(*w, Qt::Key_B, Qt::AltModifier);
  EXPECT_EQ(w->b->clicks, 1);
  EXPECT_EQ(focusName(), "e1") << "an access key clicks without taking the focus";

  w->b->enabled = false;
  t::pressKey(*w, Qt::Key_B, Qt::AltModifier);
  EXPECT_EQ(w->b->clicks, 1) << "a disabled button takes no key";
  w->b->enabled = true;

  // Another window in front: its Alt+B is its own, not the first window's.
  rt::open<w_other>();
  auto other = rt::global<w_other>();
  t::pressKey(*other, Qt::Key_B, Qt::AltModifier);
  EXPECT_EQ(w->b->clicks, 1);
  rt::close(*other);
}

TEST_F(FocusTest, SpacePressesTheFocusedButtonOnceAndEnterOnlyReachesItsKeyEvent) {
  w->b->setFocus();
  t::pressKey(*w, Qt::Key_Space);
  EXPECT_EQ(w->b->clicks, 1);

  w->b->keys.clear();
  t::clearJournal();
  t::pressKey(*w, Qt::Key_Return);
  EXPECT_EQ(w->b->clicks, 1) << "Enter presses only a declared default button";
  EXPECT_EQ(t::journal({"keydown"}), Journal{"b.keydown"});
  ASSERT_EQ(w->b->keys.size(), 1u);
  EXPECT_EQ(w->b->keys[0].first, 13);

  w->b->default_ = true;
  w->e1->setFocus();
  t::pressKey(*w, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(w->b->clicks, 2) << "the default button takes Enter from anywhere in the window";
}

TEST_F(FocusTest, KeysReachTheirEventsWithTheSystemsCodesAndFlags) {
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    int code;
    unsigned long flags;
  };
  const Case cases[] = {
      {Qt::Key_A, Qt::NoModifier, 65, 0},
      {Qt::Key_7, Qt::NoModifier, 55, 0},
      {Qt::Key_7, Qt::KeypadModifier, 103, 0},
      {Qt::Key_Asterisk, Qt::ShiftModifier, 56, 1},  // Shift+8 on the main keyboard
      {Qt::Key_Asterisk, Qt::KeypadModifier, 106, 0},
      {Qt::Key_Home, Qt::KeypadModifier, 36, 0},  // keypad 7 with NumLock off
      {Qt::Key_Period, Qt::NoModifier, 190, 0},
      {Qt::Key_Period, Qt::KeypadModifier, 110, 0},
      {Qt::Key_Escape, Qt::NoModifier, 27, 0},
      {Qt::Key_F1, Qt::ControlModifier, 112, 2},
      {Qt::Key_Down, Qt::NoModifier, 40, 0},
  };
  w->b->setFocus();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    w->b->keys.clear();
    w->windowKeys.clear();
    t::pressKey(*w, c.key, c.mods);
    // A modifier is a key of its own, pressed first (Shift 16, Ctrl 17).
    const std::size_t presses = c.mods & (Qt::ShiftModifier | Qt::ControlModifier) ? 2 : 1;
    ASSERT_EQ(w->b->keys.size(), presses);
    EXPECT_EQ(w->b->keys.back().first, c.code);
    EXPECT_EQ(w->b->keys.back().second, c.flags);
    ASSERT_EQ(w->windowKeys.size(), presses);
    EXPECT_EQ(w->windowKeys.back(), c.code);
  }
}

TEST_F(FocusTest, NeitherEscNorTheWindowSystemClosesAWindowWithoutControlMenu) {
  w->controlmenu = false;
  t::pressKey(*w, Qt::Key_Escape);
  w->widget()->close();  // what Alt+F4 sends
  t::processEvents();
  EXPECT_TRUE(w);
  EXPECT_TRUE(t::isShown(*w));

  // With a control menu the same request closes it.
  w->controlmenu = true;
  w->widget()->close();
  t::processEvents();
  EXPECT_FALSE(w);
}
