#pragma once

// One student rescored by the scoring core alone: the pass the calculator window makes,
// without the window. A pass reads the eleven inputs, scores the nine ladder items, adjusts
// height and weight and scores the weight against bounds already fetched, then totals and
// rates.

#include <array>
#include <string>
#include <vector>

#include "scoring/core/ladders.h"
#include "scoring/core/scoring.h"

namespace bench {

// The eleven inputs in window order: height, weight, step test, 1000 m, 800 m, vital capacity,
// 50 m, long jump, sit-and-reach, sit-ups, grip index.
using Inputs = std::array<std::string, 11>;

inline const std::vector<Inputs> kStudents = {
    {"172.5", "63.4", "55", "4.05", "none", "3,500", "7.3", "240", "12.5", "none", "60"},
    {"192", "70", "66", "3.42", "none", "4,120", "6.8", "256", "18.0", "none", "80"},
    {"158.3", "48.9", "47", "none", "3.45", "2,724", "9.1", "171", "9.5", "33", "41"},
    {"188", "60", "41", "none", "4.40", "2,100", "10.9", "150", "0.1", "16", "28.5"},
};

inline constexpr std::array<float, 4> kBounds{55.5f, 60.2f, 66.8f, 72.0f};  // z1..z4, fetched earlier

inline int rescore(const Inputs& in, scoring::Sex sex) {
  using namespace scoring;
  const LadderTable table = gradeOneLadders();
  YearTotalInput total;
  int height = 0;
  if (auto adjusted = adjustHeight(toReal(in[0]), toReal(in[1]), sex))
    height = weightBandScore(adjusted->weight, kBounds[0], kBounds[1], kBounds[2], kBounds[3]);
  total.em_s_t = static_cast<float>(height);
  total.em_f_t = static_cast<float>(vitalCapacityScore(table, sex, toReal(in[5]), toReal(in[1])).points);
  const Item items[] = {Item::StepTest, Item::Run1000,     Item::Run800, Item::Run50,
                        Item::LongJump, Item::SitAndReach, Item::SitUps, Item::GripIndex};
  const int field[] = {2, 3, 4, 6, 7, 8, 9, 10};
  for (int i = 0; i < 8; ++i) {
    total.optional[i] = static_cast<float>(itemScore(table, items[i], sex, toReal(in[field[i]])));
    total.enabled[i] = true;
  }
  total.bonus[0] = true;
  const YearTotal result = yearTotal(total);
  return result.total + static_cast<int>(result.level.size());
}

}  // namespace bench
