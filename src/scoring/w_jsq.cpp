#include "scoring/w_jsq.h"

#include <algorithm>
#include <limits>

#include "runtime/application.h"
#include "runtime/event.h"
#include "runtime/msgbox.h"
#include "runtime/transaction.h"
#include "scoring/colour.h"
#include "scoring/fonts.h"
#include "scoring/core/scoring.h"

using scoring::Item;
using scoring::Sex;

namespace {

const rt::Color kWindowBackground = rt::Color::buttonFace();  // the window's own background
const rt::Color kFieldBackground = rt::Color::rgb(166, 202, 240);
const rt::Color kDarkBlue = rt::Color::rgb(0, 0, 128);
const rt::Color kDarkRed = rt::Color::rgb(128, 0, 0);
const rt::Color kFrameBlue = rt::Color::rgb(0, 0, 255);
constexpr int kBold = 700;

void place(rt::Control& c, int x, int y, int width, int height) {
  c.x = x;
  c.y = y;
  c.width = width;
  c.height = height;
}

w_jsq& calculator(const rt::Control& c) { return static_cast<w_jsq&>(*c.getParent()); }

// The optional items, in the order availability switches them on.
constexpr Item kOptionalItems[] = {Item::StepTest, Item::Run1000,     Item::Run800,    Item::Run50,
                                   Item::LongJump, Item::SitAndReach, Item::GripIndex, Item::SitUps};

// The one row of a height: the adjusted height bounds both ends of the condition.
constexpr const char* kBoysRow = "SELECT z1, z2, z3, z4 FROM gz123_m WHERE s <= ? AND s > (? - 1)";
constexpr const char* kGirlsRow = "SELECT z1, z2, z3, z4 FROM gz123_w WHERE s <= ? AND s > (? - 1)";
// What the transaction reports for a single-row select that finds several rows.
constexpr const char* kSeveralRows = "21000";

}  // namespace

w_jsq::w_jsq(const GradeProfile& profile) : profile(profile) {
  windowtype = rt::WindowType::Response;
  title = std::string(profile.title);
  titlebar = true;
  controlmenu = false;
  minbox = false;
  maxbox = false;
  resizable = false;
  width = profile.width;
  height = profile.height;
  center = true;
  icon = "AppIcon!";
  flags.fill(std::string());
}

// ---- controls

w_jsq::input_c::input_c(int y) { place(*this, 475, y, 251, 80); }

w_jsq::item_input_c::item_input_c(const ItemRow& row) : input_c(row.y), item(row.item) {}

w_jsq::em_s1_c::em_s1_c() : named(92) {}
w_jsq::em_s2_c::em_s2_c() : named(192) {}

w_jsq::item_label_c::item_label_c(const char* caption, int x, int y, int width) {
  text = caption;
  place(*this, x, y, width, 56);
  arial(*this, 8);
  textcolor = kDarkBlue;
  backcolor = kWindowBackground;
}

w_jsq::item_label_c::item_label_c(const ItemRow& row) : item_label_c(row.caption, 82, row.y + 12, row.labelWidth) {}

w_jsq::unit_label_c::unit_label_c(const char* caption, int y) {
  text = caption;
  place(*this, 741, y, 343, 56);
  arial(*this, 8);
  textcolor = kDarkRed;
  backcolor = kWindowBackground;
}

w_jsq::unit_label_c::unit_label_c(const ItemRow& row) : unit_label_c(row.unitCaption, row.y + 8) {}

w_jsq::st_13_c::st_13_c() : named("厘米", 96) {
  width = 247;
  height = 60;
}

w_jsq::st_111_c::st_111_c() {
  text = "成绩（分）";
  place(*this, 1070, 104, 283, 76);
  arial(*this, 9);
  textcolor = rt::Color::windowText();
  backcolor = kWindowBackground;
}

w_jsq::score_c::score_c(int y) {
  place(*this, 1093, y, 210, 80);
  mask = "###,###.0";
}

w_jsq::score_c::score_c(const ItemRow& row) : score_c(row.y - 8) {}

