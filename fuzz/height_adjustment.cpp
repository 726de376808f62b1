// The height adjustment and the weight bands on every pair of values text-to-real can give:
// it always ends, and the score is one of the bands' points.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "scoring/core/scoring.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 + 4 * sizeof(float)) return 0;
  const scoring::Sex sex = data[0] & 1 ? scoring::Sex::Boys : scoring::Sex::Girls;
  float bounds[4];
  std::memcpy(bounds, data + 1, sizeof bounds);  // any bounds, NaN (a null column) included
  const std::string_view rest(reinterpret_cast<const char*>(data + 1 + sizeof bounds), size - 1 - sizeof bounds);
  // Height and weight as the user types them: two texts split at the first blank line.
  const std::size_t cut = rest.find('\n');
  const float height = scoring::toReal(rest.substr(0, cut));
  const float weight = cut == std::string_view::npos ? 0.0f : scoring::toReal(rest.substr(cut + 1));
  float score = 0;
  if (auto adjusted = scoring::adjustHeight(height, weight, sex))
    score = static_cast<float>(scoring::weightBandScore(adjusted->weight, bounds[0], bounds[1], bounds[2], bounds[3]));
  if (score != 0 && score != 7 && score != 9 && score != 15) std::abort();
  return 0;
}
