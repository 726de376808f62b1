#include "numeric_mask.h"

#include <algorithm>

namespace rt::mask {

NumericMask parseMask(const std::string& mask) {
  NumericMask m;
  bool afterPoint = false;
  for (char c : mask) {
    if (c == '.') {
      afterPoint = true;
    } else if (c == '#' || c == '0') {
      ++(afterPoint ? m.decimals : m.places);
    } else if (c == ',' && !afterPoint) {
      m.grouped = true;
    }
  }
  return m;
}

namespace {
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
}  // namespace

QString withoutCommas(QString s) { return s.remove(u','); }

bool allows(const NumericMask& m, const QString& s) {
  qsizetype i = 0;
  const qsizetype n = s.size();
  if (i < n && s[i] == u'-') ++i;
  int digits = 0;
  for (; i < n && isDigit(s[i]); ++i) ++digits;
  if (digits > m.places) return false;
  if (i == n) return true;
  if (s[i] != u'.' || m.decimals == 0) return false;
  int decimals = 0;
  for (++i; i < n && isDigit(s[i]); ++i) ++decimals;
  return i == n && decimals <= m.decimals;
}

namespace {

// The digits before the point with a comma between the thousands.
QString groupDigits(const NumericMask& m, const QString& digits) {
  if (!m.grouped) return digits;
  QString out;
  for (qsizetype i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += u',';
    out += digits[i];
  }
  return out;
}

struct Parts {
  bool negative = false;
  QString digits;  // before the point
  bool point = false;
  QString decimals;  // after it
};

Parts split(const QString& text) {
  const QString s = withoutCommas(text);
  Parts p;
  qsizetype i = 0;
  if (s.startsWith(u'-')) {
    p.negative = true;
    i = 1;
  }
  const qsizetype dot = s.indexOf(u'.', i);
  p.digits = s.mid(i, dot < 0 ? -1 : dot - i);
  if (dot >= 0) {
    p.point = true;
    p.decimals = s.mid(dot + 1);
  }
  return p;
}

}  // namespace

Edited regroup(const NumericMask& m, const QString& text, int cursor) {
  int before = 0;
  for (int i = 0; i < cursor && i < text.size(); ++i)
    if (text[i] != u',') ++before;
  const Parts p = split(text);
  const QString out = (p.negative ? QStringLiteral("-") : QString()) + groupDigits(m, p.digits) +
                      (p.point ? u'.' + p.decimals : QString());
  int at = 0;
  for (int seen = 0; at < out.size() && seen < before; ++at)
    if (out[at] != u',') ++seen;
  return {out, at};
}

// An edit that turned `before` into `after`, the cursor at `cursor` after it, as the mask
// lets it stand. A deletion stands when what is left fits. Of an insertion (typed or
// pasted, over a selection or not), the whole stands when it fits; otherwise each of its
// characters is kept in turn only if the mask allows it where it goes, so a paste keeps
// what fits. An insertion of which nothing fits changes nothing: a refused key leaves the
// text, and the selection it was typed over, as they were.
Edited applyEdit(const NumericMask& m, const QString& before, const QString& after, int cursor) {
  cursor = std::clamp(cursor, 0, static_cast<int>(after.size()));
  // What stayed after the cursor, and what stayed before the change.
  const int tail = static_cast<int>(after.size()) - cursor;
  int head = 0;
  QString base;  // `before` without what the edit removed
  QString inserted;
  if (tail <= before.size() && before.endsWith(QStringView(after).mid(cursor))) {
    const int limit = std::min(static_cast<int>(before.size()) - tail, cursor);
    while (head < limit && before[head] == after[head]) ++head;
    base = after.left(head) + after.mid(cursor);
    inserted = after.mid(head, cursor - head);
  } else {
    inserted = after;  // no edit at one place: the whole text, typed afresh
  }
  const Edited unchanged = regroup(m, before, head);
  const bool fits = allows(m, withoutCommas(after));
  if (inserted.isEmpty()) return fits ? regroup(m, after, cursor) : unchanged;
  if (withoutCommas(inserted).isEmpty()) return unchanged;  // the field places its own commas
  if (fits) return regroup(m, after, cursor);
  if (!allows(m, withoutCommas(base))) return unchanged;

  QString text = base;
  int at = head;
  for (QChar c : inserted) {
    if (c == u',') continue;
    QString candidate = text;
    candidate.insert(at, c);
    if (allows(m, withoutCommas(candidate))) {
      text = candidate;
      ++at;
    }
  }
  return at == head ? unchanged : regroup(m, text, at);
}

QString fullForm(const NumericMask& m, const QString& text) {
  Parts p = split(text);
  if (p.digits.isEmpty() && p.decimals.isEmpty()) return {};
  while (p.digits.size() > 1 && p.digits.startsWith(u'0')) p.digits.remove(0, 1);
  if (p.digits.isEmpty()) p.digits = QStringLiteral("0");
  const bool zero = std::all_of(p.digits.begin(), p.digits.end(), [](QChar c) { return c == u'0'; }) &&
                    std::all_of(p.decimals.begin(), p.decimals.end(), [](QChar c) { return c == u'0'; });
  QString out = (p.negative && !zero ? QStringLiteral("-") : QString()) + groupDigits(m, p.digits);
  if (m.decimals > 0) out += u'.' + p.decimals.leftJustified(m.decimals, u'0');
  return out;
}

QString fromCode(const NumericMask& m, const std::string& text) {
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  return fullForm(m, applyEdit(m, QString(), s, static_cast<int>(s.size())).text);
}

}  // namespace rt::mask
