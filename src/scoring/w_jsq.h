#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "runtime/controls.h"
#include "runtime/dataview.h"
#include "runtime/window.h"
#include "scoring/core/ladders.h"
#include "ui/my_maskedit.h"

// What a grade's score calculator brings of its own, in the order the grades list them.
// Everything else in a calculator window is the same in every grade.
struct GradeProfile {
  struct Message {
    std::string_view caption;
    std::string_view text;
  };
  struct Point {
    int x, y;
  };
  // The vertical positions of the controls: each lies `shift` units lower (higher when
  // negative) than the design places it, except `cb_2`, which has a position of its own, and
  // the controls named in `unshifted`.
  struct Rows {
    int shift = 0;
    std::span<const std::string_view> unshifted;
  };

  std::string_view gradeCode;         // the settings row's retrieval argument
  std::string_view title;
  int height;                         // the width is the design's
  std::string_view yearTotalCaption;  // gb_6
  std::string_view settingsWindow;    // opened by the open event and by "项目设置"
  std::string_view missingSettings;   // the "注意" message while the settings row is missing
  Message vitalCapacity;              // asks for the weight before vital capacity scores
  scoring::LadderTable ladders;
  Point cb_2;
  Rows rows;
};

// The score calculator all grades share: one student's measurements in, item scores, the
// year total and its level out. Nothing typed is stored; the window reads its grade's
// settings row and the height tables.
//
// A grade derives from it with its profile. Beyond the profile a grade may change the
// creation order (insertControls, for a grade with controls of its own), the positions
// (layout), the tab stops (tabOrder) and what follows the year total (afterYearTotal).
class w_jsq : public rt::Window {
 public:
  explicit w_jsq(const GradeProfile& profile);

  const GradeProfile& profile;

  // ---- controls. The types carry a "_c" suffix: "_t" names the score fields.

  // A measurement input: x 475, 251 by 80, the field's own font, colours and pattern.
  struct input_c : my_maskedit {
    explicit input_c(int y);
  };
  // An input scored by its item's ladder when it loses the focus.
  struct item_input_c : input_c {
    item_input_c(int y, scoring::Item item);
    void losefocus() override;
    scoring::Item item;
  };
  struct em_s1_c : input_c {
    RT_CLASS(em_s1)
    em_s1_c();
    void getfocus() override;
    void losefocus() override;
  };
  struct em_s2_c : input_c {
    RT_CLASS(em_s2)
    em_s2_c();
    void losefocus() override;
  };
  struct em_t_c : item_input_c {
    RT_CLASS(em_t)
    em_t_c();
  };
  struct em_1_c : item_input_c {
    RT_CLASS(em_1)
    em_1_c();
  };
  struct em_8_c : item_input_c {
    RT_CLASS(em_8)
    em_8_c();
  };
  struct em_f_c : input_c {
    RT_CLASS(em_f)
    em_f_c();
    void losefocus() override;
  };
  struct em_5_c : item_input_c {
    RT_CLASS(em_5)
    em_5_c();
  };
  struct em_l_c : item_input_c {
    RT_CLASS(em_l)
    em_l_c();
  };
  struct em_z_c : item_input_c {
    RT_CLASS(em_z)
    em_z_c();
  };
  struct em_y_c : item_input_c {
    RT_CLASS(em_y)
    em_y_c();
  };
  struct em_w_c : item_input_c {
    RT_CLASS(em_w)
    em_w_c();
  };

  // An item label: Arial 8 pt, dark blue, 56 high.
  struct item_label_c : rt::StaticText {
    item_label_c(const char* caption, int x, int y, int width);
  };
  struct st_s1_c : item_label_c {
    RT_CLASS(st_s1)
    st_s1_c();
  };
  struct st_s2_c : item_label_c {
    RT_CLASS(st_s2)
    st_s2_c();
  };
  struct st_t_c : item_label_c {
    RT_CLASS(st_t)
    st_t_c();
  };
  struct st_1_c : item_label_c {
    RT_CLASS(st_1)
    st_1_c();
  };
  struct st_8_c : item_label_c {
    RT_CLASS(st_8)
    st_8_c();
  };
  struct st_f_c : item_label_c {
    RT_CLASS(st_f)
    st_f_c();
  };
  struct st_5_c : item_label_c {
    RT_CLASS(st_5)
    st_5_c();
  };
  struct st_l_c : item_label_c {
    RT_CLASS(st_l)
    st_l_c();
  };
  struct st_z_c : item_label_c {
    RT_CLASS(st_z)
    st_z_c();
  };
  struct st_y_c : item_label_c {
    RT_CLASS(st_y)
    st_y_c();
  };
  struct st_w_c : item_label_c {
    RT_CLASS(st_w)
    st_w_c();
  };

