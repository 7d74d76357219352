// Tests of RNGELM, KEEPID, RDELMS, RDGRPS and CNTSET.
#include "sets/element_sets.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sets/structure.hpp"
#include "support/input_stop.hpp"
#include "testing/card_images.hpp"
#include "testing/memory_units.hpp"

namespace qel2br::sets {
namespace {

using testing::card;
using testing::element_card;
using testing::flooded_card;
using testing::non_hydro_card;
using testing::wide_element_card;

std::vector<std::int32_t> to_vector(const ElementList& list) {
  return {list.items().begin(), list.items().end()};
}

// Reads the first card of the keyword and expands its range.
std::vector<std::int32_t> expand(const std::string& line, std::int32_t width) {
  testing::MemoryRun memory(line + "\n");
  cards::CardReader& cards = memory.state().cards;
  cards.start_scan(line.substr(0, 4));
  EXPECT_TRUE(cards.next_card());
  ElementList list;
  RNGELM(cards, width, list);
  return to_vector(list);
}

TEST(RNGELM, ExpandsRanges) {
  struct Row {
    const char* name;
    std::string line;
    std::int32_t width;
    std::vector<std::int32_t> elements;
  };
  const Row rows[] = {
      {"single", element_card({.first = "10"}), 5, {10}},
      {"stepped", element_card({.first = "10", .last = "20", .step = "5"}), 5, {10, 15, 20}},
      {"first above last", element_card({.first = "20", .last = "10", .step = "1"}), 5, {}},
      {"step 0 after a first", flooded_card({.first = "3", .last = "9", .step = "0"}), 10, {3}},
      {"blank step", wide_element_card({.first = "3", .last = "9"}), 10, {3}},
      {"7.5 rounds up", flooded_card({.first = "7.5"}), 10, {8}},
      {"-7.5 rounds away from zero",
       flooded_card({.first = "-7.5", .last = "0", .step = "4"}),
       10,
       {-8, -4, 0}},
      {"step does not land on last",
       non_hydro_card({.first = "1", .last = "10", .step = "4"}),
       10,
       {1, 5, 9}},
      {"all blank (a group name)", card("FLOO LEGA1"), 10, {}},
      {"all zero", flooded_card({.first = "0", .last = "0", .step = "0"}), 10, {}},
      {"near the 32-bit limit",
       wide_element_card({.first = "2147483600", .last = "2147483647", .step = "20"}),
       10,
       {2147483600, 2147483620, 2147483640}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(expand(row.line, row.width), row.elements);
  }
  EXPECT_EQ(expand(flooded_card({.first = "1", .last = "10000", .step = "1"}), 10).size(), 10000U);
}

TEST(RNGELM, StopsOnRangesItCannotExpand) {
  struct Row {
    const char* name;
    std::string line;
    std::int32_t width;
    std::string message;
  };
  const Row rows[] = {
      {"negative step", element_card({.first = "1", .last = "10", .step = "-1"}), 5,
       "SPEC card, columns 6-20: the element range 1 to 10 by step -1 never ends"},
      {"step 0 from first 0", flooded_card({.first = "0", .last = "5"}), 10,
       "FLOO card, columns 11-40: the element range 0 to 5 by step 0 never ends"},
      {"negative first, step 0", non_hydro_card({.first = "-3"}), 10,
       "ELIM card, columns 11-40: the element range -3 to 0 by step 0 never ends"},
      {"10001 elements", flooded_card({.first = "1", .last = "10001", .step = "1"}), 10,
       "FLOO card, columns 11-40: the element range 1 to 10001 by step 1 gives more than "
       "10000 elements (the element list holds 10000)"},
      {"most of the 32-bit range",
       wide_element_card({.first = "-2147E6", .last = "2147483647", .step = "1"}), 10,
       "SPEX card, columns 11-40: the element range -2147000000 to 2147483647 by step 1 gives "
       "more than 10000 elements (the element list holds 10000)"},
      {"outside 32 bits", wide_element_card({.first = "3E9"}), 10,
       "SPEX card, columns 11-20: the element number \"3E9\" is outside the 32-bit range"},
      {"not a number", element_card({.last = "X"}), 5,
       "SPEC card, columns 11-15: expected a number, found \"X\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::MemoryRun memory("C comment\n" + row.line + "\n");
    cards::CardReader& cards = memory.state().cards;
    cards.start_scan(row.line.substr(0, 4));
    ASSERT_TRUE(cards.next_card());
    ElementList list;
    try {
      RNGELM(cards, row.width, list);
      ADD_FAILURE() << "no stop";
    } catch (const support::InputStop& stop) {
      EXPECT_EQ(stop.file, "cards.inp");
      EXPECT_EQ(stop.line, 2);
      EXPECT_EQ(stop.message, row.message);
    }
  }
}

TEST(KEEPID, RemovesNumbersNotInTheList) {
  ElementList range;
  for (std::int32_t e = 1; e <= 6; ++e) {
    ASSERT_TRUE(range.push(e));
  }
  ElementList none;
  KEEPID(range, SortedNumbers(none));
  EXPECT_EQ(to_vector(range), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6}));
  ElementList known;
  for (const std::int32_t e : {5, 3, 2, 1}) {
    ASSERT_TRUE(known.push(e));
  }
  KEEPID(range, SortedNumbers(known));
  EXPECT_EQ(to_vector(range), (std::vector<std::int32_t>{1, 2, 3, 0, 5, 0}));
}

TEST(RDELMS, ReadsNumbersOfEveryLine) {
  testing::MemoryRun memory;
  support::UnitTable& units = memory.state().units;
  // The last line is longer than a card: its numbers beyond column 256 count too.
  std::string long_line(300, ' ');
  long_line.replace(290, 3, "777");
  units.bind_lines(89, "elems.txt",
                   "1 2.6 X7 -4\r\n# 9\n$ 8\n' 7\n! 6\n   \n\n 10,11\n 1.5E1\n" + long_line + "\n");
  ElementList numbers;
  RDELMS(numbers, units, 89);
  EXPECT_EQ(to_vector(numbers), (std::vector<std::int32_t>{1, 3, -4, 15, 777}));
  EXPECT_EQ(memory.console(), " Total Number of Elements:      5\n");
}

TEST(RDELMS, StopsOnNumbersItCannotHold) {
  std::string many;
  for (int i = 1; i <= 10001; ++i) {
    many += std::to_string(i) + ' ';
  }
  struct Row {
    const char* name;
    std::string text;
    std::int64_t line;
    std::string message;
  };
  const Row rows[] = {
      {"outside 32 bits", "1 2\n5 3E10\n", 2,
       "element-number file: the element number 3e+10 is outside the 32-bit range"},
      {"10001 numbers", "# many\n" + many + "\n", 2,
       "element-number file: more than 10000 element numbers (the element-number list holds "
       "10000)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::MemoryRun memory;
    memory.state().units.bind_lines(89, "elems.txt", row.text);
    ElementList numbers;
    try {
      RDELMS(numbers, memory.state().units, 89);
      ADD_FAILURE() << "no stop";
    } catch (const support::InputStop& stop) {
      EXPECT_EQ(stop.file, "elems.txt");
      EXPECT_EQ(stop.line, row.line);
      EXPECT_EQ(stop.message, row.message);
    }
  }
}

// A run with the dialogue's structure table and a group-name file on unit 91.
struct GroupRun {
  explicit GroupRun(std::string groups) {
    memory.state().units.bind_lines(91, "groups.txt", std::move(groups));
    STROPN(memory.state().structure, 1, 1, 6, memory.state().units, status);
  }
  std::int32_t read() {
    std::int32_t count = -5;
    RDGRPS(memory.state().structure, count, memory.state().units, 91, 6, status);
    return count;
  }
  std::int32_t number(std::string_view name) {
    std::int32_t lookup = 0;
    return GTSTRU(memory.state().structure, name, 6, memory.state().units, lookup);
  }
  testing::MemoryRun memory;
  std::int32_t status = 0;
};

std::string echo(std::string_view line) {
  std::string text(line);
  text.resize(80, ' ');
  return text + "\n";
}

TEST(RDGRPS, RegistersGroups) {
  GroupRun run(
      "! groups of the jacket\n"
      "name grp 3.4 legs\n"
      "NAME GROUP 5 DECK\n"
      "\n"
      "NAME GROUP 7 deck\n"
      "NAME GROUP X BRACES\n"
      "NAMES GRID 12 Conductors\n"
      "NAME GROUP 4\n");
  EXPECT_EQ(run.read(), 3);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.number("LEGS"), 3);
  EXPECT_EQ(run.number("deck"), 5);
  EXPECT_EQ(run.number("BRACES"), 0);
  EXPECT_EQ(run.number("CONDUCTO"), 12);
  EXPECT_EQ(run.memory.console(),
            echo("name grp 3.4 legs") + echo("NAME GROUP 5 DECK") + echo("NAME GROUP 7 deck") +
                " Doubly defined group:DECK    \n" + echo("NAME GROUP X BRACES") +
                echo("NAMES GRID 12 Conductors") + echo("NAME GROUP 4"));
}

// The names under which the table keeps its own words are never stored from a group line:
// ISTTYP would turn the table into its fixed form, MXSTRU and the options would change too.
TEST(RDGRPS, TheTablesOwnNamesArePassedOver) {
  GroupRun run(
      "NAME GROUP 5 isttyp\n"
      "NAME GROUP 6 MXSTRU\n"
      "NAME GROUP 7 IOPXYZ\n"
      "NAME GROUP 8 IopYzx\n"
      "NAME GROUP 9 DECK\n");
  EXPECT_EQ(run.read(), 1);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.number("DECK"), 9);
  const auto& words = run.memory.state().structure_words;
  EXPECT_EQ(words[0], -1);
  EXPECT_EQ(words[1], 10000);
  EXPECT_EQ(words[2], 0);
  EXPECT_EQ(words[3], 0);
  EXPECT_EQ(run.memory.console(),
            echo("NAME GROUP 5 isttyp") + " Doubly defined group:ISTTYP  \n" +
                echo("NAME GROUP 6 MXSTRU") + " Doubly defined group:MXSTRU  \n" +
                echo("NAME GROUP 7 IOPXYZ") + " Doubly defined group:IOPXYZ  \n" +
                echo("NAME GROUP 8 IopYzx") + " Doubly defined group:IOPYZX  \n" +
                echo("NAME GROUP 9 DECK"));
}

TEST(RDGRPS, FailedRegistrationLeavesNoCount) {
  // The identifier table is full after its four own names and 9996 groups.
  std::string groups;
  for (int i = 1; i <= 9997; ++i) {
    groups += "NAME GR " + std::to_string(i) + " G" + std::to_string(i) + "\n";
  }
  GroupRun run(groups);
  EXPECT_EQ(run.read(), 0);
  EXPECT_EQ(run.status, -1);
  EXPECT_EQ(run.number("G9996"), 9996);
  const std::string& console = run.memory.console();
  EXPECT_NE(console.find("    Number of IDS exceeds maximum of :  10000\n"
                         "\n  *** ERROR IN PTSTRU ***\n      PARAMETER NOT FOUND:G9997   \n"),
            std::string::npos);
}

// A group name that cannot be an identifier (a tab, a letter outside ASCII) is reported by the
// lookups of the double-definition check and of the store, then by the add and the store: each
// message once, and nothing from the check for the table's own names.
TEST(RDGRPS, IllegalGroupNameGivesEachLookupsMessageOnce) {
  for (const std::string& name : {std::string("leg\tA1"), std::string("d\xC3\xA9"
                                                                      "ck")}) {
    SCOPED_TRACE(name);
    const std::string line = "NAME GROUP 3 " + name;
    GroupRun run(line + "\nNAME GROUP 4 DECK\n");
    EXPECT_EQ(run.read(), 0);
    EXPECT_EQ(run.status, -1);
    // Upper-cased as the table holds it, and as the store's message shows it, in 8 columns.
    std::string upper = name;
    for (char& c : upper) {
      if (c >= 'a' && c <= 'z') {
        c = static_cast<char>(c - 'a' + 'A');
      }
    }
    const std::string illegal = "\n    Illegal Identifier : " + upper + "\n";
    EXPECT_EQ(run.memory.console(),
              echo(line) + "\n  *** ERROR IN IDXIST  ***\n" + illegal +
                  "\n  *** ERROR IN IDXIST  ***\n" + illegal + "\n  *** ERROR IN IDADD  ***\n" +
                  illegal + "\n  *** ERROR IN PTSTRU ***\n      PARAMETER NOT FOUND:" + upper +
                  std::string(8 - upper.size(), ' ') + "\n      LEAVING PTSTRU\n\n\n\n");
  }
}

TEST(RDGRPS, StopsOnGroupNumberOutside32Bits) {
  GroupRun run("NAME GR 1 A\nNAME GR 2147483648 B\n");
  try {
    static_cast<void>(run.read());
    ADD_FAILURE() << "no stop";
  } catch (const support::InputStop& stop) {
    EXPECT_EQ(stop.file, "groups.txt");
    EXPECT_EQ(stop.line, 2);
    EXPECT_EQ(stop.message,
              "group-name file: the group number 2147483648 is outside the "
              "32-bit range");
  }
}

TEST(CNTSET, CountsGroupReferences) {
  testing::MemoryRun memory(
      std::string("FLOO LEGA1\n"
                  "FLOO        11        13\n"
                  "C FLOO X\n"
                  "floo x\n"
                  "FLOODED Y\n"
                  "  FLOO Z\n"
                  "FLOO\n"
                  "$FLOO A\n"
                  "CFLOO B\n"
                  "ELIM DECK\n"
                  "SPEC  LEGS 1\n") +
      // Only the first 256 columns count: the keyword, then the group, must stand within them.
      std::string(248, ' ') + "FLOO X\n" + std::string(252, ' ') + "FLOO X\n" +
      std::string(253, ' ') + "FLOO X\n");
  cards::CardReader& cards = memory.state().cards;
  EXPECT_EQ(CNTSET("FLOO", cards), 4);
  EXPECT_EQ(CNTSET("ELIM", cards), 1);
  EXPECT_EQ(CNTSET("SPEC", cards), 1);
  EXPECT_EQ(CNTSET("SPEX", cards), 0);
}

// Only the first two items of a line are looked at, and only its first 256 columns.
TEST(GroupReference, FirstTwoItemsOfTheCard) {
  struct Row {
    const char* name;
    std::string line;
    std::optional<std::string> group;
  };
  const std::vector<Row> rows = {
      {"a group", "FLOO LEGA1", "LEGA1"},
      {"more items behind", "FLOO DECK 1 2 X", "DECK"},
      {"indented", "   FLOO   ROW2", "ROW2"},
      {"a longer keyword", "FLOODED Y", "Y"},
      {"lower case", "floo x", std::nullopt},
      {"a range", "FLOO        11        13", std::nullopt},
      {"a real", "FLOO 1.5", std::nullopt},
      {"shaped like a number but not one", "FLOO 1E+", "1E+"},
      {"a text that starts with a digit", "FLOO 1E", "1E"},
      {"no second item", "FLOO", std::nullopt},
      {"comment card", "C FLOO X", std::nullopt},
      {"a lone C", "C", std::nullopt},
      {"skipped line", "$FLOO A", std::nullopt},
      {"keyword inside the first item", "CFLOO B", std::nullopt},
      {"second item cut at column 256", "FLOO" + std::string(246, ' ') + "123456X", std::nullopt},
      {"second item beyond column 256", "FLOO" + std::string(260, ' ') + "G", std::nullopt},
      {"second item up to column 256", "FLOO" + std::string(249, ' ') + "ABC", "ABC"},
      {"a group name of 90 characters", "FLOO " + std::string(90, 'G'), std::string(80, 'G')},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::optional<support::Text<80>> group = cards::group_reference(row.line, "FLOO");
    ASSERT_EQ(group.has_value(), row.group.has_value());
    if (group.has_value()) {
      std::string expected = *row.group;
      expected.resize(80, ' ');
      EXPECT_EQ(group->view(), expected);
    }
  }
}

}  // namespace
}  // namespace qel2br::sets
