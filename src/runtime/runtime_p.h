#pragma once

// Runtime state shared by its own source files; app code never sees this.

#include <QColor>
#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "color.h"
#include "msgbox.h"
#include "object.h"

class QEventLoop;
class QWidget;

namespace rt {
class Application;
class Object;
class Window;
}  // namespace rt

namespace rt::detail {

struct State {
  Application* app = nullptr;
  std::vector<std::shared_ptr<Window>> open;  // in opening order
  QEventLoop* mainLoop = nullptr;
};
State& state();

// Seams the test harness fills in.
struct Hooks {
  std::function<int(const std::string& caption, const std::string& text, Icon icon)> messagebox;
  std::function<void(Window&)> opened;                           // after a window is on screen
  std::function<void(const Object&, std::string_view)> journal;  // before every event
  std::function<void(const std::string& url)> openUrl;           // a link clicked
  // Around every call that waits on the database driver: `waiting` true just before the
  // call (the wait cursor shown), false once it returned (the cursor put back).
  std::function<void(std::string_view call, bool waiting)> driverCall;
  // A program started by its command line: the program file, then its arguments.
  std::function<void(const std::string& program, const std::vector<std::string>& arguments)> run;
};
Hooks& hooks();

// Ends the run once no window is open, checked after the current event.
void scheduleEndCheck();

// Makes the GUI application when there is none yet, from the program's name (argv[0]) alone.
void ensureGui(int argc, char** argv);

QColor toQColor(const Color& c);
// The text colour of every disabled control: greyed, yet 4.5 : 1 on the button face.
inline QColor disabledTextColor() { return QColor(0x6D, 0x6D, 0x6D); }
inline QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// Pictures: files shipped with the program (any case), files on disk, stock pictures.
// Decoded once and kept for the run: for small pictures only (icons, list pictures).
QPixmap loadPicture(const std::string& name);
// A picture decoded at `size` (its own size when invalid) and shared by whatever shows it
// at that size; it is let go with the last holder, so a picture no window shows costs nothing.
using SharedPicture = std::shared_ptr<const QPixmap>;
SharedPicture shownPicture(const std::string& name, QSize size = {});
// For tests: how often a picture file has been decoded, and how many decoded copies of it
// are alive.
int pictureDecodes(const std::string& name);
int picturesLive(const std::string& name);
QIcon stockIcon(const std::string& name);
// A stock mouse pointer ("HyperLink!", "Arrow!"); the arrow for an unknown name.
QCursor stockPointer(const std::string& name);

// The widget of the most recently opened window that is visible, or null.
QWidget* newestVisibleWindowWidget();
// The window whose event is running now (the innermost), or null between events and in an
// event that comes from no window (a posted one, the application's).
Ref<Window> actingWindow();
// The widget a response window or message box opened with no parent belongs to: that of the
// window whose event opens it, or of the first window it belongs to in turn that is on
// screen (a window still opening is not); where there is none, the newest visible window.
QWidget* ownerForNewWindow();

}  // namespace rt::detail
