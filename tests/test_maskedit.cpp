// The measurement field: Enter moves on as Tab does, entering selects the whole text, and
// the numeric mask holds whatever is typed, pasted or set to its pattern.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QWidget>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "runtime/event.h"
#include "runtime/msgbox.h"
#include "runtime/testing.h"
#include "runtime/window.h"
#include "scoring/core/scoring.h"
#include "support/wait.h"
#include "support/pixels.h"
#include "ui/my_maskedit.h"

namespace t = rt::testing;
using Journal = std::vector<std::string>;

namespace {

// What the first field's losefocus event does, set by a case.
std::function<void()> onLeavingF1;

// Three fields (the third with the one-decimal mask) and a button.
struct w_mask : rt::Window {
  RT_CLASS(w_mask)
  struct f1_t : my_maskedit {
    RT_CLASS(f1)
    void losefocus() override {
      if (onLeavingF1) onLeavingF1();
    }
  };
  struct f2_t : my_maskedit {
    RT_CLASS(f2)
  };
  struct f3_t : my_maskedit {
    RT_CLASS(f3)
    f3_t() { mask = "###,###.0"; }
  };
  struct b_t : rt::CommandButton {
    RT_CLASS(b)
  };
  rt::Ref<f1_t> f1;
  rt::Ref<f2_t> f2;
  rt::Ref<f3_t> f3;
  rt::Ref<b_t> b;

  w_mask() {
    width = 2000;
    height = 1200;
    title = "fields";
  }
  void create() override {
    f1 = insert<f1_t>();
    f2 = insert<f2_t>();
    f3 = insert<f3_t>();
    b = insert<b_t>();
    int y = 100;
    int order = 10;
    for (rt::Control* c : std::initializer_list<rt::Control*>{f1.raw(), f2.raw(), f3.raw(), b.raw()}) {
      c->x = 100;
      c->y = y;
      c->taborder = order;
      y += 160;
      order += 10;
    }
    b->text = "OK";
  }
};

class MaskEditTest : public ::testing::Test {
 public:
  t::Session session;
  rt::Ref<w_mask> w;
  void SetUp() override {
    onLeavingF1 = nullptr;
    rt::open<w_mask>();
    w = rt::global<w_mask>();
    ASSERT_TRUE(w);
    t::clearJournal();
  }
  void TearDown() override { onLeavingF1 = nullptr; }
  std::string focusName() {
    auto f = t::focused(*w);
    return f ? f->className() : "none";
  }
  Journal focusJournal() { return t::journal({"losefocus", "getfocus"}); }
};

}  // namespace

TEST_F(MaskEditTest, EveryEnterMovesOnOnceAsTabDoes) {
  struct Case {
    const char* what;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
  };
  const Case cases[] = {
      {"Enter", Qt::Key_Return, Qt::NoModifier},
      {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier},
      {"Shift+Enter", Qt::Key_Return, Qt::ShiftModifier},
      {"Ctrl+Enter", Qt::Key_Return, Qt::ControlModifier},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    w->f1->setFocus();
    t::clearJournal();
    t::pressKey(*w, c.key, c.mods);
    EXPECT_EQ(focusName(), "f2");
    t::pressKey(*w, c.key, c.mods);
    t::pressKey(*w, c.key, c.mods);
    EXPECT_EQ(focusJournal(),
              (Journal{"f1.losefocus", "f2.getfocus", "f2.losefocus", "f3.getfocus", "f3.losefocus", "b.getfocus"}));
    EXPECT_EQ(focusName(), "b");
  }
}

