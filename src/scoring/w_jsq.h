#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "runtime/controls.h"
#include "runtime/dataview.h"
#include "runtime/window.h"
#include "scoring/core/ladders.h"
#include "settings/xmsz.h"
#include "ui/my_maskedit.h"

// What a grade's score calculator brings of its own, in the order the grades list them.
// Everything else in a calculator window is the same in every grade.
struct GradeProfile {
  struct Message {
    std::string_view caption;
    std::string_view text;
  };
  struct Point {
    int x, y;
  };
  // The vertical positions of the controls: each lies `shift` units lower (higher when
  // negative) than the design places it, except `cb_2`, which has a position of its own, and
  // the controls named in `unshifted`.
  struct Rows {
    int shift = 0;
    std::span<const std::string_view> unshifted;
  };

  std::string_view gradeCode;  // the settings row's retrieval argument
  std::string_view title;
  int height;
  int width = 3008;
  std::string_view yearTotalCaption;  // gb_6
  std::string_view settingsWindow;    // opened by the open event and by "项目设置"
  std::string_view missingSettings;   // the "注意" message while the settings row is missing
  Message vitalCapacity;              // asks for the weight before vital capacity scores
  scoring::LadderTable ladders;
  Point cb_2;
  Rows rows;
};

// The score calculator all grades share: one student's measurements in, item scores, the
// year total and its level out. Nothing typed is stored; the window reads its grade's
// settings row and the height tables.
//
// A grade derives from it with its profile. Beyond the profile a grade may change the
// creation order (insertControls, for a grade with controls of its own: it inserts them as
// named<> controls among the item rows' columns, each column by insertColumn), the
// positions (layout), the tab stops (tabOrder) and what follows the year total
// (afterYearTotal).
class w_jsq : public rt::Window {
 public:
  explicit w_jsq(const GradeProfile& profile);

  const GradeProfile& profile;

  // ---- controls. The types carry a "_c" suffix: "_t" names the score fields.

  struct ItemRow;

  // A measurement input: x 475, 251 by 80, the field's own font, colours and pattern.
  struct input_c : my_maskedit {
    explicit input_c(int y);
  };
  // An item's input, scored by its item's rule when it loses the focus.
  struct item_input_c : input_c {
    explicit item_input_c(const ItemRow& row);
    void losefocus() override;
    scoring::Item item;
  };
  struct em_s1_c : rt::named<input_c, "em_s1"> {
    em_s1_c();
    void getfocus() override;
    void losefocus() override;
  };
  struct em_s2_c : rt::named<input_c, "em_s2"> {
    em_s2_c();
    void losefocus() override;
  };

  // An item label: Arial 8 pt, dark blue, 56 high.
  struct item_label_c : rt::StaticText {
    item_label_c(const char* caption, int x, int y, int width);
    explicit item_label_c(const ItemRow& row);
  };
  // A unit label: Arial 8 pt, dark red, at x 741.
  struct unit_label_c : rt::StaticText {
    unit_label_c(const char* caption, int y);
    explicit unit_label_c(const ItemRow& row);
  };
  struct st_13_c : rt::named<unit_label_c, "st_13"> {
    st_13_c();
  };
  struct st_111_c : rt::named<rt::StaticText, "st_111"> {
    st_111_c();
  };

  // A score field: an ordinary editable field, "###,###.0", at x 1093, 210 by 80.
  struct score_c : my_maskedit {
    explicit score_c(int y);
    explicit score_c(const ItemRow& row);
  };
  // A total (the year total, grade three's graduation score): 26 pt bold dark red, on the
  // right at `y`; its level beside it on light blue.
  struct total_c : my_maskedit {
    explicit total_c(int y);
  };
  struct level_c : rt::SingleLineEdit {
    explicit level_c(int y);
  };
  using em_xn_t_c = rt::named<total_c, "em_xn_t">;
  using sle_dj_c = rt::named<level_c, "sle_dj">;

  // Both sex buttons run the same sequence.
  struct sex_button_c : rt::RadioButton {
    sex_button_c(const char* caption, int y, rt::Color colour);
    void clicked() override;
  };
  struct rb_sex_man_c : rt::named<sex_button_c, "rb_sex_man"> {
    rb_sex_man_c();
  };
  struct rb_sex_woman_c : rt::named<sex_button_c, "rb_sex_woman"> {
    rb_sex_woman_c();
  };

  // A bonus or deduction box: a click recomputes the total.
  struct box_c : rt::CheckBox {
    box_c(const char* caption, int x, int y, int width);
    void clicked() override;
  };

  struct frame_c : rt::GroupBox {
    frame_c(const char* caption, int x, int y, int width, int height);
  };
  struct gb_3_c : rt::named<frame_c, "gb_3"> {
    gb_3_c();
  };
  struct gb_5_c : rt::named<frame_c, "gb_5"> {
    gb_5_c();
  };

