#pragma once

// The edit-mask control: an edit field for numbers under a numeric mask.

#include <string>

#include "controls.h"

namespace rt {

enum class BorderStyle { None, Lowered };

// An edit field under a numeric mask such as "###,###.00": at most as many digits before
// the decimal point as the mask has places there, grouped by thousands with commas where
// the mask has a comma, as many decimals as the mask has places after the point, and a
// leading "-".
//
// Whatever reaches the field passes the mask: a key whose character the mask does not
// allow at that place (a letter, a seventh digit, a second point, a "-" after a digit) is
// dropped and the text stays as it was; of a pasted text each character the mask allows
// is kept in turn and the others are dropped ("12abc" pastes as "12"); commas typed or
// pasted are dropped, as the field places its own.
//
// `text` is always what the field shows. While the user types, that is the typed number
// with its thousands commas ("1,234.5"); once the field has lost the focus, and at once
// when the program sets `text`, it is the mask's full form: the decimals filled with
// zeros, "0" before a bare point, no sign on a zero ("1234.5" shows "1,234.50" under
// "###,###.00" and "59" shows "59.0" under "###,###.0"). A text set from code passes the
// mask as a paste into an empty field would; a text holding no digit at all, such as the
// stored initial "none", shows as an empty field and reads back "". Every form reads as
// its number through the calculators' text-to-real conversion, and an empty field reads
// 0. Setting `text` from code runs no event.
class EditMask : public LineEditControl {
 public:
  RT_CLASS(editmask)
  EditMask();
  Prop<std::string> mask{this, "###,###.00"};
  Prop<BorderStyle> borderstyle{this, BorderStyle::Lowered};

  // Raised once as the focus leaves the field, before losefocus, when the user has changed
  // its text since it took the focus; never for a text set from code.
  virtual void modified() {}

 protected:
  QWidget* makeWidget(QWidget* parent) override;
  void syncWidget(const void* which) override;
  void leavingFocus() override;

 private:
  friend class EditMaskWidget;
  bool edited_ = false;  // the user changed the text since the field took the focus
  // Shows the current text in the mask's full form.
  void settle();
};

}  // namespace rt
