#include "ui/uo_toolbarutil.h"

#include "runtime/handles.h"
#include "runtime/toolbar.h"

using rt::ToolbarSetting;

// ---- the entries: missing in the base class

long uo_toolbarutil::rt_toolbarsetfont(long, const std::string&, long, long, const std::string&) {
  throw rt::RuntimeError("Function rt_toolbarsetfont not found on uo_toolbarutil");
}
void uo_toolbarutil::rt_toolbarshowtext(long, bool) {
  throw rt::RuntimeError("Function rt_toolbarshowtext not found on uo_toolbarutil");
}
void uo_toolbarutil::rtdrawedge3d(long, rect&, int, int) {
  throw rt::RuntimeError("Function rtdrawedge3d not found on uo_toolbarutil");
}

template <int Version>
uo_toolbarutil_v<Version>::uo_toolbarutil_v() {
  is_toolclassname = "RTFIXEDBAR" + std::to_string(Version * 10);
}

template <int Version>
long uo_toolbarutil_v<Version>::rt_toolbarsetfont(long unknown, const std::string& fontname, long fontsize,
                                                  long unknown1, const std::string& str) {
  return rt::toolbarEntries(Version)->setFont(unknown, fontname, fontsize, unknown1, str);
}

template <int Version>
void uo_toolbarutil_v<Version>::rt_toolbarshowtext(long ptoolbar, bool bshow) {
  rt::toolbarEntries(Version)->showText(ptoolbar, bshow);
}

template <int Version>
void uo_toolbarutil_v<Version>::rtdrawedge3d(long hdc, rect& rc, int i1, int i2) {
  rt::EdgeRect r{rc.left, rc.top, rc.right, rc.bottom};
  rt::toolbarEntries(Version)->drawEdge3D(hdc, r, i1, i2);
  rc = {r.left, r.top, r.right, r.bottom};
}

template class uo_toolbarutil_v<6>;
template class uo_toolbarutil_v<7>;
template class uo_toolbarutil_v<8>;

// ---- the functions

void uo_toolbarutil::of_settoolbarfont(const std::string& as_fontname, int ai_fontsize, const std::string& as_extent) {
  if (il_ptoolbar < 1) return;
  rt_toolbarsetfont(il_ptoolbar, as_fontname, ai_fontsize, il_hbitmap, as_extent);
}

bool uo_toolbarutil::of_inittoolbar(const rt::Ref<rt::Window>& aw_frame, std::optional<int> ai_size) {
  if (!aw_frame) return false;
  il_hframe = rt::handleOf(*aw_frame);
  const long toolbar = rt::findChildWindow(il_hframe, 0, is_toolclassname);
  if (toolbar < 1) return false;
  il_ptoolbar = rt::windowLong(toolbar, 0);
  il_hwndtoolbar = toolbar;
  if (!ai_size || *ai_size <= 16) return true;
  const long dc = rt::getDC(il_hwndtoolbar);
  il_hbitmap = rt::createCompatibleBitmap(dc, *ai_size, *ai_size);
  rt::releaseDC(il_hwndtoolbar, dc);
  ii_iconsize = *ai_size;
  return true;
}

void uo_toolbarutil::of_toolbarshowtext(std::optional<bool> ib_show) {
  if (il_ptoolbar >= 1) rt_toolbarshowtext(il_ptoolbar, ib_show.value_or(false));
  if (ib_show == true)
    of_displayseperator();
  else if (ii_iconsize > 16)
    of_adjusttoolbariconsize();
}

void uo_toolbarutil::of_adjusttoolbariconsize() {
  const int s = ii_iconsize;
  if (s <= 16 || il_ptoolbar < 1) return;
  // Every size is one unsigned byte: a size above 244 would wrap round, so none is written.
  if (s > 244) return;
  const ToolbarSetting order[] = {ToolbarSetting::IconWidth,    ToolbarSetting::IconHeight,
                                  ToolbarSetting::ButtonWidth,  ToolbarSetting::ButtonWidthAgain,
                                  ToolbarSetting::ButtonHeight, ToolbarSetting::ButtonHeightAgain,
                                  ToolbarSetting::BarHeight,    ToolbarSetting::SideWidth};
  const long values[] = {s, s, s + 7, s + 7, s + 6, s + 6, s + 11, s + 10};
  for (std::size_t i = 0; i < std::size(order); ++i) rt::writeToolbar(il_ptoolbar, order[i], values[i]);

  const long frameDc = rt::getDC(il_hframe);
  rect rc{0, 0, s + 7, s + 6};
  const long memoryDc = rt::createCompatibleDC(frameDc);
  const long plain = rt::createCompatibleBitmap(frameDc, s + 7, s + 6);
  rt::writeToolbar(il_ptoolbar, ToolbarSetting::PlainFace, plain);
  const long before = rt::selectObject(memoryDc, plain);
  rtdrawedge3d(memoryDc, rc, 4, 2048);
  const long sunken = rt::createCompatibleBitmap(frameDc, s + 7, s + 6);
  rt::writeToolbar(il_ptoolbar, ToolbarSetting::SunkenFace, sunken);
  rt::selectObject(memoryDc, sunken);
  rtdrawedge3d(memoryDc, rc, 2, 2063);
  rt::selectObject(memoryDc, before);
  rt::deleteDC(memoryDc);
  rt::releaseDC(il_hframe, frameDc);
}

void uo_toolbarutil::of_displayseperator() {
  if (il_ptoolbar < 1) return;
  rt::writeToolbar(il_ptoolbar, ToolbarSetting::Separator, 4);
  rt::writeToolbar(il_ptoolbar, ToolbarSetting::SeparatorAgain, 4);
}

// ---- the factory

bool f_create_toolbarutil(rt::Ref<uo_toolbarutil>& auo_toolbarutil) {
  rt::Environment env;
  if (rt::getEnvironment(env) != 1) return false;
  if (auo_toolbarutil) return false;
  switch (env.majorVersion) {
    case 6: auo_toolbarutil = rt::create<uo_toolbarutil6>(); break;
    case 8: auo_toolbarutil = rt::create<uo_toolbarutil8>(); break;
    case 7: auo_toolbarutil = rt::create<uo_toolbarutil7>(); break;
    default: break;
  }
  return true;
}
