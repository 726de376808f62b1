#include "ui/w_genapp_toolbars.h"

#include "shell/book.h"
#include "ui/uo_toolbarutil.h"

namespace {
const rt::Color kSilver = rt::Color::rgb(192, 192, 192);

// Every text of the window: MS Sans Serif, 8 points.
void place(rt::TextControl& c, const char* text, int x, int y, int width, int height) {
  c.text = text;
  c.x = x;
  c.y = y;
  c.width = width;
  c.height = height;
  c.facename = "MS Sans Serif";
  c.textsize = -8;
  c.weight = 400;
  c.fontcharset = 0;
}

// Radio buttons and check boxes: bold, on the window's silver.
void boldOnSilver(rt::TextControl& c) {
  c.weight = 700;
  c.backcolor = kSilver;
}
}  // namespace

w_genapp_toolbars::w_genapp_toolbars() {
  windowtype = rt::WindowType::Response;
  title = "工具栏设置";
  width = 1317;
  height = 988;
  titlebar = true;
  controlmenu = true;
  center = true;
  backcolor = kSilver;
}

void w_genapp_toolbars::create() {
  rb_floating = insert<rb_floating_t>();
  place(*rb_floating, "浮动(&F)", 485, 284, 293, 72);
  boldOnSilver(*rb_floating);
  rb_bottom = insert<rb_bottom_t>();
  place(*rb_bottom, "底部(&B)", 485, 424, 297, 72);
  boldOnSilver(*rb_bottom);
  rb_right = insert<rb_right_t>();
  place(*rb_right, "右边(&R)", 869, 284, 302, 72);
  boldOnSilver(*rb_right);
  rb_top = insert<rb_top_t>();
  place(*rb_top, "顶部(&T)", 485, 132, 297, 72);
  boldOnSilver(*rb_top);
  rb_left = insert<rb_left_t>();
  place(*rb_left, "左边(&L)", 105, 284, 293, 72);
  boldOnSilver(*rb_left);
  cb_done = insert<cb_done_t>();
  place(*cb_done, "关闭(&X)", 919, 716, 302, 92);
  cb_done->taborder = 30;
  cb_visible = insert<cb_visible_t>();
  place(*cb_visible, "隐藏(&H)", 914, 604, 302, 92);
  cb_visible->taborder = 20;
  cb_visible->default_ = true;
  cbx_showtips = insert<cbx_showtips_t>();
  place(*cbx_showtips, "显示提示(&P)", 69, 708, 439, 72);
  boldOnSilver(*cbx_showtips);
  cbx_showtext = insert<cbx_showtext_t>();
  place(*cbx_showtext, "显示文字(&E)", 73, 600, 457, 72);
  boldOnSilver(*cbx_showtext);
  gb_1 = insert<gb_1_t>();
  place(*gb_1, "工具栏位置", 55, 44, 1157, 492);
  gb_1->backcolor = kSilver;
  gb_1->taborder = 10;
}

void w_genapp_toolbars::open() {
  iw_window = rt::cast<rt::Window>(rt::Application::current().message->powerobjectparm);
  iapp_application = &rt::Application::current();
  const std::optional<int> alignment = iw_window->toolbaralignment();
  if (alignment == 3)
    rb_bottom->checked = true;
  else if (alignment == 0)
    rb_left->checked = true;
  else if (alignment == 2)
    rb_right->checked = true;
  else if (alignment == 1)
    rb_top->checked = true;
  else if (alignment == 4)
    rb_floating->checked = true;
  cb_visible->text = iw_window->toolbarvisible() ? "隐藏(&H)" : "显示(&D)";
  cbx_showtext->checked = iapp_application->toolbartext;
  cbx_showtips->checked = iapp_application->toolbartips;
}

namespace {
w_genapp_toolbars& windowOf(const rt::Control& c) { return static_cast<w_genapp_toolbars&>(c.getParent().get()); }
}  // namespace

// The frame moves its toolbar at once.
template <int Alignment>
void w_genapp_toolbars::alignment_t<Alignment>::clicked() {
  windowOf(*this).iw_window->toolbaralignment = Alignment;
}

template struct w_genapp_toolbars::alignment_t<4>;
template struct w_genapp_toolbars::alignment_t<3>;
template struct w_genapp_toolbars::alignment_t<2>;
template struct w_genapp_toolbars::alignment_t<1>;
template struct w_genapp_toolbars::alignment_t<0>;

// Decided by its own caption, which the open event made agree with the frame.
void w_genapp_toolbars::cb_visible_t::clicked() {
  w_genapp_toolbars& w = windowOf(*this);
  if (text() == "隐藏(&H)") {
    w.iw_window->toolbarvisible = false;
    text = "显示(&D)";
  } else {
    w.iw_window->toolbarvisible = true;
    text = "隐藏(&H)";
  }
}

void w_genapp_toolbars::cbx_showtips_t::clicked() {
  rt::Application* app = windowOf(*this).iapp_application;
  if (!app) throw rt::NullObjectError();
  app->toolbartips = checked;
}

// The application's own text setting stays as it is: the next opening shows that again.
void w_genapp_toolbars::cbx_showtext_t::clicked() { book::current().guo_toolbarutil->of_toolbarshowtext(checked()); }

void w_genapp_toolbars::cb_done_t::clicked() { rt::close(getParent()); }
