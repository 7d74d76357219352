// Tests of the fixed-text helpers: copying into a fixed text and taking blanks off.
#include "support/text.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string_view>

namespace qel2br::support {
namespace {

TEST(Text, CopiesCutOrPadded) {
  struct Row {
    const char* name;
    std::string_view in;
    std::string_view expected;
  };
  const Row rows[] = {
      {"shorter is blank padded", "ab", "ab   "},
      {"exact length", "abcde", "abcde"},
      {"longer is cut", "abcdefg", "abcde"},
      {"empty blanks every column", "", "     "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::array<char, 5> text{'x', 'x', 'x', 'x', 'x'};
    copy_text(row.in, text);
    EXPECT_EQ(std::string_view(text.data(), text.size()), row.expected);
    EXPECT_EQ(Text<5>(row.in).view(), row.expected);
  }
}

TEST(Text, TakesBlanksOff) {
  struct Row {
    const char* name;
    std::string_view in;
    std::string_view trailing_off;
    std::string_view both_off;
  };
  const Row rows[] = {
      {"blanks on both sides", "  a b  ", "  a b", "a b"},
      {"no blanks", "ab", "ab", "ab"},
      {"all blanks", "   ", "", ""},
      {"empty", "", "", ""},
      {"a tab is not a blank", "\tx\t ", "\tx\t", "\tx\t"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(without_trailing_blanks(row.in), row.trailing_off);
    EXPECT_EQ(without_blanks(row.in), row.both_off);
  }
}

}  // namespace
}  // namespace qel2br::support
