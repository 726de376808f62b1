// The grade-three score calculator on a data source of its own: the form and its second row,
// the keyboard path from the earlier year totals, the graduation score after every year
// total, and the ways the window opens and closes.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "runtime/testing.h"
#include "scoring/w_jsq_gz3.h"
#include "support/calculator.h"

namespace t = rt::testing;

namespace {

using GradeThreeCalculator = support::CalculatorFixture<w_jsq_gz3, "33", "w_xm_gz3">;
using namespace support;

const rt::Color kBlue = rt::Color::rgb(0, 0, 255);
const rt::Color kMagenta = rt::Color::rgb(255, 0, 255);
const rt::Color kGreen = rt::Color::rgb(0, 255, 0);
const rt::Color kRed = rt::Color::rgb(255, 0, 0);
const rt::Color kDarkRed = rt::Color::rgb(128, 0, 0);
const rt::Color kLightBlue = rt::Color::rgb(166, 202, 240);

const std::string kMissing = "注意: 请先设置好高中三年级测试项目！";
const std::string kNeedsWeight = "提示: 如要得到肺活量成绩，请先正确输入体重！";

// The controls no Enter or Tab reaches: what the window writes.
const Strings kWritten = {"em_s_t", "em_t_t", "em_1_t", "em_8_t",  "em_f_t", "em_5_t",   "em_l_t",
                          "em_z_t", "em_y_t", "em_w_t", "em_xn_t", "sle_dj", "em_by_cj", "sle_by_dj"};

my_maskedit& field(rt::Window& w, const std::string& name) { return dynamic_cast<my_maskedit&>(controlNamed(w, name)); }

// The user clicks into a field and types over what it shows; the focus stays there.
void typeOver(rt::Window& w, rt::Control& control, const std::string& text) {
  if (t::focused(w).raw() == &control) t::moveFocus(controlNamed(w, "cb_1"));
  t::click(control);
  t::typeText(w, text);
}

// The earlier year totals, each typed and left with Enter (nullptr: passed without typing).
void typeYears(w_jsq_gz3& w, const char* c1, const char* c2) {
  typeOver(w, *w.em_c1, c1 ? c1 : "");
  t::pressKey(w, Qt::Key_Return);
  if (c2) t::typeText(w, c2);
  t::pressKey(w, Qt::Key_Return);
}

}  // namespace

// ---- the window

