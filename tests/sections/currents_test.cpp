// WRCURR: current records, their reversed profiles and the limit of the profile table.
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
using testing::current_card;
using testing::file_lines;
using testing::lines_of;

TEST(WRCURR, DirectionRoundedIntoSixColumns) {
  struct Row {
    const char* direction;  // columns 61-70
    const char* field;      // the I6 field as written
  };
  const std::vector<Row> rows = {
      {"", "     0"},         {"44.5", "    45"},     {"-44.5", "   -45"},
      {"44.49", "    44"},    {"999999.4", "999999"}, {"999999.5", "******"},
      {"-99999.5", "******"}, {"1E12", "******"},     {"-1E30", "******"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.direction);
    testing::MemoryRun memory(
        card_file({card("CRNT", {{41, 50, "0"}, {51, 60, "1"}, {61, 70, row.direction}})}));
    memory.values().levels.water_depth = 100;
    WRCURR(memory.in());
    const std::vector<std::string> lines = lines_of(memory.output());
    ASSERT_EQ(lines.size(), 10U);
    EXPECT_EQ(lines[6], std::string(" Current      3     1") + row.field + "     0.00   100.00");
  }
}

TEST(WRCURR, MillimetreProfileScaledAndReversed) {
  // A mud plane off the origin: the elevation is the scaled card elevation less the depth.
  testing::MemoryRun memory(
      card_file({card("crnt", {{41, 50, "0"}, {51, 60, "500"}, {61, 70, "-90"}}),
                 card("", {{41, 50, "60000"}, {51, 60, "750"}}),
                 card("    ", {{41, 50, "1.2e5"}, {51, 60, "1000"}, {71, 80, "ignored"}})}));
  driver::RunContext& run = memory.state();
  run.values.units.length_factor = static_cast<double>(0.001F);
  run.values.levels.mud_plane_z = -20;
  run.values.levels.water_depth = 120;
  run.values.levels.still_water_z = 100;
  WRCURR(memory.in());
  EXPECT_EQ(memory.output(),
            file_lines({"'", "' -----------------------------------", "' Specification of Current ",
                        "' -----------------------------------", "'",
                        "'          LCase  Speed Direct SurfLev  Depth       [  Z       Speed ]",
                        " Current      3     1   -90   100.00   120.00",
                        "                                                       0.00     1.00",
                        "                                                     -60.00     0.75",
                        "                                                    -120.00     0.50", "'",
                        "'"}));
}

TEST(WRCURR, ProfileTableHoldsOneHundredPoints) {
  struct Row {
    int continuation_cards;
    bool stops;
  };
  for (const Row& row : {Row{99, false}, Row{100, true}}) {
    SCOPED_TRACE(row.continuation_cards);
    std::vector<std::string> cards = {current_card({.elevation = "0", .speed = "1"})};
    for (int i = 0; i < row.continuation_cards; ++i) {
      cards.push_back(card("", {{41, 50, "1"}, {51, 60, "1"}}));
    }
    testing::MemoryRun memory(card_file(cards));
    if (!row.stops) {
      WRCURR(memory.in());
      // "'", three header lines, "'", the column header, the record, 100 points, "'", "'".
      EXPECT_EQ(lines_of(memory.output()).size(), 109U);
      continue;
    }
    try {
      WRCURR(memory.in());
      ADD_FAILURE() << "no stop";
    } catch (const support::InputStop& stop) {
      EXPECT_EQ(stop.file, "cards.inp");
      EXPECT_EQ(stop.line, 101);
      EXPECT_EQ(stop.message,
                "CRNT card: more than 100 profile points in one current (the profile table "
                "holds 100)");
    }
    EXPECT_EQ(memory.output(), "");
  }
}

TEST(WRCURR, UnreadablePointStopsBeforeTheCurrent) {
  testing::MemoryRun memory(card_file({current_card({.elevation = "0", .speed = "1"}),
                                       current_card({.elevation = "0", .speed = "1"}),
                                       card("", {{41, 50, "5"}, {51, 60, "fast"}})}));
  try {
    WRCURR(memory.in());
    ADD_FAILURE() << "no stop";
  } catch (const support::InputStop& stop) {
    EXPECT_EQ(stop.line, 3);
    EXPECT_EQ(stop.message,
              "CRNT continuation card, columns 51-60: expected a number, found \"fast\"");
  }
  // The first current is complete; nothing of the second is written.
  EXPECT_EQ(lines_of(memory.output()).size(), 8U);
}

}  // namespace
}  // namespace qel2br::sections
