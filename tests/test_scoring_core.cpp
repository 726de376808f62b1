// The scoring core: reading a field's text, the grade-one ladders, the vital-capacity index,
// the height-standard-weight adjustment and bands, the year total and its level.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "scoring/core/ladders.h"
#include "scoring/core/scoring.h"
#include "support/datasource.h"

using namespace scoring;

namespace {

float below(float bound) { return std::nextafter(bound, -std::numeric_limits<float>::infinity()); }

const char* sexName(Sex sex) { return sex == Sex::Boys ? "boys" : "girls"; }

// ---------------------------------------------------------------------------------------
// Text to real

struct TextCase {
  const char* text;
  float value;
};

const TextCase kTexts[] = {
    {"3.43", 3.43f},       {"3,000.00", 3000},  {" 12.5 ", 12.5f},  {"-3", -3},
    {"1,234,567.5", 1234567.5f}, {".50", 0.5f}, {"5.", 5},          {"007", 7},
    {"0", 0},              {"-0.5", -0.5f},     {"", 0},            {"   ", 0},
    {"none", 0},           {"12a", 0},          {"1e5", 0},         {"1E5", 0},
    {"inf", 0},            {"-inf", 0},         {"nan", 0},         {"0x10", 0},
    {",", 0},              {".", 0},            {"-", 0},           {"+3", 0},
    {"- 3", 0},            {"1 000", 0},        {"\t5", 0},         {"12.5.3", 0},
    {"3,43", 0},           {"1234,567", 0},     {",500", 0},        {"1,", 0},
    {"1,,000", 0},         {"1,000,00", 0},     {"1.000,5", 0},     {"1e39", 0},
    // Too large for a float, and the largest that is not.
    {"1000000000000000000000000000000000000000", 0},
    {"340282346638528859811704183484516925440", std::numeric_limits<float>::max()},
};

void expectTexts() {
  for (const TextCase& c : kTexts) EXPECT_EQ(toReal(c.text), c.value) << '"' << c.text << '"';
}

TEST(TextToReal, ReadsNumbersAndNothingElse) { expectTexts(); }

// A German LC_NUMERIC makes "," the decimal point of the C library; the fields still use ".".
TEST(TextToReal, IgnoresTheLocale) {
  ASSERT_TRUE(support::useTestLocale("de_DE.UTF-8")) << "the tests' German locale is missing";
  ASSERT_NE(std::strtof("3.43", nullptr), 3.43f) << "the C library should read 3.43 the German way";
  expectTexts();
  std::setlocale(LC_ALL, "C");
}

// ---------------------------------------------------------------------------------------
// Ladders

// The grade-one score table, typed from the scoring rules and not from the core: per ladder
// its bounds, falling, and its points, band by band.
struct LadderCase {
  Item item;
  std::vector<Sex> sexes;
  std::vector<const char*> bounds;
  std::vector<int> points;
};

const std::vector<Sex> kBoys{Sex::Boys}, kGirls{Sex::Girls}, kEither{Sex::Boys, Sex::Girls};

const LadderCase kGradeOneCases[] = {
    {Item::StepTest, kBoys, {"64", "59", "53", "49", "47", "41"}, {20, 17, 16, 15, 13, 12, 10}},
    {Item::StepTest, kGirls, {"59", "55", "50", "46", "44", "40"}, {20, 17, 16, 15, 13, 12, 10}},
    {Item::Run1000, kEither, {"5.15", "4.40", "4.26", "4.07", "3.51", "3.43"}, {10, 12, 13, 15, 16, 17, 20}},
    {Item::Run800, kEither, {"5.11", "4.38", "4.25", "4.05", "3.49", "3.40"}, {10, 12, 13, 15, 16, 17, 20}},
    {Item::Run50, kBoys, {"8.5", "7.9", "7.7", "7.4", "7.1", "6.9"}, {15, 18, 20, 23, 25, 26, 30}},
    {Item::Run50, kGirls, {"10.7", "9.7", "9.5", "9.0", "8.6", "8.3"}, {15, 18, 20, 23, 25, 26, 30}},
    {Item::LongJump, kBoys, {"254", "248", "235", "220", "215", "198"}, {30, 26, 25, 23, 20, 18, 15}},
    {Item::LongJump, kGirls, {"196", "190", "179", "169", "162", "145"}, {30, 26, 25, 23, 20, 18, 15}},
    {Item::SitAndReach, kBoys, {"17.1", "15.0", "11.2", "7.2", "5.0"}, {20, 17, 16, 15, 13, 12}},
    {Item::SitAndReach, kGirls, {"18.1", "16.0", "12.6", "8.6", "6.5"}, {20, 17, 16, 15, 13, 12}},
    {Item::GripIndex, kBoys, {"77", "71", "61", "53", "50", "40"}, {20, 17, 16, 15, 13, 12, 10}},
    {Item::GripIndex, kGirls, {"61", "55", "48", "40", "38", "29"}, {20, 17, 16, 15, 13, 12, 10}},
    {Item::SitUps, kEither, {"44", "40", "35", "28", "25", "16"}, {20, 17, 16, 15, 13, 12, 10}},
    {Item::VitalCapacity, kBoys, {"73", "68", "61", "53", "48", "38"}, {15, 13, 12, 11, 10, 9, 8}},
    {Item::VitalCapacity, kGirls, {"60", "56", "49", "42", "39", "27"}, {15, 13, 12, 11, 10, 9, 8}},
};

// `bound` moved by `hundredths`, typed as a user types it (two decimals).
std::string stepped(const char* bound, int hundredths) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", std::strtod(bound, nullptr) + hundredths / 100.0);
  return text;
}

