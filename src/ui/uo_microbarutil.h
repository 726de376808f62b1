#pragma once

#include "runtime/window.h"

// Gives the status bar of an MDI frame a Chinese font and a fixed height. A local of the
// frame's open event, used once and never kept.
class uo_microbarutil {
 public:
  void of_initmicrobar(const rt::Ref<rt::Window>& aw_frame);
};
