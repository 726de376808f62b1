#include "shell/w_about.h"

w_about::w_about() {
  windowtype = rt::WindowType::Response;
  titlebar = false;
  controlmenu = false;
  resizable = false;
  width = 2181;
  height = 820;
  center = true;
  backcolor = rt::Color::buttonFace();
  icon = "AppIcon!";
}

namespace {
const rt::Color kBlue = rt::Color::rgb(0, 0, 255);
const rt::Color kMagenta = rt::Color::rgb(255, 0, 255);

void place(rt::TextControl& c, const char* text, int x, int y, int width, int height, int points, int weight,
           rt::Color colour) {
  c.text = text;
  c.x = x;
  c.y = y;
  c.width = width;
  c.height = height;
  c.facename = "Arial";
  c.textsize = -points;
  c.weight = weight;
  c.textcolor = colour;
  c.backcolor = rt::Color::buttonFace();
}
}  // namespace

void w_about::create() {
  st_1 = insert<text_t<"st_1">>();
  place(*st_1, "如有技术问题或建议，欢迎与我们联系。联系人：陈立新", 55, 80, 2034, 72, 10, 700, kBlue);
  st_3 = insert<text_t<"st_3">>();
  place(*st_3, "通信地址：杭州市文三路259号 陈立新（收）  邮编：310012", 64, 208, 1902, 72, 10, 400,
        rt::Color::windowText());
  st_5 = insert<text_t<"st_5">>();
  place(*st_5, "手机：139 5718 0426", 64, 332, 1262, 72, 10, 700, kBlue);
  st_4 = insert<text_t<"st_4">>();
  place(*st_4, "电话：0571-8876 2145（工作日 8:30—17:00）", 64, 440, 1262, 72, 10, 700, kBlue);
  st_2 = insert<text_t<"st_2">>();
  place(*st_2, "E-mail：support@pellumo.cn", 64, 556, 1038, 72, 12, 700, rt::Color::link());
  st_10 = insert<text_t<"st_10">>();
  place(*st_10, "软件升级：", 64, 692, 379, 72, 10, 400, kMagenta);
  st_link = insert<st_link_t>();
  place(*st_link, "http://www.pellumo.cn/orvida", 480, 684, 1221, 92, 12, 400, rt::Color::link());
  st_link->url = "http://www.pellumo.cn/orvida";
  st_link->underline = true;
  st_link->pointer = "HyperLink!";
  cb_1 = insert<cb_1_t>();
  cb_1->text = "关闭(&X)";
  cb_1->x = 1792;
  cb_1->y = 680;
  cb_1->width = 302;
  cb_1->height = 80;
  cb_1->facename = "Arial";
  cb_1->textsize = -9;
  cb_1->taborder = 10;
}

void w_about::cb_1_t::clicked() { rt::close(getParent()); }
