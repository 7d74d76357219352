// Conversion of reals to 32-bit integers: rounding halves away from zero, with a range check.
#pragma once

#include <cstdint>
#include <optional>

namespace qel2br::support {

// round_half_away(value): value rounded to the nearest whole number, halves away from zero
// (2.5 gives 3, -2.5 gives -3). NaN and infinities come back as they are.
[[nodiscard]] double round_half_away(double value);

// to_int32(value): value rounded to the nearest integer, halves away from zero, as a 32-bit
// integer; nullopt when value is NaN, infinite, or rounds to a number outside the 32-bit range.
[[nodiscard]] std::optional<std::int32_t> to_int32(double value);

}  // namespace qel2br::support
