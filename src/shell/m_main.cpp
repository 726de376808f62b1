#include "shell/m_main.h"

#include "runtime/window.h"
#include "shell/book.h"
#include "shell/w_about.h"
#include "shell/w_main1.h"
#include "shell/w_pwd.h"

namespace {
void toolbarItem(rt::MenuItem& item, const char* picture, const char* text, int order, int space) {
  item.toolbaritemname = picture;
  item.toolbaritemtext = text;
  item.toolbaritemorder = order;
  item.toolbaritemspace = space;
}
}  // namespace

void m_main::create() {
  m_file = insert<m_file_t>();
  m_项目设置 = insert<m_项目设置_t>();
  m_成绩计算 = insert<m_成绩计算_t>();
  m_工具 = insert<m_工具_t>();
  m_导航 = insert<m_导航_t>();
  m_帮助 = insert<m_帮助_t>();
  m_0 = insert<m_0_t>();
}

// ---- 系统管理(&S)

void m_main::m_file_t::create() {
  m_工具栏设置b = insert<m_工具栏设置b_t>();
  m__34 = insert<m_separator_t>();
  m_重新登录 = insert<m_重新登录_t>();
  m__2 = insert<m_separator_t>();
  m_退出系统 = insert<m_退出系统_t>();
}

m_main::m_工具栏设置b_t::m_工具栏设置b_t() {
  text = "工具栏设置(&B)";
  microhelp = "工具栏设置(&B)";
}

// The toolbar settings window works on the frame it is given.
void m_main::m_工具栏设置b_t::clicked() {
  rt::setMessageParm(rt::global<w_main1>());
  rt::open("w_genapp_toolbars");
}

m_main::m_重新登录_t::m_重新登录_t() {
  text = "重新登录\tAlt+I";
  shortcut = 585;
  microhelp = "重新登录[Alt+I]";
  toolbarItem(*this, "RunSCC!", "重新登录", 8, 2);
}

// Sign out: the entry window first, so the run goes on, then the frame closes.
void m_main::m_重新登录_t::clicked() {
  rt::open<w_pwd>();
  rt::close(parentWindow());
}

m_main::m_退出系统_t::m_退出系统_t() {
  text = "退出系统\tAlt+X";
  shortcut = 600;
  microhelp = "退出系统[Alt+X]";
  toolbarItem(*this, "Exit!", "退出系统", 9, 2);
}

void m_main::m_退出系统_t::clicked() { rt::close(parentWindow()); }

// ---- 项目设置

void m_main::m_项目设置_t::create() { m_初中0 = insert<m_初中0_t>(); }

void m_main::m_初中0_t::create() {
  m_高一 = insert<m_高一_t>();
  m_高二 = insert<m_高二_t>();
  m_高三 = insert<m_高三_t>();
}

m_main::m_高一_t::m_高一_t() {
  text = "高一项目";
  microhelp = "高一项目设置";
  toolbarItem(*this, "FullBuild!", "高一项目", 1, 0);
}
void m_main::m_高一_t::clicked() { rt::open("w_xm_gz1"); }

m_main::m_高二_t::m_高二_t() {
  text = "高二项目";
  microhelp = "高二项目设置";
  toolbarItem(*this, "FullBuild!", "高二项目", 3, 2);
}
void m_main::m_高二_t::clicked() { rt::open("w_xm_gz2"); }

m_main::m_高三_t::m_高三_t() {
  text = "高三项目";
  microhelp = "高三项目设置";
  toolbarItem(*this, "FullBuild!", "高三项目", 5, 2);
}
void m_main::m_高三_t::clicked() { rt::open("w_xm_gz3"); }

// ---- 成绩计算

void m_main::m_成绩计算_t::create() { m_高中 = insert<m_高中_t>(); }

void m_main::m_高中_t::create() {
  m_1 = insert<m_1_t>();
  m_2 = insert<m_2_t>();
  m_3 = insert<m_3_t>();
  m__8 = insert<m_separator_t>();
  m_毕业成绩 = insert<m_毕业成绩_t>();
}

m_main::m_1_t::m_1_t() {
  text = "高一成绩计算";
  microhelp = "高一成绩计算";
  toolbarItem(*this, "Properties!", "高一成绩", 2, 0);
}
void m_main::m_1_t::clicked() { rt::open("w_jsq_gz1"); }

m_main::m_2_t::m_2_t() {
  text = "高二成绩计算";
  microhelp = "高二成绩计算";
  toolbarItem(*this, "Properties!", "高二成绩", 4, 0);
}
void m_main::m_2_t::clicked() { rt::open("w_jsq_gz2"); }

m_main::m_3_t::m_3_t() {
  text = "高三成绩计算";
  microhelp = "高三成绩计算";
  toolbarItem(*this, "Properties!", "高三成绩", 6, 0);
}
void m_main::m_3_t::clicked() { rt::open("w_jsq_gz3"); }

m_main::m_毕业成绩_t::m_毕业成绩_t() {
  text = "毕业成绩计算";
  microhelp = "高中毕业成绩";
  toolbarItem(*this, "EditObject!", "毕业成绩", 7, 2);
}
void m_main::m_毕业成绩_t::clicked() { rt::open("w_jsq_by"); }

// ---- 工具

void m_main::m_工具_t::create() { m_计算器 = insert<m_计算器_t>(); }

m_main::m_计算器_t::m_计算器_t() {
  text = "计算器";
  microhelp = "计算器";
}
void m_main::m_计算器_t::clicked() { rt::open("w_4"); }

// ---- 导航: the start page or the frame picture in its place

void m_main::m_导航_t::clicked() {
  book& app = book::current();
  rt::Ref<w_main1> frame = rt::global<w_main1>();
  if (!app.button_flag) {
    frame->dw_main->visible = true;
    frame->p_2->visible = false;
    app.button_flag = true;
  } else {
    frame->dw_main->visible = false;
    frame->p_2->x = 0;
    frame->p_2->y = 210;
    frame->p_2->width = frame->width;
    frame->p_2->height = frame->height - 515;
    frame->p_2->visible = true;
    app.button_flag = false;
  }
}

// ---- 帮助

void m_main::m_帮助_t::create() { m_关于 = insert<m_关于_t>(); }

void m_main::m_关于_t::clicked() { rt::open<w_about>(); }
