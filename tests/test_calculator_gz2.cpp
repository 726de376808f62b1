// The grade-two score calculator: the shared calculator opened under its own name with the
// grade-two values, its own settings row, places, messages and ladders, beside the
// grade-one calculator in the same run of the program.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "runtime/msgbox.h"
#include "runtime/testing.h"
#include "runtime/window.h"
#include "scoring/w_jsq.h"
#include "scoring/w_jsq_gz1.h"
#include "scoring/w_jsq_gz2.h"
#include "support/calculator.h"

namespace t = rt::testing;
using namespace support;

namespace {

const std::string kMissing = "注意: 请先设置好高中二年级测试项目！";
const std::string kNeedsWeight = "错误: 请先正确输入体重。";

// The grade-two calculator's fixture, which can also open the grade-one calculator by its
// name in the same run. The grade-one settings window is a stand-in that only closes, so a
// test that forgets row "31" ends instead of waiting on it.
class GradeTwoTest : public CalculatorFixture<w_jsq_gz2, "32", "w_xm_gz2"> {
 protected:
  std::function<void(w_jsq_gz1&)> gradeOneBody;

  // A grade's settings row, stored before the program runs.
  void storeRow(const std::string& nj, const Flags& flags) {
    ds.query("DELETE FROM xmsz WHERE nj = '" + nj + "'");
    ds.query(insertRow(nj, flags));
  }

  void SetUp() override {
    CalculatorFixture::SetUp();
    rt::registerWindow<settings_standin<"w_xm_gz1">>();
    t::onOpen("w_xm_gz1", [](rt::Window& w) { rt::close(w); });
    t::onOpen("w_jsq_gz1", [this](rt::Window& w) {
      rt::Ref<rt::Window> ref = rt::refTo(w);
      if (gradeOneBody) gradeOneBody(static_cast<w_jsq_gz1&>(w));
      if (ref) rt::close(ref);
    });
  }

  // Opens the grade-one calculator by its class name; false when it never came on screen.
  bool gradeOne(const std::function<void(w_jsq_gz1&)>& act) {
    bool shown = false;
    gradeOneBody = [&](w_jsq_gz1& w) {
      shown = true;
      act(w);
    };
    rt::open("w_jsq_gz1");
    gradeOneBody = nullptr;
    return shown;
  }
};

}  // namespace

// ---- the window

// Every control's place, as grade two puts it: 4 units higher than grade one but for the
// bonus and deduction boxes, their frames and the close button; "项目设置" beside "关闭".
TEST_F(GradeTwoTest, OpensWithItsTitleHeightCaptionAndPlaces) {
  const std::map<std::string, std::pair<int, int>> places = {
      {"em_s1", {475, 88}},          {"em_s2", {475, 188}},   {"em_t", {475, 288}},    {"em_1", {475, 388}},
      {"em_8", {475, 488}},          {"em_f", {475, 588}},    {"em_5", {475, 688}},    {"em_l", {475, 788}},
      {"em_z", {475, 888}},          {"em_y", {475, 988}},    {"em_w", {475, 1088}},   {"st_s1", {82, 100}},
      {"st_s2", {87, 200}},          {"st_t", {82, 300}},     {"st_1", {82, 400}},     {"st_8", {82, 500}},
      {"st_f", {82, 600}},           {"st_5", {82, 700}},     {"st_l", {82, 800}},     {"st_z", {82, 900}},
      {"st_y", {82, 1000}},          {"st_w", {82, 1100}},    {"st_13", {741, 92}},    {"st_14", {741, 196}},
      {"st_11", {741, 396}},         {"st_88", {741, 496}},   {"st_55", {741, 696}},   {"st_ll", {741, 796}},
      {"st_zz", {741, 896}},         {"st_yy", {741, 996}},   {"st_111", {1070, 100}}, {"em_s_t", {1093, 180}},
      {"em_t_t", {1093, 280}},       {"em_1_t", {1093, 380}}, {"em_8_t", {1093, 480}}, {"em_f_t", {1093, 580}},
      {"em_5_t", {1093, 680}},       {"em_l_t", {1093, 780}}, {"em_z_t", {1093, 880}}, {"em_y_t", {1093, 980}},
      {"em_w_t", {1093, 1080}},      {"em_xn_t", {1819, 88}}, {"sle_dj", {2263, 88}},  {"rb_sex_man", {1531, 96}},
      {"rb_sex_woman", {1531, 180}}, {"cbx_1", {1545, 564}},  {"cbx_2", {1545, 644}},  {"cbx_3", {1545, 720}},
      {"cbx_4", {1545, 796}},        {"cbx_59", {1541, 980}}, {"gb_4", {37, 24}},      {"gb_sex", {1499, 24}},
      {"gb_6", {1792, 24}},          {"gb_3", {1499, 504}},   {"gb_5", {1495, 912}},   {"cb_2", {2231, 1096}},
      {"cb_1", {2592, 1096}},        {"dw_4", {0, 0}},
  };
  storeRow("31", {});
  // Every size is grade one's: name -> (width, height) there.
  std::map<std::string, std::pair<int, int>> gradeOneSizes;
  run([&] {
    EXPECT_TRUE(gradeOne([&](w_jsq_gz1& w) {
      for (const auto& c : w.controls()) gradeOneSizes[c->className()] = {c->width(), c->height()};
    }));
    EXPECT_TRUE(calculate([&](w_jsq_gz2& w) {
      EXPECT_EQ(w.title(), "高中二年级成绩");
      EXPECT_EQ(w.windowtype(), rt::WindowType::Response);
      EXPECT_FALSE(w.controlmenu());
      EXPECT_EQ(w.width(), 3008);
      EXPECT_EQ(w.height(), 1384);
      EXPECT_EQ(w.gb_6->text(), "高二学年成绩");
      EXPECT_EQ(w.cb_2->width(), 297);
      EXPECT_EQ(w.cb_2->height(), 100);

      std::set<std::string> seen;
      for (const auto& c : w.controls()) {
        const std::string name = c->className();
        SCOPED_TRACE(name);
        seen.insert(name);
        const auto place = places.find(name);
        ASSERT_NE(place, places.end()) << "a control without a place in the table";
        EXPECT_EQ(c->x(), place->second.first);
        EXPECT_EQ(c->y(), place->second.second);
        EXPECT_EQ(std::make_pair(c->width(), c->height()), gradeOneSizes[name]);
      }
      EXPECT_EQ(seen.size(), places.size()) << "controls of the table missing in the window";
      EXPECT_EQ(nameOf(t::focused(w)), "em_s1");
    }));
  });
  EXPECT_TRUE(t::messages().empty());
}

