// The grade-one score calculator on a data source of its own: the form, loading the item
// settings, availability, the height-standard-weight score from the height tables, the
// keyboard path, the change of sex and the ways out of a database that will not help.

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "classes.h"
#include "runtime/application.h"
#include "runtime/testing.h"
#include "runtime/transaction.h"
#include "runtime/window.h"
#include "scoring/core/scoring.h"
#include "scoring/w_jsq.h"
#include "scoring/w_jsq_gz1.h"
#include "shell/book.h"
#include "support/calculator.h"
#include "support/connected_app.h"
#include "support/datasource.h"
#include "support/wait.h"

namespace t = rt::testing;
using support::TempDataSource;
using Strings = std::vector<std::string>;

namespace {

using CalculatorTest = support::CalculatorFixture<w_jsq_gz1, "31", "w_xm_gz1">;
using namespace support;

const std::string kMissing = "注意: 请先设置好高中一年级测试项目！";

// The data layer's report of a retrieve that failed on the table renamed away.
void expectDatabaseError(const rt::testing::MessageRecord& m) {
  EXPECT_EQ(m.caption, "错误");
  EXPECT_NE(m.text.find("xmsz"), std::string::npos) << m.text;
}

const std::string kNeedsWeight = "提示: 如要得到肺活量成绩，请先正确输入体重！";

}  // namespace

// ---- the window

TEST_F(CalculatorTest, OpensAsTheGradeOneFormReadyForAStudent) {
  EXPECT_TRUE(runCalculator([](w_jsq_gz1& w) {
    EXPECT_EQ(w.title(), "高中一年级成绩");
    EXPECT_EQ(w.windowtype(), rt::WindowType::Response);
    EXPECT_FALSE(w.controlmenu());
    EXPECT_EQ(w.width(), 3008);
    EXPECT_EQ(w.height(), 1388);

    const std::map<std::string, std::string> captions = calculatorCaptions("高一学年成绩");
    std::map<std::string, std::string> shown;
    for (const auto& c : w.controls()) {
      auto* text = dynamic_cast<rt::TextControl*>(c.get());
      if (!text) continue;
      SCOPED_TRACE(c->className());
      EXPECT_EQ(text->facename(), "Arial");
      EXPECT_EQ(text->fontcharset(), 0);
      if (!dynamic_cast<my_maskedit*>(c.get()) && c->className() != "sle_dj") shown[c->className()] = text->text();
    }
    EXPECT_EQ(shown, captions);

    struct Place {
      rt::Control* c;
      int x, y, width, height;
    };
    for (const Place& p : {Place{&*w.em_s1, 475, 92, 251, 80}, Place{&*w.em_w, 475, 1092, 251, 80},
                           Place{&*w.em_s_t, 1093, 184, 210, 80}, Place{&*w.em_w_t, 1093, 1084, 210, 80},
                           Place{&*w.st_13, 741, 96, 247, 60}, Place{&*w.st_s2, 87, 204, 343, 56},
                           Place{&*w.em_xn_t, 1819, 92, 439, 172}, Place{&*w.gb_6, 1792, 28, 1138, 264},
                           Place{&*w.cb_2, 2149, 1100, 297, 100}, Place{&*w.cb_1, 2592, 1096, 343, 100}}) {
      SCOPED_TRACE(p.c->className());
      EXPECT_EQ(p.c->x(), p.x);
      EXPECT_EQ(p.c->y(), p.y);
      EXPECT_EQ(p.c->width(), p.width);
      EXPECT_EQ(p.c->height(), p.height);
    }
    EXPECT_EQ(w.em_s_t->mask(), "###,###.0");
    EXPECT_EQ(w.em_s1->mask(), "###,###.00");
    EXPECT_EQ(w.em_xn_t->textsize(), -26);
    EXPECT_EQ(w.em_xn_t->weight(), 700);
    EXPECT_EQ(w.em_xn_t->textcolor(), rt::Color::rgb(128, 0, 0));
    EXPECT_EQ(w.sle_dj->backcolor(), rt::Color::rgb(166, 202, 240));
    EXPECT_EQ(w.rb_sex_woman->textcolor(), rt::Color::rgb(128, 0, 128));
    EXPECT_EQ(w.gb_3->textcolor(), rt::Color::rgb(255, 0, 255));
    EXPECT_FALSE(w.dw_4->visible());
    // A row taken away is drawn greyed: for boys the 800 m row's unit, not the 1000 m row's.
    EXPECT_GT(pixelsInColour(*w.st_11, rt::Color::rgb(128, 0, 0)), 0);
    EXPECT_EQ(pixelsInColour(*w.st_88, rt::Color::rgb(128, 0, 0)), 0);
    EXPECT_EQ(pixelsInColour(*w.st_8, rt::Color::rgb(0, 0, 128)), 0);

    // Ready for a student: empty inputs, nothing totalled, 男, no box, the height first.
    for (my_maskedit* f : std::initializer_list<my_maskedit*>{&*w.em_s1, &*w.em_s2, &*w.em_t, &*w.em_f, &*w.em_w})
      EXPECT_EQ(f->text(), "");
    EXPECT_EQ(w.em_xn_t->text(), "");
    EXPECT_EQ(w.sle_dj->text(), "");
    EXPECT_TRUE(w.rb_sex_man->checked());
    EXPECT_FALSE(w.rb_sex_woman->checked());
    EXPECT_EQ(nameOf(t::focused(w)), "em_s1");
    EXPECT_TRUE(t::messages().empty());
  }));
}

