#pragma once

#include "runtime/controls.h"
#include "runtime/window.h"
#include "ui/my_maskedit.h"

// The graduation window: a graduation score and its level from three typed year scores
// (25 %, 25 % and 50 %), none capped. It reads no database and keeps nothing.
class w_jsq_by : public rt::Window {
 public:
  RT_CLASS(w_jsq_by)
  w_jsq_by();

  // A typed year score: editing it recomputes.
  struct year_score_t : my_maskedit {
    year_score_t(int y, int taborder);
    void modified() override;
  };
  struct em_by_cj_t : rt::named<my_maskedit, "em_by_cj"> {
    em_by_cj_t();
  };
  using em_c3_t = rt::named<year_score_t, "em_c3">;
  using em_c2_t = rt::named<year_score_t, "em_c2">;
  using em_c1_t = rt::named<year_score_t, "em_c1">;
  struct cb_1_t : rt::named<rt::CommandButton, "cb_1"> {
    cb_1_t();
    void clicked() override;
  };
  struct sle_by_dj_t : rt::named<rt::SingleLineEdit, "sle_by_dj"> {
    sle_by_dj_t();
  };
  using st_5_t = rt::named<rt::StaticText, "st_5">;
  using st_4_t = rt::named<rt::StaticText, "st_4">;
  using st_3_t = rt::named<rt::StaticText, "st_3">;
  using st_2_t = rt::named<rt::StaticText, "st_2">;
  using st_1_t = rt::named<rt::StaticText, "st_1">;

  rt::Ref<em_by_cj_t> em_by_cj;
  rt::Ref<em_c3_t> em_c3;
  rt::Ref<em_c2_t> em_c2;
  rt::Ref<em_c1_t> em_c1;
  rt::Ref<cb_1_t> cb_1;
  rt::Ref<sle_by_dj_t> sle_by_dj;
  rt::Ref<st_5_t> st_5;
  rt::Ref<st_4_t> st_4;
  rt::Ref<st_3_t> st_3;
  rt::Ref<st_2_t> st_2;
  rt::Ref<st_1_t> st_1;

  void create() override;

  // The graduation score of the three typed year scores, into em_by_cj and its level into
  // sle_by_dj. Always 0.
  long by();
};
