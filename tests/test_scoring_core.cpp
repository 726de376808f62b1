// The scoring core: reading a field's text, every grade's ladders, the vital-capacity index,
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
    {"3.43", 3.43f},
    {"3,000.00", 3000},
    {" 12.5 ", 12.5f},
    {"-3", -3},
    {"1,234,567.5", 1234567.5f},
    {".50", 0.5f},
    {"5.", 5},
    {"007", 7},
    {"0", 0},
    {"-0.5", -0.5f},
    {"", 0},
    {"   ", 0},
    {"none", 0},
    {"12a", 0},
    {"1e5", 0},
    {"1E5", 0},
    {"inf", 0},
    {"-inf", 0},
    {"nan", 0},
    {"0x10", 0},
    {",", 0},
    {".", 0},
    {"-", 0},
    {"+3", 0},
    {"- 3", 0},
    {"1 000", 0},
    {"\t5", 0},
    {"12.5.3", 0},
    {"3,43", 0},
    {"1234,567", 0},
    {",500", 0},
    {"1,", 0},
    {"1,,000", 0},
    {"1,000,00", 0},
    {"1.000,5", 0},
    {"1e39", 0},
    // Too large for a float, and the largest that is not.
    {"1000000000000000000000000000000000000000", 0},
    {"340282346638528859811704183484516925440", std::numeric_limits<float>::max()},
};

void expectTexts() {
  for (const TextCase& c : kTexts) EXPECT_EQ(toReal(c.text), c.value) << '"' << c.text << '"';
}

TEST(TextToReal, ReadsNumbersAndNothingElse) { expectTexts(); }

// The exact reader of the graduation window takes the same texts for numbers, with the same
// value to the nearest float; only a number beyond 64-bit hundredths, which no field can
// hold, counts 0 there.
TEST(TextToReal, TheExactReaderAgrees) {
  constexpr double kBeyondHundredths = 9.2e16;
  for (const TextCase& c : kTexts) {
    const std::int64_t hundredths = toHundredths(c.text);
    if (std::fabs(c.value) >= kBeyondHundredths) {
      EXPECT_EQ(hundredths, 0) << '"' << c.text << '"';
    } else {
      EXPECT_EQ(static_cast<float>(static_cast<double>(hundredths) / 100), c.value) << '"' << c.text << '"';
    }
    if (c.value != 0) {
      EXPECT_TRUE(parseNumber(c.text).has_value()) << '"' << c.text << '"';
    }
  }
}

// A German LC_NUMERIC makes "," the decimal point of the C library; the fields still use ".".
TEST(TextToReal, IgnoresTheLocale) {
  ASSERT_TRUE(support::useTestLocale("de_DE.UTF-8")) << "the tests' German locale is missing";
  ASSERT_NE(std::strtof("3.43", nullptr), 3.43f) << "the C library should read 3.43 the German way";
  expectTexts();
  std::setlocale(LC_ALL, "C");
}

// ---------------------------------------------------------------------------------------
// Ladders

// A grade's ladder table, by the name a failure shows.
struct Grade {
  const char* name;
  LadderTable (*ladders)();
};
const Grade kOne{"grade one", gradeOneLadders}, kTwo{"grade two", gradeTwoLadders},
    kThree{"grade three", gradeThreeLadders};

const char* itemName(Item item) {
  static const char* const names[] = {"step test",     "1000 m",     "800 m",   "50 m",          "long jump",
                                      "sit-and-reach", "grip index", "sit-ups", "vital capacity"};
  return names[static_cast<int>(item)];
}

// Every grade's score table, typed from the scoring rules and not from the core: per
// ladder its bounds, falling, and its points, band by band. Sit-and-reach keeps only its
// bounds above 0, as a reach of 0 or less scores 0 before any ladder.
struct LadderCase {
  Grade grade;
  Item item;
  std::vector<Sex> sexes;
  std::vector<const char*> bounds;
  std::vector<int> points;
};

const std::vector<Sex> kBoys{Sex::Boys}, kGirls{Sex::Girls}, kEither{Sex::Boys, Sex::Girls};