  struct cb_2_c : rt::named<rt::CommandButton, "cb_2"> {
    cb_2_c();
    void clicked() override;
  };
  struct cb_1_c : rt::named<rt::CommandButton, "cb_1"> {
    cb_1_c();
    void clicked() override;
  };
  struct dw_4_c : rt::named<rt::DataView, "dw_4"> {
    dw_4_c();
  };

  // A control of an item's row: the window's variable that holds it and how the row
  // inserts it under its class name.
  template <class Kind>
  struct Slot {
    rt::Ref<Kind> w_jsq::*variable = nullptr;
    rt::Ref<Kind> (*insert)(w_jsq& window, const ItemRow& row) = nullptr;
  };
  // A scoring item's row: everything the window makes and switches for the item. The
  // label, unit and score field sit at fixed offsets from the input's `y`; an item without
  // a unit label has an empty `unit`.
  struct ItemRow {
    scoring::Item item;
    Slot<item_label_c> label;
    const char* caption;
    int labelWidth;
    Slot<unit_label_c> unit;
    const char* unitCaption;
    Slot<item_input_c> input;
    Slot<score_c> score;
    int y;
  };
  // The item rows, top to bottom; each column is created in this order.
  static std::span<const ItemRow> itemRows();

  rt::Ref<em_s1_c> em_s1;
  rt::Ref<em_s2_c> em_s2;
  rt::Ref<item_input_c> em_t, em_1, em_8, em_f, em_5, em_l, em_z, em_y, em_w;
  rt::Ref<item_label_c> st_s1, st_s2;
  rt::Ref<item_label_c> st_t, st_1, st_8, st_f, st_5, st_l, st_z, st_y, st_w;
  rt::Ref<unit_label_c> st_13, st_14;
  rt::Ref<unit_label_c> st_11, st_88, st_55, st_ll, st_zz, st_yy;
  rt::Ref<st_111_c> st_111;
  rt::Ref<score_c> em_s_t;
  rt::Ref<score_c> em_t_t, em_1_t, em_8_t, em_f_t, em_5_t, em_l_t, em_z_t, em_y_t, em_w_t;
  rt::Ref<em_xn_t_c> em_xn_t;
  rt::Ref<sle_dj_c> sle_dj;
  rt::Ref<rb_sex_man_c> rb_sex_man;
  rt::Ref<rb_sex_woman_c> rb_sex_woman;
  rt::Ref<box_c> cbx_1, cbx_2, cbx_3, cbx_4, cbx_59;
  rt::Ref<frame_c> gb_4, gb_sex, gb_6, gb_3, gb_5;
  rt::Ref<cb_2_c> cb_2;
  rt::Ref<cb_1_c> cb_1;
  rt::Ref<dw_4_c> dw_4;

  // ---- instance variables

  // What sg works on: the height and weight, then as adjusted, and the bounds of the last
  // height-table row it read (null where the row holds null).
  float h = 0;
  float w = 0;
  std::optional<float> z1 = 0.0f, z2 = 0.0f, z3 = 0.0f, z4 = 0.0f;

  // The item flags as the settings row holds them: "1" chosen, "0" not, null for null; one
  // per item column (xm_t_m, ...), in the columns' order. Empty until the first read.
  using Flag = std::optional<std::string>;
  std::array<Flag, kItemColumns.size()> flags;

  // ---- events and window functions

  void create() override;
  void open() override;

  int xn();
  void checked();
  int sg();

  // How often the open event sends the user to the settings window before it gives up.
  static constexpr int kSettingsRounds = 3;

 protected:
  virtual void insertControls();
  // Inserts one column of the item rows (`&ItemRow::label`, for example), row by row.
  template <class Kind>
  void insertColumn(Slot<Kind> ItemRow::*column) {
    for (const ItemRow& row : itemRows())
      if (const Slot<Kind>& slot = row.*column; slot.variable) this->*slot.variable = slot.insert(*this, row);
  }
  virtual void layout();
  virtual void tabOrder();
  // Runs at the end of every xn with the year total as shown; none while the height lookup
  // has failed and the total is unknown.
  virtual void afterYearTotal(std::optional<std::int32_t> total) { (void)total; }

 private:
  scoring::Sex sex() const;
  static const ItemRow& itemRow(scoring::Item item);
  void setAvailable(scoring::Item item, bool available);
  void disableIfUnchosen(scoring::Item item, const Flag& flag);
  void readFlags(long row);

  // Item scoring as the handlers run it: writes the score field, totals nothing. False
  // when it stopped at the vital-capacity message and wrote nothing.
  bool scoreItem(scoring::Item item);
  // False when it stopped at the vital-capacity message and wrote nothing.
  bool scoreVitalCapacity();
  // None when the database failed, so the score is unknown.
  std::optional<int> heightBandScore();
  void sexChanged();

  // A change of sex runs many handlers as one sequence; within it, each kind of message
  // shows once at most.
  bool firstInSequence(bool& shown);
  int sequence_ = 0;
  bool weightAsked_ = false;
  bool databaseErrorShown_ = false;
  // The last height lookup failed: until a later one writes a score, em_s_t and the totals
  // show nothing rather than a result computed without the item.
  bool lookupFailed_ = false;
};
