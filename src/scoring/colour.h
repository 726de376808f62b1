#pragma once

#include "runtime/color.h"
#include "scoring/core/scoring.h"

// A level's colour as the windows paint it.
inline rt::Color colourOf(scoring::Rgb c) { return rt::Color::rgb(c.red, c.green, c.blue); }
