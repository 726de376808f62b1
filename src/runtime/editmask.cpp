#include "editmask.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QPointer>
#include <QValidator>
#include <QWindow>
#include <algorithm>

#include "focus_p.h"
#include "runtime_p.h"
#include "window.h"

namespace rt {
namespace {

struct NumericMask {
  int places = 0;    // digits before the point
  int decimals = 0;  // digits after it
  bool grouped = false;
};

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

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

QString withoutCommas(QString s) { return s.remove(u','); }

// Whether a text without commas fits the mask: an optional "-", the digits before the
// point, and the point with its decimals.
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
  QString digits;    // before the point
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

struct Edited {
  QString text;
  int cursor;
};

// The text as it is typed, with the thousands commas put where they belong; the cursor
// stays after the same digit, sign or point.
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

// A text the mask allows, in the mask's full form; "" when it holds no digit.
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

// A text the program sets: pasted into an empty field, then in the full form.
QString fromCode(const NumericMask& m, const std::string& text) {
  const QString s = detail::qs(text);
  return fullForm(m, applyEdit(m, QString(), s, static_cast<int>(s.size())).text);
}

// Holds the field's text to the mask, whichever way the text changes: keys, paste, drop,
// undo.
class MaskValidator : public QValidator {
 public:
  explicit MaskValidator(QObject* parent) : QValidator(parent) {}
  NumericMask mask;
  mutable QString shown;  // the text the field shows

  State validate(QString& input, int& pos) const override {
    if (input != shown) {
      const Edited e = applyEdit(mask, shown, input, pos);
      input = e.text;
      pos = e.cursor;
      shown = e.text;
    }
    return Acceptable;
  }
};

}  // namespace

class EditMaskWidget : public QLineEdit {
 public:
  EditMaskWidget(EditMask* owner, QWidget* parent)
      : QLineEdit(parent), owner_(refTo(*owner)), validator_(new MaskValidator(this)) {
    setFocusPolicy(Qt::NoFocus);
    setValidator(validator_);
  }

  void setMask(const NumericMask& m) { validator_->mask = m; }
  const NumericMask& mask() const { return validator_->mask; }
  void showText(const QString& text) {
    validator_->shown = text;
    setText(text);
  }

 protected:
  // A press that brings the focus here leaves the selection the focus events made; the
  // drag that follows it selects nothing either.
  void mousePressEvent(QMouseEvent* e) override {
    holding_ = focus::pressBroughtFocus(this) && ownerHasFocus() && hasSelectedText();
    if (holding_) return e->accept();
    QLineEdit::mousePressEvent(e);
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (holding_) return e->accept();
    QLineEdit::mouseMoveEvent(e);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (holding_) {
      holding_ = false;
      return e->accept();
    }
    QLineEdit::mouseReleaseEvent(e);
  }
  // Once the focus has gone to another control, the number shows in the mask's full form.
  // The window reports every move of its focus, also while it is not the active window
  // (a move made as a message box closes); focus lost to another window changes nothing.
  void showEvent(QShowEvent* e) override {
    QLineEdit::showEvent(e);
    QWindow* handle = window()->windowHandle();
    if (!handle || handle == watched_) return;
    watched_ = handle;
    connect(handle, &QWindow::focusObjectChanged, this, [this](QObject* now) {
      EditMask* owner = owner_.raw();
      if (now && now != this && owner && !ownerHasFocus()) owner->settle();
    });
  }

 private:
  bool ownerHasFocus() const {
    EditMask* owner = owner_.raw();
    if (!owner) return false;
    Ref<Window> w = owner->getParent();
    return w && w->focusedControl() == owner_;
  }

  Ref<EditMask> owner_;
  MaskValidator* validator_;
  QPointer<QWindow> watched_;
  bool holding_ = false;
};

EditMask::EditMask() {
  width = 400;
  height = 100;
  backcolor = Color::windowBackground();
}

QWidget* EditMask::makeWidget(QWidget* parent) {
  auto* edit = new EditMaskWidget(this, parent);
  Ref<EditMask> self = refTo(*this);
  QObject::connect(edit, &QLineEdit::textChanged, [self](const QString& shown) {
    if (self) self->text.assignQuietly(shown.toStdString());
  });
  return edit;
}

void EditMask::syncWidget(const void* which) {
  TextControl::syncWidget(which);
  auto* edit = static_cast<EditMaskWidget*>(widget());
  if (!which || which == &mask) edit->setMask(parseMask(mask));
  if (!which || which == &text || which == &mask) {
    const QString shown = fromCode(edit->mask(), text);
    edit->showText(shown);
    text.assignQuietly(shown.toStdString());
  }
  if (!which || which == &borderstyle) edit->setFrame(borderstyle != BorderStyle::None);
  if (!which || which == &textcolor) {
    // A disabled field shows its text greyed, whatever its own text colour.
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Disabled, QPalette::Text, QApplication::palette().color(QPalette::Disabled, QPalette::Text));
    edit->setPalette(pal);
  }
}

void EditMask::settle() {
  auto* edit = static_cast<EditMaskWidget*>(widget());
  if (!edit) return;
  const QString full = fullForm(edit->mask(), edit->text());
  if (full != edit->text()) edit->showText(full);
}

}  // namespace rt