TEST_F(GradeThreeCalculator, OpensAsTheGradeThreeFormWithNothingComputed) {
  EXPECT_TRUE(runCalculator([](w_jsq_gz3& w) {
    // Ready for a student, the first earlier year total first.
    EXPECT_EQ(nameOf(t::focused(w)), "em_c1");
    EXPECT_EQ(w.title(), "高中三年级成绩");
    EXPECT_EQ(w.windowtype(), rt::WindowType::Response);
    EXPECT_FALSE(w.controlmenu());
    EXPECT_EQ(w.gb_6->text(), "高三学年成绩");
    EXPECT_EQ(w.gb_1->text(), "毕业成绩");
    EXPECT_EQ(w.gb_2->text(), "高一高二");

    std::set<std::string> names;
    for (const auto& c : w.controls()) names.insert(c->className());
    const std::set<std::string> expected = {
        "em_c2",  "em_c1",  "em_by_cj", "sle_by_dj", "cb_2",   "cb_1",   "st_yy",  "st_zz",        "st_ll",
        "st_55",  "st_88",  "st_11",    "st_14",     "st_13",  "st_w",   "st_y",   "st_z",         "st_l",
        "st_5",   "st_f",   "st_8",     "st_1",      "st_t",   "st_s2",  "st_s1",  "rb_sex_woman", "rb_sex_man",
        "st_111", "sle_dj", "em_xn_t",  "em_w_t",    "em_y_t", "em_z_t", "em_l_t", "em_5_t",       "em_f_t",
        "em_8_t", "em_1_t", "em_t_t",   "em_s_t",    "cbx_59", "cbx_4",  "cbx_3",  "cbx_2",        "cbx_1",
        "em_8",   "dw_4",   "em_w",     "em_y",      "em_z",   "em_l",   "em_5",   "em_f",         "em_1",
        "em_t",   "em_s2",  "em_s1",    "st_msg",    "gb_sex", "gb_3",   "gb_4",   "gb_5",         "gb_6",
        "gb_1",   "gb_2"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(w.controls().size(), expected.size());

    // The second row's fields.
    for (my_maskedit* year : std::initializer_list<my_maskedit*>{w.em_c1.raw(), w.em_c2.raw()}) {
      SCOPED_TRACE(year->className());
      EXPECT_EQ(year->mask(), "###,###.0");
      EXPECT_EQ(year->facename(), "Arial");
      EXPECT_EQ(year->textsize(), -12);
      EXPECT_EQ(year->weight(), 700);
    }
    EXPECT_EQ(w.em_by_cj->mask(), "###,###.0");
    EXPECT_EQ(w.em_by_cj->facename(), "Arial");
    EXPECT_EQ(w.em_by_cj->textsize(), -26);
    EXPECT_EQ(w.em_by_cj->weight(), 700);
    EXPECT_EQ(w.em_by_cj->textcolor(), kDarkRed);
    EXPECT_EQ(w.sle_by_dj->facename(), "Arial");
    EXPECT_EQ(w.sle_by_dj->textsize(), -26);
    EXPECT_EQ(w.sle_by_dj->weight(), 700);
    EXPECT_EQ(w.sle_by_dj->backcolor(), kLightBlue);
    for (rt::GroupBox* box : {w.gb_1.raw(), w.gb_2.raw()}) {
      SCOPED_TRACE(box->className());
      EXPECT_EQ(box->facename(), "Arial");
      EXPECT_EQ(box->textsize(), -9);
      EXPECT_EQ(box->textcolor(), kBlue);
    }
    EXPECT_FALSE(w.st_msg->visible());
    EXPECT_EQ(w.st_msg->text(), "删除用户前，系统要检查该用户的操作记录，所以要花一定的时间，请稍候！");

    // Nothing is computed yet.
    for (const char* name : {"em_c1", "em_c2", "em_s1", "em_s2", "em_t", "em_1", "em_8", "em_f", "em_5", "em_l", "em_z",
                             "em_y", "em_w", "em_xn_t", "em_by_cj"})
      EXPECT_EQ(field(w, name).text(), "") << name;
    EXPECT_EQ(w.sle_dj->text(), "");
    EXPECT_EQ(w.sle_by_dj->text(), "");
    EXPECT_TRUE(w.rb_sex_man->checked());
    EXPECT_TRUE(t::messages().empty());
  }));
}

TEST_F(GradeThreeCalculator, WithoutItsOwnRowTheOtherGradesRowsDoNotCount) {
  ds.query("DELETE FROM xmsz");
  ds.query(insertRow("31", {}));
  ds.query(insertRow("32", {}));
  std::size_t messagesBeforeSettings = 0;
  settingsWindow = [&](int) {
    messagesBeforeSettings = t::messages().size();
    save({});
  };
  EXPECT_TRUE(runCalculator([](w_jsq_gz3&) {}));
  EXPECT_EQ(messageTexts(), Strings{kMissing});
  EXPECT_EQ(messagesBeforeSettings, 1u) << "the message comes first, then the settings window";
  EXPECT_EQ(settingsRounds, 1);
  EXPECT_EQ(t::openedCount("w_xm_gz3"), 1);
}

// Every visible control inside the window and inside the box that frames it, clear of every
// other box; no two controls on top of each other; the right-hand side in its rows.
TEST_F(GradeThreeCalculator, TheSecondRowStandsUnderTheFirstAndEveryControlInItsFrame) {
  const std::map<std::string, Strings> frames = {
      {"gb_4", {"st_s1",  "em_s1", "st_13", "st_s2",  "em_s2",  "st_14", "em_s_t", "st_111", "st_t", "em_t", "em_t_t",
                "st_1",   "em_1",  "st_11", "em_1_t", "st_8",   "em_8",  "st_88",  "em_8_t", "st_f", "em_f", "em_f_t",
                "st_5",   "em_5",  "st_55", "em_5_t", "st_l",   "em_l",  "st_ll",  "em_l_t", "st_z", "em_z", "st_zz",
                "em_z_t", "st_y",  "em_y",  "st_yy",  "em_y_t", "st_w",  "em_w",   "em_w_t"}},
      {"gb_sex", {"rb_sex_man", "rb_sex_woman"}},
      {"gb_6", {"em_xn_t", "sle_dj"}},
      {"gb_2", {"em_c1", "em_c2"}},
      {"gb_1", {"em_by_cj", "sle_by_dj"}},
      {"gb_3", {"cbx_1", "cbx_2", "cbx_3", "cbx_4"}},
      {"gb_5", {"cbx_59"}},
  };
  const Strings unframed = {"cb_2", "cb_1"};
  EXPECT_TRUE(runCalculator([&](w_jsq_gz3& w) {
    struct Box {
      int left, top, right, bottom;
    };
    auto box = [](const rt::Control& c) { return Box{c.x(), c.y(), c.x() + c.width(), c.y() + c.height()}; };
    auto inside = [](Box in, Box out) {
      return in.left >= out.left && in.top >= out.top && in.right <= out.right && in.bottom <= out.bottom;
    };
    auto overlap = [](Box a, Box b) {
      return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    };
    EXPECT_EQ(w.width(), 3003);
    EXPECT_EQ(w.height(), 1492);
    const Box window{0, 0, w.width(), w.height()};

    std::vector<rt::Control*> shown;
    for (const auto& c : w.controls()) {
      if (!c->visible()) continue;
      SCOPED_TRACE(c->className());
      EXPECT_TRUE(inside(box(*c), window));
      if (!dynamic_cast<rt::GroupBox*>(c.get())) shown.push_back(c.get());
    }
    std::set<std::string> placed(unframed.begin(), unframed.end());
    for (const auto& [frame, members] : frames) {
      const Box f = box(controlNamed(w, frame));
      for (const std::string& name : members) {
        SCOPED_TRACE(name + " in " + frame);
        placed.insert(name);
        const Box c = box(controlNamed(w, name));
        EXPECT_TRUE(inside(c, f));
        for (const auto& [other, unused] : frames)
          if (other != frame) {
            EXPECT_FALSE(overlap(c, box(controlNamed(w, other)))) << "reaches into " << other;
          }
      }
    }
    for (const std::string& name : unframed)
      for (const auto& [frame, unused] : frames) {
        EXPECT_FALSE(overlap(box(controlNamed(w, name)), box(controlNamed(w, frame)))) << name << " in " << frame;
      }
    for (rt::Control* c : shown) EXPECT_TRUE(placed.count(c->className())) << c->className() << " has no frame";
    for (std::size_t i = 0; i < shown.size(); ++i)
      for (std::size_t k = i + 1; k < shown.size(); ++k) {
        EXPECT_FALSE(overlap(box(*shown[i]), box(*shown[k])))
            << shown[i]->className() << " and " << shown[k]->className();
      }

    // Fields side by side or one above the other, clear of each other.
    auto leftOf = [&](const rt::Control& a, const rt::Control& b) {
      const Box l = box(a), r = box(b);
      return l.right <= r.left && l.top < r.bottom && r.top < l.bottom;
    };
    auto above = [&](const rt::Control& a, const rt::Control& b) { return box(a).bottom <= box(b).top; };
    EXPECT_TRUE(above(*w.em_c1, *w.em_c2));
    EXPECT_TRUE(leftOf(*w.em_by_cj, *w.sle_by_dj));
    EXPECT_TRUE(leftOf(*w.cb_2, *w.cb_1));
    // Boxes side by side may share their frame line, as the top row's do.
    auto boxLeftOf = [&](const rt::Control& a, const rt::Control& b) {
      return box(a).left < box(b).left && box(a).right < box(b).right && box(a).right <= box(b).left + 8;
    };
    EXPECT_TRUE(boxLeftOf(*w.gb_sex, *w.gb_6));
    EXPECT_TRUE(boxLeftOf(*w.gb_2, *w.gb_1));
    // Top to bottom on the right: the sex and this year, the earlier years and graduation,
    // the bonus, the deduction, the buttons at the bottom right.
    EXPECT_TRUE(above(*w.gb_sex, *w.gb_2));
    EXPECT_TRUE(above(*w.gb_6, *w.gb_1));
    EXPECT_TRUE(above(*w.gb_1, *w.gb_3));
    EXPECT_TRUE(above(*w.gb_2, *w.gb_3));
    EXPECT_TRUE(above(*w.gb_3, *w.gb_5));
    EXPECT_TRUE(above(*w.gb_5, *w.cb_2));
    EXPECT_TRUE(above(*w.gb_5, *w.cb_1));
    EXPECT_GT(w.cb_2->x(), box(*w.gb_4).right);
  }));
}

// The stops in their order, 10 apart; what the window writes is no stop, and Tab goes round
// the available ones.
TEST_F(GradeThreeCalculator, TheStopsRunFromTheEarlierYearsToTheButtons) {
  const Strings stops = {"em_c1", "em_c2", "em_s1", "em_s2", "em_t",  "em_1",  "em_8",   "em_f", "em_5", "em_l", "em_z",
                         "em_y",  "em_w",  "cbx_1", "cbx_2", "cbx_3", "cbx_4", "cbx_59", "cb_2", "cb_1", "dw_4"};
  EXPECT_TRUE(runCalculator([&](w_jsq_gz3& w) {
    for (std::size_t i = 0; i < stops.size(); ++i)
      EXPECT_EQ(controlNamed(w, stops[i]).taborder(), 10 * static_cast<int>(i + 1)) << stops[i];
    for (const auto& c : w.controls())
      if (std::find(stops.begin(), stops.end(), c->className()) == stops.end()) {
        EXPECT_EQ(c->taborder(), 0) << c->className();
      }
    for (const std::string& name : kWritten) EXPECT_EQ(controlNamed(w, name).taborder(), 0) << name;

    // Boys with every flag 1: the 800 m and the sit-ups are taken away; dw_4 is not shown.
    Strings walk;
    for (std::size_t i = 0; i < 18; ++i) {
      t::pressKey(w, Qt::Key_Tab);
      walk.push_back(nameOf(t::focused(w)));
    }
    EXPECT_EQ(walk, (Strings{"em_c2", "em_s1", "em_s2", "em_t", "em_1", "em_f", "em_5", "em_l", "em_z", "em_w", "cbx_1",
                             "cbx_2", "cbx_3", "cbx_4", "cbx_59", "cb_2", "cb_1", "em_c1"}));
  }));
}

// Clicked, a written field takes the focus and typing, until the next computation writes it.
TEST_F(GradeThreeCalculator, TheGraduationFieldsTakeTypingUntilTheNextTotal) {
  EXPECT_TRUE(runCalculator([](w_jsq_gz3& w) {
    typeOver(w, *w.em_t_t, "60");
    typeYears(w, "80", "80");
    ASSERT_EQ(w.em_by_cj->text(), "70.0");
    t::click(*w.em_by_cj);
    EXPECT_EQ(nameOf(t::focused(w)), "em_by_cj");
    t::typeText(w, "99");
    t::click(*w.sle_by_dj);
    EXPECT_EQ(nameOf(t::focused(w)), "sle_by_dj");
    t::typeText(w, "x");
    EXPECT_EQ(w.em_by_cj->text(), "99.0");
    EXPECT_EQ(w.sle_by_dj->text(), "及格x");
    t::click(*w.cbx_1);
    EXPECT_EQ(w.em_by_cj->text(), "72.0");
    EXPECT_EQ(w.sle_by_dj->text(), "及格");
  }));
}

TEST_F(GradeThreeCalculator, OnlyCloseEndsItAndTheNextOpeningStartsAfresh) {
  run([&] {
    EXPECT_TRUE(calculate([](w_jsq_gz3& w) {
      typeYears(w, "80", "90");
      t::typeText(w, "172");
      t::pressKey(w, Qt::Key_Return);
      for (rt::CheckBox* box : {w.cbx_1.raw(), w.cbx_4.raw(), w.cbx_59.raw()}) t::click(*box);
      t::click(*w.rb_sex_woman);
      ASSERT_NE(w.em_by_cj->text(), "");
      const std::pair<const char*, std::function<void()>> ways[] = {
          {"Esc", [&] { t::pressKey(w, Qt::Key_Escape); }},
          {"the window manager's close", [&] { w.widget()->close(); }},  // what Alt+F4 sends
      };
      for (const auto& [way, act] : ways) {
        act();
        t::processEvents();
        ASSERT_TRUE(w.isOpen()) << way;
      }
      t::click(*w.cb_1);
      EXPECT_FALSE(w.isOpen());
    }));
    EXPECT_TRUE(calculate([](w_jsq_gz3& w) {
      for (my_maskedit* f : std::initializer_list<my_maskedit*>{w.em_c1.raw(), w.em_c2.raw(), w.em_s1.raw(),
                                                                w.em_xn_t.raw(), w.em_by_cj.raw()})
        EXPECT_EQ(f->text(), "") << f->className();
      EXPECT_EQ(w.sle_by_dj->text(), "");
      EXPECT_TRUE(w.rb_sex_man->checked());
      EXPECT_FALSE(w.rb_sex_woman->checked());
      for (rt::CheckBox* box : {w.cbx_1.raw(), w.cbx_2.raw(), w.cbx_3.raw(), w.cbx_4.raw(), w.cbx_59.raw()})
        EXPECT_FALSE(box->checked()) << box->className();
      EXPECT_EQ(nameOf(t::focused(w)), "em_c1");
    }));
  });
  EXPECT_EQ(t::openedCount("w_jsq_gz3"), 2);
}

TEST_F(GradeThreeCalculator, VitalCapacityAsksForTheWeightInGradeOnesWords) {
  EXPECT_TRUE(runCalculator([](w_jsq_gz3& w) {
    enter(w, *w.em_f, "3000");
    EXPECT_EQ(messageTexts(), Strings{kNeedsWeight});
    EXPECT_EQ(w.em_f_t->text(), "");
    EXPECT_EQ(w.em_xn_t->text(), "");
  }));
}

// ---- the keyboard

TEST_F(GradeThreeCalculator, EnterWalksFromTheEarlierYearsAndScoresEachInputOnce) {
  ds.query("DELETE FROM xmsz");
  ds.query(insertRow("33", {{"xm_t_m", "0"}, {"xm_l_m", "0"}, {"xm_z_m", "0"}}));
  struct Case {
    const char* what;
    const char *c1, *c2;  // nullptr: passed with Enter, never typed
    Strings modified;     // each field the user typed in, once as it is left
    std::string graduation, level;
    rt::Color colour;
  };
  // 21.5 + 20.25 + 41 = 82.75.
  const Case cases[] = {
      {"the earlier years typed",
       "86",
       "81",
       {"em_c1.modified", "em_c2.modified", "em_s1.modified", "em_s2.modified", "em_1.modified", "em_f.modified",
        "em_5.modified", "em_w.modified"},
       "82.0",
       "良好",
       kMagenta},
      {"the earlier years never typed count 0",
       nullptr,
       nullptr,
       {"em_s1.modified", "em_s2.modified", "em_1.modified", "em_f.modified", "em_5.modified", "em_w.modified"},
       "41.0",
       "不及格",
       kRed},
  };
  const Strings measurements = {"172", "60", "3.42", "3600", "7.7", "81"};
  const Strings left = {"em_c1.losefocus", "em_c2.losefocus", "em_s1.losefocus", "em_s2.losefocus", "em_f.losefocus",
                        "em_1.losefocus",  "em_f.losefocus",  "em_5.losefocus",  "em_w.losefocus"};
  run([&] {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      EXPECT_TRUE(calculate([&](w_jsq_gz3& w) {
        t::clearJournal();
        if (c.c1) t::typeText(w, c.c1);
        t::pressKey(w, Qt::Key_Return);
        if (c.c2) t::typeText(w, c.c2);
        t::pressKey(w, Qt::Key_Return);
        for (const std::string& typed : measurements) {
          t::typeText(w, typed);
          t::pressKey(w, Qt::Key_Return);
        }
        EXPECT_EQ(nameOf(t::focused(w)), "cbx_1");
        EXPECT_EQ(t::journal({"losefocus"}), left);
        EXPECT_EQ(t::journal({"modified"}), c.modified);
        for (const std::string& entry : t::journal()) {
          const std::string object = entry.substr(0, entry.find('.'));
          EXPECT_EQ(std::count(kWritten.begin(), kWritten.end(), object), 0) << entry;
        }

        const std::pair<const char*, float> scores[] = {
            {"em_s_t", 15}, {"em_1_t", 17}, {"em_f_t", 12}, {"em_5_t", 18}, {"em_w_t", 20}};
        for (const auto& [name, points] : scores) EXPECT_EQ(value(field(w, name)), points) << name;
        EXPECT_EQ(w.em_xn_t->text(), "82.0");
        EXPECT_EQ(w.sle_dj->text(), "良好");
        EXPECT_EQ(w.sle_dj->textcolor(), kMagenta);
        EXPECT_EQ(w.em_by_cj->text(), c.graduation);
        EXPECT_EQ(w.sle_by_dj->text(), c.level);
        EXPECT_EQ(w.sle_by_dj->textcolor(), c.colour);
        EXPECT_TRUE(t::messages().empty());
      }));
    }
  });
}

