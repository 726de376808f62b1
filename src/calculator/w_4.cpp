#include "calculator/w_4.h"

#include <ctime>

using calculator::Key;

namespace {

const rt::Color kDisplayText = rt::Color::rgb(0, 0, 255);
const rt::Color kDisplayBack = rt::Color::rgb(255, 251, 240);

// Date and time from one reading of the clock, so the date never belongs to another day
// than the time.
calculator::DateTime now() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

// The digit keys, "1" to "9" and "0", lead the model's list of keys.
bool isDigit(Key key) { return key <= Key::Zero; }

}  // namespace

w_4::w_4() {
  windowtype = rt::WindowType::Main;
  title = "计算器";
  titlebar = true;
  controlmenu = true;
  minbox = true;
  maxbox = false;
  resizable = false;
  x = 1111;
  y = 488;
  width = 1312;
  height = 1108;
  icon = "Form!";
  backcolor = rt::Color::buttonFace();
}

// ---- controls, in creation order

w_4::key_t::key_t(Key key, int x, int y, const char* caption, int points) : key(key) {
  this->x = x;
  this->y = y;
  width = 201;
  height = 120;
  text = caption;
  facename = "Arial";
  textsize = -points;
  weight = isDigit(key) ? 700 : 400;
  pointer = "HyperLink!";
}

w_4::cb_26_t::cb_26_t() {
  x = 1024;
  y = 224;
  width = 197;
  height = 120;
  text = "关闭";
  facename = "Arial";
  textsize = -11;
  pointer = "HyperLink!";
  taborder = 30;
}

w_4::sle_2_t::sle_2_t() {
  x = 50;
  y = 68;
  width = 1175;
  height = 128;
  facename = "Arial";
  textsize = -15;
  textcolor = kDisplayText;
  backcolor = kDisplayBack;
  alignment = rt::Alignment::Right;
  border = true;
}

w_4::cb_24_t::cb_24_t() {
  x = 55;
  y = 224;
  width = 201;
  height = 120;
  text = "时间";
  facename = "Arial";
  textsize = -11;
  pointer = "HyperLink!";
}

w_4::cb_23_t::cb_23_t() : named(Key::Square, 1024, 528, "平方", 11) {}
w_4::cb_22_t::cb_22_t() : named(Key::SquareRoot, 1024, 376, "平方根", 9) {}
w_4::cb_21_t::cb_21_t() : named(Key::Reciprocal, 1024, 680, "1/x", 14) {}
w_4::cb_20_t::cb_20_t() : named(Key::ClearAll, 530, 224, "清除", 11) {}
w_4::cb_19_t::cb_19_t() : named(Key::ClearEntry, 777, 224, "C", 14) {}
w_4::cb_18_t::cb_18_t() : named(Key::Equals, 1024, 832, "=", 14) { taborder = 10; }
w_4::cb_17_t::cb_17_t() : named(Key::Backspace, 279, 224, "退格", 11) {}
w_4::cb_16_t::cb_16_t() : named(Key::Divide, 777, 376, "÷", 16) {}
w_4::cb_15_t::cb_15_t() : named(Key::Multiply, 777, 528, "×", 16) {}
w_4::cb_14_t::cb_14_t() : named(Key::Subtract, 777, 680, "-", 20) {}
w_4::cb_13_t::cb_13_t() : named(Key::Add, 777, 832, "+", 16) {}

// The display: the text being entered or the last result, which the user may also type.
// It reads left to right, "-12" as written, against the right edge, and takes any length.
w_4::sle_1_t::sle_1_t() {
  x = 50;
  y = 68;
  width = 1175;
  height = 128;
  text = "0";
  facename = "Arial";
  textsize = -14;
  textcolor = kDisplayText;
  backcolor = kDisplayBack;
  alignment = rt::Alignment::Right;
  border = true;
  limit = 0;
  taborder = 20;
}

w_4::cb_12_t::cb_12_t() : named(Key::Point, 526, 832, ".", 18) {}
w_4::cb_11_t::cb_11_t() : named(Key::Sign, 279, 832, "+/-", 14) {}
w_4::cb_10_t::cb_10_t() : named(Key::Zero, 55, 832, "0", 14) {}
w_4::cb_9_t::cb_9_t() : named(Key::Digit9, 526, 376, "9", 14) {}
w_4::cb_8_t::cb_8_t() : named(Key::Digit8, 279, 376, "8", 14) {}
w_4::cb_7_t::cb_7_t() : named(Key::Digit7, 55, 376, "7", 14) {}
w_4::cb_6_t::cb_6_t() : named(Key::Digit6, 526, 528, "6", 14) {}
w_4::cb_5_t::cb_5_t() : named(Key::Digit5, 279, 528, "5", 14) {}
w_4::cb_4_t::cb_4_t() : named(Key::Digit4, 55, 528, "4", 14) {}
w_4::cb_3_t::cb_3_t() : named(Key::Digit3, 526, 680, "3", 14) {}
w_4::cb_2_t::cb_2_t() : named(Key::Digit2, 279, 680, "2", 14) {}
w_4::cb_1_t::cb_1_t() : named(Key::Digit1, 55, 680, "1", 14) {}

