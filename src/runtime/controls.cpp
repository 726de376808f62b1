#include "controls.h"

#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "event.h"
#include "runtime_p.h"

namespace rt {

QFont makeFont(const std::string& facename, int textsize, int weight, bool italic, bool underline) {
  QFont font(detail::qs(facename));
  // Points at the fixed 96 dots per inch the logical units assume.
  const int pixels = textsize < 0 ? static_cast<int>(std::lround(-textsize * 96.0 / 72.0)) : textsize;
  font.setPixelSize(std::max(pixels, 1));
  font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
  font.setItalic(italic);
  font.setUnderline(underline);
  return font;
}

bool TextControl::isFontProperty(const void* which) const {
  return !which || which == &facename || which == &textsize || which == &weight || which == &italic ||
         which == &underline || which == &fontcharset;
}

void TextControl::syncWidget(const void* which) {
  Control::syncWidget(which);
  QWidget* w = widget();
  if (isFontProperty(which)) w->setFont(makeFont(facename, textsize, weight, italic, underline));
  if (!which || which == &textcolor || which == &backcolor) {
    QPalette pal = w->palette();
    const QColor fg = detail::toQColor(textcolor);
    const QColor bg = detail::toQColor(backcolor);
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) pal.setColor(role, fg);
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base}) pal.setColor(role, bg);
    w->setPalette(pal);
  }
}

// ---- command button

namespace {
class ButtonWidget : public QPushButton {
 public:
  explicit ButtonWidget(QWidget* parent) : QPushButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAutoDefault(false);
  }
};
}  // namespace

CommandButton::CommandButton() {
  width = 329;
  height = 100;
}

QWidget* CommandButton::makeWidget(QWidget* parent) {
  auto* button = new ButtonWidget(parent);
  Ref<CommandButton> self = refTo(*this);
  QObject::connect(button, &QPushButton::clicked, [self] {
    if (self) self->click();
  });
  return button;
}

void CommandButton::syncWidget(const void* which) {
  TextControl::syncWidget(which);
  if (!which || which == &text) static_cast<QPushButton*>(widget())->setText(detail::qs(text));
}

void CommandButton::click() {
  Ref<CommandButton> self = refTo(*this);
  dispatchEvent(*this, "clicked", [self] { self->clicked(); });
}

void CommandButton::pressAccessKey() {
  if (auto* button = static_cast<QPushButton*>(widget())) button->click();
}

// ---- single-line edit

SingleLineEdit::SingleLineEdit() {
  width = 400;
  height = 100;
  backcolor = Color::windowBackground();
}

QWidget* SingleLineEdit::makeWidget(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setFocusPolicy(Qt::NoFocus);
  Ref<SingleLineEdit> self = refTo(*this);
  QObject::connect(edit, &QLineEdit::textEdited, [self](const QString& typed) {
    if (self) self->text.assignQuietly(typed.toStdString());
  });
  return edit;
}

void SingleLineEdit::syncWidget(const void* which) {
  TextControl::syncWidget(which);
  auto* edit = static_cast<QLineEdit*>(widget());
  if (!which || which == &text) {
    const QString t = detail::qs(text);
    if (edit->text() != t) edit->setText(t);
  }
  if (!which || which == &displayonly) edit->setReadOnly(displayonly);
}

int SingleLineEdit::selectText(int start, int length) {
  auto* edit = static_cast<QLineEdit*>(widget());
  if (!edit || start < 1 || length < 0) return -1;
  edit->setSelection(start - 1, length);
  return static_cast<int>(edit->selectedText().size());
}

std::string SingleLineEdit::selectedText() const {
  auto* edit = static_cast<QLineEdit*>(widget());
  return edit ? edit->selectedText().toStdString() : std::string();
}

}  // namespace rt
