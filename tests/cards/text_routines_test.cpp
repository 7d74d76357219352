// Tests of IFSTNB, ILSTNB, UPCASE and NONDIG.
#include "cards/text_routines.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace qel2br::cards {
namespace {

struct PositionRow {
  const char* name;
  std::string text;
  int first;
  int last;
};

TEST(IFSTNB, FirstAndLastNonBlank) {
  const PositionRow rows[] = {
      {"empty", "", 0, 0},
      {"all blank 256", std::string(256, ' '), 0, 0},
      {"three blanks and a letter", "   A", 4, 4},
      {"one letter", "X", 1, 1},
      {"only column 256", std::string(255, ' ') + "Z", 256, 256},
      {"only column 1 of 256", "Z" + std::string(255, ' '), 1, 1},
      {"blank inside", "  AB  CD   ", 3, 8},
      // Lone characters amid long blank runs, before and behind them.
      {"column 26 of 256", std::string(25, ' ') + "Q" + std::string(230, ' '), 26, 26},
      {"column 180 of 256", "A" + std::string(178, ' ') + "Q" + std::string(76, ' '), 1, 180},
      {"column 2 of 3", " Q ", 2, 2},
      {"tab is not a blank", "\t", 1, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(IFSTNB(row.text), row.first);
    EXPECT_EQ(ILSTNB(row.text), row.last);
  }
}

// The scans pass over blanks eight at a time; a character at any position of a text of any
// length up to a few words, alone or with a second one, must still be found.
TEST(IFSTNB, EveryPositionOfShortTexts) {
  for (std::size_t length = 1; length <= 40; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      SCOPED_TRACE("length " + std::to_string(length) + ", character at " + std::to_string(at));
      std::string text(length, ' ');
      text[at] = 'X';
      EXPECT_EQ(IFSTNB(text), static_cast<int>(at) + 1);
      EXPECT_EQ(ILSTNB(text), static_cast<int>(at) + 1);
      text[length - 1 - at] = 'Y';
      EXPECT_EQ(IFSTNB(text), static_cast<int>(std::min(at, length - 1 - at)) + 1);
      EXPECT_EQ(ILSTNB(text), static_cast<int>(std::max(at, length - 1 - at)) + 1);
    }
    EXPECT_EQ(IFSTNB(std::string(length, ' ')), 0);
    EXPECT_EQ(ILSTNB(std::string(length, ' ')), 0);
  }
}

TEST(UPCASE, CapitalisesOnlyLettersAToZ) {
  std::string text = "sea  aZz09 {`}@[ -c,";
  UPCASE(text);
  EXPECT_EQ(text, "SEA  AZZ09 {`}@[ -C,");

  std::string empty;
  UPCASE(empty);
  EXPECT_EQ(empty, "");
}

TEST(NONDIG, OnlyTheTenDigitsAreDigits) {
  const std::string_view digits = "0123456789";
  for (const char c : digits) {
    SCOPED_TRACE(std::string(1, c));
    EXPECT_FALSE(NONDIG(c));
  }
  const char others[] = {'/', ':', 'a', 'A', ' ', '.', '+', '-', 'E', '\0'};
  for (const char c : others) {
    SCOPED_TRACE(std::string(1, c));
    EXPECT_TRUE(NONDIG(c));
  }
}

}  // namespace
}  // namespace qel2br::cards
