#include "scoring/core/scoring.h"
#include "scoring/core/float_rules.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace scoring {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<NumberText> parseNumber(std::string_view text) {
  // Blanks only: a tab is not a blank.
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);

  NumberText n;
  std::size_t i = 0;
  n.negative = text[i] == '-';
  if (n.negative) ++i;

  int group = 0;  // digits since the last comma
  bool grouped = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (isDigit(c)) {
      n.whole += c;
      ++group;
    } else if (c == ',') {
      if (group == 0 || group > 3 || (grouped && group != 3)) return std::nullopt;
      grouped = true;
      group = 0;
    } else {
      break;
    }
  }
  if (grouped && group != 3) return std::nullopt;

  bool digits = group > 0 || grouped;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && isDigit(text[i]); ++i) {
      n.fraction += text[i];
      digits = true;
    }
  }
  if (i != text.size() || !digits) return std::nullopt;
  return n;
}

float toReal(std::string_view text) {
  const std::optional<NumberText> n = parseNumber(text);
  if (!n) return 0;
  // The plain number for a conversion that knows no locale; the leading zero lets ".5"
  // through.
  const std::string plain = "0" + n->whole + "." + n->fraction + "0";
  // Correctly rounded to the nearest float; out of range (too large, or too small to be
  // anything but 0) reads 0, as does anything that is not finite.
  float value = 0;
  const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value, std::chars_format::fixed);
  if (ec != std::errc{} || end != plain.data() + plain.size() || !std::isfinite(value)) return 0;
  return n->negative ? -value : value;
}

std::int64_t toHundredths(std::string_view text) {
  const std::optional<NumberText> n = parseNumber(text);
  if (!n) return 0;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  std::int64_t value = 0;
  const std::string cents = (n->fraction + "00").substr(0, 2);  // cut after the second decimal
  for (char c : n->whole + cents) {
    const int d = c - '0';
    if (value > (kMax - d) / 10) return 0;  // too large for 64-bit hundredths
    value = value * 10 + d;
  }
  return n->negative ? -value : value;
}

std::optional<HeightWeight> adjustHeight(float height, float weight, Sex sex) {
  constexpr float kLowest = 140;
  constexpr float kRaiseStep = 0.5f;
  constexpr float kLowerStep = 0.9f;  // the float nearest 0.9, a little below it
  // From 2^24 on the loop below takes millions of steps, and further up h - 1 rounds back to h.
  constexpr float kTooTall = 16777216.0f;
  const float limit = sex == Sex::Boys ? 191.0f : 186.0f;

  float h = height;
  float w = weight;
  if (!(w > 0) || !(h > 0) || !(h < kTooTall)) return std::nullopt;
  while (h < kLowest) {
    h = h + 1;
    w = w + kRaiseStep;
  }
  while (h >= limit) {
    h = h - 1;
    w = w - kLowerStep;
  }
  return HeightWeight{h, w};
}

int weightBandScore(float w, float z1, float z2, float z3, float z4) {
  if (w >= z4) return 7;
  if (w >= z3 && w < z4) return 9;
  if (w >= z2 && w < z3) return 15;
  if (w >= z1 && w < z2) return 9;
  if (w < z1) return 7;
  return 0;
}

Level levelOf(std::int32_t n) {
  if (n > 85) return {"优秀", kBlue};
  if (n > 75) return {"良好", kMagenta};
  if (n >= 60) return {"及格", kGreen};
  if (n > 0) return {"不及格", kRed};
  return {"", std::nullopt};
}

namespace {

// Truncated toward zero into the 32-bit total, saturating at its limits.
std::int32_t truncate(float sum) {
  constexpr float kLimit = 2147483648.0f;  // 2^31
  if (std::isnan(sum)) return 0;
  if (sum >= kLimit) return std::numeric_limits<std::int32_t>::max();
  if (sum < -kLimit) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(sum);
}

std::int32_t truncate(double sum) {
  constexpr double kLimit = 2147483648.0;  // 2^31
  if (std::isnan(sum)) return 0;
  if (sum >= kLimit) return std::numeric_limits<std::int32_t>::max();
  if (sum <= -kLimit - 1) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(sum);
}

std::int32_t addCounted(std::int32_t total, float score) {
  const float sum = static_cast<float>(total) + score;
  return truncate(sum);
}

}  // namespace

YearTotal yearTotal(const YearTotalInput& in) {
  std::int32_t total = truncate(in.em_s_t);
  total = addCounted(total, in.em_f_t);
  for (std::size_t i = 0; i < in.optional.size(); ++i) {
    if (in.enabled[i]) total = addCounted(total, in.optional[i]);
  }
  constexpr std::int32_t kBonus = 5;
  for (bool ticked : in.bonus) {
    if (!ticked) continue;
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    total = total > kMax - kBonus ? kMax : total + kBonus;
  }

  Level level = levelOf(total);
  // The cap comes after the bonus points and overrides the level.
  if (in.cap59) {
    if (total > 59) total = 59;
    level = {"不及格", kRed};
  }
  return {total, level.text, level.colour};
}

std::int32_t graduationScore(float c1, float c2, std::int32_t yearTotal) {
  const std::int32_t cj_c3 = yearTotal > 100 ? 100 : yearTotal;
  const float g1 = c1 * 0.25f;
  const float g2 = c2 * 0.25f;
  const float s = g1 + g2;
  const double h = cj_c3 * 0.5;
  return truncate(static_cast<double>(s) + h);
}

std::int32_t exactGraduationScore(std::string_view c1, std::string_view c2, std::string_view c3) {
  // Hundredths are exact for every text the one-decimal fields hold; the sum can pass the
  // 64-bit range only for texts no field can hold.
  const __int128 sum =
      static_cast<__int128>(toHundredths(c1)) + toHundredths(c2) + 2 * static_cast<__int128>(toHundredths(c3));
  const __int128 score = sum / 400;  // truncated toward zero
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  if (score > kMax) return kMax;
  if (score < kMin) return kMin;
  return static_cast<std::int32_t>(score);
}

}  // namespace scoring