TEST_F(MaskEditTest, OtherKeysEditTheField) {
  t::typeText(*w, "125");
  t::pressKey(*w, Qt::Key_Left);
  t::pressKey(*w, Qt::Key_Left);
  t::typeText(*w, ".");
  EXPECT_EQ(w->f1->text(), "1.25");
  t::pressKey(*w, Qt::Key_Home);
  t::typeText(*w, "-");
  t::pressKey(*w, Qt::Key_End);
  t::pressKey(*w, Qt::Key_Backspace);
  EXPECT_EQ(w->f1->text(), "-1.2");
  t::pressKey(*w, Qt::Key_Home);
  t::pressKey(*w, Qt::Key_Delete);
  EXPECT_EQ(w->f1->text(), "1.2");
  EXPECT_EQ(focusName(), "f1");

  // A refused key leaves the text as it was, wherever the cursor stands.
  w->f1->text = "";
  t::typeText(*w, "123456");
  EXPECT_EQ(w->f1->text(), "123,456");
  t::pressKey(*w, Qt::Key_Home);
  t::typeText(*w, "7");
  EXPECT_EQ(w->f1->text(), "123,456");
  // Backspace over a comma steps over it; the next one takes the 3.
  t::pressKey(*w, Qt::Key_End);
  for (int i = 0; i < 3; ++i) t::pressKey(*w, Qt::Key_Left);
  t::pressKey(*w, Qt::Key_Backspace);
  EXPECT_EQ(w->f1->text(), "123,456");
  t::typeText(*w, "9");
  EXPECT_EQ(w->f1->text(), "123,456") << "a seventh digit, even typed in the middle";
  t::pressKey(*w, Qt::Key_Backspace);
  EXPECT_EQ(w->f1->text(), "12,456");
  // A refused key typed over a selection keeps the selected text too.
  w->f1->selectText(1, 6);
  t::typeText(*w, "a,");
  EXPECT_EQ(w->f1->text(), "12,456");
  EXPECT_EQ(focusJournal(), Journal{});
}

TEST_F(MaskEditTest, EnteringSelectsTheWholeTextSoADigitReplacesIt) {
  w->f2->text = "1234.5";
  w->f3->text = "59";

  t::pressKey(*w, Qt::Key_Tab);
  EXPECT_EQ(w->f2->selectedText(), "1,234.50");
  t::typeText(*w, "7");
  EXPECT_EQ(w->f2->text(), "7");

  // By mouse: the press that brings the focus keeps the selection its getfocus made.
  t::click(*w->f3);
  EXPECT_EQ(focusName(), "f3");
  EXPECT_EQ(w->f3->selectedText(), "59.0");
  t::typeText(*w, "8");
  EXPECT_EQ(w->f3->text(), "8");
  EXPECT_EQ(w->f2->text(), "7.00") << "left for another field, the number shows in full";

  // A click in the field that has the focus places the cursor as usual.
  w->f3->selectText(1, 1);
  t::click(*w->f3);
  EXPECT_EQ(w->f3->selectedText(), "");

  // An empty field entered by mouse, then typed into.
  w->f1->text = "";
  t::click(*w->f1);
  t::typeText(*w, "5");
  EXPECT_EQ(w->f1->text(), "5");
}

TEST_F(MaskEditTest, AMessageBoxFromLosefocusFiresNoSecondLosefocus) {
  t::useRealMessageBoxes();
  onLeavingF1 = [] {
    rt::post([] { support::waitUntil([] { return t::answerMessageBox(); }, 2000); });
    rt::messagebox("提示", "leaving");
  };
  t::typeText(*w, "3");
  t::pressKey(*w, Qt::Key_Return);
  t::wait(50);
  EXPECT_EQ(focusJournal(), (Journal{"f1.losefocus", "f2.getfocus"}));
  EXPECT_EQ(focusName(), "f2");
  EXPECT_EQ(w->f1->text(), "3.00");

  // The field moved to goes on as usual.
  onLeavingF1 = nullptr;
  t::pressKey(*w, Qt::Key_Return);
  EXPECT_EQ(focusJournal(), (Journal{"f1.losefocus", "f2.getfocus", "f2.losefocus", "f3.getfocus"}));
}

