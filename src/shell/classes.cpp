#include "shell/classes.h"

#include "calculator/w_4.h"
#include "runtime/window.h"
#include "shell/w_flash.h"

void registerClasses() {
  rt::registerWindow<w_flash>();
  rt::registerWindow<w_4>();
}
