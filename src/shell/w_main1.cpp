#include "shell/w_main1.h"

#include <cmath>

#include "runtime/event.h"
#include "runtime/msgbox.h"
#include "runtime/strings.h"
#include "runtime/system.h"
#include "shell/book.h"
#include "shell/launch_tag.h"
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
  dataobject = "d_start";
  border = false;
  taborder = 10;
  visible = true;
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

// ---- The start page

namespace {

// The page object under the pointer, lower case, without the row after the tab.
std::string pointedName(rt::DataView& page) {
  const std::string at = rt::lower(page.getobjectatpointer());
  return at.substr(0, at.find('\t'));
}

w_main1& frameOf(const rt::Control& control) { return *rt::cast<w_main1>(control.getParent()); }

}  // namespace

// The hover highlight. Borders change only when the highlight does: moving within the
// highlighted picture, or over bare page with nothing highlighted, modifies nothing.
long w_main1::dw_main_t::mousemove(unsigned long, int, int) {
  w_main1& w = frameOf(*this);
  const std::string name = pointedName(*this);
  if (name == w.is_focus_picture) return 0;
  if (!w.is_focus_picture.empty()) {
    modify(w.is_focus_picture + ".Border='0'");
    w.is_focus_picture = "";
  }
  // Texts, the title and bare page are never highlighted, nor pictures without a target
  // (the arrows).
  if (describe(name + ".type") != "bitmap") return 0;
  if (w.of_gettagstring(name, "Run", "").value_or("").empty()) return 0;
  if (modify(name + ".Border='6'").empty()) w.is_focus_picture = name;
  return 0;
}

long w_main1::dw_main_t::clicked(int, int, long, const std::string&) {
  rt::Ref<w_main1> w = rt::refTo(frameOf(*this));
  rt::dispatchEvent(*w, "ue_run", [w] { w->ue_run(); });
  return 0;
}

void w_main1::ue_run() {
  // Only a click on the highlighted picture launches.
  const std::string name = pointedName(*dw_main);
  if (name != is_focus_picture || name.empty()) return;
  dw_main->modify(name + ".Border='5'");
  const std::string run = rt::trim(of_gettagstring(name, "Run", "").value_or(""));
  const std::string opentype = rt::upper(of_gettagstring(name, "OpenType", "Window").value_or(""));
  if (opentype == "EXE") {
    // The program file is the command line's first word. One that is not found as named
    // is looked for in the fallback directory, and the line then starts from there.
    const std::string program = run.substr(0, run.find(' '));
    std::string commandline = run;
    if (!rt::fileExists(program)) {
      const std::string dir = of_getwindowpath();
      if (rt::fileExists(dir + "/" + program)) commandline = dir + "/" + run;
    }
    rt::run(commandline);
  } else if (opentype == "WINDOW") {
    if (!rt::classExists(run)) {
      rt::messagebox(title, "对不起, 您指定起动的窗口不存在, 请与系统管理员联系修改", rt::Icon::StopSign);
      return;
    }
    // Never a sheet of the frame: a window of its own with the frame as its parent.
    rt::Ref<rt::Window> lw_window;
    rt::open(lw_window, run, rt::refTo<rt::Window>(*this));
  }
}

std::optional<std::string> w_main1::of_gettagstring(const std::optional<std::string>& as_column,
                                                    const std::optional<std::string>& as_key,
                                                    const std::optional<std::string>& as_default) {
  if (!as_column || !as_key) return std::nullopt;
  const std::string tag = dw_main->describe(*as_column + ".Tag");
  if (tag == "!" || tag == "?") return as_default;
  return tagValue(tag, *as_key, as_default);
}

std::string w_main1::of_getwindowpath() { return "/usr/bin"; }
