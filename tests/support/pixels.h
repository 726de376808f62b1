#pragma once

// What a control looks like on screen, counted in pixels.

#include <QColor>
#include <QImage>
#include <QWidget>

#include <cstdlib>

#include "runtime/control.h"

namespace support {

// How many pixels of a control are drawn in (nearly) a colour.
inline int pixelsInColour(const rt::Control& control, rt::Color c) {
  const QImage image = control.widget()->grab().toImage();
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor p = image.pixelColor(x, y);
      if (std::abs(p.red() - c.r) < 40 && std::abs(p.green() - c.g) < 40 && std::abs(p.blue() - c.b) < 40) ++count;
    }
  return count;
}

}  // namespace support