namespace {

// An item row's control `name`, inserted from its row under the class name "name".
template <rt::class_name_text Name, class Kind>
constexpr w_jsq::Slot<Kind> slot(rt::Ref<Kind> w_jsq::*variable) {
  return {variable, [](w_jsq& window, const w_jsq::ItemRow& row) -> rt::Ref<Kind> {
            return window.insert<rt::named<Kind, Name>>(row);
          }};
}
#define SLOT(name) slot<#name>(&w_jsq::name)

// Item; label, its caption and width; unit label and its caption; input; score field; the input's y.
const w_jsq::ItemRow kItemRows[] = {
    {Item::StepTest, SLOT(st_t), "台阶试验", 343, {}, nullptr, SLOT(em_t), SLOT(em_t_t), 292},
    {Item::Run1000, SLOT(st_1), "1000米跑（男）", 393, SLOT(st_11), "分.秒", SLOT(em_1), SLOT(em_1_t), 392},
    {Item::Run800, SLOT(st_8), "800米跑（女）", 366, SLOT(st_88), "分.秒", SLOT(em_8), SLOT(em_8_t), 492},
    {Item::VitalCapacity, SLOT(st_f), "肺活量", 343, {}, nullptr, SLOT(em_f), SLOT(em_f_t), 592},
    {Item::Run50, SLOT(st_5), "50米跑", 343, SLOT(st_55), "秒", SLOT(em_5), SLOT(em_5_t), 692},
    {Item::LongJump, SLOT(st_l), "立定跳远", 343, SLOT(st_ll), "厘米", SLOT(em_l), SLOT(em_l_t), 792},
    {Item::SitAndReach, SLOT(st_z), "坐位体前屈", 343, SLOT(st_zz), "厘米", SLOT(em_z), SLOT(em_z_t), 892},
    {Item::SitUps, SLOT(st_y), "仰卧起坐（女）", 393, SLOT(st_yy), "（次/1分钟）", SLOT(em_y), SLOT(em_y_t), 992},
    {Item::GripIndex, SLOT(st_w), "握力体重指数", 343, {}, nullptr, SLOT(em_w), SLOT(em_w_t), 1092},
};
#undef SLOT

}  // namespace

std::span<const w_jsq::ItemRow> w_jsq::itemRows() { return kItemRows; }

const w_jsq::ItemRow& w_jsq::itemRow(Item item) {
  for (const ItemRow& row : kItemRows)
    if (row.item == item) return row;
  throw rt::RuntimeError("no such item");
}

w_jsq::total_c::total_c(int y) {
  place(*this, 1819, y, 439, 172);
  mask = "###,###.0";
  text = "";
  arial(*this, 26, kBold);
  textcolor = kDarkRed;
}

w_jsq::level_c::level_c(int y) {
  place(*this, 2263, y, 635, 172);
  text = "";
  border = true;
  arial(*this, 26, kBold);
  textcolor = rt::Color::windowText();
  backcolor = kFieldBackground;
}

w_jsq::sex_button_c::sex_button_c(const char* caption, int y, rt::Color colour) {
  text = caption;
  place(*this, 1531, y, 174, 72);
  arial(*this, 14, kBold);
  textcolor = colour;
  backcolor = kWindowBackground;
}

w_jsq::rb_sex_man_c::rb_sex_man_c() : named("男", 100, kDarkBlue) { checked = true; }
w_jsq::rb_sex_woman_c::rb_sex_woman_c() : named("女", 184, rt::Color::rgb(128, 0, 128)) {}

w_jsq::box_c::box_c(const char* caption, int x, int y, int width) {
  text = caption;
  place(*this, x, y, width, 76);
  arial(*this, 9);
  textcolor = rt::Color::windowText();
  backcolor = kWindowBackground;
}

w_jsq::frame_c::frame_c(const char* caption, int x, int y, int width, int height) {
  text = caption;
  place(*this, x, y, width, height);
  arial(*this, 8);
  textcolor = kFrameBlue;
  backcolor = kWindowBackground;
}

w_jsq::gb_3_c::gb_3_c() : named("加分", 1499, 504, 1435, 392) {
  arial(*this, 9, kBold);
  textcolor = rt::Color::rgb(255, 0, 255);
}
w_jsq::gb_5_c::gb_5_c() : named("降分", 1495, 912, 1445, 164) {
  arial(*this, 9, kBold);
  textcolor = rt::Color::rgb(255, 0, 0);
}

w_jsq::cb_2_c::cb_2_c() {
  text = "项目设置";
  place(*this, 2149, 1100, 297, 100);
  arial(*this, 9);
}

w_jsq::cb_1_c::cb_1_c() {
  text = "关闭";
  place(*this, 2592, 1096, 343, 100);
  arial(*this, 8);
}

w_jsq::dw_4_c::dw_4_c() {
  dataobject = "d_xmsz";
  visible = false;
}

void w_jsq::create() {
  insertControls();
  gb_6->text = std::string(profile.yearTotalCaption);
  layout();
  tabOrder();
}

