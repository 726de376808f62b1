// The graduation window: three typed year scores give the graduation score and its level,
// exactly; its look, places and tab order; the result fields take typing until the next
// computation.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "runtime/testing.h"
#include "scoring/w_jsq_by.h"
#include "classes.h"

namespace t = rt::testing;

namespace {

const rt::Color kBlue = rt::Color::rgb(0, 0, 255);
const rt::Color kMagenta = rt::Color::rgb(255, 0, 255);
const rt::Color kGreen = rt::Color::rgb(0, 255, 0);
const rt::Color kRed = rt::Color::rgb(255, 0, 0);

class GraduationWindow : public ::testing::Test {
 protected:
  t::Session session;
  std::function<void(w_jsq_by&)> story;  // what the next opening does
  bool ran = false;

  void SetUp() override {
    registerClasses();
    t::onOpen("w_jsq_by", [this](rt::Window& w) {
      ran = true;
      if (story) story(static_cast<w_jsq_by&>(w));
      if (w.isOpen()) rt::close(w);
    });
  }
  // Opens the window as the menu does and runs `what` on it; the window closes after.
  void withWindow(std::function<void(w_jsq_by&)> what) {
    story = std::move(what);
    ran = false;
    ASSERT_EQ(rt::open("w_jsq_by"), 1);
    EXPECT_TRUE(ran);
  }
};

// The user clicks into a field, types over its text and leaves it with Tab. (A click into the
// field that has the focus only places the cursor, so the focus goes elsewhere first.)
void type(w_jsq_by& w, rt::Control& field, const std::string& text) {
  if (t::focused(w).raw() == &field) t::moveFocus(*w.cb_1);
  t::click(field);
  t::typeText(w, text);
  t::pressKey(w, Qt::Key_Tab);
}

}  // namespace

TEST_F(GraduationWindow, TypedYearScoresGiveTheScoreAndItsLevel) {
  struct Case {
    const char* c1;  // nullptr: never typed
    const char* c2;
    const char* c3;
    const char* score;  // as em_by_cj shows it
    const char* level;
    std::optional<rt::Color> colour;  // none: still the window text colour
  };
  const Case cases[] = {
      {"80", "90", "95", "90.0", "优秀", kBlue},
      {"85.5", "86.5", "85", "85.0", "良好", kMagenta},
      {"60.1", "74.7", "60.6", "64.0", "及格", kGreen},  // single precision would lose a point
      {"50.1", "78.7", "55.6", "60.0", "及格", kGreen},
      {"100", "100", "120", "110.0", "优秀", kBlue},  // nothing is capped
      {nullptr, nullptr, "60", "30.0", "不及格", kRed},
      {"-10", "0", "0", "-2.0", "", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.c1 ? c.c1 : "-") + " / " + (c.c2 ? c.c2 : "-") + " / " + c.c3);
    withWindow([&](w_jsq_by& w) {
      if (c.c1) type(w, *w.em_c1, c.c1);
      if (c.c2) type(w, *w.em_c2, c.c2);
      type(w, *w.em_c3, c.c3);
      EXPECT_EQ(w.em_by_cj->text(), c.score);
      EXPECT_EQ(w.sle_by_dj->text(), c.level);
      EXPECT_EQ(w.sle_by_dj->textcolor(), c.colour.value_or(rt::Color::windowText()));
    });
  }
}

TEST_F(GraduationWindow, AnyOrderAPasteAndAZeroResult) {
  withWindow([](w_jsq_by& w) {
    // Whichever field is edited last, the result is the same.
    type(w, *w.em_c3, "60.6");
    type(w, *w.em_c2, "74.7");
    type(w, *w.em_c1, "60.1");
    EXPECT_EQ(w.em_by_cj->text(), "64.0");
    // A pasted "60.15" keeps one decimal, and counts as it shows.
    t::click(*w.em_c1);
    t::paste(w, "60.15");
    t::pressKey(w, Qt::Key_Tab);
    EXPECT_EQ(w.em_c1->text(), "60.1");
    EXPECT_EQ(w.em_by_cj->text(), "64.0");
    // A result of 0 empties the level and keeps its colour.
    type(w, *w.em_c1, "80");
    type(w, *w.em_c2, "90");
    type(w, *w.em_c3, "95");
    ASSERT_EQ(w.sle_by_dj->textcolor(), kBlue);
    w.em_c1->text = "0";  // from code: nothing is computed
    w.em_c2->text = "0";
    type(w, *w.em_c3, "0");
    EXPECT_EQ(w.em_by_cj->text(), "0.0");
    EXPECT_EQ(w.sle_by_dj->text(), "");
    EXPECT_EQ(w.sle_by_dj->textcolor(), kBlue);
  });
}

TEST_F(GraduationWindow, OnlyAnEditComputes) {
  withWindow([](w_jsq_by& w) {
    t::clearJournal();
    // Tab through every stop without typing: nothing is computed.
    for (int i = 0; i < 4; ++i) t::pressKey(w, Qt::Key_Tab);
    EXPECT_EQ(t::journal({"modified"}), std::vector<std::string>{});
    EXPECT_EQ(w.em_by_cj->text(), "");
    // A text set from code computes nothing either.
    w.em_c1->text = "80";
    EXPECT_EQ(w.em_by_cj->text(), "");
    type(w, *w.em_c2, "90");
    EXPECT_EQ(t::journal({"modified"}), std::vector<std::string>{"em_c2.modified"});
    EXPECT_EQ(w.em_by_cj->text(), "42.0");  // 20 + 22.5
  });
}

