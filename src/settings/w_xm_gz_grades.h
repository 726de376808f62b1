#pragma once

#include "settings/w_xm_gz.h"

// The item settings windows of senior grades one, two and three.
class w_xm_gz1 : public w_xm_gz {
 public:
  RT_CLASS(w_xm_gz1)
  w_xm_gz1();
};

class w_xm_gz2 : public w_xm_gz {
 public:
  RT_CLASS(w_xm_gz2)
  w_xm_gz2();
};

class w_xm_gz3 : public w_xm_gz {
 public:
  RT_CLASS(w_xm_gz3)
  w_xm_gz3();
};
