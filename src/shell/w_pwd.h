#pragma once

#include "runtime/controls.h"
#include "runtime/window.h"
#include "ui/uo_picture_command_button.h"

// The entry window: greets the user and leads into the frame, or out of the program.
class w_pwd : public rt::Window {
 public:
  RT_CLASS(w_pwd)
  w_pwd();

  struct st_link_t : rt::named<rt::HyperLink, "st_link"> {
    st_link_t();
  };
  struct st_3_t : rt::named<rt::StaticText, "st_3"> {
    st_3_t();
  };
  struct st_2_t : rt::named<rt::StaticText, "st_2"> {
    st_2_t();
  };
  struct st_1_t : rt::named<rt::StaticText, "st_1"> {
    st_1_t();
  };
  struct uo_4_t : rt::named<uo_picture_command_button, "uo_4"> {
    uo_4_t();
    long clicked(unsigned long flags, int xpos, int ypos) override;
  };
  struct uo_3_t : rt::named<uo_picture_command_button, "uo_3"> {
    uo_3_t();
    long clicked(unsigned long flags, int xpos, int ypos) override;
  };
  struct gb_1_t : rt::named<rt::GroupBox, "gb_1"> {
    gb_1_t();
  };

  rt::Ref<st_link_t> st_link;
  rt::Ref<st_3_t> st_3;
  rt::Ref<st_2_t> st_2;
  rt::Ref<st_1_t> st_1;
  rt::Ref<uo_4_t> uo_4;
  rt::Ref<uo_3_t> uo_3;
  rt::Ref<gb_1_t> gb_1;

  void create() override;
};
