#include "platform/user32.h"

#include "runtime/control.h"
#include "runtime/event.h"

namespace platform {

namespace {
bool shiftDown = false;
}

void keybd_event(int bvk, int bscan, unsigned long dwflags, unsigned long dwextrainfo) {
  (void)bscan, (void)dwextrainfo;
  if (dwflags == 0) {
    if (bvk == VK_SHIFT) {
      shiftDown = true;
    } else if (bvk == VK_TAB) {
      const bool forward = !shiftDown;
      rt::post([forward] { rt::pressTab(forward); });
    }
  } else if (dwflags == KEYEVENTF_KEYUP) {
    if (bvk == VK_SHIFT) shiftDown = false;
  }
}

}  // namespace platform
