#pragma once

#include "scoring/w_jsq.h"

// The grade-two score calculator: the shared calculator with the grade-two profile.
class w_jsq_gz2 : public w_jsq {
 public:
  RT_CLASS(w_jsq_gz2)
  w_jsq_gz2();

  static const GradeProfile& gradeTwo();
};
