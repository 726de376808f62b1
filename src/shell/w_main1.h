#pragma once

#include <string>

#include "runtime/controls.h"
#include "runtime/picture.h"
#include "runtime/window.h"

// The MDI frame: menu and toolbar, status bar, and the start page centred in its client
// area, or the frame picture in its place.
class w_main1 : public rt::Window {
 public:
  RT_CLASS(w_main1)
  w_main1();

  std::string is_focus_picture;  // the highlighted start-page picture, or ""

  struct dw_main_t : rt::UserObject {
    RT_CLASS(dw_main)
    dw_main_t();
    bool takesFocus() const override { return true; }
  };
  struct p_2_t : rt::Picture {
    RT_CLASS(p_2)
    p_2_t();
  };
  rt::Ref<dw_main_t> dw_main;
  rt::Ref<p_2_t> p_2;

  void create() override;
  void open() override;
  void resize(unsigned long sizetype, int newwidth, int newheight) override;
};

// Where the start page goes in a frame of this outer size: half the space left over on
// each side, never left of 0 nor above 220. A half that does not fit 16 bits counts as 0.
struct StartPagePlace {
  int x, y;
};
StartPagePlace startPagePlace(int frameWidth, int frameHeight, int pageWidth, int pageHeight);