// Frames the display and the keys, with as much room above as below.
w_4::gb_1_t::gb_1_t() {
  x = 23;
  y = 12;
  width = 1239;
  height = 984;
  facename = "Arial";
  textsize = -11;
  textcolor = rt::Color::rgb(0, 0, 255);
}

void w_4::create() {
  cb_26 = insert<cb_26_t>();
  sle_2 = insert<sle_2_t>();
  cb_24 = insert<cb_24_t>();
  cb_23 = insert<cb_23_t>();
  cb_22 = insert<cb_22_t>();
  cb_21 = insert<cb_21_t>();
  cb_20 = insert<cb_20_t>();
  cb_19 = insert<cb_19_t>();
  cb_18 = insert<cb_18_t>();
  cb_17 = insert<cb_17_t>();
  cb_16 = insert<cb_16_t>();
  cb_15 = insert<cb_15_t>();
  cb_14 = insert<cb_14_t>();
  cb_13 = insert<cb_13_t>();
  sle_1 = insert<sle_1_t>();
  cb_12 = insert<cb_12_t>();
  cb_11 = insert<cb_11_t>();
  cb_10 = insert<cb_10_t>();
  cb_9 = insert<cb_9_t>();
  cb_8 = insert<cb_8_t>();
  cb_7 = insert<cb_7_t>();
  cb_6 = insert<cb_6_t>();
  cb_5 = insert<cb_5_t>();
  cb_4 = insert<cb_4_t>();
  cb_3 = insert<cb_3_t>();
  cb_2 = insert<cb_2_t>();
  cb_1 = insert<cb_1_t>();
  gb_1 = insert<gb_1_t>();
}

// ---- events

// A new window shows the display "0"; the class's state carries on as it was.
void w_4::open() {
  showDisplay();
  cb_18->setFocus();
}

// The keyboard clicks the keys, except while the display has the focus: there the keys
// are the user's typing. Nothing moves the focus, so cb_18 stays the "=" key. NumLock is
// not read: with it off the keypad sends navigation keys, never the keypad's digit codes.
void w_4::key(int key, unsigned long keyflags) {
  const calculator::KeyboardState keyboard{
      .shift = (keyflags & 1) != 0,
      .numLock = true,
      .displayHasFocus = focusedControl() == sle_1,
  };
  if (const auto pressed = calculator::keyFor(key, keyboard)) button(*pressed).click();
}

// The clock line stays current once the clock has been shown, hidden or not.
void w_4::timer() {
  sle_2->text = calculator::clockLine(now());
  rt::timer(1, *this);
}

void w_4::key_t::clicked() { rt::cast<w_4>(getParent())->press(key); }

void w_4::cb_24_t::clicked() {
  auto w = rt::cast<w_4>(getParent());
  calculator::clockKey(w->display);
  w->showDisplay();
  if (w->display.clockView) {
    w->sle_2->text = calculator::clockLine(now());
    rt::timer(1, *w);
  }
}

void w_4::cb_26_t::clicked() { rt::close(getParent()); }

void w_4::sle_1_t::editchanged() {
  auto w = rt::cast<w_4>(getParent());
  calculator::edit(text, state, w->display);
}

// ---- helpers

w_4::key_t& w_4::button(Key key) {
  switch (key) {
    case Key::Digit1: return *cb_1;
    case Key::Digit2: return *cb_2;
    case Key::Digit3: return *cb_3;
    case Key::Digit4: return *cb_4;
    case Key::Digit5: return *cb_5;
    case Key::Digit6: return *cb_6;
    case Key::Digit7: return *cb_7;
    case Key::Digit8: return *cb_8;
    case Key::Digit9: return *cb_9;
    case Key::Zero: return *cb_10;
    case Key::Point: return *cb_12;
    case Key::Sign: return *cb_11;
    case Key::Backspace: return *cb_17;
    case Key::ClearEntry: return *cb_19;
    case Key::ClearAll: return *cb_20;
    case Key::Add: return *cb_13;
    case Key::Subtract: return *cb_14;
    case Key::Multiply: return *cb_15;
    case Key::Divide: return *cb_16;
    case Key::Equals: return *cb_18;
    case Key::Square: return *cb_23;
    case Key::SquareRoot: return *cb_22;
    case Key::Reciprocal: return *cb_21;
  }
  return *cb_18;  // every key is listed above
}

void w_4::press(Key key) {
  calculator::press(key, state, display);
  showDisplay();
}

// Shows the model's display: its text, and which of display and clock line is in view.
void w_4::showDisplay() {
  sle_1->text = display.text;
  cb_24->text = display.clockView ? "关闭" : "时间";
  sle_1->visible = !display.clockView;
  sle_2->visible = display.clockView;
}