// Each bound opens its band, and one step (0.01) above it scores the same; one step below
// it, and a hair below it, score the next band. So a bound of the core one step off either
// way fails here.
TEST(GradeOneLadders, EveryBoundOpensItsBand) {
  for (const LadderCase& c : kGradeOneCases) {
    ASSERT_EQ(c.points.size(), c.bounds.size() + 1);
    for (Sex sex : c.sexes) {
      for (std::size_t i = 0; i < c.bounds.size(); ++i) {
        const char* bound = c.bounds[i];
        const int opened = c.points[i], next = c.points[i + 1];
        SCOPED_TRACE(std::string(sexName(sex)) + " bound " + bound);
        EXPECT_EQ(itemScore(gradeOneLadders(), c.item, sex, toReal(bound)), opened);
        EXPECT_EQ(itemScore(gradeOneLadders(), c.item, sex, toReal(stepped(bound, 1))), opened);
        EXPECT_EQ(itemScore(gradeOneLadders(), c.item, sex, toReal(stepped(bound, -1))), next);
        EXPECT_EQ(itemScore(gradeOneLadders(), c.item, sex, below(toReal(bound))), next);
      }
    }
  }
}

TEST(GradeOneLadders, BoundsWhoseFloatLiesBelowTheDecimal) {
  // The cases above only test these if the typed decimal and the bound round down alike.
  for (const char* text : {"3.51", "7.7", "7.1", "10.7", "9.7", "11.2", "7.2"}) {
    EXPECT_LT(static_cast<double>(toReal(text)), std::strtod(text, nullptr)) << text;
  }
}

struct ScoreCase {
  Item item;
  Sex sex;
  const char* typed;
  int points;
};

