// Rendering of records: every descriptor, running out of items, wrapping, and field overflow.
#include "layout/layout.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace qel2br::layout {
namespace {

TEST(RenderReal, RoundsSignsAndOverflows) {
  struct Row {
    const char* name;
    double value;
    int width;
    int decimals;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"0.0 in F9.3", 0.0, 9, 3, "    0.000"},
      {"-1.5 in F9.3", -1.5, 9, 3, "   -1.500"},
      {"12345.678 in F9.3 fills nine columns", 12345.678, 9, 3, "12345.678"},
      {"123456.789 in F9.3 needs ten", 123456.789, 9, 3, "*********"},
      {"12345.678 in F8.2 fits exactly", 12345.678, 8, 2, "12345.68"},
      {"0.005 lies above the tie", 0.005, 8, 2, "    0.01"},
      {"-0.004 rounds to zero: no minus", -0.004, 8, 2, "    0.00"},
      {"-0.0004 in F9.3", -0.0004, 9, 3, "    0.000"},
      {"0.5 in F9.3", 0.5, 9, 3, "    0.500"},
      {"-0.5 in F9.3", -0.5, 9, 3, "   -0.500"},
      {"0.5 in F4.3 has no zero", 0.5, 4, 3, ".500"},
      {"-0.5 in F5.3: the sign takes the last column", -0.5, 5, 3, "-.500"},
      {"0.5 in F3.3 does not fit", 0.5, 3, 3, "***"},
      {"0.125 ties to even", 0.125, 5, 2, " 0.12"},
      {"0.375 ties to even", 0.375, 5, 2, " 0.38"},
      {"-10000 in F9.3 needs ten", -10000.0, 9, 3, "*********"},
      {"-9999.9994 in F9.3", -9999.9994, 9, 3, "-9999.999"},
      {"0.6667 in F9.3", 0.6667, 9, 3, "    0.667"},
      {"1000 in F7.3", 1000.0, 7, 3, "*******"},
      {"999.9999 rounds up to 1000.000", 999.9999, 7, 3, "*******"},
      {"F5.0 keeps its point", 12.4, 5, 0, "  12."},
      {"1e300 overflows", 1e300, 9, 2, "*********"},
      {"single-precision 0.001 times 8500", 0.0010000000474974513 * 8500, 8, 2, "    8.50"},
      {"9.9951 rounds up to a new digit", 9.9951, 5, 2, "10.00"},
      {"9.9951 in F4.2: the new digit does not fit", 9.9951, 4, 2, "****"},
      {"-9.9951 in F6.2 fills six columns", -9.9951, 6, 2, "-10.00"},
      {"-9.9951 in F5.2 needs six", -9.9951, 5, 2, "*****"},
      {"0.9951 rounds up to 1.00", 0.9951, 4, 2, "1.00"},
      {"0.9951 in F3.2: 1.00 needs four", 0.9951, 3, 2, "***"},
      {"negative zero", -0.0, 5, 2, " 0.00"},
      {"negative zero in F3.2", -0.0, 3, 2, ".00"},
      {"0.004 in F3.2", 0.004, 3, 2, ".00"},
      {"0.05 in F3.2 keeps its last digit", 0.05, 3, 2, ".05"},
      {"F1.0 of zero is the point", 0.0, 1, 0, "."},
      {"F2.0 of 0.4", 0.4, 2, 0, "0."},
      {"F2.0 of 9.5 ties to 10", 9.5, 2, 0, "**"},
      {"19 decimals", 0.5, 21, 19, "0.5000000000000000000"},
      {"a whole number of 19 digits", 1e18, 21, 1, "1000000000000000000.0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string out;
    render_real(out, row.value, row.width, row.decimals);
    EXPECT_EQ(out, row.expected);
  }
}

// An Fw.d field as the library's exactly rounded digits give it: the reference the field
// writer must match.
std::string reference_field(double value, int width, int decimals) {
  std::array<char, kFixedDigitsRoom> buffer{};
  const auto res = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::fixed, decimals);
  std::string_view digits(buffer.data(), static_cast<std::size_t>(res.ptr - buffer.data()));
  bool negative = digits.front() == '-';
  if (negative) {
    digits.remove_prefix(1);
  }
  if (digits.find_first_not_of("0.") == std::string_view::npos) {
    negative = false;
  }
  // With no decimals the library writes no point.
  std::string_view integer = digits.substr(0, digits.find('.'));
  const std::string_view fraction = digits.substr(std::min(integer.size() + 1, digits.size()));
  const int core = static_cast<int>(fraction.size()) + 1 + (negative ? 1 : 0);
  if (integer == "0" && core + 1 > width) {
    integer = {};
  }
  const int needed = core + static_cast<int>(integer.size());
  if (needed > width) {
    return std::string(static_cast<std::size_t>(width), '*');
  }
  return std::string(static_cast<std::size_t>(width - needed), ' ') + (negative ? "-" : "") +
         std::string(integer) + "." + std::string(fraction);
}