// The item area by its rule rather than by each control's figures: eleven rows 100 units
// apart, in each from left to right the item label, the input, the unit label and the score
// field, none reaching into the next; and every control whole inside the window.
TEST_F(CalculatorTest, TheItemsStandInAGridOfElevenRows) {
  struct Row {
    const char *label, *input, *unit, *score;  // nullptr: the row has none
  };
  const Row rows[] = {
      {"st_s1", "em_s1", "st_13", nullptr}, {"st_s2", "em_s2", "st_14", "em_s_t"}, {"st_t", "em_t", nullptr, "em_t_t"},
      {"st_1", "em_1", "st_11", "em_1_t"},  {"st_8", "em_8", "st_88", "em_8_t"},   {"st_f", "em_f", nullptr, "em_f_t"},
      {"st_5", "em_5", "st_55", "em_5_t"},  {"st_l", "em_l", "st_ll", "em_l_t"},   {"st_z", "em_z", "st_zz", "em_z_t"},
      {"st_y", "em_y", "st_yy", "em_y_t"},  {"st_w", "em_w", nullptr, "em_w_t"}};
  EXPECT_TRUE(runCalculator([&](w_jsq_gz1& w) {
    auto named = [&w](const char* name) -> rt::Control& { return controlNamed(w, name); };
    for (int i = 0; i < 11; ++i) {
      const Row& r = rows[i];
      SCOPED_TRACE(r.input);
      rt::Control& input = named(r.input);
      EXPECT_EQ(input.y(), 92 + 100 * i);
      EXPECT_EQ(input.x(), 475);
      std::vector<std::pair<rt::Control*, int>> inOrder{{&named(r.label), i == 1 ? 87 : 82}, {&input, 475}};
      if (r.unit) inOrder.emplace_back(&named(r.unit), 741);
      if (r.score) inOrder.emplace_back(&named(r.score), 1093);
      for (std::size_t k = 0; k < inOrder.size(); ++k) {
        rt::Control& c = *inOrder[k].first;
        SCOPED_TRACE(c.className());
        EXPECT_EQ(c.x(), inOrder[k].second);
        if (k + 1 < inOrder.size()) {
          EXPECT_LE(c.x() + c.width(), inOrder[k + 1].first->x());
        }
        // On the input's row: their heights overlap, and it stays clear of the next row.
        EXPECT_LT(c.y(), input.y() + input.height());
        EXPECT_LT(input.y(), c.y() + c.height());
        EXPECT_LE(c.y() + c.height(), input.y() + 100);
      }
    }
    for (const auto& c : w.controls()) {
      if (!c->visible()) continue;
      EXPECT_GE(c->x(), 0) << c->className();
      EXPECT_GE(c->y(), 0) << c->className();
      EXPECT_LE(c->x() + c->width(), w.width()) << c->className();
      EXPECT_LE(c->y() + c->height(), w.height()) << c->className();
    }
  }));
}

TEST_F(CalculatorTest, OnlyCloseEndsItAndTheNextOpeningStartsAfresh) {
  run([&] {
    EXPECT_TRUE(calculate([](w_jsq_gz1& w) {
      enter(w, *w.em_s1, "172");
      t::click(*w.cbx_1);
      t::click(*w.rb_sex_woman);
      t::pressKey(w, Qt::Key_Escape);
      w.widget()->close();  // what Alt+F4 sends
      t::processEvents();
      ASSERT_TRUE(w.isOpen());
      t::click(*w.cb_1);
      EXPECT_FALSE(w.isOpen());
    }));
    EXPECT_TRUE(calculate([](w_jsq_gz1& w) {
      EXPECT_EQ(w.em_s1->text(), "");
      EXPECT_TRUE(w.rb_sex_man->checked());
      EXPECT_FALSE(w.cbx_1->checked());
      EXPECT_EQ(w.em_xn_t->text(), "");
    }));
  });
  EXPECT_EQ(t::openedCount("w_jsq_gz1"), 2);
}

