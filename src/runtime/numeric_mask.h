#pragma once

// The rules of a numeric edit mask such as "###,###.00", apart from any widget: which texts
// it allows, how a typed or pasted edit stands under it, and its full form. Qt Core only.

#include <QString>
#include <string>

namespace rt::mask {

struct NumericMask {
  int places = 0;    // digits before the point
  int decimals = 0;  // digits after it
  bool grouped = false;
};

NumericMask parseMask(const std::string& mask);
QString withoutCommas(QString s);
// Whether a text without commas fits the mask: an optional "-", the digits before the
// point, and the point with its decimals.
bool allows(const NumericMask& m, const QString& s);

struct Edited {
  QString text;
  int cursor;
};
// The text as it is typed, with the thousands commas put where they belong; the cursor
// stays after the same digit, sign or point.
Edited regroup(const NumericMask& m, const QString& text, int cursor);
// An edit that turned `before` into `after`, the cursor at `cursor` after it, as the mask
// lets it stand.
Edited applyEdit(const NumericMask& m, const QString& before, const QString& after, int cursor);
// A text the mask allows, in the mask's full form; "" when it holds no digit.
QString fullForm(const NumericMask& m, const QString& text);
// A text the program sets: pasted into an empty field, then in the full form.
QString fromCode(const NumericMask& m, const std::string& text);

}  // namespace rt::mask
