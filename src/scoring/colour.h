#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "runtime/color.h"
#include "runtime/controls.h"
#include "scoring/core/scoring.h"

// A level's colour as the windows paint it.
inline rt::Color colourOf(scoring::Rgb c) { return rt::Color::rgb(c.red, c.green, c.blue); }

// A level into its field: the colour first, where the level has one (otherwise the field
// keeps the colour it has), then the text.
inline void showLevel(rt::SingleLineEdit& field, const scoring::Level& level) {
  if (level.colour) field.textcolor = colourOf(*level.colour);
  field.text = std::string(level.text);
}