TEST_F(CalculatorTest, OpeningTotalsNothingAndATypedScoreCountsAtTheNextTotal) {
  EXPECT_TRUE(runCalculator([](w_jsq_gz1& w) {
    EXPECT_EQ(w.em_xn_t->text(), "");
    EXPECT_EQ(w.sle_dj->text(), "");
    // Score fields are ordinary fields: the user may type a score into one. Leaving the
    // height on the way totals what there is.
    t::click(*w.em_t_t);
    EXPECT_EQ(w.em_xn_t->text(), "0.0");
    t::typeText(w, "20");
    EXPECT_EQ(w.em_xn_t->text(), "0.0");
    t::click(*w.cbx_1);
    EXPECT_EQ(w.em_xn_t->text(), "25.0");
    EXPECT_EQ(w.sle_dj->text(), "不及格");
    EXPECT_EQ(w.sle_dj->textcolor(), rt::Color::rgb(255, 0, 0));
    t::click(*w.cbx_59);  // the cap rules the level, whatever the total
    EXPECT_EQ(w.em_xn_t->text(), "25.0");
    EXPECT_EQ(w.sle_dj->text(), "不及格");
  }));
}

// ---- height-standard-weight score

TEST_F(CalculatorTest, HeightAndWeightScoreAgainstTheOneRowOfTheirHeight) {
  EXPECT_TRUE(runCalculator([](w_jsq_gz1& w) {
    struct Case {
      const char* what;
      const char* height;
      const char* weight;
      float score;
    };
    // In this order: the missing row and the two rows follow rows that did score, so stale
    // bounds would show.
    const Case boys[] = {
        {"190 cm row, lowered twice: 70 becomes 68.2", "192", "70", 9},
        {"no row for 175", "175", "70", 0},
        {"a null bound", "160", "45", 0},
        {"140 cm row", "140", "45", 9},
        {"two rows for 170", "170.4", "60", 0},
        {"a weight of 0 reads nothing", "140", "0", 0},
    };
    for (const Case& c : boys) {
      SCOPED_TRACE(c.what);
      enter(w, *w.em_s1, c.height);
      enter(w, *w.em_s2, c.weight);
      EXPECT_EQ(value(*w.em_s_t), c.score);
      EXPECT_EQ(value(*w.em_xn_t), c.score);  // every other score field is still empty
    }
    // A girl of 188 is looked up as 185 with 60 kg lowered three times in single precision,
    // just below the row's 57.3.
    t::click(*w.rb_sex_woman);
    enter(w, *w.em_s1, "188");
    enter(w, *w.em_s2, "60");
    EXPECT_EQ(value(*w.em_s_t), 15);
    // The adjusted values are never shown.
    EXPECT_EQ(w.em_s1->text(), "188.00");
    EXPECT_EQ(w.em_s2->text(), "60.00");
    EXPECT_TRUE(t::messages().empty());
  }));
}

// A lookup the database fails leaves the item unknown: no total and no level are shown as if
// they were valid, the other items still score, and the next lookup that writes a score
// (here one that reads no table) shows the total again. Told once per sequence.
TEST_F(CalculatorTest, ADatabaseErrorLeavesTheItemAndTheTotalUnknownAndIsToldOncePerSequence) {
  ds.query("DROP TABLE gz123_m");
  EXPECT_TRUE(runCalculator([](w_jsq_gz1& w) {
    auto shown = [&] { return w.em_s_t->text() + "|" + w.em_xn_t->text() + "|" + w.sle_dj->text(); };
    // Without a weight there is nothing to look up, so nothing fails.
    enter(w, *w.em_s1, "172");
    EXPECT_TRUE(t::messages().empty());
    enter(w, *w.em_t, "64");
    ASSERT_EQ(shown(), "0.0|20.0|不及格");
    const rt::Color red = w.sle_dj->textcolor();
    enter(w, *w.em_s2, "60");
    ASSERT_EQ(t::messages().size(), 1u);
    EXPECT_EQ(t::messages()[0].caption, "错误");
    EXPECT_NE(t::messages()[0].text.find("gz123_m"), std::string::npos) << t::messages()[0].text;
    EXPECT_EQ(shown(), "||");
    EXPECT_EQ(w.sle_dj->textcolor(), red) << "kept as for an empty level";
    EXPECT_EQ(w.em_t_t->text(), "20.0");

    // Other items still score; a score typed meanwhile leaves the lookup unknown.
    enter(w, *w.em_5, "7.5");
    EXPECT_NE(w.em_5_t->text(), "");
    w.em_s_t->text = "15";
    t::click(*w.cbx_1);
    EXPECT_EQ(w.em_xn_t->text() + "|" + w.sle_dj->text(), "|");
    t::click(*w.cbx_59);
    EXPECT_EQ(w.em_xn_t->text() + "|" + w.sle_dj->text(), "|") << "nothing shown, capped or not";
    t::click(*w.cbx_59);
    t::click(*w.cbx_1);

    // A change of sex looks the height up twice; back to the broken boys' table it is told once.
    t::click(*w.rb_sex_woman);
    EXPECT_EQ(t::messages().size(), 1u);
    EXPECT_NE(w.em_s_t->text(), "") << "the girls' table answered";
    t::click(*w.rb_sex_man);
    EXPECT_EQ(t::messages().size(), 2u);
    EXPECT_EQ(shown(), "||");

    // A weight of 0 reads no table and scores 0: the total is shown again.
    enter(w, *w.em_s2, "0");
    EXPECT_EQ(w.em_s_t->text(), "0.0");
    EXPECT_NE(w.em_xn_t->text(), "");
    EXPECT_EQ(value(*w.em_xn_t), 20 + value(*w.em_5_t));
    EXPECT_EQ(t::messages().size(), 2u);
  }));
}

