#pragma once

#include "runtime/picture.h"
#include "runtime/window.h"

// The splash: one picture for two seconds or until clicked, then the entry window.
class w_flash : public rt::Window {
 public:
  RT_CLASS(w_flash)
  w_flash();

  struct p_1_t : rt::named<rt::Picture, "p_1"> {
    p_1_t();
    void clicked() override;
  };
  rt::Ref<p_1_t> p_1;

  void create() override;
  void open() override;
  void timer() override;
  void clicked(unsigned long flags, int xpos, int ypos) override;
};