void w_jsq::insertControls() {
  em_s1 = insert<em_s1_c>();
  em_s2 = insert<em_s2_c>();
  insertColumn(&ItemRow::input);
  st_s1 = insert<rt::named<item_label_c, "st_s1">>("身高", 82, 104, 343);
  st_s2 = insert<rt::named<item_label_c, "st_s2">>("体重", 87, 204, 343);
  insertColumn(&ItemRow::label);
  st_13 = insert<st_13_c>();
  st_14 = insert<rt::named<unit_label_c, "st_14">>("公斤", 200);
  insertColumn(&ItemRow::unit);
  st_111 = insert<st_111_c>();
  em_s_t = insert<rt::named<score_c, "em_s_t">>(184);
  insertColumn(&ItemRow::score);
  em_xn_t = insert<em_xn_t_c>(92);
  sle_dj = insert<sle_dj_c>(92);
  rb_sex_man = insert<rb_sex_man_c>();
  rb_sex_woman = insert<rb_sex_woman_c>();
  // The digits in parentheses are full-width.
  cbx_1 = insert<rt::named<box_c, "cbx_1">>("1、出勤率达到98%，并认真锻炼。（加５分）", 1545, 564, 1202);
  cbx_2 = insert<rt::named<box_c, "cbx_2">>("2、获等级运动员称号。（加５分）", 1545, 644, 928);
  cbx_3 = insert<rt::named<box_c, "cbx_3">>("3、比赛获名次。（加５分）", 1545, 720, 928);
  cbx_4 = insert<rt::named<box_c, "cbx_4">>("4、学生体育干部工作认真负责。（加５分）", 1545, 796, 1143);
  cbx_59 = insert<rt::named<box_c, "cbx_59">>("无故缺勤超1/10或病、事假超1/3。（最高为５９分）", 1541, 980, 1353);
  gb_4 = insert<rt::named<frame_c, "gb_4">>("项目成绩", 37, 28, 1431, 1176);
  gb_sex = insert<rt::named<frame_c, "gb_sex">>("性别", 1499, 28, 297, 264);
  gb_6 = insert<rt::named<frame_c, "gb_6">>("", 1792, 28, 1138, 264);  // the grade's caption
  gb_3 = insert<gb_3_c>();
  gb_5 = insert<gb_5_c>();
  cb_2 = insert<cb_2_c>();
  cb_1 = insert<cb_1_c>();
  dw_4 = insert<dw_4_c>();
}

void w_jsq::layout() {
  const auto& unshifted = profile.rows.unshifted;
  for (const auto& c : controls()) {
    if (c.get() == cb_2.raw() || c.get() == dw_4.raw()) continue;
    if (std::find(unshifted.begin(), unshifted.end(), c->className()) != unshifted.end()) continue;
    c->y = c->y() + profile.rows.shift;
  }
  cb_2->x = profile.cb_2.x;
  cb_2->y = profile.cb_2.y;
}

// Equal values are visited in creation order: em_w comes before cb_2, so Enter walks the
// inputs down to em_w and then goes on to the button.
void w_jsq::tabOrder() {
  em_s1->taborder = 2;
  em_s2->taborder = 3;
  em_t->taborder = 4;
  em_1->taborder = 5;
  em_8->taborder = 6;
  em_f->taborder = 7;
  em_5->taborder = 8;
  em_l->taborder = 9;
  em_z->taborder = 10;
  em_y->taborder = 11;
  em_w->taborder = 12;
  cb_2->taborder = 12;
  em_s_t->taborder = 13;
  cbx_1->taborder = 13;
  em_t_t->taborder = 14;
  cbx_2->taborder = 14;
  em_1_t->taborder = 15;
  cbx_3->taborder = 15;
  em_8_t->taborder = 16;
  em_f_t->taborder = 16;
  cbx_4->taborder = 16;
  em_5_t->taborder = 17;
  cbx_59->taborder = 17;
  em_l_t->taborder = 19;
  em_z_t->taborder = 20;
  em_y_t->taborder = 21;
  em_w_t->taborder = 22;
  em_xn_t->taborder = 27;
  sle_dj->taborder = 27;
  cb_1->taborder = 27;
}

// ---- loading the grade's item settings