// ---- the graduation block

// A year total made of typed scores, the boxes ticked, then the earlier years typed; their
// edits compute.
TEST_F(GradeThreeCalculator, TheGraduationScoreTakesAQuarterOfEachEarlierYearAndHalfOfThisOne) {
  struct Score {
    const char* field;
    const char* points;
  };
  struct Case {
    const char* what;
    std::vector<Score> scores;
    Strings boxes;
    const char *c1, *c2;
    std::string total, level;
    rt::Color levelColour;
    std::string graduation, graduationLevel;
    rt::Color graduationColour;
  };
  const Case cases[] = {
      {"21.375 + 21.625 + 42.5 = 85.5",
       {{"em_t_t", "85"}},
       {},
       "85.5",
       "86.5",
       "85.0",
       "良好",
       kMagenta,
       "85.0",
       "良好",
       kMagenta},
      {"the attendance cap counts: 15 + 15 + 29.5",
       {{"em_t_t", "80"}},
       {"cbx_59"},
       "60",
       "60",
       "59.0",
       "不及格",
       kRed,
       "59.0",
       "不及格",
       kRed},
      {"the attendance box does not touch the graduation level",
       {{"em_t_t", "45"}},
       {"cbx_59"},
       "100",
       "100",
       "45.0",
       "不及格",
       kRed,
       "72.0",
       "及格",
       kGreen},
      {"a total over 100 counts 100",
       {{"em_t_t", "15"}, {"em_f_t", "15"}, {"em_1_t", "20"}, {"em_5_t", "30"}, {"em_w_t", "8"}},
       {"cbx_1", "cbx_2", "cbx_3", "cbx_4"},
       "80",
       "80",
       "108.0",
       "优秀",
       kBlue,
       "90.0",
       "优秀",
       kBlue},
      {"typed year scores are never capped",
       {{"em_t_t", "100"}},
       {},
       "120",
       "120",
       "100.0",
       "优秀",
       kBlue,
       "110.0",
       "优秀",
       kBlue},
  };
  run([&] {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      EXPECT_TRUE(calculate([&](w_jsq_gz3& w) {
        for (const Score& s : c.scores) typeOver(w, controlNamed(w, s.field), s.points);
        for (const std::string& b : c.boxes) t::click(controlNamed(w, b));
        typeYears(w, c.c1, c.c2);
        EXPECT_EQ(w.em_xn_t->text(), c.total);
        EXPECT_EQ(w.sle_dj->text(), c.level);
        EXPECT_EQ(w.sle_dj->textcolor(), c.levelColour);
        EXPECT_EQ(w.em_by_cj->text(), c.graduation);
        EXPECT_EQ(w.sle_by_dj->text(), c.graduationLevel);
        EXPECT_EQ(w.sle_by_dj->textcolor(), c.graduationColour);
      }));
    }
  });
}

