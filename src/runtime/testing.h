#pragma once

// The test harness: runs windows headless, acts as a user, records what would block.

#include <QtCore/qnamespace.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "control.h"
#include "menu.h"
#include "msgbox.h"
#include "window.h"

namespace rt::testing {

struct MessageRecord {
  std::string caption;
  std::string text;
  Icon icon;
};

// One per test: a headless GUI application, message boxes recorded instead of shown,
// every event journaled, no scripted actions left from an earlier test. A watchdog turns a
// hang into a failure: when the session outlives it, it records a failure and closes every
// window (and any real modal box), so the test ends instead of waiting for ever.
class Session {
 public:
  explicit Session(int watchdogMs = 20000);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  // Starts the watchdog afresh with another limit.
  void setWatchdog(int milliseconds);
  bool watchdogFired() const;
};

const std::vector<MessageRecord>& messages();
// The addresses links have opened in this session (recorded, not opened).
const std::vector<std::string>& openedUrls();
// The programs started in this session (recorded, not started): the program file as it
// would be started, and its arguments.
struct StartedProgram {
  std::string program;
  std::vector<std::string> arguments;
  friend bool operator==(const StartedProgram&, const StartedProgram&) = default;
};
const std::vector<StartedProgram>& startedPrograms();
// From now on in this session, programs are really started.
void useRealPrograms();

// From now on in this session, message boxes are real ones (answer them with answerMessageBox).
void useRealMessageBoxes();
// Presses OK on the real message box on screen; false when there is none.
bool answerMessageBox();

// Runs `action` (posted, so inside a response window's own loop) each time a window of
// the class opens and is on screen. An action that throws or fails a fatal assertion
// closes its window.
void onOpen(const std::string& className, std::function<void(Window&)> action);

// The timer event of a window, at once, without waiting for its interval.
void fireTimer(Window& window);

// A left click as the user makes it, at a point of the window in logical units, or in
// the middle of a control.
void click(Window& window, int xUnits, int yUnits);
void click(Control& control);
// The pointer moves over the window, or to a point of a control, without a button held.
void movePointer(Window& window, int xUnits, int yUnits);
void movePointer(Control& control, int xUnits, int yUnits);
// A left click at a point of a control, in logical units from its top-left corner (not the
// corner itself, which clicks the middle).
void click(Control& control, int xUnits, int yUnits);
// The shape of the mouse pointer over the control as it shows now.
Qt::CursorShape pointerShape(Control& control);

// Keys as the user presses them, to whatever has the focus in the window.
void pressKey(Window& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void keyDown(Window& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void keyUp(Window& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void typeText(Window& window, const std::string& text);
// The clipboard holds `text`, and the user pastes it (Ctrl+V) into whatever has the focus.
void paste(Window& window, const std::string& text);

// The focus: moved as a program moves it, and read back.
int moveFocus(Control& control);
Ref<Control> focused(Window& window);

// The user drags the window's edge or its title bar (sizes and places in pixels).
void userResize(Window& window, int widthPx, int heightPx);
void userMove(Window& window, int xPx, int yPx);

// Every event run since the session began (or the journal was cleared), in order, as
// "object.event" (object is the window's or control's class name). Recorded message boxes
// are there too, as "caption.messagebox", and every call that waits on the database driver
// as "driver.execute" (connect, prepare, execute, fetch, commit, rollback, disconnect) between
// two entries of the pointer's shape, "cursor.busy" (the wait cursor) or "cursor.idle".
std::vector<std::string> journal();
// Only the entries of these events.
std::vector<std::string> journal(std::initializer_list<const char*> events);
void clearJournal();

Ref<Window> findOpen(const std::string& className);
template <class W>
Ref<W> findOpen() {
  return cast<W>(findOpen(W::class_name));
}

// How many windows of the class were opened since the session began.
int openedCount(const std::string& className);

void processEvents();
// Lets the event loop run for a while (timers, posted events).
void wait(int milliseconds);
bool waitExposed(Window& window, int timeoutMs = 5000);

// What is on screen, in pixels.
struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
};

// ---- An MDI frame's menu bar, toolbar and status bar, as the user sees them.
std::string statusText(Window& frame);
// The pointer moves onto a menu item and rests there: a title of the menu bar or an item of
// an open menu; an item of a closed menu is highlighted as if its menu were open.
void hoverMenuItem(Window& frame, const MenuItem& item);
// A click on a title of the menu bar or on an item of an open menu.
void clickMenuItem(Window& frame, const MenuItem& item);
// The menu of the menu bar that is open now ("" when none), by its caption.
std::string openMenuTitle(Window& frame);
// Every caption of the menu bar and its menus as the user sees them, in display order: a
// submenu's entries follow its own caption, one level deeper (1 is the bar itself), and a
// separator reads "-".
struct MenuCaption {
  int level = 0;
  std::string text;
  friend bool operator==(const MenuCaption&, const MenuCaption&) = default;
};
std::vector<MenuCaption> menuCaptions(Window& frame);
void closeMenus();
struct ToolbarButton {
  std::string text;
  std::string picture;
  int gapBefore = 0;   // pixels left free before it
  PixelRect geometry;  // within the toolbar
};
std::vector<ToolbarButton> toolbarButtons(Window& frame);
void clickToolbarButton(Window& frame, int index);  // from 0, in toolbar order
struct ToolbarLook {
  bool shown = false;
  bool floating = false;
  bool textsShown = false;
  std::string resolvedFace;  // the installed face the texts are drawn in
  int textPixels = 0;
  int iconSize = 0;  // the icons' width
  int iconHeight = 0;
  int buttonWidth = 0, buttonHeight = 0;
  int thickness = 0;                   // height when docked top or bottom, width when left or right
  bool tips = false;                   // the buttons show tool tips
  long plainFace = 0, sunkenFace = 0;  // the bitmaps the buttons are drawn on (0: the style's own)
  PixelRect geometry;                  // within the frame's client area (on the screen while floating)
};
ToolbarLook toolbarLook(Window& frame);
// The user closes the floating toolbar's own window from its title bar.
void closeFloatingToolbar(Window& frame);
// The pointer rests on a toolbar button (from 0): the tool tip that comes up ("" when none).
std::string toolbarTip(Window& frame, int index);
// Whether a right click on the toolbar brings up a menu (closed again at once).
bool toolbarHasContextMenu(Window& frame);
struct FontLook {
  std::string resolvedFace;
  int pixels = 0;
};
FontLook statusBarLook(Window& frame);
PixelRect windowGeometry(Window& window);  // the window's client area, on the screen
PixelRect screenGeometry();                // the screen's available area
bool hasFrame(Window& window);             // a title bar and frame drawn around it
bool isShown(Window& window);
// The window manager minimises, maximises or restores the window, as from its title bar,
// whatever buttons the window asked for; and the state it is in now.
void windowManagerSets(Window& window, Qt::WindowState state);
Qt::WindowStates windowStates(Window& window);
Color pixelAt(Window& window, int xUnits, int yUnits);  // as drawn

}  // namespace rt::testing
