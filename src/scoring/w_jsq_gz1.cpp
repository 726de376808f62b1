#include "scoring/w_jsq_gz1.h"

#include "settings/w_xm_gz_grades.h"

const GradeProfile& w_jsq_gz1::gradeOne() {
  static const GradeProfile profile{
      .gradeCode = w_xm_gz1::grade,
      .title = "高中一年级成绩",
      .height = 1388,
      .yearTotalCaption = "高一学年成绩",
      .settingsWindow = w_xm_gz1::class_name,
      .missingSettings = "请先设置好高中一年级测试项目！",
      .vitalCapacity = {"提示", "如要得到肺活量成绩，请先正确输入体重！"},
      .ladders = scoring::gradeOneLadders(),
      .cb_2 = {2149, 1100},
      .rows = {},
  };
  return profile;
}

w_jsq_gz1::w_jsq_gz1() : w_jsq(gradeOne()) {}