// Another program changes the height table while the calculator is open (a school loading
// its own rows with DELETE and INSERT): the next lookup scores from the rows as they are now.
TEST_F(CalculatorTest, TheNextLookupScoresFromTheHeightTableAsItIsNow) {
  EXPECT_TRUE(runCalculator([&](w_jsq_gz1& w) {
    enter(w, *w.em_s1, "172");
    enter(w, *w.em_s2, "60");
    EXPECT_EQ(value(*w.em_s_t), 15);
    if (kPostgres) {
      EXPECT_EQ(ds.idleInTransaction(), 0) << "the lookup left its transaction open";
    }
    ds.query("DELETE FROM gz123_m WHERE s = 172; INSERT INTO gz123_m VALUES (172, 61, 65, 70, 75)");
    enter(w, *w.em_s2, "60");
    EXPECT_EQ(value(*w.em_s_t), 7);
    EXPECT_TRUE(t::messages().empty());
  }));
}

// Each height left looks its row up: each sex's lookup is prepared once, then run again with
// the new height.
TEST_F(CalculatorTest, EachSexsLookupIsPreparedOnceOverTwentyHeights) {
  EXPECT_TRUE(runCalculator([&](w_jsq_gz1& w) {
    struct Sex {
      const char* what;
      rt::Control* button;
      const char* height;  // the whole centimetres of a row of the test's own
      float score;         // for 60 kg
    };
    for (const Sex& sex : {Sex{"boys", &*w.rb_sex_man, "172.", 15}, Sex{"girls", &*w.rb_sex_woman, "160.", 9}}) {
      SCOPED_TRACE(sex.what);
      const long before = rt::Transaction::preparedStatements();
      t::click(*sex.button);
      enter(w, *w.em_s2, "60");
      for (int i = 0; i < 20; ++i) {
        const std::string height = sex.height + std::to_string(10 + i);
        enter(w, *w.em_s1, height);
        EXPECT_EQ(value(*w.em_s_t), sex.score) << height;
      }
      EXPECT_EQ(rt::Transaction::preparedStatements() - before, 1);
    }
    EXPECT_TRUE(t::messages().empty());
  }));
}

#ifdef ORVIDA_TEST_POSTGRES
// Another connection holds the boys' height table locked: a lookup fails within the
// statement's time-out with the driver's text, told once per sequence, and leaves the item,
// the total and its level unknown. A time-out is no lost connection: the statement runs
// once. The window goes on working, and once the lock is let go the same lookup scores.
TEST_F(CalculatorTest, ALockedHeightTableFailsTheLookupWithinSecondsThenScores) {
  ds.holdInBackground("BEGIN; LOCK TABLE gz123_m IN ACCESS EXCLUSIVE MODE;", 60, "COMMIT;");
  auto held = [&] { return ds.lockedElsewhere("gz123_m", "AccessExclusiveLock"); };
  ASSERT_TRUE(waitUntil(held, 5000)) << "the other program never took its lock";
  EXPECT_TRUE(runCalculator([&](w_jsq_gz1& w) {
    auto shown = [&] { return w.em_s_t->text() + "|" + w.em_xn_t->text() + "|" + w.sle_dj->text(); };
    enter(w, *w.em_t, "64");
    enter(w, *w.em_s1, "172");
    w.em_s_t->text = "15";
    t::clearJournal();
    EXPECT_LT(timed([&] { enter(w, *w.em_s2, "60"); }).count(), 12.0) << "the lock froze the window";
    ASSERT_EQ(t::messages().size(), 1u);
    EXPECT_EQ(t::messages()[0].caption, "错误");
    EXPECT_NE(t::messages()[0].text.find("statement timeout"), std::string::npos) << t::messages()[0].text;
    EXPECT_EQ(t::messages()[0].icon, rt::Icon::Information);
    EXPECT_EQ(t::journal({"execute", "connect"}), Strings{"driver.execute"}) << "no second try";
    EXPECT_EQ(shown(), "||");

    // Usable: an item that reads no table scores, and the total stays unknown.
    enter(w, *w.em_t, "64");
    EXPECT_EQ(value(*w.em_t_t), 20);
    EXPECT_EQ(shown(), "||");
    // Girls read their own table; back to boys the walk looks the height up twice, told once.
    t::click(*w.rb_sex_woman);
    EXPECT_EQ(t::messages().size(), 1u);
    timed([&] { t::click(*w.rb_sex_man); });
    EXPECT_EQ(t::messages().size(), 2u);
    EXPECT_EQ(shown(), "||");

    ds.endHolder();
    ASSERT_TRUE(waitUntil([&] { return !held(); }, 5000));
    const long prepared = rt::Transaction::preparedStatements();
    EXPECT_LT(timed([&] { enter(w, *w.em_s2, "60"); }).count(), 3.0);
    EXPECT_EQ(shown(), "15.0|35.0|不及格");
    EXPECT_EQ(rt::Transaction::preparedStatements() - prepared, 1) << "prepared again after its time-out";
    EXPECT_EQ(t::messages().size(), 2u);
  }));
  EXPECT_EQ(ds.query("SELECT count(*) FROM gz123_m WHERE s = 172"), "1") << "the table as it was";
}
#endif

