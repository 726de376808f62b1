#pragma once

// Included by every source of the scoring core: scores must come out of the same float
// steps on every build, with no excess precision and no fast-math reordering (the library
// is built with -ffp-contract=off).

#include <cfloat>

static_assert(FLT_EVAL_METHOD == 0, "float arithmetic must be evaluated in float");
#ifdef __FAST_MATH__
#error "the scoring core must not be built with -ffast-math"
#endif
