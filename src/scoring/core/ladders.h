#pragma once

// The score ladders of the calculators: one rule over tables that are data, one table per
// grade. Plain C++ over float; every step is computed in the library's own sources.

#include <array>
#include <span>

namespace scoring {

enum class Sex { Boys, Girls };

enum class Item { StepTest, Run1000, Run800, Run50, LongJump, SitAndReach, GripIndex, SitUps, VitalCapacity };

// Descending bounds b[0] > b[1] > ... and the points of the bands between them: v >= b[0]
// gives p[0], b[i] <= v < b[i-1] gives p[i], v below the last bound in use gives p[bounds].
// Decimal bounds are written as float literals, so each is the float nearest to the decimal
// and a measurement typed exactly like a bound equals it.
struct Ladder {
  int bounds;  // how many of b are in use: six, or five where the lowest band never applies
  std::array<float, 6> b;
  std::array<int, 7> p;
};

// Which ladder a row holds: a sex's, or the only one of an item scored alike for both.
enum class LadderSex { Boys, Girls, Any };

struct LadderRow {
  Item item;
  LadderSex sex;
  Ladder ladder;
};

// A grade's ladder table: one row per item and sex.
using LadderTable = std::span<const LadderRow>;

LadderTable gradeOneLadders();
LadderTable gradeTwoLadders();
LadderTable gradeThreeLadders();

// The ladder of an item for a sex; null when the table has none.
const Ladder* findLadder(LadderTable table, Item item, Sex sex);

// The ladder rule alone. A value that meets no band (NaN) scores 0.
int applyLadder(const Ladder& ladder, float v);

// A measurement's score: 0 or less scores 0 before the ladder is consulted.
int itemScore(LadderTable table, Item item, Sex sex, float v);

// Vital capacity divided by weight, stored as a float.
float vitalCapacityIndex(float capacity, float weight);

struct VitalCapacityScore {
  bool needsWeight;  // a capacity above 0 but a weight of 0 or less: show the grade's message, write nothing
  int points;
};

VitalCapacityScore vitalCapacityScore(LadderTable table, Sex sex, float capacity, float weight);

}  // namespace scoring