  // A unit label: Arial 8 pt, dark red, at x 741.
  struct unit_label_c : rt::StaticText {
    unit_label_c(const char* caption, int y);
  };
  struct st_13_c : unit_label_c {
    RT_CLASS(st_13)
    st_13_c();
  };
  struct st_14_c : unit_label_c {
    RT_CLASS(st_14)
    st_14_c();
  };
  struct st_11_c : unit_label_c {
    RT_CLASS(st_11)
    st_11_c();
  };
  struct st_88_c : unit_label_c {
    RT_CLASS(st_88)
    st_88_c();
  };
  struct st_55_c : unit_label_c {
    RT_CLASS(st_55)
    st_55_c();
  };
  struct st_ll_c : unit_label_c {
    RT_CLASS(st_ll)
    st_ll_c();
  };
  struct st_zz_c : unit_label_c {
    RT_CLASS(st_zz)
    st_zz_c();
  };
  struct st_yy_c : unit_label_c {
    RT_CLASS(st_yy)
    st_yy_c();
  };

  struct st_111_c : rt::StaticText {
    RT_CLASS(st_111)
    st_111_c();
  };

  // A score field: an ordinary editable field, "###,###.0", at x 1093, 210 by 80.
  struct score_c : my_maskedit {
    explicit score_c(int y);
  };
  struct em_s_t_c : score_c {
    RT_CLASS(em_s_t)
    em_s_t_c();
  };
  struct em_t_t_c : score_c {
    RT_CLASS(em_t_t)
    em_t_t_c();
  };
  struct em_1_t_c : score_c {
    RT_CLASS(em_1_t)
    em_1_t_c();
  };
  struct em_8_t_c : score_c {
    RT_CLASS(em_8_t)
    em_8_t_c();
  };
  struct em_f_t_c : score_c {
    RT_CLASS(em_f_t)
    em_f_t_c();
  };
  struct em_5_t_c : score_c {
    RT_CLASS(em_5_t)
    em_5_t_c();
  };
  struct em_l_t_c : score_c {
    RT_CLASS(em_l_t)
    em_l_t_c();
  };
  struct em_z_t_c : score_c {
    RT_CLASS(em_z_t)
    em_z_t_c();
  };
  struct em_y_t_c : score_c {
    RT_CLASS(em_y_t)
    em_y_t_c();
  };
  struct em_w_t_c : score_c {
    RT_CLASS(em_w_t)
    em_w_t_c();
  };

  struct em_xn_t_c : my_maskedit {
    RT_CLASS(em_xn_t)
    em_xn_t_c();
  };
  struct sle_dj_c : rt::SingleLineEdit {
    RT_CLASS(sle_dj)
    sle_dj_c();
  };

  // Both sex buttons run the same sequence.
  struct sex_button_c : rt::RadioButton {
    void clicked() override;
  };
  struct rb_sex_man_c : sex_button_c {
    RT_CLASS(rb_sex_man)
    rb_sex_man_c();
  };
  struct rb_sex_woman_c : sex_button_c {
    RT_CLASS(rb_sex_woman)
    rb_sex_woman_c();
  };

  // A bonus or deduction box: a click recomputes the total.
  struct box_c : rt::CheckBox {
    box_c(const char* caption, int x, int y, int width);
    void clicked() override;
  };
  struct cbx_1_c : box_c {
    RT_CLASS(cbx_1)
    cbx_1_c();
  };
  struct cbx_2_c : box_c {
    RT_CLASS(cbx_2)
    cbx_2_c();
  };
  struct cbx_3_c : box_c {
    RT_CLASS(cbx_3)
    cbx_3_c();
  };
  struct cbx_4_c : box_c {
    RT_CLASS(cbx_4)
    cbx_4_c();
  };
  struct cbx_59_c : box_c {
    RT_CLASS(cbx_59)
    cbx_59_c();
  };

  struct frame_c : rt::GroupBox {
    frame_c(const char* caption, int x, int y, int width, int height);
  };
  struct gb_4_c : frame_c {
    RT_CLASS(gb_4)
    gb_4_c();
  };
  struct gb_sex_c : frame_c {
    RT_CLASS(gb_sex)
    gb_sex_c();
  };
  struct gb_6_c : frame_c {
    RT_CLASS(gb_6)
    gb_6_c();
  };
  struct gb_3_c : frame_c {
    RT_CLASS(gb_3)
    gb_3_c();
  };
  struct gb_5_c : frame_c {
    RT_CLASS(gb_5)
    gb_5_c();
  };

  struct cb_2_c : rt::CommandButton {
    RT_CLASS(cb_2)
    cb_2_c();
    void clicked() override;
  };
  struct cb_1_c : rt::CommandButton {
    RT_CLASS(cb_1)
    cb_1_c();
    void clicked() override;
  };
  struct dw_4_c : rt::DataView {
    RT_CLASS(dw_4)
    dw_4_c();
  };