// ---- item availability

TEST_F(CalculatorTest, TheFlagsAndTheSexMakeWholeRowsAvailable) {
  struct Case {
    const char* what;
    Flags flags;
    // Per optional item, "1" available: step test, 1000 m, 800 m, 50 m, long jump,
    // sit-and-reach, grip index, sit-ups.
    std::string boys;
    std::string girls;
    // A boys' item whose char(1) flag was given "0 ": a database that drops the blank that
    // does not fit stores "0", which takes the item away (its place in `boys`).
    const char* paddedColumn = nullptr;
    std::size_t paddedItem = 0;
  };
  const Case cases[] = {
      {"every flag 1: both items of a group", {}, "11011110", "10111111"},
      {"every flag 0",
       {{"xm_t_m", "0"},
        {"xm_1_m", "0"},
        {"xm_5_m", "0"},
        {"xm_l_m", "0"},
        {"xm_z_m", "0"},
        {"xm_w_m", "0"},
        {"xm_t_w", "0"},
        {"xm_8_w", "0"},
        {"xm_5_w", "0"},
        {"xm_l_w", "0"},
        {"xm_z_w", "0"},
        {"xm_y_w", "0"},
        {"xm_w_w", "0"}},
       "00000000",
       "00000000"},
      {"one boys' choice; the girls' flags do not count for boys",
       {{"xm_1_m", "0"}, {"xm_5_m", "0"}, {"xm_w_m", "0"}, {"xm_t_w", "0"}, {"xm_l_w", "0"}},
       "10001100",
       "00110111"},
      {"only exactly 0 takes an item away",
       {{"xm_t_m", std::nullopt},
        {"xm_1_m", ""},
        {"xm_5_m", "0 "},
        {"xm_l_m", "0"},
        {"xm_t_w", "0 "},
        {"xm_8_w", std::nullopt},
        {"xm_y_w", ""},
        {"xm_z_w", "0"}},
       "11010110",
       "10111011",
       "xm_5_m",
       3},
  };
  run([&] {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      save(c.flags);
      std::string boys = c.boys;
      if (c.paddedColumn) {
        const std::string stored = ds.query("SELECT " + std::string(c.paddedColumn) + " FROM xmsz WHERE nj = '31'");
        EXPECT_TRUE(stored == "0 " || stored == "0") << stored;
        if (stored == "0") boys[c.paddedItem] = '0';
      }
      EXPECT_TRUE(calculate([&](w_jsq_gz1& w) {
        // The four controls of a row switch together, or the row reads "?".
        auto available = [&] {
          std::string out;
          const std::vector<std::vector<rt::Control*>> rows = {{&*w.st_t, &*w.em_t, &*w.em_t_t},
                                                               {&*w.st_1, &*w.st_11, &*w.em_1, &*w.em_1_t},
                                                               {&*w.st_8, &*w.st_88, &*w.em_8, &*w.em_8_t},
                                                               {&*w.st_5, &*w.st_55, &*w.em_5, &*w.em_5_t},
                                                               {&*w.st_l, &*w.st_ll, &*w.em_l, &*w.em_l_t},
                                                               {&*w.st_z, &*w.st_zz, &*w.em_z, &*w.em_z_t},
                                                               {&*w.st_w, &*w.em_w, &*w.em_w_t},
                                                               {&*w.st_y, &*w.st_yy, &*w.em_y, &*w.em_y_t}};
          for (const auto& row : rows) {
            bool all = true, any = false;
            for (rt::Control* control : row) {
              all = all && control->enabled();
              any = any || control->enabled();
            }
            out += all ? '1' : any ? '?' : '0';
          }
          // The fixed rows never change.
          for (rt::Control* fixed :
               std::initializer_list<rt::Control*>{&*w.em_s1, &*w.em_s2, &*w.em_s_t, &*w.em_f, &*w.em_f_t, &*w.st_f})
            if (!fixed->enabled()) out += " fixed row disabled: " + fixed->className();
          return out;
        };
        EXPECT_EQ(available(), boys) << "boys";
        t::click(*w.rb_sex_woman);
        EXPECT_EQ(available(), c.girls) << "girls";
        t::click(*w.rb_sex_man);
        EXPECT_EQ(available(), boys) << "boys again";
      }));
    }
  });
}

// ---- the keyboard

// A student typed in as a teacher does it: the height, then Enter after every value.
struct EnterWalk {
  const char* who;
  bool girl;
  Strings typed, walk;
  std::vector<std::pair<std::string, float>> scores;  // score field, points
  std::string total, level;
  std::optional<rt::Color> levelColour;
};

