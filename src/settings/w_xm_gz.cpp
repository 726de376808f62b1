#include "settings/w_xm_gz.h"

#include "runtime/application.h"
#include "runtime/msgbox.h"
#include "runtime/transaction.h"
#include "settings/xmsz.h"

w_xm_gz::w_xm_gz(const w_xm_gz_profile& profile) : profile_(profile) {
  windowtype = rt::WindowType::Response;
  title = profile.title;
  titlebar = true;
  controlmenu = false;
  minbox = false;
  maxbox = false;
  resizable = false;
  center = true;
  width = 1897;
  height = profile.height;
  icon = "AppIcon!";
  backcolor = rt::Color::buttonFace();
}

namespace {
const rt::Color kBlue = rt::Color::rgb(0, 0, 255);
// The items that exist for one sex only.
const rt::Color kMagenta = rt::Color::rgb(255, 0, 255);

void place(rt::Control& c, int x, int y, int width, int height, int taborder) {
  c.x = x;
  c.y = y;
  c.width = width;
  c.height = height;
  c.taborder = taborder;
}

void radio(rt::RadioButton& rb, const char* text, int x, int y, int width, int height, rt::Color colour = kBlue) {
  place(rb, x, y, width, height, 0);
  rb.text = text;
  rb.facename = "Arial";
  rb.textsize = -9;
  rb.weight = 400;
  rb.textcolor = colour;
  rb.backcolor = rt::Color::buttonFace();
}

// The two fixed items of each half: always selected, never clicked.
void fixed(rt::RadioButton& rb, const char* text, int x, int y, int width, int height) {
  radio(rb, text, x, y, width, height);
  rb.checked = true;
  rb.enabled = false;
}

void sexBox(rt::GroupBox& gb, const char* text, int x, int y, int width, int height, int taborder) {
  place(gb, x, y, width, height, taborder);
  gb.text = text;
  gb.facename = "Arial";
  gb.textsize = -12;
  gb.weight = 700;
  gb.textcolor = kBlue;
  gb.backcolor = rt::Color::buttonFace();
}

void groupBox(rt::GroupBox& gb, int x, int y, int width, int height, int taborder) {
  place(gb, x, y, width, height, taborder);
  gb.backcolor = rt::Color::buttonFace();
}

// Position, width, tab order, caption and picture; the height is the button's own.
void button(uo_picture_command_button& cb, int x, int y, int taborder, const char* text, const char* bitmap) {
  cb.x = x;
  cb.y = y;
  cb.width = 360;
  cb.taborder = taborder;
  cb.buttontext = text;
  cb.bitmapname = bitmap;
}
}  // namespace

// ---- create: the 28 controls in creation order

void w_xm_gz::create() {
  cb_2 = insert<cb_2_t>();
  button(*cb_2, profile_.cb_2_x, profile_.cb_2_y, profile_.cb_2_taborder, "关闭(&X)", profile_.cb_2_bitmapname);
  cb_1 = insert<cb_1_t>();
  button(*cb_1, profile_.cb_1_x, profile_.cb_1_y, 60, "保存（&S)", "Save!");
  cb_1->enabled = false;
  rb_w_w = insert<item_t<"rb_w_w">>();
  radio(*rb_w_w, "握力体重指数（20分）", 1019, 968, 626, 92);
  rb_z_w = insert<item_t<"rb_z_w">>();
  radio(*rb_z_w, "坐位体前屈（20分）", 1019, 780, 571, 92);
  rb_l_w = insert<item_t<"rb_l_w">>();
  radio(*rb_l_w, "立定跳远（30分）", 1019, 652, 517, 84);
  rb_5_w = insert<item_t<"rb_5_w">>();
  radio(*rb_5_w, "50米跑（30分）", 1019, 560, 471, 92);
  gb_6 = insert<box_t<"gb_6">>();
  groupBox(*gb_6, 983, 272, 791, 264, 40);
  rb_2 = insert<fixed_t<"rb_2">>();
  fixed(*rb_2, "肺活量体重指数（15分）", 1019, 212, 681, 76);
  rb_1 = insert<fixed_t<"rb_1">>();
  fixed(*rb_1, "身高标准体重（15分）", 1019, 140, 626, 76);
  dw_1 = insert<dw_1_t>();
  place(*dw_1, 608, 436, 686, 400, 20);
  dw_1->visible = false;
  dw_1->dataobject = "d_xmsz";
  rb_9 = insert<fixed_t<"rb_9">>();
  fixed(*rb_9, "肺活量体重指数（15分）", 128, 212, 681, 76);
  rb_8 = insert<fixed_t<"rb_8">>();
  fixed(*rb_8, "身高标准体重（15分）", 128, 140, 626, 76);
  rb_w_m = insert<item_t<"rb_w_m">>();
  radio(*rb_w_m, "握力体重指数（20分）", 128, 972, 626, 92);
  rb_y_w = insert<item_t<"rb_y_w">>();
  radio(*rb_y_w, "仰卧起坐（女）（20分）", 1019, 876, 681, 92, kMagenta);
  rb_z_m = insert<item_t<"rb_z_m">>();
  radio(*rb_z_m, "坐位体前屈（20分）", 128, 796, 571, 92);
  rb_l_m = insert<item_t<"rb_l_m">>();
  radio(*rb_l_m, "立定跳远（30分）", 128, 648, 517, 84);
  rb_5_m = insert<item_t<"rb_5_m">>();
  radio(*rb_5_m, "50米跑（30分）", 128, 556, 471, 92);
  rb_1_m = insert<item_t<"rb_1_m">>();
  radio(*rb_1_m, "1000米跑（男）（20分）", 128, 424, 699, 92, kMagenta);
  rb_t_m = insert<item_t<"rb_t_m">>();
  radio(*rb_t_m, "台阶试验（20分）", 128, 336, 517, 92);
  gb_1 = insert<box_t<"gb_1">>();
  groupBox(*gb_1, 96, 268, 782, 264, 10);
  gb_2 = insert<box_t<"gb_2">>();
  groupBox(*gb_2, 96, 496, 782, 268, 20);
  gb_3 = insert<box_t<"gb_3">>();
  groupBox(*gb_3, 96, 728, 782, 360, 30);
  gb_4 = insert<box_t<"gb_4">>();
  sexBox(*gb_4, "男", 41, 44, 901, 1088, 10);
  // Created after their box, so raised above it.
  rb_t_w = insert<item_t<"rb_t_w">>();
  radio(*rb_t_w, "台阶试验（20分）", 1019, 336, 517, 92);
  rb_t_w->bringToTop();
  rb_8_w = insert<item_t<"rb_8_w">>();
  radio(*rb_8_w, "800米跑（女）（20分）", 1019, 424, 677, 92, kMagenta);
  rb_8_w->bringToTop();
  gb_7 = insert<box_t<"gb_7">>();
  groupBox(*gb_7, 983, 500, 791, 264, 60);
  gb_8 = insert<box_t<"gb_8">>();
  groupBox(*gb_8, 983, 728, 791, 364, 40);
  gb_5 = insert<box_t<"gb_5">>();
  sexBox(*gb_5, "女", 937, 44, 891, 1088, 20);
}