TEST_F(MaskEditTest, APasteKeepsWhatTheMaskAllows) {
  struct Case {
    const char* pasted;
    bool oneDecimal;
    const char* typed;  // as the field shows it while it has the focus
    const char* left;   // once the focus has moved on
  };
  const Case cases[] = {
      {"12abc", true, "12", "12.0"},
      {"3,000.00", false, "3,000.00", "3,000.00"},
      {" -4.25 ", true, "-4.2", "-4.2"},
      {"1234567", false, "123,456", "123,456.00"},
      {"1e5", false, "15", "15.00"},
      {"abc", true, "", ""},
      {"", false, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pasted);
    my_maskedit& field = c.oneDecimal ? static_cast<my_maskedit&>(*w->f3) : *w->f2;
    field.text = "";
    field.setFocus();
    t::paste(*w, c.pasted);
    EXPECT_EQ(field.text(), c.typed);
    w->b->setFocus();
    EXPECT_EQ(field.text(), c.left);
  }

  // Into the middle of a number: what fits stays, the rest of the number too.
  w->f3->text = "12";
  w->f3->setFocus();
  w->f3->selectText(2, 0);
  t::paste(*w, "3x45");
  EXPECT_EQ(w->f3->text(), "13,452.0");
  // Over a selection: what fits replaces it; nothing that fits leaves it.
  w->f3->selectText(1, 2);
  t::paste(*w, "x7");
  EXPECT_EQ(w->f3->text(), "7,452.0");
  w->f3->selectText(1, 1);
  t::paste(*w, "abc");
  EXPECT_EQ(w->f3->text(), "7,452.0");
}

TEST_F(MaskEditTest, TypedNumbersShowInTheirMask) {
  struct Case {
    const char* typed;
    bool oneDecimal;
    const char* shown;  // while the field has the focus
    const char* left;   // once the focus has moved on
    float value;        // what the text reads as
  };
  const Case cases[] = {
      {"1234.5", false, "1,234.5", "1,234.50", 1234.5f},
      {"1234.5", true, "1,234.5", "1,234.5", 1234.5f},
      {"1234567", false, "123,456", "123,456.00", 123456.0f},
      {"1.2.3", false, "1.23", "1.23", 1.23f},
      {"12.345", false, "12.34", "12.34", 12.34f},
      {"12.34", true, "12.3", "12.3", 12.3f},
      {"-3", false, "-3", "-3.00", -3.0f},
      {"-3", true, "-3", "-3.0", -3.0f},
      {"3-", false, "3", "3.00", 3.0f},
      {"--3", false, "-3", "-3.00", -3.0f},
      {".5", false, ".5", "0.50", 0.5f},
      {"007", false, "007", "7.00", 7.0f},
      {"-0", false, "-0", "0.00", 0.0f},
      {"1,000", false, "1,000", "1,000.00", 1000.0f},
      {"59", true, "59", "59.0", 59.0f},
      {"abc", false, "", "", 0.0f},
      {"-", false, "-", "", 0.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + (c.oneDecimal ? " under ###,###.0" : " under ###,###.00"));
    my_maskedit& field = c.oneDecimal ? static_cast<my_maskedit&>(*w->f3) : *w->f2;
    field.text = "";
    field.setFocus();
    t::typeText(*w, c.typed);
    EXPECT_EQ(field.text(), c.shown);
    EXPECT_EQ(scoring::toReal(field.text()), c.value);
    t::pressKey(*w, Qt::Key_Tab);
    EXPECT_EQ(field.text(), c.left);
    EXPECT_EQ(scoring::toReal(field.text()), c.value);
  }
}

TEST_F(MaskEditTest, TextSetByTheProgramShowsInTheMaskAndRunsNoEvent) {
  struct Case {
    const char* set;
    bool oneDecimal;
    const char* shown;
  };
  const Case cases[] = {
      {"59", true, "59.0"}, {"12.5", false, "12.50"}, {"3000", false, "3,000.00"}, {"-3", true, "-3.0"},
      {"0", true, "0.0"},   {"", false, ""},          {"none", false, ""},         {"1234567.891", false, "123,456.89"},
  };
  w->b->setFocus();
  t::clearJournal();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.set);
    my_maskedit& field = c.oneDecimal ? static_cast<my_maskedit&>(*w->f3) : *w->f1;
    field.text = c.set;
    EXPECT_EQ(field.text(), c.shown);
  }
  w->f2->mask = "###,###.0";
  w->f2->text = "1234.56";
  EXPECT_EQ(w->f2->text(), "1,234.5");
  w->f2->mask = "###,###.00";
  EXPECT_EQ(w->f2->text(), "1,234.50");
  EXPECT_EQ(t::journal(), Journal{});
}

