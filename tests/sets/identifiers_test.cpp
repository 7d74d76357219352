// Tests of PACKID, IDADD and IDXIST.
#include "sets/identifiers.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "support/input_stop.hpp"
#include "testing/memory_units.hpp"

namespace qel2br::sets {
namespace {

// An empty identifier table of capacity 3 (11 words) with its messages on the console.
struct SmallTable {
  explicit SmallTable(std::int32_t capacity = 3, std::int32_t upper_case = 1)
      : words{capacity, 6, 0, upper_case, 1}, table(words) {}
  std::array<std::int32_t, 11> words{};
  IdentifierTable table;
  testing::MemoryRun memory;
  support::UnitTable& units() { return memory.state().units; }
};

TEST(PACKID, KeysTwoDigitsPerCharacter) {
  struct Row {
    const char* name;
    std::string_view text;
    std::int32_t length;
    std::int32_t first_key;
    std::int32_t second_key;
  };
  const Row rows[] = {
      {"MXSTRU", "MXSTRU", 6, 47585354, 52550000},
      {"four characters", "DECK", 4, 38393745, 0},
      {"one character", "A", 1, 35000000, 0},
      {"eight characters", "ABCDEFGH", 8, 35363738, 39404142},
      {"blank in first half", "A CDE", 5, -1, 0},
      {"blank in second half", "ABCD F", 6, 35363738, -1},
      {"code above 126", "AB\x7f", 3, -1, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::int32_t first = 99;
    std::int32_t second = 99;
    PACKID(row.text, row.length, first, second);
    EXPECT_EQ(first, row.first_key);
    EXPECT_EQ(second, row.second_key);
  }
  std::int32_t first = 7;
  std::int32_t second = 8;
  PACKID("ABCDEFGHI", 9, first, second);
  EXPECT_EQ(first, 7);
  EXPECT_EQ(second, 8);
}

TEST(IDADD, LegalNamesGetPositionsInOrder) {
  SmallTable table;
  EXPECT_EQ(IDADD(table.table, "deck", table.units()), 1);
  EXPECT_EQ(IDADD(table.table, "DECK    ", table.units()), 1);
  EXPECT_EQ(table.words[2], 1);
  EXPECT_EQ(IDADD(table.table, "   ABCDE", table.units()), 2);
  EXPECT_EQ(IDXIST(table.table, "abcde", table.units()), 2);
  EXPECT_EQ(IDXIST(table.table, "Deck", table.units()), 1);
  EXPECT_EQ(IDXIST(table.table, "DECKS", table.units()), 0);
  EXPECT_EQ(table.memory.console(), "");
}

// A table taken with names in its words finds them; one name held twice is found at its first
// position, as a search from position 1 finds it.
TEST(IdentifierTable, FindsTheNamesItsWordsHold) {
  std::array<std::int32_t, 11> words{3, 6, 3, 1, 1};
  std::int32_t first = 0;
  std::int32_t second = 0;
  PACKID("ONE", 3, first, second);
  words[5] = first;
  words[6] = second;
  words[9] = first;
  words[10] = second;
  PACKID("TWO", 3, first, second);
  words[7] = first;
  words[8] = second;
  const IdentifierTable table(words);
  testing::MemoryRun memory;
  EXPECT_EQ(IDXIST(table, "one", memory.state().units), 1);
  EXPECT_EQ(IDXIST(table, "TWO", memory.state().units), 2);
  EXPECT_EQ(IDXIST(table, "THREE", memory.state().units), 0);
}

// A word outside its table is a fault of the program, never of the input.
TEST(Word, OutsideTheTableIsAnInternalFault) {
  std::array<std::int32_t, 3> words{7, 8, 9};
  EXPECT_EQ(word(words, 3), 9);
  for (const std::int64_t i : {std::int64_t{0}, std::int64_t{4}, std::int64_t{-1}}) {
    try {
      static_cast<void>(word(words, i));
      ADD_FAILURE() << "word " << i << " was given";
    } catch (const support::InternalFault& fault) {
      EXPECT_EQ(fault.what, "word " + std::to_string(i) + " of a table of 3 words");
    }
  }
}

TEST(IDADD, WithoutUpperCasingCaseCounts) {
  SmallTable table(3, 0);
  EXPECT_EQ(IDADD(table.table, "deck", table.units()), 1);
  EXPECT_EQ(IDADD(table.table, "DECK", table.units()), 2);
  EXPECT_EQ(IDXIST(table.table, "Deck", table.units()), 0);
}

TEST(IDADD, IllegalNamesAreReported) {
  struct Row {
    const char* name;
    std::string_view given;
    std::string_view shown;
  };
  const Row rows[] = {
      {"four blanks and ABCDE", "    ABCDE", "ABCDE"},
      {"nine characters", "ABCDEFGHI", "ABCDEFGHI"},
      {"inner blank, upper-cased", "ab cd", "AB CD"},
      {"blank name", "        ", ""},
      {"empty name", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SmallTable table;
    EXPECT_EQ(IDADD(table.table, row.given, table.units()), 0);
    EXPECT_EQ(table.words[2], 0);
    EXPECT_EQ(table.memory.console(), "\n  *** ERROR IN IDADD  ***\n\n    Illegal Identifier : " +
                                          std::string(row.shown) + "\n");
    SmallTable lookup;
    EXPECT_EQ(IDXIST(lookup.table, row.given, lookup.units()), 0);
    EXPECT_EQ(lookup.memory.console(), "\n  *** ERROR IN IDXIST  ***\n\n    Illegal Identifier : " +
                                           std::string(row.shown) + "\n");
  }
}

TEST(IDADD, FullTableRefusesANewName) {
  SmallTable table(2);
  EXPECT_EQ(IDADD(table.table, "ONE", table.units()), 1);
  EXPECT_EQ(IDADD(table.table, "TWO", table.units()), 2);
  EXPECT_EQ(IDADD(table.table, "THREE", table.units()), 0);
  EXPECT_EQ(table.memory.console(),
            "\n  *** ERROR IN IDADD  ***\n\n    Number of IDS exceeds maximum of :      2\n");
  EXPECT_EQ(table.words[2], 2);
  // A name already held is still found in a full table.
  EXPECT_EQ(IDADD(table.table, "two", table.units()), 2);
}

TEST(IDADD, MessagesGoToTheTablesUnit) {
  SmallTable table;
  table.words[1] = 90;
  EXPECT_EQ(IDADD(table.table, "ABCDEFGHI", table.units()), 0);
  EXPECT_EQ(table.memory.console(), "");
  EXPECT_EQ(table.memory.output(),
            "\r\n  *** ERROR IN IDADD  ***\r\n\r\n    Illegal Identifier : ABCDEFGHI\r\n");
}

}  // namespace
}  // namespace qel2br::sets
