#include "editmask.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QPointer>
#include <QValidator>
#include <QWindow>
#include <algorithm>

#include "event.h"
#include "focus_p.h"
#include "numeric_mask.h"
#include "runtime_p.h"
#include "window.h"

namespace rt {
namespace {

using namespace mask;

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
  QObject::connect(edit, &QLineEdit::textEdited, [self] {
    if (self) self->edited_ = true;
  });
  return edit;
}

void EditMask::leavingFocus() {
  if (!edited_) return;
  edited_ = false;
  Ref<EditMask> self = refTo(*this);
  dispatchEvent(*this, "modified", [self] { self->modified(); });
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