// The cases the scoring rules name; the one-ladder items under either sex.
const ScoreCase kScoreCases[] = {
    // Runs are compared as the typed number, seconds above 59 included.
    {Item::Run1000, Sex::Girls, "4.75", 12},
    {Item::Run1000, Sex::Boys, "4.75", 12},
    {Item::Run1000, Sex::Boys, "9.99", 10},
    {Item::Run1000, Sex::Girls, "9.99", 10},
    {Item::Run1000, Sex::Boys, "5.15", 10},
    {Item::Run1000, Sex::Girls, "5.15", 10},
    {Item::Run1000, Sex::Boys, "4.40", 12},
    {Item::Run1000, Sex::Girls, "4.39", 13},
    {Item::Run1000, Sex::Boys, "3.43", 17},
    {Item::Run1000, Sex::Boys, "3.42", 20},
    {Item::Run1000, Sex::Girls, "3.42", 20},
    {Item::Run800, Sex::Girls, "3.40", 17},
    {Item::Run800, Sex::Boys, "3.39", 20},
    {Item::Run800, Sex::Girls, "3.39", 20},
    {Item::Run50, Sex::Girls, "8.3", 26},
    {Item::Run50, Sex::Girls, "8.29", 30},
    {Item::LongJump, Sex::Boys, "254", 30},
    {Item::LongJump, Sex::Boys, "253.99", 26},
    {Item::LongJump, Sex::Boys, "1", 15},
    {Item::StepTest, Sex::Boys, "50", 15},
    {Item::StepTest, Sex::Girls, "50", 16},
    {Item::GripIndex, Sex::Girls, "29", 12},
    {Item::GripIndex, Sex::Girls, "28.99", 10},
    {Item::SitUps, Sex::Girls, "44", 20},
    {Item::SitUps, Sex::Boys, "44", 20},
    {Item::SitUps, Sex::Girls, "43.99", 17},
    {Item::SitUps, Sex::Boys, "43.99", 17},
    {Item::SitAndReach, Sex::Boys, "7.2", 15},
    {Item::Run1000, Sex::Girls, "0", 0},
    // 0 or less scores 0 before any ladder; sit-and-reach never reaches its lower bands.
    {Item::Run1000, Sex::Boys, "0", 0},
    {Item::Run50, Sex::Boys, "-3", 0},
    {Item::LongJump, Sex::Girls, "none", 0},
    {Item::SitAndReach, Sex::Boys, "0", 0},
    {Item::SitAndReach, Sex::Boys, "-0.5", 0},
    {Item::SitAndReach, Sex::Girls, "-0.5", 0},
    {Item::SitAndReach, Sex::Boys, "0.1", 12},
    {Item::SitAndReach, Sex::Girls, "0.1", 12},
};

TEST(GradeOneLadders, TypedMeasurements) {
  for (const ScoreCase& c : kScoreCases) {
    EXPECT_EQ(itemScore(gradeOneLadders(), c.item, c.sex, toReal(c.typed)), c.points)
        << sexName(c.sex) << " " << c.typed;
  }
}

TEST(Ladder, AValueMeetingNoBandScoresZero) {
  const Ladder* ladder = findLadder(gradeOneLadders(), Item::SitUps, Sex::Girls);
  ASSERT_NE(ladder, nullptr);
  EXPECT_EQ(applyLadder(*ladder, std::numeric_limits<float>::quiet_NaN()), 0);
}

// ---------------------------------------------------------------------------------------
// Vital capacity

struct VitalCase {
  const char* capacity;
  const char* weight;
  Sex sex;
  VitalCapacityScore expected;
};

const VitalCase kVitalCases[] = {
    // The float quotients: 2724 / 45.4 falls just below 60, 2712 / 45.2 rounds to 60.
    {"2724", "45.4", Sex::Girls, {false, 13}},
    {"2712", "45.2", Sex::Girls, {false, 15}},
    {"3000", "50", Sex::Boys, {false, 11}},
    {"3000", "50", Sex::Girls, {false, 15}},
    {"2440", "40", Sex::Boys, {false, 12}},
    {"3000", "0", Sex::Boys, {true, 0}},
    {"3000", "-5", Sex::Girls, {true, 0}},
    {"0", "0", Sex::Boys, {false, 0}},
    {"0", "50", Sex::Boys, {false, 0}},
    {"-100", "50", Sex::Girls, {false, 0}},
};

TEST(VitalCapacity, IndexInFloat) {
  EXPECT_LT(vitalCapacityIndex(2724, toReal("45.4")), 60.0f);
  EXPECT_EQ(vitalCapacityIndex(2712, toReal("45.2")), 60.0f);
  for (const VitalCase& c : kVitalCases) {
    const VitalCapacityScore got =
        vitalCapacityScore(gradeOneLadders(), c.sex, toReal(c.capacity), toReal(c.weight));
    EXPECT_EQ(got.needsWeight, c.expected.needsWeight) << c.capacity << " / " << c.weight;
    EXPECT_EQ(got.points, c.expected.points) << c.capacity << " / " << c.weight;
  }
}

// ---------------------------------------------------------------------------------------
// Height-standard-weight

struct AdjustCase {
  float height, weight;
  Sex sex;
  std::optional<HeightWeight> expected;
};

