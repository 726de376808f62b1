#pragma once

// What every benchmark prints beside its figures: the spread of its samples and how busy the
// machine was, since other work on a shared machine moves the figures.

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace bench {

// The load averages over 1, 5 and 15 minutes, and the number of cores they are shared by.
inline std::string machineLoad() {
  std::ifstream in("/proc/loadavg");
  double one = 0, five = 0, fifteen = 0;
  in >> one >> five >> fifteen;
  char text[96];
  std::snprintf(text, sizeof text, "load %.2f %.2f %.2f on %ld cores", one, five, fifteen,
                sysconf(_SC_NPROCESSORS_ONLN));
  return text;
}

struct Span {
  double median = 0, min = 0, max = 0;
};

inline Span span(std::vector<double> samples) {
  if (samples.empty()) return {};
  std::sort(samples.begin(), samples.end());
  return {samples[samples.size() / 2], samples.front(), samples.back()};
}

}  // namespace bench
