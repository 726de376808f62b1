#include "ui/my_maskedit.h"

my_maskedit::my_maskedit() {
  width = 402;
  height = 112;
  facename = "Arial";
  textsize = -9;
  weight = 400;
  fontcharset = 0;
  textcolor = rt::Color::windowText();
  backcolor = rt::Color::rgb(166, 202, 240);
  borderstyle = rt::BorderStyle::Lowered;
  text = "none";
  mask = "###,###.00";
}

long my_maskedit::keydown(int key, unsigned long keyflags) { return enter(key, keyflags); }

long my_maskedit::enter(int key, unsigned long keyflags) {
  (void)keyflags;  // Shift or Ctrl held, Enter still moves on
  constexpr int kEnter = 13;
  constexpr unsigned int kKeyDown = 256;
  constexpr unsigned long kTab = 9;
  if (key == kEnter) rt::send(*this, kKeyDown, kTab, 0);
  return 1;
}

void my_maskedit::getfocus() { selectText(1, static_cast<int>(text().size())); }