const AdjustCase kAdjustCases[] = {
    {140, 50, Sex::Girls, HeightWeight{140, 50}},
    {139.5f, 50, Sex::Girls, HeightWeight{140.5f, 50.5f}},
    {130, 40, Sex::Boys, HeightWeight{140, 45}},
    {190.5f, 70, Sex::Boys, HeightWeight{190.5f, 70}},
    {191, 70, Sex::Boys, HeightWeight{190, 69.0999985f}},
    {186, 70, Sex::Boys, HeightWeight{186, 70}},
    {188, 70, Sex::Boys, HeightWeight{188, 70}},
    {190.99f, 70, Sex::Boys, HeightWeight{190.99f, 70}},
    {185.99f, 60, Sex::Girls, HeightWeight{185.99f, 60}},
    {186, 60, Sex::Girls, HeightWeight{185, 59.0999985f}},
    {188, 60, Sex::Girls, HeightWeight{185, 57.2999954f}},
    {190, 60, Sex::Girls, HeightWeight{185, 55.4999924f}},
    {192, 70, Sex::Boys, HeightWeight{190, 68.1999969f}},
    {200, 80, Sex::Boys, HeightWeight{190, 70.9999847f}},
    // No lookup: nothing to score, or too tall to bring down.
    {0, 50, Sex::Boys, std::nullopt},
    {-170, 50, Sex::Boys, std::nullopt},
    {170, 0, Sex::Girls, std::nullopt},
    {170, -60, Sex::Girls, std::nullopt},
    {16777216.0f, 60, Sex::Boys, std::nullopt},
    {1e30f, 60, Sex::Girls, std::nullopt},
};

TEST(HeightStandardWeight, AdjustsOneStoredStepAtATime) {
  for (const AdjustCase& c : kAdjustCases) {
    SCOPED_TRACE(std::string(sexName(c.sex)) + " " + std::to_string(c.height) + " / " + std::to_string(c.weight));
    const auto got = adjustHeight(c.height, c.weight, c.sex);
    ASSERT_EQ(got.has_value(), c.expected.has_value());
    if (!got) continue;
    EXPECT_EQ(got->height, c.expected->height);
    EXPECT_EQ(got->weight, c.expected->weight);
  }
}

TEST(HeightStandardWeight, TheLargestHeightStillComesDown) {
  const auto got = adjustHeight(16777215.0f, 60, Sex::Boys);
  ASSERT_TRUE(got);
  EXPECT_EQ(got->height, 190);
}

TEST(HeightStandardWeight, BandsOfTheAdjustedWeight) {
  struct Case {
    const char* what;
    float height, weight;
    Sex sex;
    std::array<float, 4> z;
    int points;
  };
  const Case cases[] = {
      {"girl 188 / 60: 57.2999954 stays below z3 57.3", 188, 60, Sex::Girls, {50, 54, 57.3f, 62}, 15},
      {"boy 192 / 70: 68.1999969 is float 68.2, equal to z3", 192, 70, Sex::Boys, {60, 64, 68.2f, 74}, 9},
      {"boy 200 / 80: ten steps stay below 71, one step would reach it", 200, 80, Sex::Boys, {60, 65, 71, 75}, 15},
  };
  for (const Case& c : cases) {
    const auto adjusted = adjustHeight(c.height, c.weight, c.sex);
    ASSERT_TRUE(adjusted) << c.what;
    EXPECT_EQ(weightBandScore(adjusted->weight, c.z[0], c.z[1], c.z[2], c.z[3]), c.points) << c.what;
  }
}

TEST(HeightStandardWeight, ABoundEqualToTheWeightOpensItsBand) {
  const float z1 = 50, z2 = 55.5f, z3 = 60.2f, z4 = 65;
  const struct {
    float weight;
    int points;
  } cases[] = {
      {40, 7}, {below(z1), 7}, {z1, 9}, {below(z2), 9}, {z2, 15},
      {below(z3), 15}, {z3, 9}, {below(z4), 9}, {z4, 7}, {90, 7},
  };
  for (const auto& c : cases) EXPECT_EQ(weightBandScore(c.weight, z1, z2, z3, z4), c.points) << c.weight;

  const float null = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(weightBandScore(52, z1, null, z3, z4), 0);
}