const EnterWalk kEnterWalks[] = {
    {"a boy",
     false,
     {"172", "60", "3.50", "3500", "7.3", "65"},
     {"em_s1.losefocus", "em_s2.getfocus", "em_s2.losefocus", "em_f.losefocus", "em_1.getfocus", "em_1.losefocus",
      "em_f.getfocus", "em_f.losefocus", "em_5.getfocus", "em_5.losefocus", "em_w.getfocus", "em_w.losefocus",
      "cb_2.getfocus"},
     {{"em_s_t", 15}, {"em_1_t", 17}, {"em_f_t", 11}, {"em_5_t", 25}, {"em_w_t", 16}},
     "84.0",
     "良好",
     rt::Color::rgb(255, 0, 255)},
    // Both sit-ups and the grip index chosen: Enter goes from em_y to em_w.
    {"a girl",
     true,
     {"160", "50", "50", "2800", "180", "40", "50"},
     {"em_s1.losefocus", "em_s2.getfocus", "em_s2.losefocus", "em_f.losefocus", "em_t.getfocus", "em_t.losefocus",
      "em_f.getfocus", "em_f.losefocus", "em_l.getfocus", "em_l.losefocus", "em_y.getfocus", "em_y.losefocus",
      "em_w.getfocus", "em_w.losefocus", "cb_2.getfocus"},
     {{"em_s_t", 15}, {"em_t_t", 16}, {"em_f_t", 13}, {"em_l_t", 25}, {"em_y_t", 17}, {"em_w_t", 16}},
     "102.0",
     "优秀",
     std::nullopt},
};

TEST_F(CalculatorTest, EnterWalksTheAvailableInputsAndScoresEachOnce) {
  ds.query("DELETE FROM xmsz");
  ds.query(insertRow("31", {{"xm_t_m", "0"},
                            {"xm_l_m", "0"},
                            {"xm_z_m", "0"},  // boys: 1000 m, 50 m, grip
                            {"xm_8_w", "0"},
                            {"xm_5_w", "0"},
                            {"xm_z_w", "0"}}));
  EXPECT_TRUE(runCalculator([](w_jsq_gz1& w) {
    // One after the other in the same window, the boy first.
    for (const EnterWalk& c : kEnterWalks) {
      SCOPED_TRACE(c.who);
      if (c.girl) {
        t::click(*w.rb_sex_woman);
        t::moveFocus(*w.em_s1);
      }
      t::clearJournal();
      for (const std::string& typed : c.typed) {
        t::typeText(w, typed);
        t::pressKey(w, Qt::Key_Return);
      }
      EXPECT_EQ(t::journal({"losefocus", "getfocus"}), c.walk);
      for (const auto& [field, points] : c.scores) {
        EXPECT_EQ(value(dynamic_cast<my_maskedit&>(controlNamed(w, field))), points) << field;
      }
      EXPECT_EQ(w.em_xn_t->text(), c.total);
      EXPECT_EQ(w.sle_dj->text(), c.level);
      if (c.levelColour) {
        EXPECT_EQ(w.sle_dj->textcolor(), *c.levelColour);
      }
    }
    EXPECT_TRUE(t::messages().empty());
  }));
}

TEST_F(CalculatorTest, TheWeightMessageComesOncePerInputLeft) {
  EXPECT_TRUE(runCalculator([](w_jsq_gz1& w) {
    enter(w, *w.em_f, "3000");  // no weight yet
    EXPECT_EQ(messageTexts(), Strings{kNeedsWeight});
    EXPECT_EQ(w.em_f_t->text(), "");
    enter(w, *w.em_s2, "0");  // leaving the weight asks too, once
    EXPECT_EQ(messageTexts(), (Strings{kNeedsWeight, kNeedsWeight}));
    EXPECT_EQ(w.em_f_t->text(), "");
    enter(w, *w.em_s2, "50");
    EXPECT_EQ(value(*w.em_f_t), 11);
    EXPECT_EQ(t::messages().size(), 2u);
  }));
}

// Tab and Shift+Tab go round the whole form, for a boy and then a girl, past what the row
// and the sex take away (each input with its score). Equal tab orders go in the order the
// window creates its controls: the inputs, the scores, the bonus boxes, the buttons.
TEST_F(CalculatorTest, TabGoesRoundEveryStopInTabOrder) {
  ds.query("DELETE FROM xmsz");
  ds.query(insertRow("31", {{"xm_t_m", "0"}, {"xm_l_m", "0"}, {"xm_8_w", "0"}, {"xm_z_w", "0"}}));
  // Boys without the step test and the long jump, and the girls' items.
  const Strings boys = {"em_s1",  "em_s2",  "em_1",   "em_f",    "em_5",   "em_z",   "em_w",  "cb_2",
                        "em_s_t", "cbx_1",  "cbx_2",  "em_1_t",  "cbx_3",  "em_f_t", "cbx_4", "em_5_t",
                        "cbx_59", "em_z_t", "em_w_t", "em_xn_t", "sle_dj", "cb_1"};
  // Girls without the 800 m and the sit and reach, and the boys' 1000 m.
  const Strings girls = {"em_s1",  "em_s2",  "em_t",   "em_f",   "em_5",   "em_l",    "em_y",   "em_w",
                         "cb_2",   "em_s_t", "cbx_1",  "em_t_t", "cbx_2",  "cbx_3",   "em_f_t", "cbx_4",
                         "em_5_t", "cbx_59", "em_l_t", "em_y_t", "em_w_t", "em_xn_t", "sle_dj", "cb_1"};
  EXPECT_TRUE(runCalculator([&](w_jsq_gz1& w) { expectTabGoesRoundForBothSexes(w, boys, girls); }));
}

