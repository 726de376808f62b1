#pragma once

#include <cstdint>

// A rectangle in pixels, laid out as the platform's RECT record.
struct rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};
