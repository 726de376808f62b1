#include "scoring/w_jsq_gz2.h"

#include "settings/w_xm_gz_grades.h"

namespace {
// Most controls lie 4 units higher than in grade one; these keep their places.
constexpr std::string_view kUnshifted[] = {"cb_1", "cbx_1", "cbx_2", "cbx_3", "cbx_4", "cbx_59", "gb_3", "gb_5"};
}  // namespace

const GradeProfile& w_jsq_gz2::gradeTwo() {
  static const GradeProfile profile{
      .gradeCode = w_xm_gz2::grade,
      .title = "高中二年级成绩",
      .height = 1384,
      .yearTotalCaption = "高二学年成绩",
      .settingsWindow = w_xm_gz2::class_name,
      .missingSettings = "请先设置好高中二年级测试项目！",
      .vitalCapacity = {"错误", "请先正确输入体重。"},
      .ladders = scoring::gradeTwoLadders(),
      .cb_2 = {2231, 1096},
      .rows = {.shift = -4, .unshifted = kUnshifted},
  };
  return profile;
}

w_jsq_gz2::w_jsq_gz2() : w_jsq(gradeTwo()) {}