// ---- opened by name

// The menu and the start page open a calculator by its class name: each grade's name opens
// a window of its own class through its own global, which reads its own grade's row, also
// while the other grade's window is open.
TEST_F(GradeTwoTest, EachGradeOpensItsOwnClassWhichReadsItsOwnRow) {
  storeRow("32", {{"xm_l_m", "0"}});  // grade two: boys without the long jump
  storeRow("31", {{"xm_1_m", "0"}});  // grade one: boys without the 1000 m
  auto readsGradeOne = [](w_jsq& w) {
    EXPECT_EQ(w.title(), "高中一年级成绩");
    EXPECT_FALSE(w.em_1->enabled());
    EXPECT_TRUE(w.em_l->enabled());
  };
  run([&] {
    EXPECT_TRUE(gradeOne([&](w_jsq_gz1& w) {
      EXPECT_TRUE(typeid(w) == typeid(w_jsq_gz1));
      EXPECT_EQ(rt::global<w_jsq_gz1>().raw(), &w);
      EXPECT_FALSE(rt::global<w_jsq_gz2>());
      readsGradeOne(w);
    }));
    EXPECT_TRUE(calculate([&](w_jsq_gz2& w) {
      EXPECT_TRUE(typeid(w) == typeid(w_jsq_gz2)) << typeid(w).name();
      EXPECT_EQ(rt::global<w_jsq_gz2>().raw(), &w);
      EXPECT_FALSE(rt::global<w_jsq_gz1>()) << "the grade-one window has closed";
      EXPECT_FALSE(w.em_l->enabled());
      EXPECT_TRUE(w.em_1->enabled());
      // Grade one opened now comes as a window of its own, not the grade-two one brought
      // to the front.
      EXPECT_TRUE(gradeOne([&](w_jsq_gz1& one) {
        EXPECT_TRUE(w.isOpen());
        EXPECT_EQ(rt::global<w_jsq_gz1>().raw(), &one);
        EXPECT_EQ(rt::global<w_jsq_gz2>().raw(), &w);
        readsGradeOne(one);
      }));
      EXPECT_FALSE(w.em_l->enabled()) << "the grade-two window keeps its row";
    }));
  });
  EXPECT_EQ(t::openedCount("w_jsq_gz1"), 2);
  EXPECT_EQ(t::openedCount("w_jsq_gz2"), 1);
  EXPECT_TRUE(t::messages().empty());
}

// ---- loading the settings

