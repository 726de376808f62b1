#pragma once

// The runtime's ordinary controls: texts, buttons, edits.

#include <string>
#include <vector>

#include "color.h"
#include "control.h"

class QFont;

namespace rt {

enum class Alignment { Left, Center, Right };

// The character set of a text control's font until the program sets another (GB 2312).
inline constexpr int kDefaultCharset = 134;

// Whether the left mouse button is held down now (the window system's key-state query).
bool leftButtonDown();

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
  Prop<int> fontcharset{this, kDefaultCharset};
  Prop<Color> textcolor{this, Color::windowText()};
  Prop<Color> backcolor{this, Color::buttonFace()};

 protected:
  void syncWidget(const void* which) override;
  bool isFontProperty(const void* which) const;
  // Whether the widget paints its back colour itself (a group box never does).
  virtual bool fillsBackground() const { return true; }
};

// The QFont of a face name, a text size and a weight as the controls name them.
QFont makeFont(const std::string& facename, int textsize, int weight, bool italic = false, bool underline = false);

// A push button. Space presses it while it has the focus, its access key ("&X") presses
// it, and Enter or Esc only where it is declared the default or the cancel button.
class CommandButton : public TextControl {
 public:
  RT_CLASS(commandbutton)
  CommandButton();
  Prop<bool> default_{this, false};
  Prop<bool> cancel{this, false};

  virtual void clicked() {}
  // The left button pressed, released or the pointer moved over the button (position in
  // logical units from its top-left corner).
  virtual long lbuttondown(unsigned long flags, int xpos, int ypos) {
    (void)flags, (void)xpos, (void)ypos;
    return 0;
  }
  virtual long lbuttonup(unsigned long flags, int xpos, int ypos) {
    (void)flags, (void)xpos, (void)ypos;
    return 0;
  }
  virtual long mousemove(unsigned long flags, int xpos, int ypos) {
    (void)flags, (void)xpos, (void)ypos;
    return 0;
  }

  bool takesFocus() const override { return true; }
  std::string accessCaption() const override { return text; }
  void pressAccessKey() override;
  // Runs the clicked event now, as a click would (the runtime's triggerevent "clicked").
  void click();

 protected:
  QWidget* makeWidget(QWidget* parent) override;
  void syncWidget(const void* which) override;
};

// A single-line edit. Typing updates `text` and runs editchanged; setting `text` from code
// runs no event.
// What every edit field shares: it takes the focus, and its text can be selected.
class LineEditControl : public TextControl {
 public:
  bool takesFocus() const override { return true; }
  // Selects `length` characters from position `start` (1 is the first); returns the count.
  int selectText(int start, int length);
  std::string selectedText() const;
};

class SingleLineEdit : public LineEditControl {
 public:
  RT_CLASS(singlelineedit)
  SingleLineEdit();
  Prop<bool> displayonly{this, false};
  Prop<Alignment> alignment{this, Alignment::Left};
  Prop<bool> border{this, true};
  Prop<int> limit{this, 0};  // the most characters the user may type; 0 for no limit

  // The user changed the text, one keystroke at a time; `text` already holds it.
  virtual void editchanged() {}

 protected:
  QWidget* makeWidget(QWidget* parent) override;
  void syncWidget(const void* which) override;
};

// A static text: a caption in its font and colours, on its back colour (or none).
class StaticText : public TextControl {
 public:
  RT_CLASS(statictext)
  StaticText();
  Prop<Alignment> alignment{this, Alignment::Left};

  virtual void clicked() {}

 protected:
  QWidget* makeWidget(QWidget* parent) override;
  void syncWidget(const void* which) override;
};

// A static text that opens its address in the web browser when clicked.
class HyperLink : public StaticText {
 public:
  RT_CLASS(statichyperlink)
  HyperLink();
  Prop<std::string> url{this, ""};
  void clicked() override;
};

// Opens an address in the user's web browser; what happens when there is none is the
// desktop's business, and nothing is reported.
void openUrl(const std::string& url);

// A group box: a frame with a caption, drawn behind the other controls and transparent to
// the mouse, so whatever lies inside it takes its own clicks.
class GroupBox : public TextControl {
 public:
  RT_CLASS(groupbox)
  GroupBox();

 protected:
  QWidget* makeWidget(QWidget* parent) override;
  void syncWidget(const void* which) override;
  bool fillsBackground() const override { return false; }
};

// A check box: it has taken its new state when its clicked event runs.
class CheckBox : public TextControl {
 public:
  RT_CLASS(checkbox)
  CheckBox();
  Prop<bool> checked{this, false};

  virtual void clicked() {}

  bool takesFocus() const override { return true; }
  std::string accessCaption() const override { return text; }
  void pressAccessKey() override;

 protected:
  QWidget* makeWidget(QWidget* parent) override;
  void syncWidget(const void* which) override;
};

// A radio button. A click on an enabled one checks it and clears the other buttons of its
// group (the innermost group box that contains it whole, or the window), then runs its
// clicked event; a click on the checked one keeps it checked. Setting `checked` from code
// clears nothing.
class RadioButton : public TextControl {
 public:
  RT_CLASS(radiobutton)
  RadioButton();
  Prop<bool> checked{this, false};

  virtual void clicked() {}

  bool takesFocus() const override { return true; }
  std::string accessCaption() const override { return text; }
  void pressAccessKey() override;
  // What a user's click does, before the clicked event.
  void select();

 protected:
  QWidget* makeWidget(QWidget* parent) override;
  void syncWidget(const void* which) override;
};

// A picture list box: a list of items, each with a label and a picture of its own list.
class PictureListBox : public TextControl {
 public:
  RT_CLASS(picturelistbox)
  PictureListBox();
  int reset();
  int setredraw(bool redraw);
  int addpicture(const std::string& name);             // the picture's index (from 1)
  int additem(const std::string& label, int picture);  // the item's index (from 1)
  int selectitem(int index);                           // 0 clears the selection
  struct Item {
    std::string label;
    int picture;
  };
  const std::vector<std::string>& pictures() const noexcept { return pictures_; }
  const std::vector<Item>& items() const noexcept { return items_; }
  int selected() const noexcept { return selected_; }

 protected:
  QWidget* makeWidget(QWidget* parent) override;
  void syncWidget(const void* which) override;

 private:
  std::vector<std::string> pictures_;
  std::vector<Item> items_;
  int selected_ = 0;
  bool redraw_ = true;
};

// A user object: a control that holds controls of its own.
class UserObject : public Control {
 public:
  UserObject();
  Prop<Color> backcolor{this, Color::buttonFace()};

 protected:
  QWidget* makeWidget(QWidget* parent) override;
  void syncWidget(const void* which) override;
};

}  // namespace rt