// Every field is what the library's exactly rounded digits give, also next to halfway points
// and at the ends of the range of the whole-number writer.
TEST(RenderReal, SameAsTheExactlyRoundedDigits) {
  std::vector<double> values = {0.0,
                                -0.0,
                                0.5,
                                0.125,
                                0.375,
                                2.675,
                                1.005,
                                -0.0004,
                                0.1 + 0.2,
                                999999.9995,
                                -999999.5,
                                1048576.0,
                                5e-10,
                                1e-300,
                                4.9406564584124654e-324,
                                123456.789,
                                1e15 + 0.125,
                                -1e22,
                                0.0010000000474974513 * 8500,
                                1099511627776.3,
                                18446744073709549568.0,
                                18446744073709551616.0,
                                1.8446744073709552e18,
                                9.999999999999999e18};
  // Values spread over the range, and values next to halfway points of every precision.
  std::uint64_t state = 12345;
  for (int i = 0; i < 600; ++i) {
    state = state * 6364136223846793005U + 1442695040888963407U;
    const double unit = static_cast<double>(state >> 11U) / 9007199254740992.0;
    values.push_back((unit - 0.5) * 2.2e6);
    values.push_back(unit * 100.0);
    values.push_back(unit * std::pow(10.0, i % 21));
    const double scale = std::pow(10.0, i % 6);
    const double tie = std::round(unit * 1e4 * scale) / scale + 0.5 / scale;
    values.push_back(tie);
    values.push_back(-tie);
    values.push_back(std::nextafter(tie, 0.0));
    values.push_back(std::nextafter(tie, 1e300));
  }
  for (const double value : values) {
    for (const int decimals : {0, 1, 2, 3, 5, 9, 12, 19, 20, 25}) {
      for (const int width : {decimals + 1, decimals + 2, decimals + 3, decimals + 9, 40}) {
        std::string out;
        render_real(out, value, width, decimals);
        ASSERT_EQ(out, reference_field(value, width, decimals))
            << "value " << value << " F" << width << "." << decimals;
      }
    }
  }
}

TEST(RenderInt, WidthsMinimumDigitsAndOverflow) {
  struct Row {
    const char* name;
    double value;
    int width;
    int min_digits;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"3 in I4", 3, 4, 0, "   3"},
      {"12345 in I4", 12345, 4, 0, "****"},
      {"-123 in I4", -123, 4, 0, "-123"},
      {"-1234 in I4", -1234, 4, 0, "****"},
      {"0 in I4", 0, 4, 0, "   0"},
      {"7 in I2.2", 7, 2, 2, "07"},
      {"-7 in I4.3", -7, 4, 3, "-007"},
      {"2011 in I4", 2011, 4, 0, "2011"},
      {"a year above 9999 in I4", 10000, 4, 0, "****"},
      {"a huge whole number in I6", 1e12, 6, 0, "******"},
      {"int32 minimum in I11", -2147483648.0, 11, 0, "-2147483648"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string out;
    render_int(out, row.value, row.width, row.min_digits);
    EXPECT_EQ(out, row.expected);
  }
}

// Every count of digits from 1 to 18, where the digits exactly fill the field and where one
// column is missing.
TEST(RenderInt, DigitsThatExactlyFillTheField) {
  double power = 1;
  for (int digits = 1; digits <= 18; ++digits, power *= 10) {
    SCOPED_TRACE(digits);
    std::string out;
    render_int(out, power, digits, 0);
    EXPECT_EQ(out, "1" + std::string(static_cast<std::size_t>(digits - 1), '0'));
    if (digits <= 15) {  // whole numbers of up to 15 digits are exact as reals
      out.clear();
      render_int(out, power * 10 - 1, digits, 0);
      EXPECT_EQ(out, std::string(static_cast<std::size_t>(digits), '9'));
    }
    out.clear();
    render_int(out, -power, digits + 1, 0);
    EXPECT_EQ(out, "-1" + std::string(static_cast<std::size_t>(digits - 1), '0'));
    out.clear();
    render_int(out, -power, digits, 0);
    EXPECT_EQ(out, std::string(static_cast<std::size_t>(digits), '*'));
    out.clear();
    render_int(out, power, digits + 2, digits + 1);
    EXPECT_EQ(out, " 01" + std::string(static_cast<std::size_t>(digits - 1), '0'));
  }
}