  rt::Ref<em_s1_c> em_s1;
  rt::Ref<em_s2_c> em_s2;
  rt::Ref<em_t_c> em_t;
  rt::Ref<em_1_c> em_1;
  rt::Ref<em_8_c> em_8;
  rt::Ref<em_f_c> em_f;
  rt::Ref<em_5_c> em_5;
  rt::Ref<em_l_c> em_l;
  rt::Ref<em_z_c> em_z;
  rt::Ref<em_y_c> em_y;
  rt::Ref<em_w_c> em_w;
  rt::Ref<st_s1_c> st_s1;
  rt::Ref<st_s2_c> st_s2;
  rt::Ref<st_t_c> st_t;
  rt::Ref<st_1_c> st_1;
  rt::Ref<st_8_c> st_8;
  rt::Ref<st_f_c> st_f;
  rt::Ref<st_5_c> st_5;
  rt::Ref<st_l_c> st_l;
  rt::Ref<st_z_c> st_z;
  rt::Ref<st_y_c> st_y;
  rt::Ref<st_w_c> st_w;
  rt::Ref<st_13_c> st_13;
  rt::Ref<st_14_c> st_14;
  rt::Ref<st_11_c> st_11;
  rt::Ref<st_88_c> st_88;
  rt::Ref<st_55_c> st_55;
  rt::Ref<st_ll_c> st_ll;
  rt::Ref<st_zz_c> st_zz;
  rt::Ref<st_yy_c> st_yy;
  rt::Ref<st_111_c> st_111;
  rt::Ref<em_s_t_c> em_s_t;
  rt::Ref<em_t_t_c> em_t_t;
  rt::Ref<em_1_t_c> em_1_t;
  rt::Ref<em_8_t_c> em_8_t;
  rt::Ref<em_f_t_c> em_f_t;
  rt::Ref<em_5_t_c> em_5_t;
  rt::Ref<em_l_t_c> em_l_t;
  rt::Ref<em_z_t_c> em_z_t;
  rt::Ref<em_y_t_c> em_y_t;
  rt::Ref<em_w_t_c> em_w_t;
  rt::Ref<em_xn_t_c> em_xn_t;
  rt::Ref<sle_dj_c> sle_dj;
  rt::Ref<rb_sex_man_c> rb_sex_man;
  rt::Ref<rb_sex_woman_c> rb_sex_woman;
  rt::Ref<cbx_1_c> cbx_1;
  rt::Ref<cbx_2_c> cbx_2;
  rt::Ref<cbx_3_c> cbx_3;
  rt::Ref<cbx_4_c> cbx_4;
  rt::Ref<cbx_59_c> cbx_59;
  rt::Ref<gb_4_c> gb_4;
  rt::Ref<gb_sex_c> gb_sex;
  rt::Ref<gb_6_c> gb_6;
  rt::Ref<gb_3_c> gb_3;
  rt::Ref<gb_5_c> gb_5;
  rt::Ref<cb_2_c> cb_2;
  rt::Ref<cb_1_c> cb_1;
  rt::Ref<dw_4_c> dw_4;

  // ---- instance variables

  // What sg works on: the height and weight, then as adjusted, and the bounds of the last
  // height-table row it read (null where the row holds null).
  float h = 0;
  float w = 0;
  std::optional<float> z1 = 0.0f, z2 = 0.0f, z3 = 0.0f, z4 = 0.0f;

  // The item flags as the settings row holds them: "1" chosen, "0" not, null for null.
  using Flag = std::optional<std::string>;
  Flag xm_t_m{""}, xm_1_m{""}, xm_5_m{""}, xm_l_m{""}, xm_z_m{""}, xm_w_m{""};
  Flag xm_t_w{""}, xm_8_w{""}, xm_5_w{""}, xm_l_w{""}, xm_z_w{""}, xm_y_w{""}, xm_w_w{""};

  // ---- events and window functions

  void create() override;
  void open() override;

  int xn();
  void checked();
  int sg();

  // How often the open event sends the user to the settings window before it gives up.
  static constexpr int kSettingsRounds = 3;

 protected:
  virtual void insertControls();
  virtual void layout();
  virtual void tabOrder();
  // Runs at the end of every xn with the year total as shown.
  virtual void afterYearTotal(std::int32_t total) { (void)total; }

 private:
  scoring::Sex sex() const;
  // The controls of an item's row; `unit` is null for an item without a unit label.
  struct ItemControls {
    rt::StaticText* label;
    rt::StaticText* unit;
    my_maskedit* input;
    my_maskedit* score;
  };
  ItemControls itemControls(scoring::Item item) const;
  void setAvailable(scoring::Item item, bool available);
  void disableIfUnchosen(scoring::Item item, const Flag& flag);
  void readFlags(long row);

  // Item scoring as the handlers run it: writes the score field, totals nothing.
  void scoreItem(scoring::Item item);
  // False when it stopped at the vital-capacity message and wrote nothing.
  bool scoreVitalCapacity();
  int heightBandScore();
  void sexChanged();

  // A change of sex runs many handlers as one sequence; within it, each kind of message
  // shows once at most.
  bool firstInSequence(bool& shown);
  int sequence_ = 0;
  bool weightAsked_ = false;
  bool databaseErrorShown_ = false;
};
