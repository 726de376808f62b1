#pragma once

// The test harness: runs windows headless, acts as a user, records what would block.

#include <functional>
#include <string>
#include <vector>

#include "control.h"
#include "msgbox.h"
#include "window.h"

namespace rt::testing {

struct MessageRecord {
  std::string caption;
  std::string text;
  Icon icon;
};

// One per test: a headless GUI application, message boxes recorded instead of shown,
// no scripted actions left from an earlier test.
class Session {
 public:
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
};

const std::vector<MessageRecord>& messages();

// Runs `action` (posted, so inside a response window's own loop) each time a window of
// the class opens and is on screen.
void onOpen(const std::string& className, std::function<void(Window&)> action);

// The timer event of a window, at once, without waiting for its interval.
void fireTimer(Window& window);

// A left click as the user makes it, at a point of the window in logical units, or in
// the middle of a control.
void click(Window& window, int xUnits, int yUnits);
void click(Control& control);

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
PixelRect windowGeometry(Window& window);  // the window's client area, on the screen
PixelRect screenGeometry();                // the screen's available area
bool hasFrame(Window& window);             // a title bar and frame drawn around it
bool isShown(Window& window);
Color pixelAt(Window& window, int xUnits, int yUnits);  // as drawn

}  // namespace rt::testing
