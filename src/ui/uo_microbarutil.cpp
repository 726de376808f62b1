#include "ui/uo_microbarutil.h"

#include "runtime/handles.h"
#include "runtime/toolbar.h"
#include "ui/logfont.h"

void uo_microbarutil::of_initmicrobar(const rt::Ref<rt::Window>& aw_frame) {
  if (aw_frame->windowtype != rt::WindowType::MdiFrame || !rt::hasStatusBar(*aw_frame)) return;
  logfont lf;
  lf.lfheight = -16;
  lf.lffacename = "宋体";
  lf.lfcharset = 134;
  rt::LogFont font;
  font.height = lf.lfheight;
  font.width = lf.lfwidth;
  font.escapement = lf.lfescapement;
  font.orientation = lf.lforientation;
  font.weight = lf.lfweight;
  font.italic = lf.lfitalic;
  font.underline = lf.lfunderline;
  font.strikeout = lf.lfstrikeout;
  font.charset = lf.lfcharset;
  font.outprecision = lf.lfoutprecision;
  font.clipprecision = lf.lfclipprecision;
  font.quality = lf.lfquality;
  font.pitchandfamily = lf.lfpitchandfamily;
  font.facename = lf.lffacename;
  const long ll_hfont = rt::createFontIndirect(font);
  // The font in use before is released once the new one is in place; one frame, one
  // layout, whatever version the runtime reports.
  const long ll_holdfont = rt::statusBarFont(*aw_frame);
  rt::setStatusBarFont(*aw_frame, ll_hfont);
  rt::deleteObject(ll_holdfont);
  const int li_microbarheight = 23;
  rt::setStatusBarHeight(*aw_frame, li_microbarheight);
}
