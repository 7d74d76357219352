// WRWAVE: the theory name of each wave type code, the block header and the wave records.
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
using testing::file_lines;
using testing::sea_card;

std::string wave_header() {
  return file_lines(
      {"'", "' -----------------------------------", "' Specification of Waves             ",
       "' -----------------------------------", "'",
       "'        LCase Type       Height  Period  Direct  Phase   SurfLev  Depth  nIni"});
}

// A SEA card with height 10, period 12, phase 0 and direction 45.
std::string sea_card(const std::string& type) {
  return sea_card({.type = type, .height = "10", .period = "12", .phase = "0", .direction = "45"});
}

TEST(WRWAVE, TheoryNameFromTheTypeCode) {
  struct Row {
    const char* type;
    const char* theory;  // the 8-character name
    const char* height;  // the F8.2 field
  };
  const std::vector<Row> rows = {
      {"1", "Airy    ", "   10.00"},     {"11", "Airy    ", "   10.00"},
      {"0.6", "Airy    ", "   10.00"},   {"5", "Stoke   ", "   10.00"},
      {"15", "Stoke   ", "   10.00"},    {"", "Stoke   ", "   10.00"},
      {"6", "Stream  ", "   10.00"},     {"16", "Stream  ", "   10.00"},
      {"10", "Unknown ", "   10.00"},    {"20", "Unknown ", "   10.00"},
      {"0", "Unknown ", "   10.00"},     {"2", "Unknown ", "   10.00"},
      {"3", "Unknown ", "   10.00"},     {"-1", "Unknown ", "   10.00"},
      {"4.5", "Stoke   ", "   10.00"},   {"-0.5", "Unknown ", "   10.00"},
      {"9", "Airy    ", "    0.00"},     {"19", "Airy    ", "    0.00"},
      {"25", "Unknown ", "   10.00"},    {"1E12", "Unknown ", "   10.00"},
      {"-1E12", "Unknown ", "   10.00"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.type);
    testing::MemoryRun memory(card_file({sea_card(row.type)}));
    memory.values().levels.water_depth = 100;
    WRWAVE(memory.in());
    const std::string record = std::string("#WaveData   3  ") + row.theory + row.height +
                               "   12.00   45.00    0.00     0.00   100.00   0";
    EXPECT_EQ(record.size(), 77U);
    EXPECT_EQ(memory.output(), wave_header() + file_lines({record}));
  }
}

TEST(WRWAVE, OneHeaderForAllCards) {
  // SEAS and SEA1 are other keywords; a lower-case card is a SEA card.
  testing::MemoryRun memory(card_file(
      {card("SEAS", {{6, 10, "1"}}), card("SEA1", {{6, 10, "1"}}),
       sea_card(
           {.type = "1", .height = "8500", .period = "12.5", .phase = "-30", .direction = "180"}),
       card("CRNT"),
       card("sea ",
            {{6, 10, "6"}, {16, 20, "12000"}, {21, 30, "14"}, {31, 40, "2e1"}, {71, 80, "-90"}})}));
  driver::RunContext& run = memory.state();
  // Millimetre input: only the height is scaled.
  run.values.units.length_factor = static_cast<double>(0.001F);
  run.values.levels.mud_plane_z = -150;
  run.values.levels.water_depth = 150;
  run.values.levels.still_water_z = 0;
  WRWAVE(memory.in());
  EXPECT_EQ(
      memory.output(),
      wave_header() +
          file_lines(
              {"#WaveData   3  Airy        8.50   12.50  180.00  -30.00     0.00   150.00   0",
               "#WaveData   3  Stream     12.00   14.00  -90.00   20.00     0.00   150.00   0"}));
}

TEST(WRWAVE, NoSeaCardWritesNothing) {
  testing::MemoryRun memory(card_file({card("SEAS", {{6, 10, "1"}}), card(" SEA ")}));
  WRWAVE(memory.in());
  EXPECT_EQ(memory.output(), "");
}

TEST(WRWAVE, UnreadableFieldStopsBeforeTheRecord) {
  struct Row {
    const char* name;
    std::string card;
    std::string message;
  };
  const std::vector<Row> rows = {
      {"bad type",
       sea_card({.type = "A", .height = "1", .period = "1", .phase = "1", .direction = "1"}),
       "SEA card, columns 6-10: expected a number, found \"A\""},
      {"blank height for type 9",
       sea_card({.type = "9", .period = "1", .phase = "1", .direction = "1"}),
       "SEA card, columns 16-20: expected a number, found a blank field"},
      {"blank direction", sea_card({.type = "1", .height = "1", .period = "1", .phase = "1"}),
       "SEA card, columns 71-80: expected a number, found a blank field"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::MemoryRun memory(card_file({sea_card("1"), row.card}));
    memory.values().levels.water_depth = 100;
    try {
      WRWAVE(memory.in());
      ADD_FAILURE() << "no stop";
    } catch (const support::InputStop& stop) {
      EXPECT_EQ(stop.line, 2);
      EXPECT_EQ(stop.message, row.message);
    }
    EXPECT_EQ(memory.output(),
              wave_header() + file_lines({"#WaveData   3  Airy       10.00   12.00   45.00    0.00 "
                                          "    0.00   100.00   0"}));
  }
}

}  // namespace
}  // namespace qel2br::sections
