#pragma once

#include <optional>
#include <string>

#include "runtime/dataview.h"
#include "runtime/picture.h"
#include "runtime/window.h"

// The MDI frame: menu and toolbar, status bar, and the start page centred in its client
// area, or the frame picture in its place.
class w_main1 : public rt::Window {
 public:
  RT_CLASS(w_main1)
  w_main1();

  std::string is_focus_picture;  // the highlighted start-page picture, or ""

  // The start page: hovering a launchable picture highlights it, a click on the
  // highlighted picture launches what its tag names.
  struct dw_main_t : rt::named<rt::DataView, "dw_main"> {
    dw_main_t();
    long mousemove(unsigned long flags, int xpos, int ypos) override;
    long clicked(int xpos, int ypos, long row, const std::string& dvo) override;
  };
  struct p_2_t : rt::named<rt::Picture, "p_2"> {
    p_2_t();
  };
  rt::Ref<dw_main_t> dw_main;
  rt::Ref<p_2_t> p_2;

  void create() override;
  void open() override;
  void resize(unsigned long sizetype, int newwidth, int newheight) override;

  // The launcher: a click on the highlighted picture opens the window, or starts the
  // program, that its tag names.
  void ue_run();
  // The value of `as_key` in the tag of the page object `as_column`, trimmed; `as_default`
  // when the object has no tag or the tag no such key; null when either name is null.
  std::optional<std::string> of_gettagstring(const std::optional<std::string>& as_column,
                                             const std::optional<std::string>& as_key,
                                             const std::optional<std::string>& as_default);
  // Where the launcher looks for a program file that does not exist as named.
  std::string of_getwindowpath();
};

// Where the start page goes in a frame of this outer size: half the space left over on
// each side, never left of 0 nor above 220. A half that does not fit 16 bits counts as 0.
struct StartPagePlace {
  int x, y;
};
StartPagePlace startPagePlace(int frameWidth, int frameHeight, int pageWidth, int pageHeight);
