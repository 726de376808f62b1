#include "units.h"

#include <cmath>

namespace rt::units {

int toPixelsX(int units) { return static_cast<int>(std::lround(units * 7.0 / 32.0)); }
int toPixelsY(int units) { return static_cast<int>(std::lround(units / 4.0)); }
int toUnitsX(int pixels) { return static_cast<int>(std::lround(pixels * 32.0 / 7.0)); }
int toUnitsY(int pixels) { return pixels * 4; }

}  // namespace rt::units
