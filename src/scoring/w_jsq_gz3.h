#pragma once

#include "scoring/w_jsq.h"

// The grade-three score calculator: the shared calculator with the grade-three profile,
// the grade-one and grade-two year totals typed in, and the graduation score and its level
// after every year total.
class w_jsq_gz3 : public w_jsq {
 public:
  RT_CLASS(w_jsq_gz3)
  w_jsq_gz3();

  static const GradeProfile& gradeThree();

  // A typed earlier year total: 12 pt bold under "高一高二"; editing it recomputes.
  struct year_total_c : my_maskedit {
    explicit year_total_c(int y);
    void modified() override;
  };
  using em_c1_c = rt::named<year_total_c, "em_c1">;
  using em_c2_c = rt::named<year_total_c, "em_c2">;
  using em_by_cj_c = rt::named<total_c, "em_by_cj">;
  using sle_by_dj_c = rt::named<level_c, "sle_by_dj">;
  struct st_msg_c : rt::named<rt::StaticText, "st_msg"> {
    st_msg_c();
  };

  rt::Ref<em_c1_c> em_c1;
  rt::Ref<em_c2_c> em_c2;
  rt::Ref<em_by_cj_c> em_by_cj;
  rt::Ref<sle_by_dj_c> sle_by_dj;
  rt::Ref<frame_c> gb_1, gb_2;
  rt::Ref<st_msg_c> st_msg;

 protected:
  void insertControls() override;
  void layout() override;
  void tabOrder() override;
  void afterYearTotal(std::optional<std::int32_t> total) override;
};
