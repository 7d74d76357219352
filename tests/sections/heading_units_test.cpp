// WRHEAD: heading lines from the TITL cards and the unit decisions of the first CONS card.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sections/sections.hpp"
#include "support/input_stop.hpp"
#include "testing/card_images.hpp"
#include "testing/memory_units.hpp"

namespace qel2br::sections {
namespace {

using testing::card;
using testing::card_file;
using testing::constants_card;
using testing::depth_card;
using testing::file_lines;
using testing::sea_card;

std::string metre_kilogram_lines() {
  return file_lines({"'", "' Assumed Units in Qelvo File :", "'", "'   -Length Unit   : meter ",
                     "'   -Mass   Unit   : kg    "});
}

TEST(WRHEAD, UnitsFromTheFirstConsCard) {
  struct Row {
    const char* name;
    std::vector<std::string> cards;
    const char* length_line;
    const char* mass_line;
    double length_factor;
    double mass_factor;
  };
  // The single-precision number nearest to 0.001, held as a double.
  const double mm = 0.0010000000474974513;
  // Garbage in the gravity and density columns proves that they are not read.
  const std::vector<Row> rows = {
      {"flag 0",
       {constants_card({.flag = "0", .gravity = "x", .density = "y"})},
       "meter ",
       "kg    ",
       1,
       1},
      {"flag 2",
       {constants_card({.flag = "2", .gravity = "x", .density = "y"})},
       "meter ",
       "kg    ",
       1,
       1},
      {"flag 1.6 rounds to 2",
       {constants_card({.flag = "1.6", .gravity = "x"})},
       "meter ",
       "kg    ",
       1,
       1},
      {"flag 0.5 rounds to 1",
       {constants_card({.flag = "0.5", .gravity = "9810", .density = "1.025E-9"})},
       "mm    ",
       "tonnes",
       mm,
       1000},
      {"metres, tonnes",
       {constants_card({.flag = "1", .gravity = "9.81", .density = "1.025"})},
       "meter ",
       "tonnes",
       1,
       1000},
      {"millimetres, tonnes",
       {constants_card({.flag = "1", .gravity = "9810", .density = "1.025E-9"})},
       "mm    ",
       "tonnes",
       mm,
       1000},
      {"millimetres, kilograms",
       {constants_card({.flag = "1", .gravity = "9810", .density = "1.025E-6"})},
       "mm    ",
       "kg    ",
       mm,
       1},
      {"gravity exactly 9000",
       {constants_card({.flag = "1", .gravity = "9000", .density = "1025"})},
       "meter ",
       "kg    ",
       1,
       1},
      {"density exactly 900",
       {constants_card({.flag = "1", .gravity = "9.81", .density = "900"})},
       "meter ",
       "kg    ",
       1,
       1},
      {"density 0",
       {constants_card({.flag = "1", .gravity = "9.81", .density = "0"})},
       "meter ",
       "tonnes",
       1,
       1000},
      {"negative gravity",
       {constants_card({.flag = "1", .gravity = "-9810", .density = "1025"})},
       "meter ",
       "kg    ",
       1,
       1},
      {"no CONS card", {card("MUDP", {{10, 20, "1"}})}, "meter ", "kg    ", 1, 1},
      {"second CONS card changes nothing",
       {constants_card({.flag = "0"}),
        constants_card({.flag = "1", .gravity = "9810", .density = "1"})},
       "meter ",
       "kg    ",
       1,
       1},
      {"comment card before it",
       {card("c   CONS"), card("cons", {{10, 20, "1"}, {21, 30, "9810"}, {31, 40, "1.025E-9"}})},
       "mm    ",
       "tonnes",
       mm,
       1000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::MemoryRun memory(card_file(row.cards));
    memory.values().units = WRHEAD(memory.state().cards, memory.sinks());
    EXPECT_EQ(memory.output(), file_lines({"'", "' Assumed Units in Qelvo File :", "'",
                                           std::string("'   -Length Unit   : ") + row.length_line,
                                           std::string("'   -Mass   Unit   : ") + row.mass_line}));
    EXPECT_EQ(memory.values().units.length_factor, row.length_factor);
    EXPECT_EQ(memory.values().units.mass_factor, row.mass_factor);
  }
}

TEST(WRHEAD, HeadingLinesFromTheTitleCards) {
  struct Row {
    const char* name;
    std::vector<std::string> cards;
    std::string heading;
  };
  const std::string long_text(251, 'W');  // columns 6 to 256
  const std::vector<Row> rows = {
      {"no TITL card", {depth_card("100")}, ""},
      {"three cards in file order",
       {card("TITL", {{5, 9, "first"}}), sea_card({.type = "1"}),
        card("Titl", {{6, 19, "Second title  "}}), card("TITL", {{5, 7, "3rd"}})},
       file_lines({"' Heading :  ", "'", "'  FIRST", "'   SECOND TITLE", "'  3RD"})},
      {"keyword only", {card("TITL")}, file_lines({"' Heading :  ", "'", "'  "})},
      {"text up to column 256",
       {card("TITL", {{6, 256, long_text}})},
       file_lines({"' Heading :  ", "'", "'   " + long_text})},
      {"comment card and indented keyword passed over",
       {card("C   TITL"), card(" TITL x"), card("TITL", {{5, 8, "only"}})},
       file_lines({"' Heading :  ", "'", "'  ONLY"})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::MemoryRun memory(card_file(row.cards));
    WRHEAD(memory.state().cards, memory.sinks());
    EXPECT_EQ(memory.output(), row.heading + metre_kilogram_lines());
  }
}

TEST(WRHEAD, UnreadableConsFieldStopsBeforeTheUnitLines) {
  struct Row {
    const char* name;
    std::string cons;
    std::string message;
  };
  const std::vector<Row> rows = {
      {"blank flag", constants_card({.gravity = "9.81"}),
       "CONS card, columns 10-20: expected a number, found a blank field"},
      {"bad gravity", constants_card({.flag = "1", .gravity = "9.81x", .density = "1025"}),
       "CONS card, columns 21-30: expected a number, found \"9.81x\""},
      {"blank density", constants_card({.flag = "1", .gravity = "9.81"}),
       "CONS card, columns 31-40: expected a number, found a blank field"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::MemoryRun memory(card_file({card("TITL", {{5, 5, "T"}}), row.cons}));
    try {
      WRHEAD(memory.state().cards, memory.sinks());
      ADD_FAILURE() << "no stop";
    } catch (const support::InputStop& stop) {
      EXPECT_EQ(stop.file, "cards.inp");
      EXPECT_EQ(stop.line, 2);
      EXPECT_EQ(stop.message, row.message);
    }
    EXPECT_EQ(memory.output(), file_lines({"' Heading :  ", "'", "'  T"}));
  }
}

}  // namespace
}  // namespace qel2br::sections