TEST_F(GradeTwoTest, WithOnlyTheGradeOneRowItAsksForItsOwnSettings) {
  ds.query("DELETE FROM xmsz");
  ds.query(insertRow("31", {{"xm_5_m", "0"}}));
  settingsWindow = [](int) { save({}); };
  EXPECT_TRUE(runCalculator(
      [](w_jsq_gz2& w) { EXPECT_TRUE(w.em_5->enabled()) << "the row saved for grade two, not grade one's"; }));
  EXPECT_EQ(messageTexts(), Strings{kMissing});
  EXPECT_EQ(settingsRounds, 1);
  EXPECT_EQ(t::openedCount("w_xm_gz2"), 1);
  EXPECT_EQ(t::openedCount("w_xm_gz1"), 0);
}

TEST_F(GradeTwoTest, EachWindowTakesItsItemsFromItsOwnRow) {
  storeRow("32", {{"xm_5_m", "0"}});
  storeRow("31", {});
  // The boys' 50 m row, each of its controls enabled or not.
  auto run50 = [](w_jsq& w) {
    std::string out;
    for (const rt::Control* c : std::vector<const rt::Control*>{&*w.st_5, &*w.st_55, &*w.em_5, &*w.em_5_t})
      out += c->enabled() ? '1' : '0';
    return out;
  };
  run([&] {
    EXPECT_TRUE(calculate([&](w_jsq_gz2& w) {
      EXPECT_EQ(run50(w), "0000");
      EXPECT_TRUE(w.em_l->enabled());
    }));
    EXPECT_TRUE(gradeOne([&](w_jsq_gz1& w) { EXPECT_EQ(run50(w), "1111"); }));
  });
}

// ---- height-standard-weight score

// Both grades read the same height tables the same way.
TEST_F(GradeTwoTest, TheSameHeightAndWeightScoreTheSameInBothGrades) {
  storeRow("31", {});
  struct Case {
    bool girl;
    const char* height;
    const char* weight;
    float score;
  };
  const Case cases[] = {{false, "172", "60", 15}, {false, "192", "70", 9}, {false, "140", "45", 9},
                        {false, "175", "70", 0},  {true, "188", "60", 15}, {true, "160", "41", 9}};
  auto scoreAll = [&](w_jsq& w) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(w.title()) + " " + c.height + " / " + c.weight);
      if (c.girl && w.rb_sex_man->checked()) t::click(*w.rb_sex_woman);
      enter(w, *w.em_s1, c.height);
      enter(w, *w.em_s2, c.weight);
      EXPECT_EQ(value(*w.em_s_t), c.score);
    }
  };
  run([&] {
    EXPECT_TRUE(calculate(scoreAll));
    EXPECT_TRUE(gradeOne(scoreAll));
  });
  EXPECT_TRUE(t::messages().empty());
}

// ---- vital capacity without a weight

TEST_F(GradeTwoTest, VitalCapacityAsksForTheWeightInGradeTwosWords) {
  EXPECT_TRUE(runCalculator([](w_jsq_gz2& w) {
    enter(w, *w.em_t, "63");
    EXPECT_EQ(w.em_xn_t->text(), "20.0");
    enter(w, *w.em_f, "3000");  // no weight yet
    EXPECT_EQ(messageTexts(), Strings{kNeedsWeight});
    EXPECT_EQ(w.em_f_t->text(), "");
    EXPECT_EQ(w.em_xn_t->text(), "20.0");
    enter(w, *w.em_s2, "0");  // leaving the weight asks too, once
    EXPECT_EQ(messageTexts(), (Strings{kNeedsWeight, kNeedsWeight}));
    EXPECT_EQ(w.em_f_t->text(), "");
    EXPECT_EQ(w.em_xn_t->text(), "20.0");
    for (const t::MessageRecord& m : t::messages()) EXPECT_EQ(m.icon, rt::Icon::Information);
    // With a weight it scores by grade two's boys' ladder: index 60 scores 11.
    enter(w, *w.em_s2, "50");
    EXPECT_EQ(value(*w.em_f_t), 11);
    EXPECT_EQ(t::messages().size(), 2u);
  }));
}

TEST_F(GradeTwoTest, NoVitalCapacityAndNoWeightScoresZeroWithoutAsking) {
  EXPECT_TRUE(runCalculator([](w_jsq_gz2& w) {
    enter(w, *w.em_s2, "0");
    t::moveFocus(*w.em_f);
    w.em_w_t->text = "20";  // a score the total has not counted yet
    t::typeText(w, "0");
    t::pressKey(w, Qt::Key_Return);
    EXPECT_EQ(w.em_f_t->text(), "0.0");
    EXPECT_EQ(w.em_xn_t->text(), "20.0");
    EXPECT_TRUE(t::messages().empty());
  }));
}

