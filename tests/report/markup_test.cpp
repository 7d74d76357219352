// Escaping of input texts and the number texts of the report.
#include "report/markup.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace qel2br::report {
namespace {

TEST(Escape, MarkupCharactersAndBrokenText) {
  struct Row {
    const char* name;
    std::string text;
    std::string expected;
  };
  const std::string fffd = "\xEF\xBF\xBD";
  const std::vector<Row> rows = {
      {"plain", "LEGA1 platform.inp", "LEGA1 platform.inp"},
      {"markup", "<b>a & \"b\" 'c'</b>", "&lt;b&gt;a &amp; &quot;b&quot; &#39;c&#39;&lt;/b&gt;"},
      {"reference stays text", "&amp;", "&amp;amp;"},
      {"two, three and four byte characters", "\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8C\x8A",
       "\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8C\x8A"},
      {"latin-1 byte", "caf\xE9!", "caf" + fffd + "!"},
      {"lone continuation byte", "a\x80z", "a" + fffd + "z"},
      {"truncated sequence at the end", "a\xE2\x82", "a" + fffd + fffd},
      {"overlong slash", "\xC0\xAF", fffd + fffd},
      {"overlong three bytes", "\xE0\x80\xAF", fffd + fffd + fffd},
      {"surrogate", "\xED\xA0\x80", fffd + fffd + fffd},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", fffd + fffd + fffd + fffd},
      {"NUL, escape and CR", std::string("a\0b\x1B\rc", 6), "a" + fffd + "b" + fffd + fffd + "c"},
      {"tab and line feed stay", "a\tb\nc", "a\tb\nc"},
      {"DEL and C1 controls", "\x7F\xC2\x85", fffd + fffd},
      {"noncharacters", "\xEF\xB7\x90\xEF\xBF\xBE\xF0\x9F\xBF\xBF", fffd + fffd + fffd},
      {"U+FFFD itself stays", fffd, fffd},
      {"bidirectional controls shown as escapes",
       "a\xE2\x80\xAE"
       "b\xE2\x81\xA6"
       "c\xE2\x80\x8F"
       "d\xD8\x9C"
       "e",
       "a[U+202E]b[U+2066]c[U+200F]d[U+061C]e"},
      {"neighbours of the controls stay", "\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xAA",
       "\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xAA"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(escape(row.text), row.expected);
  }
}

TEST(NumberText, FixedAndShortest) {
  struct Row {
    const char* name;
    std::string actual;
    const char* expected;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<Row> rows = {
      {"fixed 2", fixed(-100.0, 2), "-100.00"},
      {"fixed rounds", fixed(0.6667, 3), "0.667"},
      {"no minus on a zero", fixed(-0.0004, 3), "0.000"},
      {"minus zero", fixed(-0.0, 1), "0.0"},
      {"decimals below 0", fixed(12.5, -3), "12"},
      {"decimals above 12", fixed(1.0 / 3.0, 40), "0.333333333333"},
      {"largest double", fixed(1e308, 0).substr(0, 4), "1000"},
      {"fixed NaN", fixed(nan, 2), "n/a"},
      {"fixed -inf", fixed(-inf, 2), "-inf"},
      {"shortest plain", shortest(0.7), "0.7"},
      {"shortest whole", shortest(100000.0), "100000"},
      {"shortest mm factor", shortest(static_cast<double>(0.001F)), "0.0010000000474974513"},
      {"shortest large", shortest(2.5e20), "2.5e+20"},
      {"shortest small", shortest(-3e-9), "-3e-09"},
      {"shortest minus zero", shortest(-0.0), "0"},
      {"shortest inf", shortest(inf), "inf"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.actual, row.expected);
  }
}

}  // namespace
}  // namespace qel2br::report