TEST_F(GradeThreeCalculator, AGraduationOfZeroEmptiesItsLevelAndKeepsItsColour) {
  run([&] {
    // Fresh, and after a level was shown.
    for (bool shownBefore : {false, true}) {
      SCOPED_TRACE(shownBefore ? "after 良好" : "fresh");
      EXPECT_TRUE(calculate([&](w_jsq_gz3& w) {
        if (shownBefore) {
          typeOver(w, *w.em_t_t, "85");
          typeYears(w, "85.5", "86.5");
          ASSERT_EQ(w.sle_by_dj->textcolor(), kMagenta);
          // Set from code, so that the next computation is the first with zeros.
          w.em_t_t->text = "0";
          w.em_c1->text = "0";
          w.em_c2->text = "0";
        } else {
          typeOver(w, *w.em_t_t, "0");
          typeYears(w, "0", "0");
        }
        const rt::Color before = w.sle_by_dj->textcolor();
        t::click(*w.cbx_59);
        EXPECT_EQ(w.em_xn_t->text(), "0.0");
        EXPECT_EQ(w.sle_dj->text(), "不及格");
        EXPECT_EQ(w.sle_dj->textcolor(), kRed);
        EXPECT_EQ(w.em_by_cj->text(), "0.0");
        EXPECT_EQ(w.sle_by_dj->text(), "");
        EXPECT_EQ(w.sle_by_dj->textcolor(), before);
      }));
    }
  });
}

