#pragma once

#include <string>

#include "runtime/controls.h"

// A push button with a small picture left of its caption. The picture is a control of its
// own, lying over the button, which the object moves to make the button look pressed.
// Clients set buttontext and bitmapname and script the object's clicked event.
class uo_picture_command_button : public rt::UserObject {
 public:
  RT_CLASS(uo_picture_command_button)
  uo_picture_command_button();

  // Instance variables.
  std::string buttontext = "None";
  std::string bitmapname;
  bool default_ = false;
  bool cancel = false;
  int buttonwidth = 0;   // pixels; 0: the object's width
  int buttonheight = 0;  // pixels; 0: the object's height
  long il_picx = 0;      // the picture's rest position
  long il_picy = 0;
  bool lb_inbounds = false;  // a left-button press on the button is under way
  bool lb_keyboard = false;  // the space bar holds the button down

  struct uo_bitmap_t : rt::named<rt::PictureListBox, "uo_bitmap"> {
    uo_bitmap_t();
  };
  struct command_button_t : rt::named<rt::CommandButton, "command_button"> {
    command_button_t();
    void resize(unsigned long sizetype, int newwidth, int newheight) override;
    long lbuttondown(unsigned long flags, int xpos, int ypos) override;
    long lbuttonup(unsigned long flags, int xpos, int ypos) override;
    long mousemove(unsigned long flags, int xpos, int ypos) override;
    long keydown(int key, unsigned long keyflags) override;
    long keyup(int key, unsigned long keyflags) override;
    void losefocus() override;
    void clicked() override;

   private:
    uo_picture_command_button& owner() const;
  };
  rt::Ref<uo_bitmap_t> uo_bitmap;
  rt::Ref<command_button_t> command_button;

  // Object functions.
  void of_setresize(int is_width, int is_height);
  void of_setproperties();
  void of_setenabled(bool is_enabled);
  void of_releasemouse();

  // External subroutine: a synthetic key press or release (user32's keybd_event).
  static void keybd_event(int bvk, int bscan, unsigned long dwflags, unsigned long dwextrainfo);

  // Events.
  void create() override;
  void constructor() override;
  // The event clients script; the object itself does nothing on it.
  virtual long clicked(unsigned long flags, int xpos, int ypos);
};
