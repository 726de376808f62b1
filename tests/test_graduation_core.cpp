// The graduation scores: the grade-three window's block over its own year total, and the
// graduation window's exact score from three typed texts.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "scoring/core/scoring.h"

using namespace scoring;

TEST(GraduationBlock, QuartersInFloatAndTheCappedTotalInDouble) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  const struct {
    const char* c1;
    const char* c2;
    std::int32_t total;  // after the bonus points and the attendance cap
    std::int32_t score;
  } cases[] = {
      {"86", "81", 82, 82},      // 21.5 + 20.25 + 41 = 82.75
      {"", "", 82, 41},          // untyped fields count 0
      {"85.5", "86.5", 85, 85},  // 85.5 truncated
      {"60", "60", 59, 59},      // 15 + 15 + 29.5 = 59.5
      {"100", "100", 45, 72},    // the attendance cap is the total's only
      {"80", "80", 108, 90},     // the total counts at most 100
      {"120", "120", 100, 110},  // typed year scores are never capped
      {"0", "0", 0, 0},
      {"60.1", "74.7", 61, 64},
      {"60.1", "74.7", 60, 63},  // exact 63.7
      {"-10", "0", 0, -2},       // -2.5 toward zero
      {"340,000,000,000,000,000,000,000,000,000,000,000,000", "0", 100, kMax},
      {"-340,000,000,000,000,000,000,000,000,000,000,000,000", "0", 0, kMin},
  };
  for (const auto& c : cases)
    EXPECT_EQ(graduationScore(toReal(c.c1), toReal(c.c2), c.total), c.score)
        << c.c1 << " / " << c.c2 << " / " << c.total;
}

TEST(ExactGraduation, AddsQuartersAndHalfInHundredths) {
  const struct {
    const char* c1;
    const char* c2;
    const char* c3;
    std::int32_t score;
  } cases[] = {
      {"80", "90", "95", 90},
      {"85.5", "86.5", "85", 85},
      {"60.1", "74.7", "60.6", 64},  // float arithmetic gives 63.999996, so 63
      {"50.1", "78.7", "55.6", 60},  // float arithmetic gives 59
      {"100", "100", "120", 110},    // nothing is capped
      {"", "", "60", 30},            // untyped fields count 0
      {"abc", "0", "60", 30},        // so does a text that is no number
      {"60.1", "74.7", "60.6", 64},
      {"0", "0", "0", 0},
      {"-10", "0", "0", -2},  // -2.5 toward zero
      {"-10.0", "-0.1", "0", -2},
      {"1,000.0", "0", "0", 250},
      {"99,999,999,999,999,999", "0", "0", 0},  // beyond 64-bit hundredths: 0
  };
  for (const auto& c : cases)
    EXPECT_EQ(exactGraduationScore(c.c1, c.c2, c.c3), c.score) << c.c1 << " / " << c.c2 << " / " << c.c3;
  // The order of the fields makes no difference.
  EXPECT_EQ(exactGraduationScore("74.7", "60.1", "60.6"), 64);
}

TEST(ExactGraduation, TheLargestSumsSaturate) {
  const std::string most = "92,233,720,368,547,758.07";  // the largest 64-bit hundredths
  ASSERT_EQ(toHundredths(most), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(exactGraduationScore(most, most, most), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(exactGraduationScore("-" + most, "-" + most, "-" + most), std::numeric_limits<std::int32_t>::min());
}

TEST(Hundredths, ReadTheNumbersTextToRealReads) {
  const struct {
    const char* text;
    std::int64_t hundredths;
  } cases[] = {
      {"60.1", 6010},
      {"60.15", 6015},
      {"60.159", 6015},  // cut after the second decimal
      {" 3,000.00 ", 300000},
      {".5", 50},
      {"5.", 500},
      {"-0.01", -1},
      {"", 0},
      {"-", 0},
      {"1e3", 0},
      {"1,00", 0},
      {"12,345", 1234500},
      {"\t5", 0},
      {"92,233,720,368,547,758.08", 0},  // one hundredth too many
  };
  for (const auto& c : cases) {
    EXPECT_EQ(toHundredths(c.text), c.hundredths) << c.text;
    // Both readers take the same texts for numbers, with the same value to the nearest float
    // (apart from numbers beyond 64-bit hundredths, which no field can hold).
    if (c.hundredths != 0 && std::string(c.text) != "60.159") {
      EXPECT_EQ(static_cast<float>(static_cast<double>(c.hundredths) / 100), toReal(c.text)) << c.text;
    }
  }
}
