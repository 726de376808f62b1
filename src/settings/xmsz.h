#pragma once

#include <array>

#include "scoring/core/ladders.h"

// The item columns of a grade's row in `xmsz`, boys' then girls': whether an optional item
// counts for that sex ("1" it does, "0" it does not). The settings window writes them and
// the grade's calculator reads them, both in this order. An optional item without a column
// for a sex never counts for it.
struct ItemColumn {
  const char* name;
  scoring::Item item;
  scoring::Sex sex;
};

inline constexpr std::array<ItemColumn, 13> kItemColumns{{
    {"xm_t_m", scoring::Item::StepTest, scoring::Sex::Boys},
    {"xm_1_m", scoring::Item::Run1000, scoring::Sex::Boys},
    {"xm_5_m", scoring::Item::Run50, scoring::Sex::Boys},
    {"xm_l_m", scoring::Item::LongJump, scoring::Sex::Boys},
    {"xm_z_m", scoring::Item::SitAndReach, scoring::Sex::Boys},
    {"xm_w_m", scoring::Item::GripIndex, scoring::Sex::Boys},
    {"xm_t_w", scoring::Item::StepTest, scoring::Sex::Girls},
    {"xm_8_w", scoring::Item::Run800, scoring::Sex::Girls},
    {"xm_5_w", scoring::Item::Run50, scoring::Sex::Girls},
    {"xm_l_w", scoring::Item::LongJump, scoring::Sex::Girls},
    {"xm_z_w", scoring::Item::SitAndReach, scoring::Sex::Girls},
    {"xm_y_w", scoring::Item::SitUps, scoring::Sex::Girls},
    {"xm_w_w", scoring::Item::GripIndex, scoring::Sex::Girls},
}};