TEST_F(CalculatorTest, SpaceTicksAndUnticksAFocusedBonusBox) {
  EXPECT_TRUE(runCalculator([](w_jsq_gz1& w) { expectSpaceTicksTheBonusBoxes(w); }));
}

// ---- the change of sex

TEST_F(CalculatorTest, ChangingTheSexLeavesOnlyScoresOfTheNewSex) {
  ds.query("DELETE FROM xmsz");
  ds.query(insertRow("31", {{"xm_5_m", "0"}}));
  EXPECT_TRUE(runCalculator([](w_jsq_gz1& w) {
    t::click(*w.rb_sex_woman);
    enter(w, *w.em_5, "8.0");
    enter(w, *w.em_w, "60");
    EXPECT_EQ(value(*w.em_5_t), 30);
    EXPECT_EQ(value(*w.em_w_t), 17);
    // To boys: the walk leaves 50 m under the boys' ladder, then boys lose the item.
    t::click(*w.rb_sex_man);
    EXPECT_FALSE(w.em_5->enabled());
    EXPECT_EQ(value(*w.em_w_t), 15) << "the walk's last input, scored where the focus stays";
    EXPECT_EQ(nameOf(t::focused(w)), "em_w");
    // Back to girls: the walk passes 50 m while it is still disabled.
    t::click(*w.rb_sex_woman);
    EXPECT_EQ(value(*w.em_5_t), 30);
    EXPECT_EQ(value(*w.em_w_t), 17);
    EXPECT_EQ(value(*w.em_xn_t), 47);
    EXPECT_EQ(nameOf(t::focused(w)), "em_w");
    EXPECT_TRUE(t::messages().empty());
  }));
}

TEST_F(CalculatorTest, TabAndEnterGoOnFromTheFieldTheChangeOfSexDisabled) {
  ds.query("DELETE FROM xmsz");
  ds.query(insertRow("31", {{"xm_w_w", "0"}}));
  EXPECT_TRUE(runCalculator([](w_jsq_gz1& w) { movingOnFromTheFieldTheSexChangeDisabled(w); }));
}

TEST_F(CalculatorTest, AWalkThatStopsAtTheWeightStillRescoresVitalCapacity) {
  ds.query("DELETE FROM xmsz");
  ds.query(insertRow(
      "31", {{"xm_t_m", "0"}, {"xm_1_m", "0"}, {"xm_5_m", "0"}, {"xm_l_m", "0"}, {"xm_z_m", "0"}, {"xm_w_m", "0"}}));
  EXPECT_TRUE(runCalculator([](w_jsq_gz1& w) {
    enter(w, *w.em_s1, "172");
    enter(w, *w.em_s2, "50");
    enter(w, *w.em_f, "3000");
    EXPECT_EQ(value(*w.em_f_t), 11);
    t::clearJournal();
    t::click(*w.rb_sex_woman);
    EXPECT_EQ(nameOf(t::focused(w)), "em_s2");
    const Strings left = t::journal({"losefocus"});
    EXPECT_EQ(std::count(left.begin(), left.end(), "em_s1.losefocus"), 1);
    EXPECT_EQ(std::count(left.begin(), left.end(), "em_s2.losefocus"), 0) << "the weight is never left";
    EXPECT_EQ(value(*w.em_f_t), 15);
    EXPECT_EQ(value(*w.em_s_t), 0) << "no girls' row for 172";
  }));
}

TEST_F(CalculatorTest, TheWeightMessageInterruptsTheWalkOnce) {
  EXPECT_TRUE(runCalculator([](w_jsq_gz1& w) {
    enter(w, *w.em_f, "3000");
    t::clearJournal();
    const std::size_t before = t::messages().size();
    t::click(*w.rb_sex_woman);
    EXPECT_EQ(t::messages().size(), before + 1);
    EXPECT_EQ(messageTexts().back(), kNeedsWeight);
    EXPECT_EQ(t::journal({"getfocus"}),
              (Strings{"rb_sex_woman.getfocus", "em_s1.getfocus", "em_s2.getfocus", "em_t.getfocus", "em_1.getfocus",
                       "em_5.getfocus", "em_l.getfocus", "em_z.getfocus", "em_w.getfocus"}))
        << "the walk meets the boys' items";
    EXPECT_FALSE(w.em_1->enabled());
  }));
}

