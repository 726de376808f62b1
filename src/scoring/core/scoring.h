#pragma once

// The calculators' arithmetic outside the ladders: reading a field's text, the
// height-standard-weight adjustment and bands, the year total and its level. Plain C++ over
// float; every step is computed in the library's own sources, one stored float at a time.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "scoring/core/ladders.h"

namespace scoring {

// A field's text as a float, the same for every field and in every locale: blanks around,
// an optional "-", digits (commas between groups of three allowed), optional decimals.
// "3,000.00" reads 3000, ".50" reads 0.5. Anything else reads 0: an empty text, "none",
// letters, exponents, "inf", "nan", and any number too large for a float.
float toReal(std::string_view text);

// What toReal reads of a text, before any conversion: the sign, the whole digits without
// their commas and the decimals. None for a text that is no number.
struct NumberText {
  bool negative = false;
  std::string whole;
  std::string fraction;
};
std::optional<NumberText> parseNumber(std::string_view text);

// A field's text in whole hundredths, exactly: the same numbers as toReal, decimals after
// the second cut off; 0 for a text that is no number or too large for 64-bit hundredths.
std::int64_t toHundredths(std::string_view text);

// The height brought into the table's range, and the weight moved with it.
struct HeightWeight {
  float height;
  float weight;
};

// Raises a height below 140 by 1 (weight + 0.5) and lowers one at or above the sex's limit
// (boys 191, girls 186) by 1 (weight - 0.9), a stored float step at a time. No value means
// score 0 without reading the table: a height or weight of 0 or less, or a height of 2^24 or
// more, where subtracting 1 stops changing it.
std::optional<HeightWeight> adjustHeight(float height, float weight, Sex sex);

// The adjusted weight against the four bounds of its height's row: 7, 9, 15, 9, 7 from the
// lightest band to the heaviest; a bound equal to the weight opens its band. A null bound
// passed as NaN fails every test and scores 0.
int weightBandScore(float weight, float z1, float z2, float z3, float z4);

struct Rgb {
  std::uint8_t red, green, blue;
  friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kMagenta{255, 0, 255};
inline constexpr Rgb kGreen{0, 255, 0};
inline constexpr Rgb kRed{255, 0, 0};

// A level text and its colour; no colour means the field keeps the colour it has.
struct Level {
  std::string_view text;
  std::optional<Rgb> colour;
};

// 86 and more "优秀", 76 "良好", 60 "及格", 1 "不及格", 0 or less empty without a colour.
Level levelOf(std::int32_t n);

// What the year total reads of the window.
struct YearTotalInput {
  float em_s_t = 0;  // always counted
  float em_f_t = 0;  // always counted
  // em_t_t, em_1_t, em_8_t, em_5_t, em_l_t, em_z_t, em_y_t, em_w_t in this order, each
  // counted only while its field is enabled
  std::array<float, 8> optional{};
  std::array<bool, 8> enabled{};
  std::array<bool, 4> bonus{};  // cbx_1 to cbx_4: 5 points each
  bool cap59 = false;           // cbx_59: at most 59, level "不及格" in red
};

struct YearTotal {
  std::int32_t total;
  std::string_view level;
  std::optional<Rgb> colour;  // none: the level field keeps its colour
};

// Each field is added in float and the sum truncated toward zero at once (12.5 + 12.5 gives
// 24); a sum beyond the 32-bit range saturates.
YearTotal yearTotal(const YearTotalInput& in);

// The grade-three window's graduation score from the typed grade-one and grade-two year
// scores and its own year total (after the bonus points and the attendance cap): the total
// capped at 100 counts half, in double; the two quarters are taken and added in float.
// Truncated toward zero, saturating like the year total.
std::int32_t graduationScore(float c1, float c2, std::int32_t yearTotal);

// The graduation window's score from its three typed texts, exact: 25 % + 25 % + 50 % in
// hundredths, truncated toward zero (-2.5 gives -2). A text that is no number counts 0.
std::int32_t exactGraduationScore(std::string_view c1, std::string_view c2, std::string_view c3);

}  // namespace scoring
