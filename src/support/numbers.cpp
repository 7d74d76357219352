// Conversion of reals to 32-bit integers: rounding halves away from zero, with a range check.
#include "support/numbers.hpp"

#include <cmath>
#include <limits>

namespace qel2br::support {

double round_half_away(double value) { return std::round(value); }

std::optional<std::int32_t> to_int32(double value) {
  if (!std::isfinite(value)) {
    return std::nullopt;
  }
  const double rounded = round_half_away(value);
  // Both bounds are exact in a double, so the comparison decides the range before any cast.
  constexpr auto kLowest = static_cast<double>(std::numeric_limits<std::int32_t>::min());
  constexpr auto kHighest = static_cast<double>(std::numeric_limits<std::int32_t>::max());
  if (rounded < kLowest || rounded > kHighest) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(rounded);
}

}  // namespace qel2br::support
