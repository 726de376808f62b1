#include "settings/w_xm_gz_grades.h"

namespace {
// Every difference between the three windows: title, height, the buttons' places, Close's
// tab order and picture, and the grade code of the row they keep.
//                                 title             height  cb_1 x, y    cb_2 x, y   tab  picture  nj
const w_xm_gz_profile kGrade1 = {"高中一年级项目", 1428, 978, 1164, 1435, 1164, 70, "Close!", w_xm_gz1::grade};
const w_xm_gz_profile kGrade2 = {"高中二年级项目", 1420, 983, 1164, 1445, 1164, 60, "Close!", w_xm_gz2::grade};
const w_xm_gz_profile kGrade3 = {"高中三年级项目", 1420, 978, 1172, 1426, 1168, 70, "", w_xm_gz3::grade};
}  // namespace

w_xm_gz1::w_xm_gz1() : w_xm_gz(kGrade1) {}
w_xm_gz2::w_xm_gz2() : w_xm_gz(kGrade2) {}
w_xm_gz3::w_xm_gz3() : w_xm_gz(kGrade3) {}
