#pragma once

#include "runtime/controls.h"

// Every font of the calculators is Arial, western character set (0); the graduation
// window's Arial keeps the runtime's default one.
inline void arial(rt::TextControl& c, int points, int weight = 400, int charset = 0) {
  c.facename = "Arial";
  c.fontcharset = charset;
  c.textsize = -points;
  c.weight = weight;
}