// A record goes onto the end of what the string holds, however many lines its items take,
// with texts of any length and items of a kind the field does not take.
// fits() says what rendering the value shows: digits, or asterisks. Values far inside their
// field and those at its edge (rounded up out of it, or by the sign) alike.
TEST(Fits, AgreesWithTheRenderedField) {
  const Descriptor f82{.kind = FieldKind::kReal, .width = 8, .digits = 2};
  const Descriptor i6{.kind = FieldKind::kInt, .width = 6, .digits = 0};
  const Descriptor i64{.kind = FieldKind::kInt, .width = 6, .digits = 4};
  struct Row {
    const Descriptor& field;
    double value;
    bool fits;
  };
  for (const Row& row :
       {Row{f82, 0.0, true},      Row{f82, 9998.9, true},     Row{f82, -9998.9, true},
        Row{f82, 99999.99, true}, Row{f82, 99999.994, true},  Row{f82, 99999.996, false},
        Row{f82, -9999.99, true}, Row{f82, -9999.996, false}, Row{f82, 1e300, false},
        Row{f82, NAN, false},     Row{f82, INFINITY, false},  Row{i6, 99999, true},
        Row{i6, 999999, true},    Row{i6, 1000000, false},    Row{i6, -99999, true},
        Row{i6, -100000, false},  Row{i6, 1.5, false},        Row{i64, -1, true},
        Row{i64, -99999, true},   Row{i64, -100000, false}}) {
    SCOPED_TRACE(row.value);
    EXPECT_EQ(fits(row.field, row.value), row.fits);
    // The same as the field rendered.
    std::string text;
    const Item item =
        row.field.kind == FieldKind::kReal ? Item(row.value) : Item(WholeNumber{row.value});
    ParsedLayout parsed{};
    parsed.fields[0] = row.field;
    parsed.count = 1;
    parsed.item_fields = 1;
    parsed.open_end = true;
    render_into(text, parsed, std::span<const Item>(&item, 1));
    EXPECT_EQ(text.find('*') == std::string::npos, row.fits) << text;
  }
}

TEST(RenderInto, AppendsEveryLineBehindTheTextThere) {
  constexpr Layout kRow = "(A, A4, I3, F6.1, 1X, \"|\", /)";
  const std::string long_text(300, 'x');
  const std::vector<Item> items{
      std::string_view(long_text), "abcdef", 7, 2.25, "", 1.5, "ab", 4, "y", "", 3};
  std::string out = "kept";
  render_into(out, kRow.parsed(), items, "\r\n");
  EXPECT_EQ(out, "kept" + long_text + "abcd  7   2.2 |\r\n\r\n" + "    ********* |\r\n\r\n" +
                     "y      3\r\n");
}

TEST(Render, ItemsDescriptorsAndLines) {
  constexpr Layout kTextInt = "(A, I4)";
  EXPECT_EQ(render(kTextInt, std::vector<Item>{" Number of FLOO sets:", 3}),
            " Number of FLOO sets:   3\n");
  EXPECT_EQ(render(kTextInt, std::vector<Item>{" Number of FLOO sets:", 12345}),
            " Number of FLOO sets:****\n");

  constexpr Layout kTwo = "(A, A)";
  EXPECT_EQ(render(kTwo, std::vector<Item>{"only"}), "only\n");
  constexpr Layout kFramed = "(/, A, /)";
  EXPECT_EQ(render(kFramed, std::vector<Item>{" Error "}), "\n Error \n\n");
  constexpr Layout kThreeSlashes = "(/, /, /, \"X\")";
  EXPECT_EQ(render(kThreeSlashes, {}), "\n\n\nX\n");

  // A trailing literal with no item field before it is still written.
  constexpr Layout kCode = "(5X, \"ERROR CODE =\", I5, \"  (SYSTEM PARAMETER)\")";
  EXPECT_EQ(render(kCode, std::vector<Item>{2}), "     ERROR CODE =    2  (SYSTEM PARAMETER)\n");
  // Out of items: the literals before the next item field are written, nothing after it.
  constexpr Layout kStop = "(A, \"-\", A, \"+\")";
  EXPECT_EQ(render(kStop, std::vector<Item>{"a"}), "a-\n");

  // Items left at the end: the layout starts again on a new line.
  constexpr Layout kFive = "(A, 5I10)";
  EXPECT_EQ(render(kFive, std::vector<Item>{"x", 1, 2}), "x         1         2\n");
  constexpr Layout kPair = "(1X, I2)";
  EXPECT_EQ(render(kPair, std::vector<Item>{1, 2, 3}), "  1\n  2\n  3\n");

  // Aw right-aligns a short text and cuts a long one; A keeps trailing blanks.
  constexpr Layout kWidths = "(A4, \"|\", A4, \"|\", A)";
  EXPECT_EQ(render(kWidths, std::vector<Item>{"ab", "abcdef", "c  "}), "  ab|abcd|c  \n");

  // A layout without items and no item field is written once.
  constexpr Layout kBlanksOnly = "(6X, \"x\")";
  EXPECT_EQ(render(kBlanksOnly, {}), "      x\n");
  // No items at all for a layout that takes one: an empty line.
  constexpr Layout kOne = "(A)";
  EXPECT_EQ(render(kOne, {}), "\n");
}