TEST_F(GradeThreeCalculator, EveryYearTotalRecomputesTheGraduation) {
  EXPECT_TRUE(runCalculator([](w_jsq_gz3& w) {
    typeOver(w, *w.em_t_t, "61");
    typeYears(w, "60.1", "74.7");
    EXPECT_EQ(w.em_by_cj->text(), "64.0");  // 15.025 + 18.675 + 30.5
    typeOver(w, *w.em_t_t, "60");
    t::click(*w.cbx_1);
    EXPECT_EQ(w.em_by_cj->text(), "66.0");
    t::click(*w.cbx_1);
    EXPECT_EQ(w.em_xn_t->text(), "60.0");
    EXPECT_EQ(w.em_by_cj->text(), "63.0");  // 63.7, truncated
    EXPECT_EQ(w.sle_by_dj->text(), "及格");
  }));
}

// An edit of an earlier year recomputes this year's total as well; a text set from code, or
// a focus that only passes, computes nothing.
TEST_F(GradeThreeCalculator, OnlyAUserEditOfAnEarlierYearComputes) {
  EXPECT_TRUE(runCalculator([](w_jsq_gz3& w) {
    typeOver(w, *w.em_t_t, "70");
    typeYears(w, "80", "80");
    ASSERT_EQ(w.em_by_cj->text(), "75.0");
    typeOver(w, *w.em_xn_t, "1");  // the user's own figure, until the next total
    typeOver(w, *w.sle_dj, "x");

    t::clearJournal();
    typeOver(w, *w.em_c1, "90");
    t::pressKey(w, Qt::Key_Tab);
    EXPECT_EQ(t::journal({"modified"}), Strings{"em_c1.modified"});
    EXPECT_EQ(w.em_xn_t->text(), "70.0");
    EXPECT_EQ(w.sle_dj->text(), "及格");
    EXPECT_EQ(w.em_by_cj->text(), "77.0");  // 22.5 + 20 + 35
    EXPECT_EQ(w.sle_by_dj->text(), "良好");

    // Back and forth through both without typing, then a text from code and on.
    t::clearJournal();
    ASSERT_EQ(nameOf(t::focused(w)), "em_c2");
    t::pressKey(w, Qt::Key_Tab, Qt::ShiftModifier);
    t::moveFocus(*w.em_c2);
    w.em_c2->text = "100";
    t::pressKey(w, Qt::Key_Return);
    EXPECT_EQ(t::journal({"losefocus"}), (Strings{"em_c2.losefocus", "em_c1.losefocus", "em_c2.losefocus"}));
    EXPECT_EQ(t::journal({"modified"}), Strings{});
    EXPECT_EQ(w.em_by_cj->text(), "77.0");
  }));
}

