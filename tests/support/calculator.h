#pragma once

// A score calculator on a data source of its own, for the tests of every grade: the test's
// own height tables, settings rows, a stand-in for the grade's settings window, and a
// fixture that opens the calculator by its class name as the menu and the start page do.
//   using CalculatorTest = support::CalculatorFixture<w_jsq_gz1, "31", "w_xm_gz1">;

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
#include "runtime/msgbox.h"
#include "runtime/testing.h"
#include "runtime/transaction.h"
#include "runtime/window.h"
#include "scoring/core/scoring.h"
#include "scoring/w_jsq.h"
#include "support/connected_app.h"
#include "support/datasource.h"
#include "support/pixels.h"

namespace support {

using Strings = std::vector<std::string>;

// Height tables without key or NOT NULL, with just the rows the cases need: boys 190 and
// girls 185 at the top of their ranges, a boys' row with a null bound (160), two boys' rows
// for 170, none for 175, and ordinary rows for the students typed in full.
inline const char* kHeightTables =
    "DROP TABLE gz123_m; DROP TABLE gz123_w;"
    "CREATE TABLE gz123_m (s integer, z1 real, z2 real, z3 real, z4 real);"
    "CREATE TABLE gz123_w (s integer, z1 real, z2 real, z3 real, z4 real);"
    "INSERT INTO gz123_m VALUES (140, 28, 32, 42, 50), (160, NULL, 50, 60, 70),"
    " (170, 50, 55, 65, 72), (170, 50, 55, 65, 72), (172, 50, 55, 65, 72), (190, 60, 63, 68.2, 72);"
    "INSERT INTO gz123_w VALUES (140, 26, 30, 40, 48), (160, 40, 45, 55, 62), (185, 50, 57.29, 57.3, 60);";

inline const Strings kFlagColumns = {"xm_t_m", "xm_1_m", "xm_5_m", "xm_l_m", "xm_z_m", "xm_w_m", "xm_t_w",
                                     "xm_8_w", "xm_5_w", "xm_l_w", "xm_z_w", "xm_y_w", "xm_w_w"};
// Flags that differ from "1"; nullopt is a null column.
using Flags = std::map<std::string, std::optional<std::string>>;

// A settings row with every flag "1" but those given.
inline std::string insertRow(const std::string& nj, const Flags& flags) {
  std::string columns = "nj", values = "'" + nj + "'";
  for (const auto& c : kFlagColumns) {
    const auto it = flags.find(c);
    const std::optional<std::string> v = it == flags.end() ? std::optional<std::string>("1") : it->second;
    columns += ", " + c;
    values += ", " + (v ? "'" + *v + "'" : std::string("NULL"));
  }
  return "INSERT INTO xmsz (" + columns + ") VALUES (" + values + ")";
}

// What a settings window's save does: the grade's row replaced and committed.
inline void saveSettings(const Flags& flags, const std::string& nj) {
  rt::Transaction& t = *rt::sqlca();
  if (t.execute("DELETE FROM xmsz WHERE nj = ?", {nj}) < 0 || t.execute(insertRow(nj, flags)) < 0) {
    t.rollback();
    rt::messagebox("注意", "保存失败！");
    return;
  }
  t.commit();
}

// Stands in for a grade's settings window, which is built apart: the test says what it does
// each time it opens (its round, from 1), then it closes.
template <rt::class_name_text Name>
struct settings_standin : rt::Window {
  static constexpr const char* class_name = Name.s;
  std::string className() const override { return Name.s; }
  settings_standin() {
    windowtype = rt::WindowType::Response;
    width = 1200;
    height = 800;
  }
};

inline std::string nameOf(const rt::Ref<rt::Control>& c) { return c ? c->className() : "none"; }
inline rt::Control& controlNamed(rt::Window& w, const std::string& name) {
  for (const auto& c : w.controls()) {
    if (c->className() == name) return *c;
  }
  throw std::runtime_error("no control " + name);
}
// What every grade's calculator shows in its labels, boxes and buttons; `yearBox` is the
// caption of the year total's group box.
inline std::map<std::string, std::string> calculatorCaptions(const std::string& yearBox) {
  return {
      {"st_s1", "身高"},
      {"st_s2", "体重"},
      {"st_t", "台阶试验"},
      {"st_1", "1000米跑（男）"},
      {"st_8", "800米跑（女）"},
      {"st_f", "肺活量"},
      {"st_5", "50米跑"},
      {"st_l", "立定跳远"},
      {"st_z", "坐位体前屈"},
      {"st_y", "仰卧起坐（女）"},
      {"st_w", "握力体重指数"},
      {"st_13", "厘米"},
      {"st_14", "公斤"},
      {"st_11", "分.秒"},
      {"st_88", "分.秒"},
      {"st_55", "秒"},
      {"st_ll", "厘米"},
      {"st_zz", "厘米"},
      {"st_yy", "（次/1分钟）"},
      {"st_111", "成绩（分）"},
      {"rb_sex_man", "男"},
      {"rb_sex_woman", "女"},
      {"cbx_1", "1、出勤率达到98%，并认真锻炼。（加５分）"},
      {"cbx_2", "2、获等级运动员称号。（加５分）"},
      {"cbx_3", "3、比赛获名次。（加５分）"},
      {"cbx_4", "4、学生体育干部工作认真负责。（加５分）"},
      {"cbx_59", "无故缺勤超1/10或病、事假超1/3。（最高为５９分）"},
      {"gb_4", "项目成绩"},
      {"gb_sex", "性别"},
      {"gb_6", yearBox},
      {"gb_3", "加分"},
      {"gb_5", "降分"},
      {"cb_2", "项目设置"},
      {"cb_1", "关闭"},
  };
}

inline float value(const my_maskedit& field) { return scoring::toReal(field.text()); }

// The user gives a field the focus, types and presses Enter.
inline void enter(rt::Window& w, rt::Control& field, const std::string& text) {
  rt::testing::moveFocus(field);
  rt::testing::typeText(w, text);
  rt::testing::pressKey(w, Qt::Key_Return);
}

// Where the focus is after each of `presses` Tabs (Shift+Tabs when `back`).
inline Strings tabWalk(rt::Window& w, std::size_t presses, bool back) {
  Strings walk;
  for (std::size_t i = 0; i < presses; ++i) {
    rt::testing::pressKey(w, Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
    walk.push_back(nameOf(rt::testing::focused(w)));
  }
  return walk;
}

// From the height, Tab goes round `stops` (the walk as the user sees it, from the height)
// and back to the height; Shift+Tab goes the same way backwards.
inline void expectTabGoesRound(rt::Window& w, const Strings& stops) {
  ASSERT_EQ(stops.front(), "em_s1");
  rt::testing::moveFocus(controlNamed(w, "em_s1"));
  Strings forward(stops.begin() + 1, stops.end());
  forward.push_back(stops.front());
  EXPECT_EQ(tabWalk(w, stops.size(), false), forward);
  Strings backward(stops.rbegin(), stops.rend());
  EXPECT_EQ(tabWalk(w, stops.size(), true), backward);
}

// The walk for a boy, then for a girl (a click on 女 between).
inline void expectTabGoesRoundForBothSexes(w_jsq& w, const Strings& boys, const Strings& girls) {
  {
    SCOPED_TRACE("a boy");
    expectTabGoesRound(w, boys);
  }
  rt::testing::click(*w.rb_sex_woman);
  {
    SCOPED_TRACE("a girl");
    expectTabGoesRound(w, girls);
  }
  EXPECT_TRUE(rt::testing::messages().empty());
}

// Space on a focused bonus box ticks it and the total takes its 5 points; Space again
// unticks it and gives them back. Each press clicks the box once.
inline void expectSpaceTicksTheBonusBoxes(w_jsq& w) {
  namespace t = rt::testing;
  struct Step {
    rt::CheckBox* box;
    bool ticked;
    const char* total;
    const char* level;
  };
  w.em_f_t->text = "57";  // as the user types a score, counted from the next total
  const Step steps[] = {
      {&*w.cbx_1, true, "62.0", "及格"},  {&*w.cbx_2, true, "67.0", "及格"},    {&*w.cbx_3, true, "72.0", "及格"},
      {&*w.cbx_4, true, "77.0", "良好"},  {&*w.cbx_4, false, "72.0", "及格"},   {&*w.cbx_2, false, "67.0", "及格"},
      {&*w.cbx_1, false, "62.0", "及格"}, {&*w.cbx_3, false, "57.0", "不及格"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.box->className() + (s.ticked ? " ticked" : " unticked"));
    t::moveFocus(*s.box);
    t::clearJournal();
    t::pressKey(w, Qt::Key_Space);
    EXPECT_EQ(t::journal({"clicked"}), Strings{s.box->className() + ".clicked"});
    EXPECT_EQ(s.box->checked(), s.ticked);
    EXPECT_EQ(w.em_xn_t->text(), s.total);
    EXPECT_EQ(w.sle_dj->text(), s.level);
    EXPECT_TRUE(t::focused(w).raw() == s.box);
  }
  EXPECT_TRUE(t::messages().empty());
}

// With the grip-strength index for boys and not for girls, a change from 男 to 女 leaves the
// focus in `em_w`, which it then disables. Tab and Enter go on from there to the next stop,
// `cb_2` (tab order 12 as `em_w`, made after it), and Shift+Tab back to `em_y` (11).
inline void movingOnFromTheFieldTheSexChangeDisabled(w_jsq& w) {
  struct Case {
    const char* key;
    Qt::Key code;
    Qt::KeyboardModifiers modifiers;
    std::string lands;
  };
  const Case cases[] = {
      {"Tab", Qt::Key_Tab, Qt::NoModifier, "cb_2"},
      {"Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier, "em_y"},
      {"Enter", Qt::Key_Return, Qt::NoModifier, "cb_2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    rt::testing::click(*w.rb_sex_man);
    rt::testing::click(*w.rb_sex_woman);
    ASSERT_EQ(nameOf(rt::testing::focused(w)), "em_w");
    ASSERT_FALSE(w.em_w->enabled());
    rt::testing::pressKey(w, c.code, c.modifiers);
    EXPECT_EQ(nameOf(rt::testing::focused(w)), c.lands);
  }
}

// The calculator `W` of grade `Grade`, whose settings window `Settings` a stand-in plays.
// Its settings row starts with every flag "1".
template <class W, rt::class_name_text Grade, rt::class_name_text Settings>
class CalculatorFixture : public ::testing::Test {
 protected:
  rt::testing::Session session{40000};
  TempDataSource ds = backend();
  std::function<void(int)> settingsWindow = [](int) {};
  int settingsRounds = 0;
  std::function<void(W&)> body;
  static constexpr const char* grade = Grade.s;

  void SetUp() override {
    ds.query(kHeightTables);
    ds.query(insertRow(grade, {}));
    registerClasses();
    rt::registerWindow<settings_standin<Settings>>();
    rt::testing::onOpen(Settings.s, [this](rt::Window& w) {
      settingsWindow(++settingsRounds);
      rt::close(w);
    });
    rt::testing::onOpen(W::class_name, [this](rt::Window& w) {
      rt::Ref<rt::Window> ref = rt::refTo(w);
      if (body) body(static_cast<W&>(w));
      if (ref) rt::close(ref);
    });
  }

  // The grade's row replaced, as its settings window saves it.
  static void save(const Flags& flags) { saveSettings(flags, grade); }

  void run(std::function<void()> story) {
    ConnectedApp app;
    app.story = std::move(story);
    rt::run(app, 0, nullptr);
    EXPECT_EQ(app.connectError, "");
  }
  // Opens the calculator by its class name, as the menu and the start page do; `act` works in
  // it, then it closes. False when it never came on screen.
  bool calculate(std::function<void(W&)> act) {
    bool shown = false;
    body = [&](W& w) {
      shown = true;
      act(w);
    };
    rt::open(W::class_name);
    body = nullptr;
    return shown;
  }
  bool runCalculator(std::function<void(W&)> act) {
    bool shown = false;
    run([&] { shown = calculate(std::move(act)); });
    return shown;
  }

  static Strings messageTexts() {
    Strings out;
    for (const auto& m : rt::testing::messages()) out.push_back(m.caption + ": " + m.text);
    return out;
  }
};

}  // namespace support
