#pragma once

#include <cstdint>

namespace rt {

// A colour: an RGB triple or one of the desktop's colours named by its role.
struct Color {
  enum class Role : std::uint8_t { Rgb, ButtonFace, WindowText, WindowBackground, Link, Transparent };
  Role role = Role::Rgb;
  std::uint8_t r = 0, g = 0, b = 0;

  static constexpr Color rgb(int red, int green, int blue) {
    return Color{Role::Rgb, static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
                 static_cast<std::uint8_t>(blue)};
  }
  static constexpr Color buttonFace() { return Color{Role::ButtonFace}; }
  static constexpr Color windowText() { return Color{Role::WindowText}; }
  static constexpr Color windowBackground() { return Color{Role::WindowBackground}; }
  static constexpr Color link() { return Color{Role::Link}; }
  static constexpr Color transparent() { return Color{Role::Transparent}; }

  friend constexpr bool operator==(const Color&, const Color&) = default;
};

}  // namespace rt