// A change of sex rescores under the grade-three ladders of the new sex, the grip index at
// once, and the graduation follows the new year total.
TEST_F(GradeThreeCalculator, ChangingTheSexRecomputesTheGraduation) {
  EXPECT_TRUE(runCalculator([](w_jsq_gz3& w) {
    typeYears(w, "86", "81");
    const std::pair<my_maskedit*, const char*> typed[] = {{w.em_s1.raw(), "172"},
                                                          {w.em_s2.raw(), "60"},
                                                          {w.em_f.raw(), "3600"},
                                                          {w.em_5.raw(), "7.7"},
                                                          {w.em_w.raw(), "60"}};
    for (const auto& [input, text] : typed) enter(w, *input, text);
    struct Expected {
      float s, f, run50, grip;
      std::string total, graduation;
    };
    auto check = [&](const Expected& e) {
      EXPECT_EQ(value(*w.em_s_t), e.s);
      EXPECT_EQ(value(*w.em_f_t), e.f);
      EXPECT_EQ(value(*w.em_5_t), e.run50);
      EXPECT_EQ(value(*w.em_w_t), e.grip);
      EXPECT_EQ(w.em_xn_t->text(), e.total);
      EXPECT_EQ(w.em_by_cj->text(), e.graduation);
    };
    check({15, 12, 18, 15, "60.0", "71.0"});  // 41.75 + 30
    t::click(*w.rb_sex_woman);
    // No girls' row for 172 in this data source.
    check({0, 15, 30, 20, "65.0", "74.0"});  // 41.75 + 32.5
    EXPECT_EQ(w.sle_by_dj->text(), "及格");
    EXPECT_EQ(w.sle_by_dj->textcolor(), kGreen);
  }));
}
