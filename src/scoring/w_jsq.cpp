#include "scoring/w_jsq.h"

#include <algorithm>
#include <limits>

#include "runtime/application.h"
#include "runtime/event.h"
#include "runtime/msgbox.h"
#include "runtime/transaction.h"
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

// Every font of the window is Arial, western character set.
void arial(rt::TextControl& c, int points, int weight = 400) {
  c.facename = "Arial";
  c.fontcharset = 0;
  c.textsize = -points;
  c.weight = weight;
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
  width = 3008;
  height = profile.height;
  center = true;
  icon = "AppIcon!";
}

// ---- controls

w_jsq::input_c::input_c(int y) {
  x = 475;
  this->y = y;
  width = 251;
  height = 80;
}

w_jsq::item_input_c::item_input_c(int y, Item item) : input_c(y), item(item) {}

w_jsq::em_s1_c::em_s1_c() : input_c(92) {}
w_jsq::em_s2_c::em_s2_c() : input_c(192) {}
w_jsq::em_t_c::em_t_c() : item_input_c(292, Item::StepTest) {}
w_jsq::em_1_c::em_1_c() : item_input_c(392, Item::Run1000) {}
w_jsq::em_8_c::em_8_c() : item_input_c(492, Item::Run800) {}
w_jsq::em_f_c::em_f_c() : input_c(592) {}
w_jsq::em_5_c::em_5_c() : item_input_c(692, Item::Run50) {}
w_jsq::em_l_c::em_l_c() : item_input_c(792, Item::LongJump) {}
w_jsq::em_z_c::em_z_c() : item_input_c(892, Item::SitAndReach) {}
w_jsq::em_y_c::em_y_c() : item_input_c(992, Item::SitUps) {}
w_jsq::em_w_c::em_w_c() : item_input_c(1092, Item::GripIndex) {}

w_jsq::item_label_c::item_label_c(const char* caption, int x, int y, int width) {
  text = caption;
  this->x = x;
  this->y = y;
  this->width = width;
  height = 56;
  arial(*this, 8);
  textcolor = kDarkBlue;
  backcolor = kWindowBackground;
}

w_jsq::st_s1_c::st_s1_c() : item_label_c("身高", 82, 104, 343) {}
w_jsq::st_s2_c::st_s2_c() : item_label_c("体重", 87, 204, 343) {}
w_jsq::st_t_c::st_t_c() : item_label_c("台阶试验", 82, 304, 343) {}
w_jsq::st_1_c::st_1_c() : item_label_c("1000米跑（男）", 82, 404, 393) {}
w_jsq::st_8_c::st_8_c() : item_label_c("800米跑（女）", 82, 504, 366) {}
w_jsq::st_f_c::st_f_c() : item_label_c("肺活量", 82, 604, 343) {}
w_jsq::st_5_c::st_5_c() : item_label_c("50米跑", 82, 704, 343) {}
w_jsq::st_l_c::st_l_c() : item_label_c("立定跳远", 82, 804, 343) {}
w_jsq::st_z_c::st_z_c() : item_label_c("坐位体前屈", 82, 904, 343) {}
w_jsq::st_y_c::st_y_c() : item_label_c("仰卧起坐（女）", 82, 1004, 393) {}
w_jsq::st_w_c::st_w_c() : item_label_c("握力体重指数", 82, 1104, 343) {}

w_jsq::unit_label_c::unit_label_c(const char* caption, int y) {
  text = caption;
  x = 741;
  this->y = y;
  width = 343;
  height = 56;
  arial(*this, 8);
  textcolor = kDarkRed;
  backcolor = kWindowBackground;
}

w_jsq::st_13_c::st_13_c() : unit_label_c("厘米", 96) {
  width = 247;
  height = 60;
}
w_jsq::st_14_c::st_14_c() : unit_label_c("公斤", 200) {}
w_jsq::st_11_c::st_11_c() : unit_label_c("分.秒", 400) {}
w_jsq::st_88_c::st_88_c() : unit_label_c("分.秒", 500) {}
w_jsq::st_55_c::st_55_c() : unit_label_c("秒", 700) {}
w_jsq::st_ll_c::st_ll_c() : unit_label_c("厘米", 800) {}
w_jsq::st_zz_c::st_zz_c() : unit_label_c("厘米", 900) {}
w_jsq::st_yy_c::st_yy_c() : unit_label_c("（次/1分钟）", 1000) {}