void w_jsq::open() {
  dw_4->settransobject(*rt::sqlca());
  long row_number = dw_4->retrieve(std::string(profile.gradeCode));
  // While the row is missing the user is sent to the settings window. A database that
  // keeps failing, or one that refuses every save, must not hold the user for ever: a
  // failed retrieve after the settings window, or a row still missing after the last
  // round, closes the calculator.
  for (int round = 1; row_number < 1; ++round) {
    if (round > kSettingsRounds) {
      rt::close(*this);
      return;
    }
    rt::messagebox("注意", std::string(profile.missingSettings));
    rt::open(std::string(profile.settingsWindow));
    row_number = dw_4->retrieve(std::string(profile.gradeCode));
    // The data layer has told the user why.
    if (row_number < 0) {
      rt::close(*this);
      return;
    }
  }
  readFlags(dw_4->getrow());
  checked();
  em_s1->text = "";
  em_s2->text = "";
  em_z->text = "";
  em_5->text = "";
  em_l->text = "";
  em_t->text = "";
  em_1->text = "";
  em_8->text = "";
  em_f->text = "";
  em_y->text = "";
  em_w->text = "";
}

void w_jsq::readFlags(long row) {
  for (std::size_t i = 0; i < kItemColumns.size(); ++i) flags[i] = dw_4->getitemstring(row, kItemColumns[i].name);
}

// Reads the row once and applies it; scores and the total stay as they are shown.
void w_jsq::cb_2_c::clicked() {
  rt::Ref<w_jsq> self = rt::refTo(calculator(*this));
  rt::open(std::string(self->profile.settingsWindow));
  self->dw_4->settransobject(*rt::sqlca());
  const long row_number = self->dw_4->retrieve(std::string(self->profile.gradeCode));
  if (row_number < 1) {
    rt::messagebox("注意", std::string(self->profile.missingSettings));
    return;
  }
  self->readFlags(self->dw_4->getrow());
  self->checked();
}

void w_jsq::cb_1_c::clicked() { rt::close(getParent()); }

// ---- item availability

Sex w_jsq::sex() const { return rb_sex_man->checked() ? Sex::Boys : Sex::Girls; }

void w_jsq::setAvailable(Item item, bool available) {
  const ItemRow& row = itemRow(item);
  (this->*row.label.variable)->enabled = available;
  if (row.unit.variable) (this->*row.unit.variable)->enabled = available;
  (this->*row.input.variable)->enabled = available;
  (this->*row.score.variable)->enabled = available;
}

// Only a flag that is exactly "0" takes an item away; null, blank or anything else keeps it.
void w_jsq::disableIfUnchosen(Item item, const Flag& flag) {
  if (flag && *flag == "0") setAvailable(item, false);
}

void w_jsq::checked() {
  for (Item item : kOptionalItems) setAvailable(item, true);
  const Sex selected = sex();
  for (Item item : kOptionalItems) {
    const auto column = std::find_if(kItemColumns.begin(), kItemColumns.end(),
                                     [&](const ItemColumn& c) { return c.item == item && c.sex == selected; });
    if (column == kItemColumns.end())
      setAvailable(item, false);
    else
      disableIfUnchosen(item, flags[column - kItemColumns.begin()]);
  }
}

// ---- year total, bonus points, attendance cap and level

int w_jsq::xn() {
  using scoring::toReal;
  if (lookupFailed_) {
    em_xn_t->text = "";
    showLevel(*sle_dj, {});
    afterYearTotal(std::nullopt);
    return 0;
  }
  scoring::YearTotalInput in;
  in.em_s_t = toReal(em_s_t->text());
  in.em_f_t = toReal(em_f_t->text());
  const my_maskedit* counted[] = {&*em_t_t, &*em_1_t, &*em_8_t, &*em_5_t, &*em_l_t, &*em_z_t, &*em_y_t, &*em_w_t};
  for (std::size_t i = 0; i < in.optional.size(); ++i) {
    in.enabled[i] = counted[i]->enabled();
    if (in.enabled[i]) in.optional[i] = toReal(counted[i]->text());
  }
  in.bonus = {cbx_1->checked(), cbx_2->checked(), cbx_3->checked(), cbx_4->checked()};
  in.cap59 = cbx_59->checked();

  const scoring::YearTotal total = scoring::yearTotal(in);
  if (total.colour) sle_dj->textcolor = colourOf(*total.colour);
  em_xn_t->text = std::to_string(total.total);
  sle_dj->text = std::string(total.level);
  afterYearTotal(total.total);
  return 0;
}

void w_jsq::box_c::clicked() { calculator(*this).xn(); }

// ---- height-standard-weight score

void w_jsq::em_s1_c::getfocus() {
  my_maskedit::getfocus();
  selectText(1, static_cast<int>(text().size()));
}

