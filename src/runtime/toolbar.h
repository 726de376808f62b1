#pragma once

// The frame's toolbar and status bar as the toolbar and status-bar utilities see them: the
// toolbar object they restyle and its runtime entries per runtime version, the status bar's
// font and height. The windows, contexts, bitmaps and fonts they name are handles of the
// runtime's handle table.

#include <cstdint>
#include <optional>
#include <string>

#include "handles.h"

namespace rt {

class Window;

// ---- The environment: the runtime's major version. A test may make it report another
// version, or make the query fail (nullopt).
struct Environment {
  int majorVersion = 0;
};
int getEnvironment(Environment& environment);  // 1, or -1 when the query fails
void reportRuntimeVersion(std::optional<int> majorVersion);

// ---- The toolbar object: the settings the utility writes, each by name.
enum class ToolbarSetting {
  PlainFace,       // bitmap of the plain button face
  SunkenFace,      // bitmap of the sunken button face
  BarHeight,       // the bar's height when docked at the top or bottom
  SideWidth,       // the bar's width when docked left or right
  ButtonWidth,     // first of the two writes of the button width
  ButtonHeight,    // first of the two writes of the button height
  Separator,       // first of the two writes of the separator value
  SeparatorAgain,  // second
  IconWidth,       // the icon size, first write
  IconHeight,      // the icon size, second write
  ButtonHeightAgain,
  ButtonWidthAgain,
};
// Writes one setting of the toolbar object `toolbar`; false when no such toolbar lives.
// Settings take effect after the running event.
bool writeToolbar(long toolbar, ToolbarSetting setting, long value);
// Reads one back (for tests); nullopt when never written or no such toolbar.
std::optional<long> readToolbar(long toolbar, ToolbarSetting setting);

// A rectangle in pixels, as the drawing entry takes it.
struct EdgeRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The toolbar entries of one runtime version.
struct ToolbarEntries {
  int version;
  // The font of the button texts (face, size: negative points), the square icon bitmap and
  // the extent text the buttons are at least as wide as.
  long (*setFont)(long toolbar, const std::string& face, long size, long bitmap, const std::string& extent);
  void (*showText)(long toolbar, bool show);
  // Draws a 3-D edge (edge and flag values of the platform's edge drawing) into the
  // bitmap selected into `dc`.
  void (*drawEdge3D)(long dc, EdgeRect& rc, int edge, int flags);
};
// The entries of version 6, 7 or 8; nullptr for any other.
const ToolbarEntries* toolbarEntries(int majorVersion);
// Which version's entries served the last call (0 before any), for tests.
int lastToolbarEntryVersion();

// ---- The status bar of an MDI frame.
// Whether `window` is an MDI frame with a status bar (the only window with one).
bool hasStatusBar(const Window& window);
// The status bar's font handle (0 for the runtime's own) and height, read and written.
long statusBarFont(const Window& frame);
void setStatusBarFont(Window& frame, long font);
void setStatusBarHeight(Window& frame, int pixels);
int statusBarHeight(const Window& frame);

}  // namespace rt
