#include "shell/w_pwd.h"

#include "shell/book.h"
#include "shell/w_main1.h"
#include "ui/uo_toolbarutil.h"

w_pwd::w_pwd() {
  windowtype = rt::WindowType::Main;
  title = "登录管理系统.....";
  width = 1682;
  height = 612;
  center = true;
  titlebar = true;
  controlmenu = true;
  resizable = true;
  minbox = false;
  maxbox = false;
  icon = "OleGenReg!";
  backcolor = rt::Color::buttonFace();
}

namespace {
// The texts of the window: 宋体, GB2312, on the button face.
void songti(rt::TextControl& t, int points, int weight) {
  t.facename = "宋体";
  t.fontcharset = 134;
  t.textsize = -points;
  t.weight = weight;
  t.backcolor = rt::Color::buttonFace();
}
}  // namespace

w_pwd::st_link_t::st_link_t() {
  text = "www.pellumo.cn";
  url = "http://www.pellumo.cn/";
  x = 590;
  y = 340;
  width = 480;
  height = 64;
  songti(*this, 10, 700);
  underline = true;
  textcolor = rt::Color::link();
  pointer = "HyperLink!";
}

w_pwd::st_3_t::st_3_t() {
  text = "（高中）";
  x = 795;
  y = 132;
  width = 274;
  height = 60;
  songti(*this, 10, 700);
  textcolor = rt::Color::rgb(0, 255, 0);
}

w_pwd::st_2_t::st_2_t() {
  text = "欢迎使用";
  x = 114;
  y = 92;
  width = 517;
  height = 92;
  songti(*this, 16, 700);
  textcolor = rt::Color::rgb(255, 0, 255);
}

w_pwd::st_1_t::st_1_t() {
  text = "Orvida";
  x = 114;
  y = 228;
  width = 960;
  height = 84;
  songti(*this, 12, 700);
  textcolor = rt::Color::rgb(0, 0, 255);
}

w_pwd::uo_4_t::uo_4_t() {
  x = 1143;
  y = 312;
  width = 361;
  height = 100;
  taborder = 30;
  buttontext = "退出(&X)";
  bitmapname = "Exit!";
}

w_pwd::uo_3_t::uo_3_t() {
  x = 1143;
  y = 180;
  width = 361;
  height = 100;
  taborder = 20;
  buttontext = "登录(&L)";
  bitmapname = "Custom079!";
}

w_pwd::gb_1_t::gb_1_t() {
  x = 55;
  y = 20;
  width = 1047;
  height = 392;
  songti(*this, 16, 400);
  textcolor = rt::Color::windowText();
}

void w_pwd::create() {
  st_link = insert<st_link_t>();
  st_3 = insert<st_3_t>();
  st_2 = insert<st_2_t>();
  st_1 = insert<st_1_t>();
  uo_4 = insert<uo_4_t>();
  uo_3 = insert<uo_3_t>();
  gb_1 = insert<gb_1_t>();
}

// 登录: the frame first, then its toolbar restyled by the one toolbar utility of the run.
long w_pwd::uo_3_t::clicked(unsigned long flags, int xpos, int ypos) {
  uo_picture_command_button::clicked(flags, xpos, ypos);
  rt::open<w_main1>();
  auto& app = book::current();
  f_create_toolbarutil(app.guo_toolbarutil);
  if (app.guo_toolbarutil->of_inittoolbar(rt::global<w_main1>(), 24)) {
    app.guo_toolbarutil->of_settoolbarfont("Courier New", -11, "12345");
    app.guo_toolbarutil->of_toolbarshowtext(true);
  }
  rt::close(getParent());
  return 0;
}

long w_pwd::uo_4_t::clicked(unsigned long flags, int xpos, int ypos) {
  uo_picture_command_button::clicked(flags, xpos, ypos);
  rt::close(getParent());
  return 0;
}
