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

constexpr LadderRow kGradeTwo[] = {
    {Item::StepTest, LadderSex::Boys, {6, {63, 59, 53, 49, 46, 41}, kStepTest}},
    {Item::StepTest, LadderSex::Girls, {6, {58, 54, 49, 45, 42, 39}, kStepTest}},
    {Item::Run1000, LadderSex::Any, {6, {5.09f, 4.35f, 4.24f, 4.05f, 3.51f, 3.42f}, kRun}},
    {Item::Run800, LadderSex::Any, {6, {5.13f, 4.38f, 4.26f, 4.06f, 3.50f, 3.41f}, kRun}},
    {Item::Run50, LadderSex::Boys, {6, {8.3f, 7.7f, 7.5f, 7.3f, 7.0f, 6.7f}, kRun50}},
    {Item::Run50, LadderSex::Girls, {6, {10.4f, 9.5f, 9.3f, 8.9f, 8.5f, 8.2f}, kRun50}},
    {Item::LongJump, LadderSex::Boys, {6, {256, 250, 235, 221, 215, 190}, kLongJump}},
    {Item::LongJump, LadderSex::Girls, {6, {194, 186, 175, 165, 160, 140}, kLongJump}},
    {Item::SitAndReach, LadderSex::Boys, {5, {17.1f, 15.0f, 11.5f, 7.2f, 5.0f}, kSitAndReach}},
    {Item::SitAndReach, LadderSex::Girls, {5, {17.7f, 15.8f, 12.2f, 8.8f, 6.3f}, kSitAndReach}},
    {Item::GripIndex, LadderSex::Boys, {6, {81, 76, 67, 58, 52, 41}, kIndex}},
    {Item::GripIndex, LadderSex::Girls, {6, {62, 56, 50, 42, 40, 30}, kIndex}},
    {Item::SitUps, LadderSex::Any, {6, {45, 41, 35, 30, 26, 17}, kIndex}},
    {Item::VitalCapacity, LadderSex::Boys, {6, {73, 69, 61, 54, 49, 36}, kVitalCapacity}},
    {Item::VitalCapacity, LadderSex::Girls, {6, {60, 55, 48, 41, 38, 26}, kVitalCapacity}},
};

constexpr LadderRow kGradeThree[] = {
    {Item::StepTest, LadderSex::Boys, {6, {61, 57, 51, 47, 45, 41}, kStepTest}},
    {Item::StepTest, LadderSex::Girls, {6, {57, 54, 49, 45, 43, 39}, kStepTest}},
    {Item::Run1000, LadderSex::Any, {6, {5.12f, 4.35f, 4.23f, 4.04f, 3.49f, 3.40f}, kRun}},
    {Item::Run800, LadderSex::Any, {6, {5.11f, 4.39f, 4.26f, 4.08f, 3.51f, 3.41f}, kRun}},
    {Item::Run50, LadderSex::Boys, {6, {8.5f, 7.7f, 7.5f, 7.2f, 6.9f, 6.7f}, kRun50}},
    {Item::Run50, LadderSex::Girls, {6, {10.1f, 9.6f, 9.3f, 8.9f, 8.5f, 8.2f}, kRun50}},
    {Item::LongJump, LadderSex::Boys, {6, {260, 252, 240, 226, 220, 201}, kLongJump}},
    {Item::LongJump, LadderSex::Girls, {6, {198, 190, 180, 170, 160, 135}, kLongJump}},
    {Item::SitAndReach, LadderSex::Boys, {5, {18.8f, 16.0f, 12.0f, 8.0f, 6.0f}, kSitAndReach}},
    {Item::SitAndReach, LadderSex::Girls, {5, {19.1f, 16.5f, 13.0f, 10.0f, 7.8f}, kSitAndReach}},
    {Item::GripIndex, LadderSex::Boys, {6, {81, 74, 66, 58, 54, 41}, kIndex}},
    {Item::GripIndex, LadderSex::Girls, {6, {59, 55, 49, 43, 40, 30}, kIndex}},
    {Item::SitUps, LadderSex::Any, {6, {44, 41, 35, 29, 25, 18}, kIndex}},
    {Item::VitalCapacity, LadderSex::Boys, {6, {71, 66, 58, 50, 46, 36}, kVitalCapacity}},
    {Item::VitalCapacity, LadderSex::Girls, {6, {59, 54, 48, 41, 37, 26}, kVitalCapacity}},
};

}  // namespace

LadderTable gradeOneLadders() { return kGradeOne; }
LadderTable gradeTwoLadders() { return kGradeTwo; }
LadderTable gradeThreeLadders() { return kGradeThree; }

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
