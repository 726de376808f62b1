#pragma once

#include "settings/w_xm_gz.h"

// The item settings windows of senior grades one, two and three. `grade` is the code of
// the settings row each keeps, which its grade's calculator reads.
class w_xm_gz1 : public w_xm_gz {
 public:
  RT_CLASS(w_xm_gz1)
  static constexpr const char* grade = "31";
  w_xm_gz1();
};

class w_xm_gz2 : public w_xm_gz {
 public:
  RT_CLASS(w_xm_gz2)
  static constexpr const char* grade = "32";
  w_xm_gz2();
};

class w_xm_gz3 : public w_xm_gz {
 public:
  RT_CLASS(w_xm_gz3)
  static constexpr const char* grade = "33";
  w_xm_gz3();
};
