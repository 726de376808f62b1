#include "scoring/w_jsq_by.h"

#include <string>

#include "scoring/colour.h"
#include "scoring/fonts.h"
#include "scoring/core/scoring.h"

namespace {
const rt::Color kBlue = rt::Color::rgb(0, 0, 255);
const rt::Color kDarkRed = rt::Color::rgb(128, 0, 0);
const rt::Color kResultBackground = rt::Color::rgb(255, 251, 240);
constexpr int kBold = 700;
constexpr int kNormal = 400;

void label(rt::StaticText& c, const char* text, int x, int y, int width, rt::Color colour) {
  c.text = text;
  c.x = x;
  c.y = y;
  c.width = width;
  c.height = 72;
  arial(c, 12, kBold, rt::kDefaultCharset);
  c.textcolor = colour;
  c.backcolor = rt::Color::buttonFace();
}

w_jsq_by& windowOf(const rt::Control& c) {
  rt::Ref<rt::Window> w = c.getParent();
  return static_cast<w_jsq_by&>(w.get());
}
}  // namespace

w_jsq_by::w_jsq_by() {
  windowtype = rt::WindowType::Response;
  title = "毕业成绩计算";
  titlebar = true;
  // The window stores nothing, so closing it from its title bar loses nothing.
  controlmenu = true;
  minbox = false;
  maxbox = false;
  resizable = false;
  width = 1353;
  height = 1212;
  center = true;
  icon = "AppIcon!";
  backcolor = rt::Color::buttonFace();
}

w_jsq_by::year_score_t::year_score_t(int y_, int taborder_) {
  x = 859;
  y = y_;
  mask = "###,###.0";
  arial(*this, 14, kBold, rt::kDefaultCharset);
  taborder = taborder_;
}

void w_jsq_by::year_score_t::modified() {
  my_maskedit::modified();
  windowOf(*this).by();
}

w_jsq_by::em_by_cj_t::em_by_cj_t() {
  x = 859;
  y = 636;
  mask = "###,###.0";
  arial(*this, 14, kBold, rt::kDefaultCharset);
  backcolor = kResultBackground;
  taborder = 0;
}

w_jsq_by::cb_1_t::cb_1_t() {
  text = "关闭(&X)";
  x = 859;
  y = 960;
  width = 320;
  height = 88;
  arial(*this, 9, kNormal, rt::kDefaultCharset);
  taborder = 60;
}

void w_jsq_by::cb_1_t::clicked() { rt::close(windowOf(*this)); }

w_jsq_by::sle_by_dj_t::sle_by_dj_t() {
  x = 859;
  y = 776;
  width = 407;
  height = 116;
  border = true;
  arial(*this, 12, kNormal, rt::kDefaultCharset);
  textcolor = rt::Color::windowText();
  backcolor = kResultBackground;
  taborder = 0;
}

void w_jsq_by::create() {
  em_by_cj = insert<em_by_cj_t>();
  em_c3 = insert<em_c3_t>(444, 30);
  em_c2 = insert<em_c2_t>(244, 20);
  em_c1 = insert<em_c1_t>(40, 10);
  cb_1 = insert<cb_1_t>();
  sle_by_dj = insert<sle_by_dj_t>();
  st_5 = insert<st_5_t>();
  label(*st_5, "等级", 370, 800, 192, kBlue);
  st_4 = insert<st_4_t>();
  label(*st_4, "高中毕业成绩", 69, 652, 503, kBlue);
  st_3 = insert<st_3_t>();
  label(*st_3, "高三学年成绩（50%）", 64, 456, 795, kDarkRed);
  st_2 = insert<st_2_t>();
  label(*st_2, "高二学年成绩（25%）", 64, 252, 795, kDarkRed);
  st_1 = insert<st_1_t>();
  label(*st_1, "高一学年成绩（25%）", 64, 56, 795, kDarkRed);
}

long w_jsq_by::by() {
  // Exact: 25 % + 25 % + 50 % in float lost a point at some whole results.
  const std::int32_t cj_by = scoring::exactGraduationScore(em_c1->text(), em_c2->text(), em_c3->text());
  em_by_cj->text = std::to_string(cj_by);
  showLevel(*sle_by_dj, scoring::levelOf(cj_by));
  return 0;
}