TEST(Render, WaveRecordColumns) {
  constexpr Layout kWave = "(A, I4, 2X, A, 4F8.2, 2F9.2, I4)";
  const std::string line = render(
      kWave, std::vector<Item>{"#WaveData", 3, "Airy    ", 10.0, 12.0, 45.0, 0.0, 0.0, 100.0, 0});
  EXPECT_EQ(line,
            "#WaveData   3  Airy       10.00   12.00   45.00    0.00     0.00   100.00   0\n");
  EXPECT_EQ(line.size(), 78U);  // 77 columns and the line end
}

// A record rendered into a fixed text: its first line only, cut or blank padded to the text.
TEST(RenderText, FirstLineCutOrPadded) {
  constexpr Layout kCdCm = "(A, 2F7.3)";
  const std::array<Item, 3> items{" Hyd_CdCm ", 0.7, 2.0};
  support::Text<30> padded("left over text in every column");
  render_text(kCdCm, items, padded);
  EXPECT_EQ(padded.view(), " Hyd_CdCm   0.700  2.000      ");
  support::Text<12> cut;
  render_text(kCdCm, items, cut);
  EXPECT_EQ(cut.view(), " Hyd_CdCm   ");
  constexpr Layout kTwoLines = "(A, /, A)";
  support::Text<8> first;
  render_text(kTwoLines, std::array<Item, 2>{"one", "two"}, first);
  EXPECT_EQ(first.view(), "one     ");
}

TEST(Prompt, LeavesTheLineOpen) {
  support::StringOutput console(support::kConsoleLineEnd);
  prompt(console, "Give Qelvo file                   :  ");
  EXPECT_EQ(console.text(), " Give Qelvo file                   :  ");
  EXPECT_EQ(console.text().size(), 38U);
  support::StringOutput cut(support::kConsoleLineEnd);
  prompt(cut, std::string(90, 'x'));
  EXPECT_EQ(cut.text(), " " + std::string(80, 'x'));
}

TEST(OutputUnit, FileLinesEndInCrLf) {
  support::StringOutput file(support::kFileLineEnd);
  static constexpr Layout kFramed = "(/, A, /)";
  write_record(file, kFramed, " Error ");
  EXPECT_EQ(file.text(), "\r\n Error \r\n\r\n");
}

TEST(ParseLayout, RejectsMalformedLayouts) {
  struct Row {
    const char* text;
    bool ok;
  };
  const std::vector<Row> rows = {
      {"(A, I4, 2X, A, 4F8.2, 2F9.2, I4)", true},
      {"(\" \", A, $)", true},
      {"()", true},
      {"(A, I4", false},
      {"(F9)", false},
      {"(F9.)", false},
      {"(X)", false},
      {"(I)", false},
      {"(Q4)", false},
      {"(A, $, A)", false},
      {"(\"open)", false},
      {"A, I4", false},
      {"(A I4)", false},
      {"(A) x", false},
      {"(I2.3)", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(parse_layout(row.text).error == nullptr, row.ok);
  }
  static_assert(parse_layout("(A, 4F8.2)").count == 5);
  static_assert(parse_layout("(A, $)").open_end);
}

TEST(CheckItems, FollowsTheLayoutRoundWhenItWraps) {
  constexpr ParsedLayout kLayout = parse_layout("(A, I4)");
  const std::vector<ItemKind> ok = {ItemKind::kText, ItemKind::kInt, ItemKind::kText};
  const std::vector<ItemKind> bad = {ItemKind::kText, ItemKind::kInt, ItemKind::kInt};
  EXPECT_EQ(detail::check_items(kLayout, ok), nullptr);
  EXPECT_NE(detail::check_items(kLayout, bad), nullptr);
}

}  // namespace
}  // namespace qel2br::layout
