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
  struct em_by_cj_t : my_maskedit {
    RT_CLASS(em_by_cj)
    em_by_cj_t();
  };
  struct em_c3_t : year_score_t {
    RT_CLASS(em_c3)
    em_c3_t() : year_score_t(444, 30) {}
  };
  struct em_c2_t : year_score_t {
    RT_CLASS(em_c2)
    em_c2_t() : year_score_t(244, 20) {}
  };
  struct em_c1_t : year_score_t {
    RT_CLASS(em_c1)
    em_c1_t() : year_score_t(40, 10) {}
  };
  struct cb_1_t : rt::CommandButton {
    RT_CLASS(cb_1)
    cb_1_t();
    void clicked() override;
  };
  struct sle_by_dj_t : rt::SingleLineEdit {
    RT_CLASS(sle_by_dj)
    sle_by_dj_t();
  };
  struct st_5_t : rt::StaticText {
    RT_CLASS(st_5)
  };
  struct st_4_t : rt::StaticText {
    RT_CLASS(st_4)
  };
  struct st_3_t : rt::StaticText {
    RT_CLASS(st_3)
  };
  struct st_2_t : rt::StaticText {
    RT_CLASS(st_2)
  };
  struct st_1_t : rt::StaticText {
    RT_CLASS(st_1)
  };

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