// ---- loading the settings

TEST_F(CalculatorTest, WithoutItsRowTheUserIsSentToTheSettingsWindowUntilItIsSaved) {
  ds.query("DELETE FROM xmsz");
  settingsWindow = [](int round) {
    if (round == 3) save({{"xm_5_m", "0"}});
  };
  EXPECT_TRUE(runCalculator([](w_jsq_gz1& w) {
    EXPECT_FALSE(w.em_5->enabled());
    EXPECT_TRUE(w.em_l->enabled());
  }));
  EXPECT_EQ(messageTexts(), (Strings{kMissing, kMissing, kMissing}));
  EXPECT_EQ(settingsRounds, 3);
  EXPECT_EQ(t::openedCount("w_jsq_gz1"), 1);
}

TEST_F(CalculatorTest, AFirstDatabaseErrorTakesThePathOfAMissingRow) {
  ds.query("ALTER TABLE xmsz RENAME TO xmsz_away");
  settingsWindow = [](int) {
    rt::sqlca()->execute("ALTER TABLE xmsz_away RENAME TO xmsz");
    rt::sqlca()->commit();
  };
  EXPECT_TRUE(runCalculator([](w_jsq_gz1&) {}));
  // The data layer tells the error, then the window goes on as for a missing row.
  ASSERT_EQ(t::messages().size(), 2u);
  expectDatabaseError(t::messages()[0]);
  EXPECT_EQ(messageTexts()[1], kMissing);
  EXPECT_EQ(settingsRounds, 1);
}

TEST_F(CalculatorTest, ARetrieveErrorAfterTheSettingsWindowIsShownOnceAndClosesTheCalculator) {
  ds.query("DELETE FROM xmsz");
  settingsWindow = [](int) {
    save({});
    rt::sqlca()->execute("ALTER TABLE xmsz RENAME TO xmsz_away");
    rt::sqlca()->commit();
  };
  EXPECT_FALSE(runCalculator([](w_jsq_gz1&) {}));
  ASSERT_EQ(t::messages().size(), 2u);
  EXPECT_EQ(messageTexts()[0], kMissing);
  expectDatabaseError(t::messages()[1]);
  EXPECT_EQ(settingsRounds, 1);
  EXPECT_FALSE(rt::global<w_jsq_gz1>());
}

TEST_F(CalculatorTest, ADatabaseThatRefusesEverySaveLetsTheUserGoAfterThreeRounds) {
  ds.query("DELETE FROM xmsz");
  ds.refuseWrites();
  settingsWindow = [](int) { save({}); };
  EXPECT_FALSE(runCalculator([](w_jsq_gz1&) {}));
  const std::string refused = "注意: 保存失败！";
  EXPECT_EQ(messageTexts(), (Strings{kMissing, refused, kMissing, refused, kMissing, refused}));
  EXPECT_EQ(settingsRounds, w_jsq::kSettingsRounds);
  EXPECT_FALSE(rt::global<w_jsq_gz1>());
  EXPECT_TRUE(rt::openWindows().empty());
}

TEST_F(CalculatorTest, TheSettingsButtonReappliesTheChoiceWithoutRecomputing) {
  std::vector<std::function<void()>> rounds = {
      [] {
        save({{"xm_t_m", "0"}});
      },      // a new choice
      [] {},  // closed without saving
      [] { rt::sqlca()->execute("ALTER TABLE xmsz RENAME TO xmsz_away"), rt::sqlca()->commit(); },  // an error
  };
  settingsWindow = [&](int round) { rounds.at(round - 1)(); };
  EXPECT_TRUE(runCalculator([](w_jsq_gz1& w) {
    enter(w, *w.em_t, "64");
    EXPECT_EQ(w.em_xn_t->text(), "20.0");

    t::click(*w.cb_2);
    EXPECT_FALSE(w.em_t->enabled());
    EXPECT_FALSE(w.st_t->enabled());
    EXPECT_EQ(w.em_t->text(), "64.00");
    EXPECT_EQ(w.em_t_t->text(), "20.0");
    EXPECT_EQ(w.em_xn_t->text(), "20.0") << "the total waits for the next computation";
    t::click(*w.cbx_1);
    EXPECT_EQ(w.em_xn_t->text(), "5.0");

    t::click(*w.cb_2);
    EXPECT_FALSE(w.em_t->enabled());
    EXPECT_TRUE(w.em_1->enabled());
    EXPECT_TRUE(t::messages().empty());

    t::click(*w.cb_2);
    ASSERT_EQ(t::messages().size(), 2u);
    expectDatabaseError(t::messages()[0]);
    EXPECT_EQ(messageTexts()[1], kMissing);
    EXPECT_FALSE(w.em_t->enabled());
    EXPECT_TRUE(w.em_1->enabled());
    EXPECT_EQ(w.em_xn_t->text(), "5.0");
  }));
  EXPECT_EQ(settingsRounds, 3);
}