// Each column has the button of its own suffix: xm_t_m is chosen by rb_t_m.
std::vector<std::pair<rt::RadioButton*, const char*>> w_xm_gz::items() const {
  std::vector<std::pair<rt::RadioButton*, const char*>> out;
  for (const ItemColumn& column : kItemColumns) {
    const std::string button = "rb" + std::string(column.name + 2);
    for (const auto& c : controls())
      if (c->className() == button) out.emplace_back(static_cast<rt::RadioButton*>(c.get()), column.name);
  }
  return out;
}

void w_xm_gz::setSaveEnabled(bool enabled) {
  cb_1->command_button->enabled = enabled;
  cb_1->enabled = enabled;
}

// ---- open: load the grade's row, or prepare a new one

void w_xm_gz::open() {
  for (auto [button, column] : items()) button->checked = false;
  dw_1->settransobject(*rt::sqlca());
  const long n = dw_1->retrieve(profile_.grade);
  if (n > 0) {
    // Only an exact "1" selects: null, blanks or anything else leave the item cleared.
    for (auto [button, column] : items())
      if (dw_1->getitemstring(1, column) == "1") button->checked = true;
    return;  // Save waits for the first click
  }
  // No row, or the retrieve failed: a new row, written by the first save.
  if (dw_1->insertrow(0) == -1) {
    rt::messagebox("注意", "新建设置不能执行！");
    setSaveEnabled(false);
    return;
  }
  setSaveEnabled(true);
}

void w_xm_gz::optional_item_t::clicked() { rt::cast<w_xm_gz>(getParent())->setSaveEnabled(true); }

// ---- Save: all thirteen flags and the grade code, written and committed

long w_xm_gz::cb_1_t::clicked(unsigned long flags, int xpos, int ypos) {
  uo_picture_command_button::clicked(flags, xpos, ypos);
  w_xm_gz& w = *rt::cast<w_xm_gz>(getParent());
  // Whatever stops the Save before its commit (a runtime error too) rolls the write back.
  rt::TransactionScope scope(*rt::sqlca());
  const long r = w.dw_1->getrow();
  for (auto [button, column] : w.items()) w.dw_1->setitem(r, column, button->checked ? "1" : "0");
  w.dw_1->setitem(r, "nj", w.profile_.grade);
  w.dw_1->accepttext();
  // Without a row (its insert failed at open) there is nothing to store: no success.
  const int u = r > 0 ? w.dw_1->update() : -1;
  // The write counts only once its commit has succeeded; until then the DataView keeps it
  // pending, so the next Save makes the same write again.
  if (u == 1 && scope.commit() == 0) {
    w.dw_1->resetupdate();
    w.setSaveEnabled(false);
    return 0;
  }
  rt::messagebox("注意", "保存失败！", rt::Icon::Exclamation);
  scope.rollback();
  return 0;
}

// ---- Close: without asking and without writing

long w_xm_gz::cb_2_t::clicked(unsigned long flags, int xpos, int ypos) {
  uo_picture_command_button::clicked(flags, xpos, ypos);
  rt::close(getParent());
  return 0;
}
