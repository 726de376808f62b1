#include "shell/w_main1.h"

#include <cmath>

#include "shell/book.h"
#include "shell/m_main.h"
#include "ui/uo_microbarutil.h"

w_main1::w_main1() {
  windowtype = rt::WindowType::MdiFrame;
  title = "PellumoOrvida（高中） ";
  titlebar = true;
  controlmenu = true;
  minbox = true;
  maxbox = true;
  resizable = true;
  windowstate = rt::WindowState::Maximized;
  width = 4018;
  height = 2692;
  center = true;
  icon = "ty.ico";
  pointer = "Arrow!";
  backcolor = rt::Color::rgb(255, 251, 240);
}

w_main1::dw_main_t::dw_main_t() {
  x = 0;
  y = 220;
  width = 3671;
  height = 2144;
  taborder = 10;
  visible = true;
  backcolor = rt::Color::rgb(255, 251, 240);
}

w_main1::p_2_t::p_2_t() {
  x = 192;
  y = 48;
  width = 549;
  height = 436;
  picturename = "main.BMP";
  visible = false;
  focusrectangle = false;
}

void w_main1::create() {
  changeMenu<m_main>();
  dw_main = insert<dw_main_t>();
  p_2 = insert<p_2_t>();
}

void w_main1::open() {
  book::current().button_flag = true;
  uo_microbarutil lnv;
  lnv.of_initmicrobar(rt::refTo(*this));
}

namespace {
// Half of a difference, taken down to a whole number; a half outside the 16-bit range
// converts to 0.
int half(int difference) {
  const double product = static_cast<double>(difference) * 0.5;
  const double whole = std::floor(product);
  if (whole < -32768 || whole > 32767) return 0;
  return static_cast<int>(whole);
}
}  // namespace

StartPagePlace startPagePlace(int frameWidth, int frameHeight, int pageWidth, int pageHeight) {
  const int x = half(frameWidth - pageWidth);
  const int y = half(frameHeight - pageHeight);
  return {x >= 0 ? x : 0, y >= 220 ? y : 220};
}

void w_main1::resize(unsigned long, int, int) {
  const StartPagePlace at = startPagePlace(width, height, dw_main->width, dw_main->height);
  dw_main->x = at.x;
  dw_main->y = at.y;
}
