#include "shell/w_flash.h"

// The entry window is opened by its class name, through its global variable, so that the
// menu's sign-out later finds the same window.
w_flash::w_flash() {
  windowtype = rt::WindowType::Response;
  titlebar = false;
  controlmenu = false;
  resizable = false;
  width = 1861;
  height = 1076;
  center = true;
  backcolor = rt::Color::rgb(0, 0, 255);
  icon = "AppIcon!";
}

w_flash::p_1_t::p_1_t() {
  x = 0;
  y = 0;
  width = 1861;
  height = 1076;
  picturename = "ty_flash.JPG";
  focusrectangle = false;
}

void w_flash::create() { p_1 = insert<p_1_t>(); }

void w_flash::open() { rt::timer(2, *this); }

void w_flash::timer() {
  rt::open("w_pwd");
  rt::close(*this);
}

void w_flash::clicked(unsigned long, int, int) {
  rt::open("w_pwd");
  rt::close(*this);
}

void w_flash::p_1_t::clicked() {
  rt::open("w_pwd");
  rt::close(getParent());
}
