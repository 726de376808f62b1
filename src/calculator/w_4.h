#pragma once

#include "calculator/core/model.h"
#include "runtime/controls.h"
#include "runtime/window.h"

// The desk calculator: 25 keys, the display and, in its place, a clock line. What the keys
// compute is the model's; the window shows the model's display and maps the keyboard.
class w_4 : public rt::Window {
 public:
  RT_CLASS(w_4)
  w_4();

  // A key of the calculator: its click presses its calculator key.
  struct key_t : rt::CommandButton {
    key_t(calculator::Key key, int x, int y, const char* caption, int points);
    void clicked() override;
    calculator::Key key;
  };

  struct cb_26_t : rt::named<rt::CommandButton, "cb_26"> {
    cb_26_t();
    void clicked() override;
  };
  struct sle_2_t : rt::named<rt::SingleLineEdit, "sle_2"> {
    sle_2_t();
  };
  struct cb_24_t : rt::named<rt::CommandButton, "cb_24"> {
    cb_24_t();
    void clicked() override;
  };
  struct cb_23_t : rt::named<key_t, "cb_23"> {
    cb_23_t();
  };
  struct cb_22_t : rt::named<key_t, "cb_22"> {
    cb_22_t();
  };
  struct cb_21_t : rt::named<key_t, "cb_21"> {
    cb_21_t();
  };
  struct cb_20_t : rt::named<key_t, "cb_20"> {
    cb_20_t();
  };
  struct cb_19_t : rt::named<key_t, "cb_19"> {
    cb_19_t();
  };
  struct cb_18_t : rt::named<key_t, "cb_18"> {
    cb_18_t();
  };
  struct cb_17_t : rt::named<key_t, "cb_17"> {
    cb_17_t();
  };
  struct cb_16_t : rt::named<key_t, "cb_16"> {
    cb_16_t();
  };
  struct cb_15_t : rt::named<key_t, "cb_15"> {
    cb_15_t();
  };
  struct cb_14_t : rt::named<key_t, "cb_14"> {
    cb_14_t();
  };
  struct cb_13_t : rt::named<key_t, "cb_13"> {
    cb_13_t();
  };
  struct sle_1_t : rt::named<rt::SingleLineEdit, "sle_1"> {
    sle_1_t();
    void editchanged() override;
  };
  struct cb_12_t : rt::named<key_t, "cb_12"> {
    cb_12_t();
  };
  struct cb_11_t : rt::named<key_t, "cb_11"> {
    cb_11_t();
  };
  struct cb_10_t : rt::named<key_t, "cb_10"> {
    cb_10_t();
  };
  struct cb_9_t : rt::named<key_t, "cb_9"> {
    cb_9_t();
  };
  struct cb_8_t : rt::named<key_t, "cb_8"> {
    cb_8_t();
  };
  struct cb_7_t : rt::named<key_t, "cb_7"> {
    cb_7_t();
  };
  struct cb_6_t : rt::named<key_t, "cb_6"> {
    cb_6_t();
  };
  struct cb_5_t : rt::named<key_t, "cb_5"> {
    cb_5_t();
  };
  struct cb_4_t : rt::named<key_t, "cb_4"> {
    cb_4_t();
  };
  struct cb_3_t : rt::named<key_t, "cb_3"> {
    cb_3_t();
  };
  struct cb_2_t : rt::named<key_t, "cb_2"> {
    cb_2_t();
  };
  struct cb_1_t : rt::named<key_t, "cb_1"> {
    cb_1_t();
  };
  struct gb_1_t : rt::named<rt::GroupBox, "gb_1"> {
    gb_1_t();
  };

  rt::Ref<cb_26_t> cb_26;
  rt::Ref<sle_2_t> sle_2;
  rt::Ref<cb_24_t> cb_24;
  rt::Ref<cb_23_t> cb_23;
  rt::Ref<cb_22_t> cb_22;
  rt::Ref<cb_21_t> cb_21;
  rt::Ref<cb_20_t> cb_20;
  rt::Ref<cb_19_t> cb_19;
  rt::Ref<cb_18_t> cb_18;  // the "=" key, always
  rt::Ref<cb_17_t> cb_17;
  rt::Ref<cb_16_t> cb_16;
  rt::Ref<cb_15_t> cb_15;
  rt::Ref<cb_14_t> cb_14;
  rt::Ref<cb_13_t> cb_13;
  rt::Ref<sle_1_t> sle_1;
  rt::Ref<cb_12_t> cb_12;
  rt::Ref<cb_11_t> cb_11;
  rt::Ref<cb_10_t> cb_10;
  rt::Ref<cb_9_t> cb_9;
  rt::Ref<cb_8_t> cb_8;
  rt::Ref<cb_7_t> cb_7;
  rt::Ref<cb_6_t> cb_6;
  rt::Ref<cb_5_t> cb_5;
  rt::Ref<cb_4_t> cb_4;
  rt::Ref<cb_3_t> cb_3;
  rt::Ref<cb_2_t> cb_2;
  rt::Ref<cb_1_t> cb_1;
  rt::Ref<gb_1_t> gb_1;

  // The calculator state (lick, rule, m, nn) belongs to the class: one for the whole run,
  // kept while no window is open. Each window shows a display of its own.
  static inline calculator::State state;
  calculator::Display display;

  void create() override;
  void open() override;
  void key(int key, unsigned long keyflags) override;
  void timer() override;

  // The key button that stands for a calculator key.
  key_t& button(calculator::Key key);

 private:
  void press(calculator::Key key);
  void showDisplay();
};
