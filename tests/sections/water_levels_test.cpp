// WRLEVL: mud-plane Z, water depth and still-water-level Z, and their four lines.
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
using testing::depth_card;
using testing::file_lines;

TEST(WRLEVL, LevelsInMetres) {
  struct Row {
    const char* name;
    std::vector<std::string> cards;
    double length_factor;
    const char* mud;  // F9.3 fields as written
    const char* depth;
    const char* still;
    double mud_z;
    double water_depth;
    double still_z;
  };
  const double mm = static_cast<double>(0.001F);
  const std::vector<Row> rows = {
      {"no cards", {}, 1, "    0.000", "    0.000", "    0.000", 0, 0, 0},
      {"metres",
       {card("MUDP", {{10, 20, "-100"}}), depth_card("100")},
       1,
       " -100.000",
       "  100.000",
       "    0.000",
       -100,
       100,
       0},
      {"millimetres",
       {depth_card("100000"), card("MUDP", {{10, 20, "-100000"}})},
       mm,
       " -100.000",
       "  100.000",
       "    0.000",
       -100.00000474974513,
       100.00000474974513,
       0.0},
      {"still water level at depth above the mud plane",
       {card("MUDP", {{10, 20, "-80"}}), depth_card("100")},
       1,
       "  -80.000",
       "  100.000",
       "   20.000",
       -80,
       100,
       20},
      {"mud plane without depth",
       {card("MUDP", {{10, 20, "-50"}})},
       1,
       "  -50.000",
       "    0.000",
       "  -50.000",
       -50,
       0,
       -50},
      {"only the first card counts, columns 10-20 only",
       {card("MUDP", {{10, 20, "-10"}, {21, 30, "x"}}), card("MUDP", {{10, 20, "-20"}}),
        depth_card("30"), depth_card("40")},
       1,
       "  -10.000",
       "   30.000",
       "   20.000",
       -10,
       30,
       20},
      {"too wide for F9.3, kept whole",
       {card("MUDP", {{10, 20, "-10000"}}), depth_card("100000")},
       1,
       "*********",
       "*********",
       "90000.000",
       -10000,
       100000,
       90000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::MemoryRun memory(card_file(row.cards));
    memory.values().units.length_factor = row.length_factor;
    memory.values().levels = WRLEVL(memory.state().cards, memory.values().units, memory.sinks());
    EXPECT_EQ(memory.output(),
              file_lines({"'", std::string("' MudPlane Z_coordinate:") + row.mud + " [m]",
                          std::string("' Water Depth          :") + row.depth + " [m]",
                          std::string("' Z_coordinate of MWL  :") + row.still + " [m]"}));
    EXPECT_EQ(memory.values().levels.mud_plane_z, row.mud_z);
    EXPECT_EQ(memory.values().levels.water_depth, row.water_depth);
    EXPECT_EQ(memory.values().levels.still_water_z, row.still_z);
  }
}

TEST(WRLEVL, UnreadableValueStops) {
  struct Row {
    const char* name;
    std::vector<std::string> cards;
    std::int64_t line;
    std::string message;
    std::string written;
  };
  const std::vector<Row> rows = {
      {"blank MUDP",
       {depth_card("100"), card("MUDP", {{21, 30, "1"}})},
       2,
       "MUDP card, columns 10-20: expected a number, found a blank field",
       ""},
      {"bad DPTH",
       {card("MUDP", {{10, 20, "-100"}}), depth_card("1OO")},
       2,
       "DPTH card, columns 10-20: expected a number, found \"1OO\"",
       ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::MemoryRun memory(card_file(row.cards));
    try {
      WRLEVL(memory.state().cards, memory.values().units, memory.sinks());
      ADD_FAILURE() << "no stop";
    } catch (const support::InputStop& stop) {
      EXPECT_EQ(stop.file, "cards.inp");
      EXPECT_EQ(stop.line, row.line);
      EXPECT_EQ(stop.message, row.message);
    }
    EXPECT_EQ(memory.output(), row.written);
  }
}

}  // namespace
}  // namespace qel2br::sections