// ---------------------------------------------------------------------------------------
// Year total and level

TEST(Level, RatesAWholeNumber) {
  const struct {
    std::int32_t n;
    const char* text;
    std::optional<Rgb> colour;
  } cases[] = {
      {86, "优秀", kBlue}, {85, "良好", kMagenta}, {76, "良好", kMagenta}, {75, "及格", kGreen},
      {60, "及格", kGreen}, {59, "不及格", kRed}, {1, "不及格", kRed},     {0, "", std::nullopt},
      {-7, "", std::nullopt},
  };
  for (const auto& c : cases) {
    const Level level = levelOf(c.n);
    EXPECT_EQ(level.text, c.text) << c.n;
    EXPECT_EQ(level.colour, c.colour) << c.n;
  }
}

YearTotalInput scores(float s, float f, std::array<float, 8> optional = {}, int bonus = 0, bool cap = false) {
  YearTotalInput in;
  in.em_s_t = s;
  in.em_f_t = f;
  in.optional = optional;
  in.enabled.fill(true);
  for (int i = 0; i < bonus; ++i) in.bonus[i] = true;
  in.cap59 = cap;
  return in;
}

constexpr float kMax = std::numeric_limits<float>::max();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

TEST(YearTotal, SumsBonusCapAndLevel) {
  const struct {
    const char* what;
    YearTotalInput in;
    YearTotal expected;
  } cases[] = {
      {"full scores and four bonus boxes", scores(15, 15, {20, 0, 0, 30, 20}, 4), {120, "优秀", kBlue}},
      {"the same capped", scores(15, 15, {20, 0, 0, 30, 20}, 4, true), {59, "不及格", kRed}},
      {"57 and a bonus", scores(57, 0, {}, 1), {62, "及格", kGreen}},
      {"57 and a bonus, capped", scores(57, 0, {}, 1, true), {59, "不及格", kRed}},
      {"40 capped stays", scores(40, 0, {}, 0, true), {40, "不及格", kRed}},
      {"0", scores(0, 0), {0, "", std::nullopt}},
      {"0 capped", scores(0, 0, {}, 0, true), {0, "不及格", kRed}},
      {"truncated after each addition", scores(12.5f, 12.5f), {24, "不及格", kRed}},
      {"fractions dropped", scores(0.9f, 0.9f), {0, "", std::nullopt}},
      {"each optional field in its turn", scores(0, 0, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 1}), {1, "不及格", kRed}},
      {"a negative score", scores(10, -15), {-5, "", std::nullopt}},
      // The 32-bit total saturates instead of overflowing.
      {"2^31 - 128, the largest float below 2^31", scores(2147483520.0f, 0), {2147483520, "优秀", kBlue}},
      {"2^31", scores(2147483648.0f, 0), {kIntMax, "优秀", kBlue}},
      {"far above", scores(kMax, kMax, {kMax}, 4), {kIntMax, "优秀", kBlue}},
      {"far below", scores(-kMax, -kMax), {kIntMin, "", std::nullopt}},
  };
  for (const auto& c : cases) {
    const YearTotal got = yearTotal(c.in);
    EXPECT_EQ(got.total, c.expected.total) << c.what;
    EXPECT_EQ(got.level, c.expected.level) << c.what;
    EXPECT_EQ(got.colour, c.expected.colour) << c.what;
  }
}

TEST(YearTotal, CountsAnOptionalFieldOnlyWhileEnabled) {
  YearTotalInput in = scores(15, 15, {0, 0, 0, 0, 0, 0, 0, 20});
  in.enabled[7] = false;
  EXPECT_EQ(yearTotal(in).total, 30);
  in.enabled[7] = true;
  EXPECT_EQ(yearTotal(in).total, 50);
}

TEST(YearTotal, UntickingTheCapRestoresTheTotal) {
  YearTotalInput in = scores(15, 15, {20, 0, 0, 30, 20}, 4);
  for (bool cap : {false, true, false}) {
    in.cap59 = cap;
    const YearTotal got = yearTotal(in);
    EXPECT_EQ(got.total, cap ? 59 : 120);
    EXPECT_EQ(got.colour, cap ? kRed : kBlue);
  }
}

}  // namespace