TEST_F(GraduationWindow, TheResultFieldsTakeTypingUntilTheNextComputation) {
  withWindow([](w_jsq_by& w) {
    type(w, *w.em_c3, "60");
    t::click(*w.em_by_cj);
    EXPECT_EQ(t::focused(w).raw(), w.em_by_cj.raw());
    t::typeText(w, "99");
    t::click(*w.sle_by_dj);
    EXPECT_EQ(t::focused(w).raw(), w.sle_by_dj.raw());
    t::typeText(w, "x");
    EXPECT_EQ(w.em_by_cj->text(), "99.0");
    EXPECT_EQ(w.sle_by_dj->text(), "不及格x");
    type(w, *w.em_c1, "80");
    EXPECT_EQ(w.em_by_cj->text(), "50.0");
    EXPECT_EQ(w.sle_by_dj->text(), "不及格");
  });
}

TEST_F(GraduationWindow, LooksAsDesigned) {
  withWindow([](w_jsq_by& w) {
    EXPECT_EQ(w.title(), "毕业成绩计算");
    EXPECT_EQ(w.windowtype(), rt::WindowType::Response);
    EXPECT_EQ(w.width(), 1353);
    EXPECT_EQ(w.height(), 1212);
    EXPECT_EQ(w.icon(), "AppIcon!");
    EXPECT_TRUE(w.center());
    EXPECT_TRUE(w.titlebar());
    EXPECT_TRUE(w.controlmenu());  // closing it from the title bar loses nothing
    EXPECT_FALSE(w.minbox());
    EXPECT_FALSE(w.maxbox());
    EXPECT_EQ(w.backcolor(), rt::Color::buttonFace());

    const rt::Color face = rt::Color::buttonFace(), paper = rt::Color::rgb(255, 251, 240);
    const rt::Color darkRed = rt::Color::rgb(128, 0, 0);
    struct Look {
      const char* name;
      int x, y, width, height, points, weight, taborder;
      std::optional<rt::Color> text, back;  // none: the class's own
    };
    const Look looks[] = {
        {"em_by_cj", 859, 636, 402, 112, 14, 700, 0, std::nullopt, paper},
        {"em_c3", 859, 444, 402, 112, 14, 700, 30, std::nullopt, std::nullopt},
        {"em_c2", 859, 244, 402, 112, 14, 700, 20, std::nullopt, std::nullopt},
        {"em_c1", 859, 40, 402, 112, 14, 700, 10, std::nullopt, std::nullopt},
        {"cb_1", 859, 960, 320, 88, 9, 400, 60, std::nullopt, std::nullopt},
        {"sle_by_dj", 859, 776, 407, 116, 12, 400, 0, rt::Color::windowText(), paper},
        {"st_5", 370, 800, 192, 72, 12, 700, 0, kBlue, face},
        {"st_4", 69, 652, 503, 72, 12, 700, 0, kBlue, face},
        {"st_3", 64, 456, 795, 72, 12, 700, 0, darkRed, face},
        {"st_2", 64, 252, 795, 72, 12, 700, 0, darkRed, face},
        {"st_1", 64, 56, 795, 72, 12, 700, 0, darkRed, face},
    };
    const auto& controls = w.controls();
    ASSERT_EQ(controls.size(), std::size(looks));
    for (std::size_t i = 0; i < controls.size(); ++i) {
      const Look& l = looks[i];
      auto* c = dynamic_cast<rt::TextControl*>(controls[i].get());
      ASSERT_NE(c, nullptr);
      SCOPED_TRACE(l.name);
      EXPECT_EQ(c->className(), l.name) << "creation order";
      EXPECT_EQ(c->x(), l.x);
      EXPECT_EQ(c->y(), l.y);
      EXPECT_EQ(c->width(), l.width);
      EXPECT_EQ(c->height(), l.height);
      EXPECT_EQ(c->facename(), "Arial");
      EXPECT_EQ(c->fontcharset(), 134) << "the runtime's default, which the calculators set to 0";
      EXPECT_EQ(c->textsize(), -l.points);
      EXPECT_EQ(c->weight(), l.weight);
      EXPECT_EQ(c->taborder(), l.taborder);
      if (l.text) {
        EXPECT_EQ(c->textcolor(), *l.text);
      }
      if (l.back) {
        EXPECT_EQ(c->backcolor(), *l.back);
      }
    }
    EXPECT_EQ(w.cb_1->text(), "关闭(&X)");
    EXPECT_EQ(w.st_3->text(), "高三学年成绩（50%）");
    for (my_maskedit* f :
         std::initializer_list<my_maskedit*>{w.em_by_cj.raw(), w.em_c1.raw(), w.em_c2.raw(), w.em_c3.raw()})
      EXPECT_EQ(f->mask(), "###,###.0");
    // The first focus, and Tab from there.
    EXPECT_EQ(t::focused(w).raw(), w.em_c1.raw());
    std::vector<std::string> walk;
    for (int i = 0; i < 4; ++i) {
      t::pressKey(w, Qt::Key_Tab);
      walk.push_back(t::focused(w)->className());
    }
    EXPECT_EQ(walk, (std::vector<std::string>{"em_c2", "em_c3", "cb_1", "em_c1"}));
  });
}

TEST_F(GraduationWindow, ClosesByItsButtonOrAltXButNotByEsc) {
  int round = 0;
  for (auto closeIt : std::vector<std::function<void(w_jsq_by&)>>{
           [](w_jsq_by& w) { t::pressKey(w, Qt::Key_X, Qt::AltModifier); },
           [](w_jsq_by& w) { t::click(*w.cb_1); },
       }) {
    ++round;
    withWindow([&](w_jsq_by& w) {
      t::pressKey(w, Qt::Key_Escape);
      t::processEvents();
      EXPECT_TRUE(w.isOpen()) << "Esc closes nothing (round " << round << ")";
      closeIt(w);
      t::processEvents();
      EXPECT_FALSE(w.isOpen());
    });
  }
}