w_jsq::st_111_c::st_111_c() {
  text = "成绩（分）";
  x = 1070;
  y = 104;
  width = 283;
  height = 76;
  arial(*this, 9);
  textcolor = rt::Color::windowText();
  backcolor = kWindowBackground;
}

w_jsq::score_c::score_c(int y) {
  x = 1093;
  this->y = y;
  width = 210;
  height = 80;
  mask = "###,###.0";
}

w_jsq::em_s_t_c::em_s_t_c() : score_c(184) {}
w_jsq::em_t_t_c::em_t_t_c() : score_c(284) {}
w_jsq::em_1_t_c::em_1_t_c() : score_c(384) {}
w_jsq::em_8_t_c::em_8_t_c() : score_c(484) {}
w_jsq::em_f_t_c::em_f_t_c() : score_c(584) {}
w_jsq::em_5_t_c::em_5_t_c() : score_c(684) {}
w_jsq::em_l_t_c::em_l_t_c() : score_c(784) {}
w_jsq::em_z_t_c::em_z_t_c() : score_c(884) {}
w_jsq::em_y_t_c::em_y_t_c() : score_c(984) {}
w_jsq::em_w_t_c::em_w_t_c() : score_c(1084) {}

w_jsq::em_xn_t_c::em_xn_t_c() {
  x = 1819;
  y = 92;
  width = 439;
  height = 172;
  mask = "###,###.0";
  text = "";
  arial(*this, 26, kBold);
  textcolor = kDarkRed;
}

w_jsq::sle_dj_c::sle_dj_c() {
  x = 2263;
  y = 92;
  width = 635;
  height = 172;
  text = "";
  border = true;
  arial(*this, 26, kBold);
  textcolor = rt::Color::windowText();
  backcolor = kFieldBackground;
}

w_jsq::rb_sex_man_c::rb_sex_man_c() {
  text = "男";
  x = 1531;
  y = 100;
  width = 174;
  height = 72;
  arial(*this, 14, kBold);
  textcolor = kDarkBlue;
  backcolor = kWindowBackground;
  checked = true;
}

w_jsq::rb_sex_woman_c::rb_sex_woman_c() {
  text = "女";
  x = 1531;
  y = 184;
  width = 174;
  height = 72;
  arial(*this, 14, kBold);
  textcolor = rt::Color::rgb(128, 0, 128);
  backcolor = kWindowBackground;
}

w_jsq::box_c::box_c(const char* caption, int x, int y, int width) {
  text = caption;
  this->x = x;
  this->y = y;
  this->width = width;
  height = 76;
  arial(*this, 9);
  textcolor = rt::Color::windowText();
  backcolor = kWindowBackground;
}

// The digits in parentheses are full-width.
w_jsq::cbx_1_c::cbx_1_c() : box_c("1、出勤率达到98%，并认真锻炼。（加５分）", 1545, 564, 1202) {}
w_jsq::cbx_2_c::cbx_2_c() : box_c("2、获等级运动员称号。（加５分）", 1545, 644, 928) {}
w_jsq::cbx_3_c::cbx_3_c() : box_c("3、比赛获名次。（加５分）", 1545, 720, 928) {}
w_jsq::cbx_4_c::cbx_4_c() : box_c("4、学生体育干部工作认真负责。（加５分）", 1545, 796, 1143) {}
w_jsq::cbx_59_c::cbx_59_c() : box_c("无故缺勤超1/10或病、事假超1/3。（最高为５９分）", 1541, 980, 1353) {}

w_jsq::frame_c::frame_c(const char* caption, int x, int y, int width, int height) {
  text = caption;
  this->x = x;
  this->y = y;
  this->width = width;
  this->height = height;
  arial(*this, 8);
  textcolor = kFrameBlue;
  backcolor = kWindowBackground;
}

w_jsq::gb_4_c::gb_4_c() : frame_c("项目成绩", 37, 28, 1431, 1176) {}
w_jsq::gb_sex_c::gb_sex_c() : frame_c("性别", 1499, 28, 297, 264) {}
w_jsq::gb_6_c::gb_6_c() : frame_c("", 1792, 28, 1138, 264) {}  // the grade's caption
w_jsq::gb_3_c::gb_3_c() : frame_c("加分", 1499, 504, 1435, 392) {
  arial(*this, 9, kBold);
  textcolor = rt::Color::rgb(255, 0, 255);
}
w_jsq::gb_5_c::gb_5_c() : frame_c("降分", 1495, 912, 1445, 164) {
  arial(*this, 9, kBold);
  textcolor = rt::Color::rgb(255, 0, 0);
}

