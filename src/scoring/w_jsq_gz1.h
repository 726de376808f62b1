#pragma once

#include "scoring/w_jsq.h"

// The grade-one score calculator: the shared calculator with the grade-one profile.
class w_jsq_gz1 : public w_jsq {
 public:
  RT_CLASS(w_jsq_gz1)
  w_jsq_gz1();

  static const GradeProfile& gradeOne();
};
