// Tests of round_half_away and to_int32.
#include "support/numbers.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

namespace qel2br::support {
namespace {

TEST(RoundHalfAway, HalvesGoAwayFromZero) {
  struct Row {
    const char* name;
    double value;
    double expected;
  };
  const Row rows[] = {
      {"2.5", 2.5, 3.0},       {"-2.5", -2.5, -3.0},   {"0.5", 0.5, 1.0}, {"-0.5", -0.5, -1.0},
      {"2.4999", 2.4999, 2.0}, {"-2.51", -2.51, -3.0}, {"3.0", 3.0, 3.0}, {"0.49", 0.49, 0.0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(round_half_away(row.value), row.expected);
  }
}

TEST(ToInt32, RoundsAndChecksTheRange) {
  struct Row {
    const char* name;
    double value;
    std::optional<std::int32_t> expected;
  };
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const Row rows[] = {
      {"2.5", 2.5, 3},
      {"-2.5", -2.5, -3},
      {"1.4", 1.4, 1},
      {"-1.6", -1.6, -2},
      {"zero", 0.0, 0},
      {"largest, rounding down", 2147483647.4, 2147483647},
      {"largest plus a half", 2147483647.5, std::nullopt},
      {"lowest", -2147483648.0, -2147483647 - 1},
      {"lowest, rounding up", -2147483648.4, -2147483647 - 1},
      {"lowest minus a half", -2147483648.5, std::nullopt},
      {"1e10", 1e10, std::nullopt},
      {"-1e300", -1e300, std::nullopt},
      {"NaN", kNaN, std::nullopt},
      {"infinity", kInf, std::nullopt},
      {"minus infinity", -kInf, std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(to_int32(row.value), row.expected);
  }
}

}  // namespace
}  // namespace qel2br::support
