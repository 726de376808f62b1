#pragma once

#include "runtime/editmask.h"

// The numeric field every number of the score calculators is typed into or shown in.
// Enter moves on as Tab does, and a field that gains the focus selects its whole text, so
// the next digit typed replaces the old value.
class my_maskedit : public rt::EditMask {
 public:
  RT_CLASS(my_maskedit)
  my_maskedit();

  // Every key pressed while the field has the focus. Enter moves the focus to the next
  // tab stop; every other key is left to the field's own editing. Always 1.
  virtual long enter(int key, unsigned long keyflags);

  long keydown(int key, unsigned long keyflags) override;
  void getfocus() override;
};
