#pragma once

// The MDI frame's chrome: menu bar, toolbar, status bar and the client area its controls
// sit in. Private to the runtime.

#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "handles_p.h"
#include "object.h"
#include "toolbar.h"

class QMenuBar;
class QAction;
class QMenu;
class QLabel;

namespace rt {
class MenuItem;
class Window;

namespace detail {

// The toolbar object of a frame: what the utilities write, with its handles.
struct ToolbarObject {
  long id = 0;    // what the toolbar window's data word 0 holds
  long hwnd = 0;  // the toolbar window's handle
  std::string className;
  // Set by the set-font entry.
  std::optional<QString> textFace;
  int textSize = 0;  // negative: points; positive: pixels
  QString extent;
  long iconBitmap = 0;
  bool showText = false;
  std::map<ToolbarSetting, long> settings;
};

class ToolbarWidget;
class StatusBarWidget;

struct FrameChrome {
  Window* window = nullptr;
  QMenuBar* menuBar = nullptr;
  QWidget* client = nullptr;
  ToolbarWidget* toolbar = nullptr;
  QWidget* floatingHolder = nullptr;  // the toolbar's own window while it floats
  StatusBarWidget* status = nullptr;
  std::shared_ptr<ToolbarObject> toolbarObject;
  std::map<const MenuItem*, QPointer<QAction>> actions;
  std::map<const MenuItem*, QPointer<QMenu>> menus;
  std::unique_ptr<QObject> tipFilter;  // shows the highlighted item's microhelp

  FrameChrome(Window& window, QWidget* frame);
  ~FrameChrome();
  void layout(QWidget* frame);
  void rebuildMenu();
  void itemChanged(const MenuItem& item);
  void applyToolbar();  // after the running event: alignment, visibility, settings
  void scheduleApplyToolbar();
  // An item's microhelp, or the application's default text for an empty one.
  void showMicrohelp(const QString& text);
  void showDefaultHelp();
  bool shortcut(int vk, bool alt, bool ctrl, bool shift);  // a menu shortcut or bar access key
  bool applyPending = false;
};

FrameChrome* chromeOf(const Window& window);

// The toolbar as drawn, for the test harness.
struct ToolbarEntryLook {
  std::string text, picture;
  int gap;
  QRect geometry;
};
std::vector<ToolbarEntryLook> toolbarEntriesOf(FrameChrome& chrome);
QWidget* toolbarButton(FrameChrome& chrome, int index);
QWidget* toolbarWidget(FrameChrome& chrome);
QLabel* statusLabel(FrameChrome& chrome);
struct ToolbarState {
  bool shown = false, floating = false, textsShown = false, tips = false;
  QFont textFont;
  QSize iconSize, buttonSize;
  int thickness = 0;
  long plainFace = 0, sunkenFace = 0;
  QRect geometry;  // within the client area, or of the toolbar's own window while floating
};
ToolbarState toolbarStateOf(FrameChrome& chrome);
// The frame chrome whose toolbar object is `id`, and the object, or null.
ToolbarObject* toolbarObject(long id);

}  // namespace detail
}  // namespace rt
