// The edit mask's handling of typed and pasted text: from an empty field, after every key
// or paste the field's text is one the mask allows, with its commas where they belong.

#include <QString>
#include <cstdint>
#include <cstdlib>

#include "runtime/numeric_mask.h"

using namespace rt::mask;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const NumericMask m = parseMask(data[0] & 1 ? "###,###.0" : "###,###.00");
  QString text;
  int cursor = 0;
  std::size_t i = 1;
  while (i < size) {
    const std::uint8_t op = data[i++];
    QString after = text;
    int at = cursor;
    switch (op % 4) {
      case 0: {  // a typed key
        if (i >= size) break;
        after.insert(at, QChar(data[i++]));
        ++at;
        break;
      }
      case 1: {  // a paste of the next few bytes, over a selection
        const std::size_t n = i < size ? data[i++] % 12 : 0;
        const int from = text.isEmpty() ? 0 : static_cast<int>(op / 4) % (text.size() + 1);
        const int to = std::max(from, at);
        QString pasted;
        for (std::size_t k = 0; k < n && i < size; ++k) pasted += QChar(data[i++]);
        after = text.left(from) + pasted + text.mid(to);
        at = from + static_cast<int>(pasted.size());
        break;
      }
      case 2:  // Backspace
        if (at > 0) after.remove(--at, 1);
        break;
      default:  // the cursor moves
        at = text.isEmpty() ? 0 : static_cast<int>(op / 4) % (text.size() + 1);
        break;
    }
    const Edited e = applyEdit(m, text, after, at);
    if (!allows(m, withoutCommas(e.text))) std::abort();
    if (regroup(m, e.text, e.cursor).text != e.text) std::abort();
    if (e.cursor < 0 || e.cursor > e.text.size()) std::abort();
    text = e.text;
    cursor = e.cursor;
    if (!allows(m, withoutCommas(fullForm(m, text)))) std::abort();
  }
  return 0;
}
