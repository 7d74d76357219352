// Tests of read_real and read_int32_digits.
#include "cards/free_format.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qel2br::cards {
namespace {

struct RealRow {
  const char* name;
  std::string_view text;
  FieldError error;
  double value;  // 0 when there is an error
};

TEST(ReadReal, ReadsTheFirstValue) {
  const RealRow rows[] = {
      {"integer", "5", FieldError::kNone, 5.0},
      {"blanks around", "    12.5   ", FieldError::kNone, 12.5},
      {"plus sign", "+3", FieldError::kNone, 3.0},
      {"minus sign", "-0.25", FieldError::kNone, -0.25},
      {"trailing point", "5.", FieldError::kNone, 5.0},
      {"leading point", ".5", FieldError::kNone, 0.5},
      {"minus leading point", "-.5", FieldError::kNone, -0.5},
      {"E exponent", "2.5E3", FieldError::kNone, 2500.0},
      {"e exponent, minus", "2.5e-3", FieldError::kNone, 0.0025},
      {"D exponent", "1.5D2", FieldError::kNone, 150.0},
      {"d exponent, plus", "+1.5d+2", FieldError::kNone, 150.0},
      {"exponent without point", "1E5", FieldError::kNone, 100000.0},
      {"leading zeros", "007", FieldError::kNone, 7.0},
      {"second value not read", "1.5 abc", FieldError::kNone, 1.5},
      {"comma separator", "4,x", FieldError::kNone, 4.0},
      {"blanks around comma", " 4 , 9", FieldError::kNone, 4.0},
      {"slash ends the list", "5/", FieldError::kNone, 5.0},
      {"slash then rubbish", "5/zz", FieldError::kNone, 5.0},
      {"repeat", "2*5.5", FieldError::kNone, 5.5},
      {"repeat of one", "1*-3", FieldError::kNone, -3.0},
      {"repeat with D exponent", "3*1D1", FieldError::kNone, 10.0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const FieldValue got = read_real(row.text);
    EXPECT_EQ(got.error, row.error);
    EXPECT_DOUBLE_EQ(got.value, row.value);
  }
}

TEST(ReadReal, ReportsWhyThereIsNoValue) {
  const RealRow rows[] = {
      {"empty", "", FieldError::kBlank, 0.0},
      {"blank", "          ", FieldError::kBlank, 0.0},
      {"leading comma", ",5", FieldError::kNullValue, 0.0},
      {"blanks then comma", "   , 5", FieldError::kNullValue, 0.0},
      {"slash first", " / 5", FieldError::kNullValue, 0.0},
      {"repeat of nulls", "3*", FieldError::kNullValue, 0.0},
      {"repeat of nulls, then value", "3* 5", FieldError::kNullValue, 0.0},
      {"repeat of nulls, comma", "3*,5", FieldError::kNullValue, 0.0},
      {"letters", "ABC", FieldError::kNotANumber, 0.0},
      {"NaN", "NaN", FieldError::kNotANumber, 0.0},
      {"Inf", "Inf", FieldError::kNotANumber, 0.0},
      {"infinity", "infinity", FieldError::kNotANumber, 0.0},
      {"lone minus", "-", FieldError::kNotANumber, 0.0},
      {"lone plus", "+", FieldError::kNotANumber, 0.0},
      {"lone point", ".", FieldError::kNotANumber, 0.0},
      {"sign and point", "-.", FieldError::kNotANumber, 0.0},
      {"two points", "1.2.3", FieldError::kNotANumber, 0.0},
      {"exponent without digits", "1E", FieldError::kNotANumber, 0.0},
      {"exponent sign without digits", "1E+", FieldError::kNotANumber, 0.0},
      {"exponent alone", "E5", FieldError::kNotANumber, 0.0},
      {"letter behind", "12A", FieldError::kNotANumber, 0.0},
      {"two signs", "+-5", FieldError::kNotANumber, 0.0},
      {"sign behind", "5.-", FieldError::kNotANumber, 0.0},
      {"hex", "0x1A", FieldError::kNotANumber, 0.0},
      {"quoted", "'5'", FieldError::kNotANumber, 0.0},
      {"double quoted", "\"5\"", FieldError::kNotANumber, 0.0},
      {"tab inside", "5\t", FieldError::kNotANumber, 0.0},
      {"signed repeat", "+2*5", FieldError::kNotANumber, 0.0},
      {"zero repeat", "0*5", FieldError::kNotANumber, 0.0},
      {"real repeat", "2.0*5", FieldError::kNotANumber, 0.0},
      {"star first", "*5", FieldError::kNotANumber, 0.0},
      {"two stars", "2*3*4", FieldError::kNotANumber, 0.0},
      {"repeat of rubbish", "2*X", FieldError::kNotANumber, 0.0},
      {"overflow", "1E999", FieldError::kOutOfRange, 0.0},
      {"negative overflow", "-1D999", FieldError::kOutOfRange, 0.0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const FieldValue got = read_real(row.text);
    EXPECT_EQ(got.error, row.error);
    EXPECT_EQ(got.value, row.value);
  }
}

// A fixed-column field that holds more than its first value: free-format reading takes the
// first value and the rest is lost, which the card reader warns of.
TEST(FirstValue, TellsWhetherTheFieldHoldsMore) {
  struct Row {
    const char* name;
    std::string_view text;
    std::string_view value;
    bool holds_more;
  };
  const Row rows[] = {
      {"one value", "   24.5", "24.5", false},
      {"blank", "     ", "", false},
      {"decimal comma", " 24,5", "24", true},
      {"decimal comma with a leading zero", "0,050", "0", true},
      {"slash before more digits", "2/45", "2", true},
      {"two values", " 1 0 ", "1", true},
      {"comma and blanks, then a value", "3 , 4", "3", true},
      {"lone trailing comma", "24,", "24", false},
      {"lone trailing slash", "10/  ", "10", false},
      {"repeat count", "3*2.5", "3*2.5", false},
      {"text behind", "1.5 abc", "1.5", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const FirstValue first = first_value(row.text);
    EXPECT_EQ(first.text, row.value);
    EXPECT_EQ(first.holds_more, row.holds_more);
    // The reader tells the same of every field it reads a value from.
    const FieldValue read = read_real(row.text);
    if (read.error == FieldError::kNone) {
      EXPECT_EQ(read.holds_more, row.holds_more);
    }
  }
}

TEST(ReadReal, ZeroWithAHugeExponentIsZero) {
  const FieldValue got = read_real("0.0E999");
  EXPECT_EQ(got.error, FieldError::kNone);
  EXPECT_EQ(got.value, 0.0);
}

// A number too small for a double reads as the nearest double: a subnormal where one is
// nearest, else zero with the number's sign. A number too large stays out of range.
TEST(ReadReal, UnderflowReadsAsTheNearestDouble) {
  struct Row {
    const char* name;
    std::string_view text;
    double value;
  };
  const Row rows[] = {
      {"subnormal", "1E-310", 1e-310},
      {"smallest subnormal", "4E-324", std::numeric_limits<double>::denorm_min()},
      {"below half the smallest subnormal", "2E-324", 0.0},
      {"far below", "1E-400", 0.0},
      {"D exponent, far below", "1D-400", 0.0},
      {"digits behind the point", "0.00001E-999", 0.0},
      {"many digits before the point", "12345678901234567890E-400", 0.0},
      {"exponent longer than any", "1E-99999999999999999999", 0.0},
      {"negative", "-1E-400", -0.0},
      {"repeat", "2*1E-400", 0.0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const FieldValue got = read_real(row.text);
    EXPECT_EQ(got.error, FieldError::kNone);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(got.value), std::bit_cast<std::uint64_t>(row.value));
  }
  for (const std::string_view large :
       {"1E400", "-1E400", "0.001E312", "123456E99999999999999", "1.7976931348623159E308"}) {
    SCOPED_TRACE(std::string(large));
    EXPECT_EQ(read_real(large).error, FieldError::kOutOfRange);
  }
}

TEST(ReadInt32Digits, ReadsDigitsWithinRange) {
  struct Row {
    const char* name;
    std::string_view digits;
    std::optional<std::int32_t> expected;
  };
  const Row rows[] = {
      {"one digit", "5", 5},
      {"leading zeros", "007", 7},
      {"zero", "0", 0},
      {"largest", "2147483647", 2147483647},
      {"largest with leading zeros", "0002147483647", 2147483647},
      {"one past largest", "2147483648", std::nullopt},
      {"very long", "99999999999999999999", std::nullopt},
      {"empty", "", std::nullopt},
      {"sign", "-5", std::nullopt},
      {"blank", " 5", std::nullopt},
      {"letter", "5A", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(read_int32_digits(row.digits), row.expected);
  }
}

}  // namespace
}  // namespace qel2br::cards
