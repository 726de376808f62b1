#pragma once

// The runtime's ordinary controls: texts, buttons, edits.

#include <string>

#include "color.h"
#include "control.h"

class QFont;

namespace rt {

// What every control that shows text shares: its font and colours. A negative text size
// is points (-9 is 9 points); a positive one is pixels.
class TextControl : public Control {
 public:
  Prop<std::string> text{this, ""};
  Prop<std::string> facename{this, "宋体"};
  Prop<int> textsize{this, -9};
  Prop<int> weight{this, 400};
  Prop<bool> italic{this, false};
  Prop<bool> underline{this, false};
  Prop<int> fontcharset{this, 134};
  Prop<Color> textcolor{this, Color::windowText()};
  Prop<Color> backcolor{this, Color::buttonFace()};

 protected:
  void syncWidget(const void* which) override;
  bool isFontProperty(const void* which) const;
};

// The QFont of a face name, a text size and a weight as the controls name them.
QFont makeFont(const std::string& facename, int textsize, int weight, bool italic = false,
               bool underline = false);

// A push button. Space presses it while it has the focus, its access key ("&X") presses
// it, and Enter or Esc only where it is declared the default or the cancel button.
class CommandButton : public TextControl {
 public:
  RT_CLASS(commandbutton)
  CommandButton();
  Prop<bool> default_{this, false};
  Prop<bool> cancel{this, false};

  virtual void clicked() {}

  bool takesFocus() const override { return true; }
  std::string accessCaption() const override { return text; }
  void pressAccessKey() override;
  // Runs the clicked event now, as a click would.
  void click();

 protected:
  QWidget* makeWidget(QWidget* parent) override;
  void syncWidget(const void* which) override;
};

// A single-line edit. Typing updates `text`; setting `text` from code runs no event.
class SingleLineEdit : public TextControl {
 public:
  RT_CLASS(singlelineedit)
  SingleLineEdit();
  Prop<bool> displayonly{this, false};

  bool takesFocus() const override { return true; }
  // Selects `length` characters from position `start` (1 is the first); returns the count.
  int selectText(int start, int length);
  std::string selectedText() const;

 protected:
  QWidget* makeWidget(QWidget* parent) override;
  void syncWidget(const void* which) override;
};

}  // namespace rt
