#pragma once

#include "runtime/application.h"
#include "runtime/controls.h"
#include "runtime/window.h"

// Arranges the frame's toolbar: where it sits, whether it is shown, whether its buttons
// show their texts and tool tips. Every change takes effect at once; the window keeps no
// copy and only closes.
class w_genapp_toolbars : public rt::Window {
 public:
  RT_CLASS(w_genapp_toolbars)
  w_genapp_toolbars();

  // Instance variables.
  rt::Ref<rt::Window> iw_window;  // the window whose toolbar is arranged
  rt::Application* iapp_application = nullptr;

  // A radio button that docks the toolbar at its place.
  template <int Alignment>
  struct alignment_t : rt::RadioButton {
    void clicked() override;
  };
  using rb_floating_t = rt::named<alignment_t<4>, "rb_floating">;
  using rb_bottom_t = rt::named<alignment_t<3>, "rb_bottom">;
  using rb_right_t = rt::named<alignment_t<2>, "rb_right">;
  using rb_top_t = rt::named<alignment_t<1>, "rb_top">;
  using rb_left_t = rt::named<alignment_t<0>, "rb_left">;

  struct cb_done_t : rt::named<rt::CommandButton, "cb_done"> {
    void clicked() override;
  };
  struct cb_visible_t : rt::named<rt::CommandButton, "cb_visible"> {
    void clicked() override;
  };
  struct cbx_showtips_t : rt::named<rt::CheckBox, "cbx_showtips"> {
    void clicked() override;
  };
  struct cbx_showtext_t : rt::named<rt::CheckBox, "cbx_showtext"> {
    void clicked() override;
  };
  using gb_1_t = rt::named<rt::GroupBox, "gb_1">;

  rt::Ref<rb_floating_t> rb_floating;
  rt::Ref<rb_bottom_t> rb_bottom;
  rt::Ref<rb_right_t> rb_right;
  rt::Ref<rb_top_t> rb_top;
  rt::Ref<rb_left_t> rb_left;
  rt::Ref<cb_done_t> cb_done;
  rt::Ref<cb_visible_t> cb_visible;
  rt::Ref<cbx_showtips_t> cbx_showtips;
  rt::Ref<cbx_showtext_t> cbx_showtext;
  rt::Ref<gb_1_t> gb_1;

  void create() override;
  void open() override;
};