// ---- the keyboard

// The same boy typed with Enter from the height on, in each grade's window: his 1000 m and
// 50 m fall in other bands in grade two, and so does his level.
TEST_F(GradeTwoTest, TheSameBoyTypedWithEnterScoresByEachGradesLadders) {
  const Flags boys = {{"xm_t_m", "0"}, {"xm_l_m", "0"}, {"xm_z_m", "0"}};  // 1000 m, 50 m, grip
  storeRow("32", boys);
  storeRow("31", boys);
  struct Expected {
    std::vector<std::pair<std::string, float>> scores;
    std::string total, level;
    rt::Color colour;
  };
  auto typeTheBoy = [](w_jsq& w, const Expected& e) {
    SCOPED_TRACE(w.title());
    for (const char* typed : {"172", "60", "3.42", "3600", "7.7", "81"}) {
      t::typeText(w, typed);
      t::pressKey(w, Qt::Key_Return);
    }
    for (const auto& [field, points] : e.scores)
      EXPECT_EQ(value(dynamic_cast<my_maskedit&>(controlNamed(w, field))), points) << field;
    EXPECT_EQ(w.em_xn_t->text(), e.total);
    EXPECT_EQ(w.sle_dj->text(), e.level);
    EXPECT_EQ(w.sle_dj->textcolor(), e.colour);
    EXPECT_EQ(nameOf(t::focused(w)), "cb_2");
  };
  const Expected gradeTwo{{{"em_s_t", 15}, {"em_1_t", 17}, {"em_f_t", 11}, {"em_5_t", 18}, {"em_w_t", 20}},
                          "81.0",
                          "良好",
                          rt::Color::rgb(255, 0, 255)};
  const Expected gradeOneScores{{{"em_s_t", 15}, {"em_1_t", 20}, {"em_f_t", 11}, {"em_5_t", 20}, {"em_w_t", 20}},
                                "86.0",
                                "优秀",
                                rt::Color::rgb(0, 0, 255)};
  run([&] {
    EXPECT_TRUE(calculate([&](w_jsq_gz2& w) { typeTheBoy(w, gradeTwo); }));
    EXPECT_TRUE(gradeOne([&](w_jsq_gz1& w) { typeTheBoy(w, gradeOneScores); }));
  });
  EXPECT_TRUE(t::messages().empty());
}

// The grade's own row: boys without the 50 m and the grip index, so cb_2 stands alone at its
// tab order; girls without the step test and the sit-ups.
TEST_F(GradeTwoTest, TabGoesRoundEveryStopInTabOrder) {
  storeRow("32", {{"xm_5_m", "0"}, {"xm_w_m", "0"}, {"xm_t_w", "0"}, {"xm_y_w", "0"}});
  const Strings boys = {"em_s1",  "em_s2",  "em_t",   "em_1",    "em_f",   "em_l",  "em_z",   "cb_2",
                        "em_s_t", "cbx_1",  "em_t_t", "cbx_2",   "em_1_t", "cbx_3", "em_f_t", "cbx_4",
                        "cbx_59", "em_l_t", "em_z_t", "em_xn_t", "sle_dj", "cb_1"};
  const Strings girls = {"em_s1",  "em_s2",  "em_8",   "em_f",   "em_5",   "em_l",    "em_z",   "em_w",
                         "cb_2",   "em_s_t", "cbx_1",  "cbx_2",  "cbx_3",  "em_8_t",  "em_f_t", "cbx_4",
                         "em_5_t", "cbx_59", "em_l_t", "em_z_t", "em_w_t", "em_xn_t", "sle_dj", "cb_1"};
  EXPECT_TRUE(runCalculator([&](w_jsq_gz2& w) { expectTabGoesRoundForBothSexes(w, boys, girls); }));
}

TEST_F(GradeTwoTest, SpaceTicksAndUnticksAFocusedBonusBox) {
  EXPECT_TRUE(runCalculator([](w_jsq_gz2& w) { expectSpaceTicksTheBonusBoxes(w); }));
}

TEST_F(GradeTwoTest, TabAndEnterGoOnFromTheFieldTheChangeOfSexDisabled) {
  storeRow("32", {{"xm_w_w", "0"}});
  EXPECT_TRUE(runCalculator([](w_jsq_gz2& w) { movingOnFromTheFieldTheSexChangeDisabled(w); }));
}
