#include "scoring/core/ladders.h"
#include "scoring/core/float_rules.h"

namespace scoring {

namespace {

constexpr std::array<int, 7> kStepTest{20, 17, 16, 15, 13, 12, 10};
constexpr std::array<int, 7> kRun{10, 12, 13, 15, 16, 17, 20};
constexpr std::array<int, 7> kRun50{15, 18, 20, 23, 25, 26, 30};
constexpr std::array<int, 7> kLongJump{30, 26, 25, 23, 20, 18, 15};
constexpr std::array<int, 7> kSitAndReach{20, 17, 16, 15, 13, 12};
constexpr std::array<int, 7> kIndex{20, 17, 16, 15, 13, 12, 10};
constexpr std::array<int, 7> kVitalCapacity{15, 13, 12, 11, 10, 9, 8};

// Sit-and-reach keeps only its bands above 0: a reach of 0 or less scores 0 before any
// ladder, so the bands below would never apply.
constexpr LadderRow kGradeOne[] = {
    {Item::StepTest, LadderSex::Boys, {6, {64, 59, 53, 49, 47, 41}, kStepTest}},
    {Item::StepTest, LadderSex::Girls, {6, {59, 55, 50, 46, 44, 40}, kStepTest}},
    {Item::Run1000, LadderSex::Any, {6, {5.15f, 4.40f, 4.26f, 4.07f, 3.51f, 3.43f}, kRun}},
    {Item::Run800, LadderSex::Any, {6, {5.11f, 4.38f, 4.25f, 4.05f, 3.49f, 3.40f}, kRun}},
    {Item::Run50, LadderSex::Boys, {6, {8.5f, 7.9f, 7.7f, 7.4f, 7.1f, 6.9f}, kRun50}},
    {Item::Run50, LadderSex::Girls, {6, {10.7f, 9.7f, 9.5f, 9.0f, 8.6f, 8.3f}, kRun50}},
    {Item::LongJump, LadderSex::Boys, {6, {254, 248, 235, 220, 215, 198}, kLongJump}},
    {Item::LongJump, LadderSex::Girls, {6, {196, 190, 179, 169, 162, 145}, kLongJump}},
    {Item::SitAndReach, LadderSex::Boys, {5, {17.1f, 15.0f, 11.2f, 7.2f, 5.0f}, kSitAndReach}},
    {Item::SitAndReach, LadderSex::Girls, {5, {18.1f, 16.0f, 12.6f, 8.6f, 6.5f}, kSitAndReach}},
    {Item::GripIndex, LadderSex::Boys, {6, {77, 71, 61, 53, 50, 40}, kIndex}},
    {Item::GripIndex, LadderSex::Girls, {6, {61, 55, 48, 40, 38, 29}, kIndex}},
    {Item::SitUps, LadderSex::Any, {6, {44, 40, 35, 28, 25, 16}, kIndex}},
    {Item::VitalCapacity, LadderSex::Boys, {6, {73, 68, 61, 53, 48, 38}, kVitalCapacity}},
    {Item::VitalCapacity, LadderSex::Girls, {6, {60, 56, 49, 42, 39, 27}, kVitalCapacity}},
};

}  // namespace

LadderTable gradeOneLadders() { return kGradeOne; }

const Ladder* findLadder(LadderTable table, Item item, Sex sex) {
  const LadderSex wanted = sex == Sex::Boys ? LadderSex::Boys : LadderSex::Girls;
  for (const LadderRow& row : table) {
    if (row.item == item && (row.sex == LadderSex::Any || row.sex == wanted)) return &row.ladder;
  }
  return nullptr;
}

int applyLadder(const Ladder& ladder, float v) {
  // Tested from the top: each band's upper limit is the bound tested before it.
  for (int i = 0; i < ladder.bounds; ++i) {
    if (v >= ladder.b[i]) return ladder.p[i];
  }
  if (v < ladder.b[ladder.bounds - 1]) return ladder.p[ladder.bounds];
  return 0;
}

int itemScore(LadderTable table, Item item, Sex sex, float v) {
  if (v <= 0) return 0;
  const Ladder* ladder = findLadder(table, item, sex);
  return ladder ? applyLadder(*ladder, v) : 0;
}

float vitalCapacityIndex(float capacity, float weight) {
  const float index = capacity / weight;
  return index;
}

VitalCapacityScore vitalCapacityScore(LadderTable table, Sex sex, float capacity, float weight) {
  if (weight <= 0) return {capacity > 0, 0};
  return {false, itemScore(table, Item::VitalCapacity, sex, vitalCapacityIndex(capacity, weight))};
}

}  // namespace scoring
