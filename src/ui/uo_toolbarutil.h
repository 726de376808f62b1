#pragma once

#include <optional>
#include <string>

#include "runtime/object.h"
#include "runtime/window.h"
#include "ui/rect.h"

// Restyles the toolbar the runtime draws in an MDI frame: finds the frame's toolbar window
// by its class name and changes the toolbar through the runtime's toolbar entries and
// settings. The base class supplies no entries: only the runtime-version variants do.
class uo_toolbarutil : public rt::Object {
 public:
  RT_CLASS(uo_toolbarutil)

  // Instance variables.
  long il_ptoolbar = 0;     // the runtime's toolbar object; 1 or more once found
  long il_hbitmap = 0;      // the square bitmap of the icon size
  long il_hwndtoolbar = 0;  // the toolbar window
  long il_hframe = 0;       // the frame window
  std::string is_toolclassname;
  int ii_iconsize = 0;

  // Object functions.
  void of_settoolbarfont(const std::string& as_fontname, int ai_fontsize, const std::string& as_extent);
  bool of_inittoolbar(const rt::Ref<rt::Window>& aw_frame, std::optional<int> ai_size);
  void of_toolbarshowtext(std::optional<bool> ib_show);
  void of_adjusttoolbariconsize();
  void of_displayseperator();

  // The runtime's toolbar entries, looked up on the actual object: each variant supplies
  // them from its runtime version; here they are missing, and calling one is a runtime error.
  virtual long rt_toolbarsetfont(long unknown, const std::string& fontname, long fontsize, long unknown1,
                                 const std::string& str);
  virtual void rt_toolbarshowtext(long ptoolbar, bool bshow);
  virtual void rtdrawedge3d(long hdc, rect& rc, int i1, int i2);
};

// The variants, one per runtime version: the toolbar window's class name and the entries
// of that version's runtime.
template <int Version>
class uo_toolbarutil_v : public uo_toolbarutil {
 public:
  uo_toolbarutil_v();
  long rt_toolbarsetfont(long unknown, const std::string& fontname, long fontsize, long unknown1,
                         const std::string& str) override;
  void rt_toolbarshowtext(long ptoolbar, bool bshow) override;
  void rtdrawedge3d(long hdc, rect& rc, int i1, int i2) override;
};

class uo_toolbarutil6 : public uo_toolbarutil_v<6> {
 public:
  RT_CLASS(uo_toolbarutil6)
};
class uo_toolbarutil7 : public uo_toolbarutil_v<7> {
 public:
  RT_CLASS(uo_toolbarutil7)
};
class uo_toolbarutil8 : public uo_toolbarutil_v<8> {
 public:
  RT_CLASS(uo_toolbarutil8)
};

// Creates the variant that matches the running runtime into `auo_toolbarutil`. False when
// the environment cannot be queried or the variable already holds a utility; true
// otherwise, also for an unknown version, for which nothing is created.
bool f_create_toolbarutil(rt::Ref<uo_toolbarutil>& auo_toolbarutil);
