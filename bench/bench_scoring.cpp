// The scoring core's cost: a full rescoring pass of one student next to one bare ladder
// lookup. bench_calculator sets the same pass through the window beside it.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core_pass.h"
#include "scoring/core/ladders.h"

using namespace scoring;
using bench::kStudents;
using bench::rescore;

namespace {

using Clock = std::chrono::steady_clock;

template <class F>
double nsPerCall(long repetitions, F&& f) {
  const auto t0 = Clock::now();
  f(repetitions);
  const auto t1 = Clock::now();
  return std::chrono::duration<double, std::nano>(t1 - t0).count() / static_cast<double>(repetitions);
}

}  // namespace

int main(int argc, char** argv) {
  const long passes = argc > 1 ? std::max(1L, std::atol(argv[1])) : 1000000;
  const long lookups = passes * 50;
  volatile long sink = 0;

  const double pass = nsPerCall(passes, [&](long n) {
    long sum = 0;
    for (long i = 0; i < n; ++i) {
      sum += rescore(kStudents[i & 3], (i & 4) ? Sex::Girls : Sex::Boys);
    }
    sink = sink + sum;
  });

  const Ladder& ladder = *findLadder(gradeOneLadders(), Item::LongJump, Sex::Boys);
  std::vector<float> values(1024);
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = 150.0f + static_cast<float>(i % 128);
  const double lookup = nsPerCall(lookups, [&](long n) {
    long sum = 0;
    for (long i = 0; i < n; ++i) sum += applyLadder(ladder, values[i & 1023]);
    sink = sink + sum;
  });

  std::printf("full rescoring pass  %8.1f ns  (%ld passes)\n", pass, passes);
  std::printf("bare ladder lookup   %8.2f ns  (%ld lookups)\n", lookup, lookups);
  std::printf("ratio pass / lookup  %8.1f\n", pass / lookup);
  return sink == 42 ? 1 : 0;
}