w_jsq::cb_2_c::cb_2_c() {
  text = "项目设置";
  x = 2149;
  y = 1100;
  width = 297;
  height = 100;
  arial(*this, 9);
}

w_jsq::cb_1_c::cb_1_c() {
  text = "关闭";
  x = 2592;
  y = 1096;
  width = 343;
  height = 100;
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
  em_t = insert<em_t_c>();
  em_1 = insert<em_1_c>();
  em_8 = insert<em_8_c>();
  em_f = insert<em_f_c>();
  em_5 = insert<em_5_c>();
  em_l = insert<em_l_c>();
  em_z = insert<em_z_c>();
  em_y = insert<em_y_c>();
  em_w = insert<em_w_c>();
  st_s1 = insert<st_s1_c>();
  st_s2 = insert<st_s2_c>();
  st_t = insert<st_t_c>();
  st_1 = insert<st_1_c>();
  st_8 = insert<st_8_c>();
  st_f = insert<st_f_c>();
  st_5 = insert<st_5_c>();
  st_l = insert<st_l_c>();
  st_z = insert<st_z_c>();
  st_y = insert<st_y_c>();
  st_w = insert<st_w_c>();
  st_13 = insert<st_13_c>();
  st_14 = insert<st_14_c>();
  st_11 = insert<st_11_c>();
  st_88 = insert<st_88_c>();
  st_55 = insert<st_55_c>();
  st_ll = insert<st_ll_c>();
  st_zz = insert<st_zz_c>();
  st_yy = insert<st_yy_c>();
  st_111 = insert<st_111_c>();
  em_s_t = insert<em_s_t_c>();
  em_t_t = insert<em_t_t_c>();
  em_1_t = insert<em_1_t_c>();
  em_8_t = insert<em_8_t_c>();
  em_f_t = insert<em_f_t_c>();
  em_5_t = insert<em_5_t_c>();
  em_l_t = insert<em_l_t_c>();
  em_z_t = insert<em_z_t_c>();
  em_y_t = insert<em_y_t_c>();
  em_w_t = insert<em_w_t_c>();
  em_xn_t = insert<em_xn_t_c>();
  sle_dj = insert<sle_dj_c>();
  rb_sex_man = insert<rb_sex_man_c>();
  rb_sex_woman = insert<rb_sex_woman_c>();
  cbx_1 = insert<cbx_1_c>();
  cbx_2 = insert<cbx_2_c>();
  cbx_3 = insert<cbx_3_c>();
  cbx_4 = insert<cbx_4_c>();
  cbx_59 = insert<cbx_59_c>();
  gb_4 = insert<gb_4_c>();
  gb_sex = insert<gb_sex_c>();
  gb_6 = insert<gb_6_c>();
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
    if (row_number < 0) {
      rt::messagebox("错误", rt::sqlca()->sqlerrtext);
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
  auto column = [&](const char* name) { return dw_4->getitemstring(row, name); };
  xm_t_m = column("xm_t_m");
  xm_1_m = column("xm_1_m");
  xm_5_m = column("xm_5_m");
  xm_l_m = column("xm_l_m");
  xm_z_m = column("xm_z_m");
  xm_w_m = column("xm_w_m");
  xm_t_w = column("xm_t_w");
  xm_8_w = column("xm_8_w");
  xm_5_w = column("xm_5_w");
  xm_l_w = column("xm_l_w");
  xm_z_w = column("xm_z_w");
  xm_y_w = column("xm_y_w");
  xm_w_w = column("xm_w_w");
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

w_jsq::ItemControls w_jsq::itemControls(Item item) const {
  switch (item) {
    case Item::StepTest: return {&*st_t, nullptr, &*em_t, &*em_t_t};
    case Item::Run1000: return {&*st_1, &*st_11, &*em_1, &*em_1_t};
    case Item::Run800: return {&*st_8, &*st_88, &*em_8, &*em_8_t};
    case Item::Run50: return {&*st_5, &*st_55, &*em_5, &*em_5_t};
    case Item::LongJump: return {&*st_l, &*st_ll, &*em_l, &*em_l_t};
    case Item::SitAndReach: return {&*st_z, &*st_zz, &*em_z, &*em_z_t};
    case Item::GripIndex: return {&*st_w, nullptr, &*em_w, &*em_w_t};
    case Item::SitUps: return {&*st_y, &*st_yy, &*em_y, &*em_y_t};
    case Item::VitalCapacity: return {&*st_f, nullptr, &*em_f, &*em_f_t};
  }
  throw rt::RuntimeError("no such item");
}

void w_jsq::setAvailable(Item item, bool available) {
  const ItemControls row = itemControls(item);
  row.label->enabled = available;
  if (row.unit) row.unit->enabled = available;
  row.input->enabled = available;
  row.score->enabled = available;
}

// Only a flag that is exactly "0" takes an item away; null, blank or anything else keeps it.
void w_jsq::disableIfUnchosen(Item item, const Flag& flag) {
  if (flag && *flag == "0") setAvailable(item, false);
}

void w_jsq::checked() {
  for (Item item : kOptionalItems) setAvailable(item, true);
  if (sex() == Sex::Boys) {
    disableIfUnchosen(Item::StepTest, xm_t_m);
    disableIfUnchosen(Item::Run1000, xm_1_m);
    disableIfUnchosen(Item::Run50, xm_5_m);
    disableIfUnchosen(Item::LongJump, xm_l_m);
    disableIfUnchosen(Item::SitAndReach, xm_z_m);
    disableIfUnchosen(Item::GripIndex, xm_w_m);
    setAvailable(Item::SitUps, false);
    setAvailable(Item::Run800, false);
  } else {
    disableIfUnchosen(Item::StepTest, xm_t_w);
    disableIfUnchosen(Item::Run800, xm_8_w);
    disableIfUnchosen(Item::Run50, xm_5_w);
    disableIfUnchosen(Item::LongJump, xm_l_w);
    disableIfUnchosen(Item::SitAndReach, xm_z_w);
    disableIfUnchosen(Item::SitUps, xm_y_w);
    disableIfUnchosen(Item::GripIndex, xm_w_w);
    setAvailable(Item::Run1000, false);
  }
}

// ---- year total, bonus points, attendance cap and level

int w_jsq::xn() {
  using scoring::toReal;
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
  if (total.colour) sle_dj->textcolor = rt::Color::rgb(total.colour->red, total.colour->green, total.colour->blue);
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
  int score_s = 0;
  h = scoring::toReal(em_s1->text());
  w = scoring::toReal(em_s2->text());
  // A height or weight of 0 or less scores 0 without reading the tables.
  if (const auto adjusted = scoring::adjustHeight(h, w, sex())) {
    h = adjusted->height;
    w = adjusted->weight;
    score_s = heightBandScore();
  }
  em_s_t->text = std::to_string(score_s);
  xn();
  return 0;
}

// The bounds count only when the height has exactly one row: no row and several rows score
// 0 quietly, an error of the database scores 0 and is shown.
int w_jsq::heightBandScore() {
  rt::Transaction& t = *rt::sqlca();
  const double bound = h;
  const int rc = t.selectInto(sex() == Sex::Boys ? kBoysRow : kGirlsRow, {bound, bound}, {&z1, &z2, &z3, &z4});
  if (rc == 0) {
    constexpr float kNull = std::numeric_limits<float>::quiet_NaN();  // passes no test
    return scoring::weightBandScore(w, z1.value_or(kNull), z2.value_or(kNull), z3.value_or(kNull), z4.value_or(kNull));
  }
  if (rc < 0 && t.sqlstate != kSeveralRows && firstInSequence(databaseErrorShown_))
    rt::messagebox("错误", t.sqlerrtext);
  return 0;
}

// ---- item score ladders

void w_jsq::item_input_c::losefocus() {
  my_maskedit::losefocus();
  w_jsq& calc = calculator(*this);
  calc.scoreItem(item);
  calc.xn();
}

void w_jsq::em_f_c::losefocus() {
  my_maskedit::losefocus();
  w_jsq& calc = calculator(*this);
  if (calc.scoreVitalCapacity()) calc.xn();
}

void w_jsq::scoreItem(Item item) {
  const ItemControls row = itemControls(item);
  const float v = scoring::toReal(row.input->text());
  row.score->text = std::to_string(scoring::itemScore(profile.ladders, item, sex(), v));
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
    if (itemControls(item).input->enabled()) scoreItem(item);
  xn();
}

bool w_jsq::firstInSequence(bool& shown) {
  if (sequence_ == 0) return true;
  if (shown) return false;
  shown = true;
  return true;
}
