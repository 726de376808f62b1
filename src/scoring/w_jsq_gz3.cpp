#include "scoring/w_jsq_gz3.h"

#include <string>

#include "scoring/colour.h"
#include "scoring/fonts.h"
#include "scoring/core/scoring.h"
#include "settings/w_xm_gz_grades.h"

namespace {
// The window is this much taller than grade one's: the bonus and attendance boxes and the
// buttons move down by it, under the second row of the right-hand side.
constexpr int kSecondRow = 104;
// The right-hand side's second row: the earlier year totals and the graduation block.
constexpr int kSecondRowTop = 300;
}  // namespace

const GradeProfile& w_jsq_gz3::gradeThree() {
  static const GradeProfile profile{
      .gradeCode = w_xm_gz3::grade,
      .title = "高中三年级成绩",
      .height = 1492,
      .width = 3003,
      .yearTotalCaption = "高三学年成绩",
      .settingsWindow = w_xm_gz3::class_name,
      .missingSettings = "请先设置好高中三年级测试项目！",
      .vitalCapacity = {"提示", "如要得到肺活量成绩，请先正确输入体重！"},
      .ladders = scoring::gradeThreeLadders(),
      .cb_2 = {2149, 1100 + kSecondRow},
      .rows = {},
  };
  return profile;
}

w_jsq_gz3::w_jsq_gz3() : w_jsq(gradeThree()) {}

w_jsq_gz3::year_total_c::year_total_c(int y_) {
  x = 1522;
  y = y_;
  width = 251;
  height = 88;
  mask = "###,###.0";
  text = "";
  arial(*this, 12, 700);
}

void w_jsq_gz3::year_total_c::modified() {
  my_maskedit::modified();
  rt::Ref<rt::Window> w = getParent();
  static_cast<w_jsq_gz3&>(*w).xn();
}

w_jsq_gz3::st_msg_c::st_msg_c() {
  text = "删除用户前，系统要检查该用户的操作记录，所以要花一定的时间，请稍候！";
  visible = false;
}

void w_jsq_gz3::insertControls() {
  w_jsq::insertControls();
  em_c1 = insert<em_c1_c>(kSecondRowTop + 52);
  em_c2 = insert<em_c2_c>(kSecondRowTop + 156);
  em_by_cj = insert<em_by_cj_c>(kSecondRowTop + 64);
  sle_by_dj = insert<sle_by_dj_c>(kSecondRowTop + 64);
  gb_1 = insert<rt::named<frame_c, "gb_1">>("毕业成绩", 1792, kSecondRowTop, 1138, 264);
  gb_2 = insert<rt::named<frame_c, "gb_2">>("高一高二", 1499, kSecondRowTop, 297, 264);
  for (frame_c* box : {gb_1.raw(), gb_2.raw()}) box->textsize = -9;
  st_msg = insert<st_msg_c>();
}

void w_jsq_gz3::layout() {
  w_jsq::layout();
  for (rt::Control* c : std::initializer_list<rt::Control*>{gb_3.raw(), gb_5.raw(), cbx_1.raw(), cbx_2.raw(),
                                                            cbx_3.raw(), cbx_4.raw(), cbx_59.raw(), cb_1.raw()})
    c->y = c->y() + kSecondRow;
}

// No two stops share a value: Enter walks the year totals, the measurements, the boxes and
// the buttons; no score, total or level field is a stop.
void w_jsq_gz3::tabOrder() {
  for (const auto& c : controls()) c->taborder = 0;
  int order = 10;
  for (rt::Control* c : std::initializer_list<rt::Control*>{
           em_c1.raw(), em_c2.raw(), em_s1.raw(), em_s2.raw(),  em_t.raw(), em_1.raw(), em_8.raw(),
           em_f.raw(),  em_5.raw(),  em_l.raw(),  em_z.raw(),   em_y.raw(), em_w.raw(), cbx_1.raw(),
           cbx_2.raw(), cbx_3.raw(), cbx_4.raw(), cbx_59.raw(), cb_2.raw(), cb_1.raw(), dw_4.raw()}) {
    c->taborder = order;
    order += 10;
  }
}

// Nothing is shown as the graduation score while one of its parts is unknown.
void w_jsq_gz3::afterYearTotal(std::optional<std::int32_t> total) {
  using scoring::toReal;
  if (!total) {
    em_by_cj->text = "";
    showLevel(*sle_by_dj, {});
    return;
  }
  const std::int32_t cj_by = scoring::graduationScore(toReal(em_c1->text()), toReal(em_c2->text()), *total);
  em_by_cj->text = std::to_string(cj_by);
  showLevel(*sle_by_dj, scoring::levelOf(cj_by));
}
