#pragma once

// The one entry of the window system's user library the program calls by name.

namespace platform {

// Virtual-key codes and key-event flags the entry understands.
constexpr int VK_TAB = 9;
constexpr int VK_SHIFT = 16;
constexpr unsigned long KEYEVENTF_KEYUP = 2;

// Puts a synthetic key press (dwflags 0) or release (KEYEVENTF_KEYUP) into the program's
// input. Only what the program's windows need is served: a Tab press moves the focus as the
// Tab key does, or as Shift+Tab while a Shift press came before it without its release;
// Shift is read at the call. The move is queued, so it happens after the running event has
// returned, in whatever window of the program is active then. A release only ends a Shift
// press. Every other key, any other flag, and the scan code and extra information are
// ignored; nothing reaches the display server.
void keybd_event(int bvk, int bscan, unsigned long dwflags, unsigned long dwextrainfo);

}  // namespace platform
