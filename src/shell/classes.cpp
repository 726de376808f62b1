#include "shell/classes.h"

#include "runtime/window.h"
#include "shell/w_flash.h"

void registerClasses() { rt::registerWindow<w_flash>(); }
