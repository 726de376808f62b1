#pragma once

#include <string>
#include <utility>
#include <vector>

#include "runtime/controls.h"
#include "runtime/dataview.h"
#include "runtime/window.h"
#include "ui/uo_picture_command_button.h"

// What differs between the three grades' settings windows; everything else is the same.
struct w_xm_gz_profile {
  const char* title;
  int height;
  int cb_1_x, cb_1_y;
  int cb_2_x, cb_2_y;
  int cb_2_taborder;
  const char* cb_2_bitmapname;  // "" shows the caption alone
  const char* grade;            // `nj` of the grade's settings row
};

// The item settings window of one senior grade: boys on the left, girls on the right, the
// two fixed items of each half always selected, and three groups of optional items of
// which one per group is chosen. It loads its grade's row of `xmsz` when it opens and
// writes it back with Save; Close leaves without writing.
class w_xm_gz : public rt::Window {
 public:
  explicit w_xm_gz(const w_xm_gz_profile& profile);

  // The optional items: a click enables Save.
  struct optional_item_t : rt::RadioButton {
    void clicked() override;
  };
  template <rt::class_name_text Name>
  using item_t = rt::named<optional_item_t, Name>;
  // The fixed items and the boxes have no events.
  template <rt::class_name_text Name>
  using fixed_t = rt::named<rt::RadioButton, Name>;
  template <rt::class_name_text Name>
  using box_t = rt::named<rt::GroupBox, Name>;

  struct cb_2_t : rt::named<uo_picture_command_button, "cb_2"> {
    long clicked(unsigned long flags, int xpos, int ypos) override;
  };
  struct cb_1_t : rt::named<uo_picture_command_button, "cb_1"> {
    long clicked(unsigned long flags, int xpos, int ypos) override;
  };
  using dw_1_t = rt::named<rt::DataView, "dw_1">;

  // Controls, in creation order; each takes its class name where create inserts it.
  rt::Ref<cb_2_t> cb_2;
  rt::Ref<cb_1_t> cb_1;
  rt::Ref<optional_item_t> rb_w_w, rb_z_w, rb_l_w, rb_5_w;
  rt::Ref<rt::GroupBox> gb_6;
  rt::Ref<rt::RadioButton> rb_2, rb_1;
  rt::Ref<dw_1_t> dw_1;
  rt::Ref<rt::RadioButton> rb_9, rb_8;
  rt::Ref<optional_item_t> rb_w_m, rb_y_w, rb_z_m, rb_l_m, rb_5_m, rb_1_m, rb_t_m;
  rt::Ref<rt::GroupBox> gb_1, gb_2, gb_3, gb_4;
  rt::Ref<optional_item_t> rb_t_w, rb_8_w;
  rt::Ref<rt::GroupBox> gb_7, gb_8, gb_5;

  // The thirteen optional items with the column each stands for, in the columns' order.
  std::vector<std::pair<rt::RadioButton*, const char*>> items() const;
  // Save is enabled or disabled as a whole: its inner button first, then the object.
  void setSaveEnabled(bool enabled);

  // Events.
  void create() override;
  void open() override;

 private:
  const w_xm_gz_profile profile_;
};