const LadderCase kLadderCases[] = {
    {kOne, Item::StepTest, kBoys, {"64", "59", "53", "49", "47", "41"}, {20, 17, 16, 15, 13, 12, 10}},
    {kOne, Item::StepTest, kGirls, {"59", "55", "50", "46", "44", "40"}, {20, 17, 16, 15, 13, 12, 10}},
    {kOne, Item::Run1000, kEither, {"5.15", "4.40", "4.26", "4.07", "3.51", "3.43"}, {10, 12, 13, 15, 16, 17, 20}},
    {kOne, Item::Run800, kEither, {"5.11", "4.38", "4.25", "4.05", "3.49", "3.40"}, {10, 12, 13, 15, 16, 17, 20}},
    {kOne, Item::Run50, kBoys, {"8.5", "7.9", "7.7", "7.4", "7.1", "6.9"}, {15, 18, 20, 23, 25, 26, 30}},
    {kOne, Item::Run50, kGirls, {"10.7", "9.7", "9.5", "9.0", "8.6", "8.3"}, {15, 18, 20, 23, 25, 26, 30}},
    {kOne, Item::LongJump, kBoys, {"254", "248", "235", "220", "215", "198"}, {30, 26, 25, 23, 20, 18, 15}},
    {kOne, Item::LongJump, kGirls, {"196", "190", "179", "169", "162", "145"}, {30, 26, 25, 23, 20, 18, 15}},
    {kOne, Item::SitAndReach, kBoys, {"17.1", "15.0", "11.2", "7.2", "5.0"}, {20, 17, 16, 15, 13, 12}},
    {kOne, Item::SitAndReach, kGirls, {"18.1", "16.0", "12.6", "8.6", "6.5"}, {20, 17, 16, 15, 13, 12}},
    {kOne, Item::GripIndex, kBoys, {"77", "71", "61", "53", "50", "40"}, {20, 17, 16, 15, 13, 12, 10}},
    {kOne, Item::GripIndex, kGirls, {"61", "55", "48", "40", "38", "29"}, {20, 17, 16, 15, 13, 12, 10}},
    {kOne, Item::SitUps, kEither, {"44", "40", "35", "28", "25", "16"}, {20, 17, 16, 15, 13, 12, 10}},
    {kOne, Item::VitalCapacity, kBoys, {"73", "68", "61", "53", "48", "38"}, {15, 13, 12, 11, 10, 9, 8}},
    {kOne, Item::VitalCapacity, kGirls, {"60", "56", "49", "42", "39", "27"}, {15, 13, 12, 11, 10, 9, 8}},

    {kTwo, Item::StepTest, kBoys, {"63", "59", "53", "49", "46", "41"}, {20, 17, 16, 15, 13, 12, 10}},
    {kTwo, Item::StepTest, kGirls, {"58", "54", "49", "45", "42", "39"}, {20, 17, 16, 15, 13, 12, 10}},
    {kTwo, Item::Run1000, kEither, {"5.09", "4.35", "4.24", "4.05", "3.51", "3.42"}, {10, 12, 13, 15, 16, 17, 20}},
    {kTwo, Item::Run800, kEither, {"5.13", "4.38", "4.26", "4.06", "3.50", "3.41"}, {10, 12, 13, 15, 16, 17, 20}},
    {kTwo, Item::Run50, kBoys, {"8.3", "7.7", "7.5", "7.3", "7.0", "6.7"}, {15, 18, 20, 23, 25, 26, 30}},
    {kTwo, Item::Run50, kGirls, {"10.4", "9.5", "9.3", "8.9", "8.5", "8.2"}, {15, 18, 20, 23, 25, 26, 30}},
    {kTwo, Item::LongJump, kBoys, {"256", "250", "235", "221", "215", "190"}, {30, 26, 25, 23, 20, 18, 15}},
    {kTwo, Item::LongJump, kGirls, {"194", "186", "175", "165", "160", "140"}, {30, 26, 25, 23, 20, 18, 15}},
    {kTwo, Item::SitAndReach, kBoys, {"17.1", "15.0", "11.5", "7.2", "5.0"}, {20, 17, 16, 15, 13, 12}},
    {kTwo, Item::SitAndReach, kGirls, {"17.7", "15.8", "12.2", "8.8", "6.3"}, {20, 17, 16, 15, 13, 12}},
    {kTwo, Item::GripIndex, kBoys, {"81", "76", "67", "58", "52", "41"}, {20, 17, 16, 15, 13, 12, 10}},
    {kTwo, Item::GripIndex, kGirls, {"62", "56", "50", "42", "40", "30"}, {20, 17, 16, 15, 13, 12, 10}},
    {kTwo, Item::SitUps, kEither, {"45", "41", "35", "30", "26", "17"}, {20, 17, 16, 15, 13, 12, 10}},
    {kTwo, Item::VitalCapacity, kBoys, {"73", "69", "61", "54", "49", "36"}, {15, 13, 12, 11, 10, 9, 8}},
    {kTwo, Item::VitalCapacity, kGirls, {"60", "55", "48", "41", "38", "26"}, {15, 13, 12, 11, 10, 9, 8}},

    {kThree, Item::StepTest, kBoys, {"61", "57", "51", "47", "45", "41"}, {20, 17, 16, 15, 13, 12, 10}},
    {kThree, Item::StepTest, kGirls, {"57", "54", "49", "45", "43", "39"}, {20, 17, 16, 15, 13, 12, 10}},
    {kThree, Item::Run1000, kEither, {"5.12", "4.35", "4.23", "4.04", "3.49", "3.40"}, {10, 12, 13, 15, 16, 17, 20}},
    {kThree, Item::Run800, kEither, {"5.11", "4.39", "4.26", "4.08", "3.51", "3.41"}, {10, 12, 13, 15, 16, 17, 20}},
    {kThree, Item::Run50, kBoys, {"8.5", "7.7", "7.5", "7.2", "6.9", "6.7"}, {15, 18, 20, 23, 25, 26, 30}},
    {kThree, Item::Run50, kGirls, {"10.1", "9.6", "9.3", "8.9", "8.5", "8.2"}, {15, 18, 20, 23, 25, 26, 30}},
    {kThree, Item::LongJump, kBoys, {"260", "252", "240", "226", "220", "201"}, {30, 26, 25, 23, 20, 18, 15}},
    {kThree, Item::LongJump, kGirls, {"198", "190", "180", "170", "160", "135"}, {30, 26, 25, 23, 20, 18, 15}},
    {kThree, Item::SitAndReach, kBoys, {"18.8", "16.0", "12.0", "8.0", "6.0"}, {20, 17, 16, 15, 13, 12}},
    {kThree, Item::SitAndReach, kGirls, {"19.1", "16.5", "13.0", "10.0", "7.8"}, {20, 17, 16, 15, 13, 12}},
    {kThree, Item::GripIndex, kBoys, {"81", "74", "66", "58", "54", "41"}, {20, 17, 16, 15, 13, 12, 10}},
    {kThree, Item::GripIndex, kGirls, {"59", "55", "49", "43", "40", "30"}, {20, 17, 16, 15, 13, 12, 10}},
    {kThree, Item::SitUps, kEither, {"44", "41", "35", "29", "25", "18"}, {20, 17, 16, 15, 13, 12, 10}},
    {kThree, Item::VitalCapacity, kBoys, {"71", "66", "58", "50", "46", "36"}, {15, 13, 12, 11, 10, 9, 8}},
    {kThree, Item::VitalCapacity, kGirls, {"59", "54", "48", "41", "37", "26"}, {15, 13, 12, 11, 10, 9, 8}},
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
TEST(Ladders, EveryBoundOpensItsBand) {
  for (const LadderCase& c : kLadderCases) {
    ASSERT_EQ(c.points.size(), c.bounds.size() + 1);
    const LadderTable table = c.grade.ladders();
    for (Sex sex : c.sexes) {
      for (std::size_t i = 0; i < c.bounds.size(); ++i) {
        const char* bound = c.bounds[i];
        const int opened = c.points[i], next = c.points[i + 1];
        SCOPED_TRACE(std::string(c.grade.name) + " " + itemName(c.item) + " " + sexName(sex) + " bound " + bound);
        EXPECT_EQ(itemScore(table, c.item, sex, toReal(bound)), opened);
        EXPECT_EQ(itemScore(table, c.item, sex, toReal(stepped(bound, 1))), opened);
        EXPECT_EQ(itemScore(table, c.item, sex, toReal(stepped(bound, -1))), next);
        EXPECT_EQ(itemScore(table, c.item, sex, below(toReal(bound))), next);
      }
    }
  }
}

// The bounds that a comparison in double precision would misplace: the cases above only
// test these if the typed decimal and the bound round down alike.
TEST(Ladders, BoundsWhoseFloatLiesBelowTheDecimal) {
  const std::pair<Grade, std::vector<const char*>> starred[] = {
      {kOne, {"3.51", "7.7", "7.1", "10.7", "9.7", "11.2", "7.2"}},
      {kTwo, {"4.35", "4.24", "3.51", "4.06", "7.7", "6.7", "10.4", "8.9", "8.2", "7.2", "12.2"}},
      {kThree, {"5.12", "4.35", "4.04", "4.39", "4.08", "3.51", "7.7", "7.2", "6.7", "8.9", "8.2", "18.8"}},
  };
  for (const auto& [grade, texts] : starred) {
    for (const char* text : texts) {
      EXPECT_LT(static_cast<double>(toReal(text)), std::strtod(text, nullptr)) << grade.name << " " << text;
    }
  }
}

constexpr Item kItems[] = {Item::StepTest,    Item::Run1000,   Item::Run800, Item::Run50,        Item::LongJump,
                           Item::SitAndReach, Item::GripIndex, Item::SitUps, Item::VitalCapacity};

// A forgotten row would score 0 without a word, and of a duplicate only the first counts:
// the handlers ask each grade for every item under either sex, and exactly one row answers.
TEST(Ladders, EveryGradeHasOneLadderForEachItemAndSex) {
  for (const Grade& grade : {kOne, kTwo, kThree}) {
    const LadderTable table = grade.ladders();
    for (Item item : kItems) {
      for (Sex sex : {Sex::Boys, Sex::Girls}) {
        SCOPED_TRACE(std::string(grade.name) + " " + itemName(item) + " " + sexName(sex));
        const LadderSex own = sex == Sex::Boys ? LadderSex::Boys : LadderSex::Girls;
        std::vector<const Ladder*> rows;
        for (const LadderRow& row : table)
          if (row.item == item && (row.sex == own || row.sex == LadderSex::Any)) rows.push_back(&row.ladder);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(findLadder(table, item, sex), rows[0]);
      }
    }
  }
}

struct ScoreCase {
  Grade grade;
  Item item;
  std::vector<Sex> sexes;
  const char* typed;
  int points;
};

// The cases the scoring rules name; the one-ladder items under either sex. A star marks a
// bound whose float lies below the decimal, with what a comparison in double precision
// would give in brackets.
const ScoreCase kScoreCases[] = {
    // Runs are compared as the typed number, seconds above 59 included.
    {kOne, Item::Run1000, kGirls, "4.75", 12},
    {kOne, Item::Run1000, kBoys, "4.75", 12},
    {kOne, Item::Run1000, kBoys, "9.99", 10},
    {kOne, Item::Run1000, kGirls, "9.99", 10},
    {kOne, Item::Run1000, kBoys, "5.15", 10},
    {kOne, Item::Run1000, kGirls, "5.15", 10},
    {kOne, Item::Run1000, kBoys, "4.40", 12},
    {kOne, Item::Run1000, kGirls, "4.39", 13},
    {kOne, Item::Run1000, kBoys, "3.43", 17},
    {kOne, Item::Run1000, kBoys, "3.42", 20},
    {kOne, Item::Run1000, kGirls, "3.42", 20},
    {kOne, Item::Run800, kGirls, "3.40", 17},
    {kOne, Item::Run800, kBoys, "3.39", 20},
    {kOne, Item::Run800, kGirls, "3.39", 20},
    {kOne, Item::Run50, kGirls, "8.3", 26},
    {kOne, Item::Run50, kGirls, "8.29", 30},
    {kOne, Item::LongJump, kBoys, "254", 30},
    {kOne, Item::LongJump, kBoys, "253.99", 26},
    {kOne, Item::LongJump, kBoys, "1", 15},
    {kOne, Item::StepTest, kBoys, "50", 15},
    {kOne, Item::StepTest, kGirls, "50", 16},
    {kOne, Item::GripIndex, kGirls, "29", 12},
    {kOne, Item::GripIndex, kGirls, "28.99", 10},
    {kOne, Item::SitUps, kGirls, "44", 20},
    {kOne, Item::SitUps, kBoys, "44", 20},
    {kOne, Item::SitUps, kGirls, "43.99", 17},
    {kOne, Item::SitUps, kBoys, "43.99", 17},
    {kOne, Item::SitAndReach, kBoys, "7.2", 15},
    {kOne, Item::Run1000, kGirls, "0", 0},
    // 0 or less scores 0 before any ladder; sit-and-reach never reaches its lower bands.
    {kOne, Item::Run1000, kBoys, "0", 0},
    {kOne, Item::Run50, kBoys, "-3", 0},
    {kOne, Item::LongJump, kGirls, "none", 0},
    {kOne, Item::SitAndReach, kBoys, "0", 0},
    {kOne, Item::SitAndReach, kBoys, "-0.5", 0},
    {kOne, Item::SitAndReach, kGirls, "-0.5", 0},
    {kOne, Item::SitAndReach, kBoys, "0.1", 12},
    {kOne, Item::SitAndReach, kGirls, "0.1", 12},

    // Grade two, and where grade one scores the same typing otherwise, grade one beside it.
    {kTwo, Item::Run1000, kEither, "5.09", 10},
    {kOne, Item::Run1000, kEither, "5.09", 12},
    {kTwo, Item::Run1000, kEither, "3.42", 17},
    {kTwo, Item::Run1000, kEither, "3.41", 20},
    {kTwo, Item::Run1000, kEither, "4.35", 12},  // * [13]
    {kOne, Item::Run1000, kEither, "4.35", 13},
    {kTwo, Item::Run1000, kEither, "4.24", 13},  // * [15]
    {kOne, Item::Run1000, kEither, "4.24", 15},
    {kTwo, Item::Run1000, kEither, "3.51", 16},  // * [17]
    {kTwo, Item::Run800, kEither, "5.13", 10},
    {kTwo, Item::Run800, kEither, "5.12", 12},
    {kOne, Item::Run800, kEither, "5.12", 10},
    {kTwo, Item::Run800, kEither, "3.41", 17},
    {kTwo, Item::Run800, kEither, "3.40", 20},
    {kOne, Item::Run800, kEither, "3.40", 17},
    {kTwo, Item::Run800, kEither, "4.06", 15},  // * [16]
    {kTwo, Item::Run50, kBoys, "7.7", 18},      // * [20]
    {kOne, Item::Run50, kBoys, "7.7", 20},
    {kTwo, Item::Run50, kBoys, "7.3", 23},
    {kOne, Item::Run50, kBoys, "7.3", 25},
    {kTwo, Item::Run50, kBoys, "6.7", 26},  // * [30]
    {kOne, Item::Run50, kBoys, "6.7", 30},
    {kTwo, Item::Run50, kBoys, "6.6", 30},
    {kTwo, Item::Run50, kGirls, "10.4", 15},  // * [18]
    {kOne, Item::Run50, kGirls, "10.4", 18},
    {kTwo, Item::Run50, kGirls, "8.9", 23},  // * [25]
    {kOne, Item::Run50, kGirls, "8.9", 25},
    {kTwo, Item::Run50, kGirls, "8.2", 26},  // * [30]
    {kOne, Item::Run50, kGirls, "8.2", 30},
    {kTwo, Item::Run50, kGirls, "8.1", 30},
    {kTwo, Item::LongJump, kBoys, "256", 30},
    {kTwo, Item::LongJump, kBoys, "189", 15},
    {kTwo, Item::LongJump, kGirls, "140", 18},
    {kOne, Item::LongJump, kGirls, "140", 15},
    {kTwo, Item::LongJump, kGirls, "139", 15},
    {kTwo, Item::SitAndReach, kBoys, "11.5", 16},
    {kTwo, Item::SitAndReach, kBoys, "11.4", 15},
    {kOne, Item::SitAndReach, kBoys, "11.4", 16},
    {kTwo, Item::SitAndReach, kBoys, "11.2", 15},
    {kOne, Item::SitAndReach, kBoys, "11.2", 16},
    {kTwo, Item::SitAndReach, kBoys, "7.2", 15},  // * [13]
    {kTwo, Item::SitAndReach, kBoys, "0.1", 12},
    {kTwo, Item::SitAndReach, kGirls, "17.7", 20},
    {kOne, Item::SitAndReach, kGirls, "17.7", 17},
    {kTwo, Item::SitAndReach, kGirls, "12.2", 16},  // * [15]
    {kOne, Item::SitAndReach, kGirls, "12.2", 15},
    {kTwo, Item::SitAndReach, kGirls, "0.1", 12},
    {kTwo, Item::SitAndReach, kEither, "0", 0},
    {kTwo, Item::SitAndReach, kEither, "-0.5", 0},
    {kTwo, Item::SitAndReach, kEither, "-1", 0},
    {kTwo, Item::GripIndex, kBoys, "81", 20},
    {kTwo, Item::GripIndex, kBoys, "40", 10},
    {kOne, Item::GripIndex, kBoys, "40", 12},
    {kTwo, Item::GripIndex, kGirls, "30", 12},
    {kTwo, Item::GripIndex, kGirls, "29.5", 10},
    {kOne, Item::GripIndex, kGirls, "29.5", 12},
    {kTwo, Item::SitUps, kEither, "45", 20},
    {kTwo, Item::SitUps, kEither, "44", 17},
    {kTwo, Item::SitUps, kEither, "16", 10},
    {kOne, Item::SitUps, kEither, "16", 12},
    {kTwo, Item::StepTest, kBoys, "63", 20},
    {kOne, Item::StepTest, kBoys, "63", 17},
    {kTwo, Item::StepTest, kBoys, "40.9", 10},
    {kTwo, Item::StepTest, kGirls, "39", 12},
    {kOne, Item::StepTest, kGirls, "39", 10},
    {kTwo, Item::StepTest, kGirls, "38.9", 10},

    // Grade three.
    {kThree, Item::Run800, kEither, "5.11", 10},
    {kThree, Item::Run800, kEither, "4.39", 12},  // * [13]
    {kThree, Item::Run800, kEither, "4.38", 13},
    {kThree, Item::Run800, kEither, "4.08", 15},  // * [16]
    {kThree, Item::Run800, kEither, "3.51", 16},  // * [17]
    {kThree, Item::Run800, kEither, "3.41", 17},
    {kThree, Item::Run800, kEither, "3.40", 20},
    {kThree, Item::Run1000, kEither, "5.12", 10},  // * [12]
    {kThree, Item::Run1000, kEither, "4.35", 12},  // * [13]
    {kThree, Item::Run1000, kEither, "4.04", 15},  // * [16]
    {kThree, Item::Run1000, kEither, "3.40", 17},
    {kThree, Item::Run1000, kEither, "3.39", 20},
    {kThree, Item::Run50, kBoys, "7.7", 18},  // * [20]
    {kThree, Item::Run50, kBoys, "7.2", 23},  // * [25]
    {kThree, Item::Run50, kBoys, "6.7", 26},  // * [30]
    {kThree, Item::Run50, kBoys, "6.6", 30},
    {kThree, Item::Run50, kGirls, "10.1", 15},
    {kThree, Item::Run50, kGirls, "8.9", 23},  // * [25]
    {kThree, Item::Run50, kGirls, "8.2", 26},  // * [30]
    {kThree, Item::Run50, kGirls, "8.1", 30},
    {kThree, Item::LongJump, kBoys, "260", 30},
    {kThree, Item::LongJump, kBoys, "259.9", 26},
    {kThree, Item::LongJump, kBoys, "201", 18},
    {kThree, Item::LongJump, kBoys, "200.9", 15},
    {kThree, Item::LongJump, kGirls, "198", 30},
    {kThree, Item::LongJump, kGirls, "134", 15},
    {kThree, Item::SitAndReach, kBoys, "18.8", 20},  // * [17]
    {kThree, Item::SitAndReach, kBoys, "6.0", 13},
    {kThree, Item::SitAndReach, kBoys, "0.1", 12},
    {kThree, Item::SitAndReach, kGirls, "18.8", 17},
    {kThree, Item::SitAndReach, kGirls, "6.0", 12},
    {kThree, Item::SitAndReach, kGirls, "0.1", 12},
    {kThree, Item::SitAndReach, kEither, "0", 0},
    {kThree, Item::SitAndReach, kEither, "-0.5", 0},

    // One typed value in the three grades.
    {kOne, Item::StepTest, kBoys, "61", 17},
    {kTwo, Item::StepTest, kBoys, "61", 17},
    {kThree, Item::StepTest, kBoys, "61", 20},
    {kOne, Item::SitAndReach, kBoys, "17.1", 20},
    {kTwo, Item::SitAndReach, kBoys, "17.1", 20},
    {kThree, Item::SitAndReach, kBoys, "17.1", 17},
    {kOne, Item::Run50, kGirls, "10.1", 18},
    {kTwo, Item::Run50, kGirls, "10.1", 18},
    {kThree, Item::Run50, kGirls, "10.1", 15},
};

TEST(Ladders, TypedMeasurements) {
  for (const ScoreCase& c : kScoreCases) {
    for (Sex sex : c.sexes) {
      EXPECT_EQ(itemScore(c.grade.ladders(), c.item, sex, toReal(c.typed)), c.points)
          << c.grade.name << " " << itemName(c.item) << " " << sexName(sex) << " " << c.typed;
    }
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
  Grade grade;
  const char* capacity;
  const char* weight;
  Sex sex;
  VitalCapacityScore expected;
};

const VitalCase kVitalCases[] = {
    // The float quotients: 2724 / 45.4 falls just below 60, 2712 / 45.2 rounds to 60.
    {kOne, "2724", "45.4", Sex::Girls, {false, 13}},
    {kOne, "2712", "45.2", Sex::Girls, {false, 15}},
    {kOne, "3000", "50", Sex::Boys, {false, 11}},
    {kOne, "3000", "50", Sex::Girls, {false, 15}},
    {kOne, "2440", "40", Sex::Boys, {false, 12}},
    {kOne, "3000", "0", Sex::Boys, {true, 0}},
    {kOne, "3000", "-5", Sex::Girls, {true, 0}},
    {kOne, "0", "0", Sex::Boys, {false, 0}},
    {kOne, "0", "50", Sex::Boys, {false, 0}},
    {kOne, "-100", "50", Sex::Girls, {false, 0}},
    {kOne, "1300", "50", Sex::Girls, {false, 8}},
    // Index 73 and 72, then 60, 26 and 25.
    {kTwo, "3650", "50", Sex::Boys, {false, 15}},
    {kTwo, "3600", "50", Sex::Boys, {false, 13}},
    {kTwo, "3000", "50", Sex::Girls, {false, 15}},
    {kTwo, "1300", "50", Sex::Girls, {false, 9}},
    {kTwo, "1250", "50", Sex::Girls, {false, 8}},
    {kTwo, "3000", "0", Sex::Boys, {true, 0}},
    {kTwo, "0", "0", Sex::Boys, {false, 0}},
    {kThree, "3000", "50", Sex::Girls, {false, 15}},
    // One typed value in the three grades.
    {kTwo, "3000", "50", Sex::Boys, {false, 11}},
    {kThree, "3000", "50", Sex::Boys, {false, 12}},
};

TEST(VitalCapacity, IndexInFloat) {
  EXPECT_LT(vitalCapacityIndex(2724, toReal("45.4")), 60.0f);
  EXPECT_EQ(vitalCapacityIndex(2712, toReal("45.2")), 60.0f);
  for (const VitalCase& c : kVitalCases) {
    const VitalCapacityScore got = vitalCapacityScore(c.grade.ladders(), c.sex, toReal(c.capacity), toReal(c.weight));
    SCOPED_TRACE(std::string(c.grade.name) + " " + sexName(c.sex) + " " + c.capacity + " / " + c.weight);
    EXPECT_EQ(got.needsWeight, c.expected.needsWeight);
    EXPECT_EQ(got.points, c.expected.points);
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
      {40, 7},         {below(z1), 7}, {z1, 9},        {below(z2), 9}, {z2, 15},
      {below(z3), 15}, {z3, 9},        {below(z4), 9}, {z4, 7},        {90, 7},
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
      {86, "优秀", kBlue},  {85, "良好", kMagenta}, {76, "良好", kMagenta},
      {75, "及格", kGreen}, {60, "及格", kGreen},   {59, "不及格", kRed},
      {1, "不及格", kRed},  {0, "", std::nullopt},  {-7, "", std::nullopt},
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
      {"each optional field in its turn",
       scores(0, 0, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 1}),
       {1, "不及格", kRed}},
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