void w_jsq::em_s1_c::losefocus() {
  my_maskedit::losefocus();
  calculator(*this).sg();
}

// Leaving the weight also scores the vital capacity, which is divided by it.
void w_jsq::em_s2_c::losefocus() {
  my_maskedit::losefocus();
  w_jsq& calc = calculator(*this);
  calc.sg();
  rt::dispatchEvent(*calc.em_f, "losefocus", [&] { calc.em_f->losefocus(); });
}

int w_jsq::sg() {
  std::optional<int> score_s = 0;
  h = scoring::toReal(em_s1->text());
  w = scoring::toReal(em_s2->text());
  // A height or weight of 0 or less scores 0 without reading the tables.
  if (const auto adjusted = scoring::adjustHeight(h, w, sex())) {
    h = adjusted->height;
    w = adjusted->weight;
    score_s = heightBandScore();
  }
  lookupFailed_ = !score_s;
  em_s_t->text = score_s ? std::to_string(*score_s) : "";
  xn();
  return 0;
}

// The bounds count only when the height has exactly one row: no row and several rows score
// 0 quietly (that is the table's content); an error of the database is shown, and leaves
// the score unknown.
std::optional<int> w_jsq::heightBandScore() {
  rt::Transaction& t = *rt::sqlca();
  const double bound = h;
  // Run on every height or weight left: prepared once per connection.
  const int rc =
      t.selectInto(sex() == Sex::Boys ? kBoysRow : kGirlsRow, {bound, bound}, {&z1, &z2, &z3, &z4}, rt::Reuse::Kept);
  if (rc == 0) {
    constexpr float kNull = std::numeric_limits<float>::quiet_NaN();  // passes no test
    return scoring::weightBandScore(w, z1.value_or(kNull), z2.value_or(kNull), z3.value_or(kNull), z4.value_or(kNull));
  }
  if (rc == 100 || t.sqlstate == kSeveralRows) return 0;
  if (firstInSequence(databaseErrorShown_)) rt::messagebox("错误", t.sqlerrtext);
  return std::nullopt;
}

// ---- item score ladders

void w_jsq::item_input_c::losefocus() {
  my_maskedit::losefocus();
  w_jsq& calc = calculator(*this);
  if (calc.scoreItem(item)) calc.xn();
}

bool w_jsq::scoreItem(Item item) {
  if (item == Item::VitalCapacity) return scoreVitalCapacity();
  const ItemRow& row = itemRow(item);
  const float v = scoring::toReal((this->*row.input.variable)->text());
  (this->*row.score.variable)->text = std::to_string(scoring::itemScore(profile.ladders, item, sex(), v));
  return true;
}

bool w_jsq::scoreVitalCapacity() {
  const float capacity = scoring::toReal(em_f->text());
  const float weight = scoring::toReal(em_s2->text());
  const auto score = scoring::vitalCapacityScore(profile.ladders, sex(), capacity, weight);
  if (score.needsWeight) {
    if (firstInSequence(weightAsked_))
      rt::messagebox(std::string(profile.vitalCapacity.caption), std::string(profile.vitalCapacity.text));
    return false;
  }
  em_f_t->text = std::to_string(score.points);
  return true;
}

// ---- sex change

void w_jsq::sex_button_c::clicked() { calculator(*this).sexChanged(); }

// The focus walks the inputs, so each one left is scored under the new sex. The walk alone
// leaves scores of the other sex behind: em_w (the focus stays there), an item enabled only
// for the new sex (disabled while the walk passes it) and vital capacity when the walk stops
// at the weight. Those are scored once the new sex's items are applied, where the focus is.
void w_jsq::sexChanged() {
  if (sequence_++ == 0) weightAsked_ = databaseErrorShown_ = false;
  struct End {
    int& depth;
    ~End() { --depth; }
  } end{sequence_};

  em_s1->setFocus();
  em_s2->setFocus();
  em_t->setFocus();
  em_1->setFocus();
  em_8->setFocus();
  em_5->setFocus();
  em_l->setFocus();
  em_z->setFocus();
  em_y->setFocus();
  em_w->setFocus();
  checked();
  scoreVitalCapacity();
  for (Item item : kOptionalItems)
    if ((this->*itemRow(item).input.variable)->enabled()) scoreItem(item);
  xn();
}

bool w_jsq::firstInSequence(bool& shown) {
  if (sequence_ == 0) return true;
  if (shown) return false;
  shown = true;
  return true;
}
