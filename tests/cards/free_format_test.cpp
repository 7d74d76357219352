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
#include <system_error>
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

// Every number reads as the double nearest to it: the value the library's from_chars gives,
// bit for bit. Texts of every length of digits, with the point anywhere, exponents far and near,
// signs and D exponents, and the numbers next to the edges of what a double holds exactly.
TEST(ReadReal, SameDoubleAsTheLibrary) {
  std::vector<std::string> texts = {"9007199254740992",
                                    "9007199254740993",
                                    "9007199254740995",
                                    "18014398509481985",
                                    "1e22",
                                    "1e23",
                                    "9007199254740993e22",
                                    "1234567890123456789",
                                    "12345678901234567890",
                                    "0.00000000000000000001",
                                    "0000000000000000000000123.5",
                                    "0.1",
                                    "0.3",
                                    "2.2250738585072014e-308",
                                    "4.9e-324",
                                    "1.7976931348623157e308",
                                    "123456.789e-22",
                                    "7e-23",
                                    "-0",
                                    "-0.0e5"};
  std::uint64_t state = 2024;
  for (int i = 0; i < 20000; ++i) {
    state = state * 6364136223846793005U + 1442695040888963407U;
    const int length = 1 + static_cast<int>((state >> 33U) % 24U);
    std::string digits;
    std::uint64_t draw = state;
    for (int k = 0; k < length; ++k) {
      digits += static_cast<char>('0' + draw % 10U);
      draw = draw / 10U + (state >> 20U);
    }
    const auto point =
        static_cast<std::size_t>((state >> 40U) % static_cast<std::uint64_t>(length + 1));
    std::string text =
        (i % 3 == 0 ? "-" : "") + digits.substr(0, point) + "." + digits.substr(point);
    if (i % 4 != 0) {
      const int exponent = static_cast<int>((state >> 50U) % 61U) - 30;
      text += (i % 8 == 1 ? "D" : "E") + std::to_string(exponent);
    }
    texts.push_back(text);
  }
  for (const std::string& text : texts) {
    std::string library = text;
    std::replace(library.begin(), library.end(), 'D', 'E');
    double expected = 0.0;
    const auto res = std::from_chars(library.data(), library.data() + library.size(), expected);
    ASSERT_EQ(res.ec, std::errc{}) << text;
    const FieldValue got = read_real("  " + text + "  ");
    ASSERT_EQ(got.error, FieldError::kNone) << text;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(got.value), std::bit_cast<std::uint64_t>(expected))
        << text;
  }
}

TEST(ReadReal, RepeatCountsOfAnyLength) {
  EXPECT_EQ(read_real("0000000000000000000000002*5").value, 5.0);
  EXPECT_EQ(read_real("2147483647*1.5").value, 1.5);
  EXPECT_EQ(read_real("2147483648*1.5").error, FieldError::kNotANumber);
  EXPECT_EQ(read_real("1E1*1.5").error, FieldError::kNotANumber);
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