// How many pixels of the field are drawn in (nearly) its text colour.
int pixelsInTextColour(const rt::EditMask& field) { return support::pixelsInColour(field, field.textcolor()); }

TEST_F(MaskEditTest, ADisabledFieldKeepsItsTextButTakesNoFocusNorTypingAndLooksIt) {
  w->f2->text = "888";
  w->f2->textsize = -20;
  w->f2->textcolor = rt::Color::rgb(255, 0, 0);
  EXPECT_GT(pixelsInTextColour(*w->f2), 0);

  w->f2->enabled = false;
  EXPECT_EQ(w->f2->text(), "888.00");
  EXPECT_EQ(pixelsInTextColour(*w->f2), 0) << "drawn greyed";
  t::pressKey(*w, Qt::Key_Return);
  EXPECT_EQ(focusName(), "f3");
  t::click(*w->f2);
  EXPECT_EQ(focusName(), "f3");
  t::typeText(*w, "1");
  EXPECT_EQ(w->f2->text(), "888.00");
  EXPECT_EQ(w->f3->text(), "1");

  w->f2->enabled = true;
  EXPECT_EQ(w->f2->text(), "888.00");
  EXPECT_GT(pixelsInTextColour(*w->f2), 0);
  t::click(*w->f2);
  EXPECT_EQ(focusName(), "f2");
}

TEST_F(MaskEditTest, AnUntouchedFieldKeepsTheClassLookAndReadsZero) {
  const my_maskedit& f = *w->f2;
  EXPECT_EQ(f.width(), 402);
  EXPECT_EQ(f.height(), 112);
  EXPECT_EQ(f.facename(), "Arial");
  EXPECT_EQ(f.textsize(), -9);
  EXPECT_EQ(f.weight(), 400);
  EXPECT_EQ(f.textcolor(), rt::Color::windowText());
  EXPECT_EQ(f.backcolor(), rt::Color::rgb(166, 202, 240));
  EXPECT_EQ(f.borderstyle(), rt::BorderStyle::Lowered);
  EXPECT_EQ(f.mask(), "###,###.00");
  EXPECT_EQ(w->f3->mask(), "###,###.0");
  EXPECT_TRUE(f.takesFocus());
  // The stored initial text shows as an empty field.
  EXPECT_EQ(my_maskedit().text(), "none");
  EXPECT_EQ(f.text(), "");
  EXPECT_EQ(scoring::toReal(f.text()), 0.0f);
  EXPECT_EQ(t::pixelAt(*w, 150, 260 + 56), rt::Color::rgb(166, 202, 240));
}

TEST_F(MaskEditTest, ModifiedOnceWhenTheFocusLeavesAFieldTheUserChanged) {
  struct Case {
    const char* what;
    std::function<void()> change;  // with f1 focused
    std::function<void()> leave;
    Journal expected;
  };
  auto type = [&] { t::typeText(*w, "12"); };
  auto paste = [&] { t::paste(*w, "34"); };
  auto fromCode = [&] { w->f1->text = "56"; };
  auto nothing = [] {};
  auto tab = [&] { t::pressKey(*w, Qt::Key_Tab); };
  auto enter = [&] { t::pressKey(*w, Qt::Key_Return); };
  auto click = [&] { t::click(*w->b); };
  auto program = [&] { t::moveFocus(*w->f3); };
  const Journal once{"f1.modified", "f1.losefocus"};
  const Journal none{"f1.losefocus"};
  const Case cases[] = {
      {"typed, Tab", type, tab, once},
      {"typed, Enter", type, enter, once},
      {"typed, a click elsewhere", type, click, once},
      {"typed, the program moves the focus", type, program, once},
      {"pasted, Tab", paste, tab, once},
      {"typed twice, Tab", [&] { type(), type(); }, tab, once},
      {"passing through", nothing, tab, none},
      {"set from code", fromCode, tab, none},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    t::moveFocus(*w->f1);
    t::clearJournal();
    c.change();
    c.leave();
    EXPECT_EQ(t::journal({"modified", "losefocus"}), c.expected);
    // Back in the field and out again without typing: nothing more.
    t::moveFocus(*w->f1);
    t::clearJournal();
    tab();
    EXPECT_EQ(t::journal({"modified"}), Journal{});
  }
}
