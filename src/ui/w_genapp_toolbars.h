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
  rt::Ref<rt::Window> iw_window;        // the window whose toolbar is arranged
  rt::Application* iapp_application = nullptr;

  // A radio button that docks the toolbar at its place.
  template <const char* Name, int Alignment>
  struct alignment_t : rt::RadioButton {
    static constexpr const char* class_name = Name;
    std::string className() const override { return Name; }
    void clicked() override;
  };
  static constexpr char rb_floating_name[] = "rb_floating", rb_bottom_name[] = "rb_bottom",
                        rb_right_name[] = "rb_right", rb_top_name[] = "rb_top", rb_left_name[] = "rb_left";
  using rb_floating_t = alignment_t<rb_floating_name, 4>;
  using rb_bottom_t = alignment_t<rb_bottom_name, 3>;
  using rb_right_t = alignment_t<rb_right_name, 2>;
  using rb_top_t = alignment_t<rb_top_name, 1>;
  using rb_left_t = alignment_t<rb_left_name, 0>;

  struct cb_done_t : rt::CommandButton {
    RT_CLASS(cb_done)
    void clicked() override;
  };
  struct cb_visible_t : rt::CommandButton {
    RT_CLASS(cb_visible)
    void clicked() override;
  };
  struct cbx_showtips_t : rt::CheckBox {
    RT_CLASS(cbx_showtips)
    void clicked() override;
  };
  struct cbx_showtext_t : rt::CheckBox {
    RT_CLASS(cbx_showtext)
    void clicked() override;
  };
  struct gb_1_t : rt::GroupBox {
    RT_CLASS(gb_1)
  };

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
