#pragma once

namespace rt::units {

// Logical units are the source of truth for every position and size; this is the one
// place that knows pixels. At 96 dpi one pixel is 32/7 units across and 4 units down.
int toPixelsX(int units);
int toPixelsY(int units);
int toUnitsX(int pixels);
int toUnitsY(int pixels);

// What a title bar and a fixed frame take of a window's outer size, in pixels.
inline constexpr int kTitleBarPixels = 19;
inline constexpr int kFramePixels = 3;

}  // namespace rt::units
