// The readers give records as values: what each record holds, in the input's units and as the
// data file holds it, before any line is written.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sections/sections.hpp"
#include "testing/card_images.hpp"
#include "testing/memory_units.hpp"

namespace qel2br::sections {
namespace {

using testing::card_file;

// Millimetre input on 150 m of water over a mud plane at -150 m.
void millimetres(testing::MemoryRun& memory) {
  memory.values().units.length_factor = static_cast<double>(0.001F);
  memory.values().levels = {.mud_plane_z = -150, .water_depth = 150, .still_water_z = 0};
}

TEST(Records, SeaStatesAndCurrents) {
  testing::MemoryRun memory(card_file(
      {testing::sea_card(
           {.type = "9", .height = "8500", .period = "12", .phase = "0", .direction = "90"}),
       testing::sea_card(
           {.type = "16", .height = "12000", .period = "14", .phase = "20", .direction = "-90"}),
       testing::current_card({.elevation = "0", .speed = "1000", .direction = "45.5"}),
       testing::current_continuation({.elevation = "150000", .speed = "1500"})}));
  millimetres(memory);
  WRWAVE(memory.in());
  WRCURR(memory.in());

  const std::vector<records::SeaState>& waves = memory.log().sea_states;
  ASSERT_EQ(waves.size(), 2U);
  // Type 9: Airy with no height; type 16: 6, the stream function, height in metres.
  EXPECT_EQ(waves[0].theory.view(), "Airy    ");
  EXPECT_EQ(waves[0].height, 0.0);
  EXPECT_EQ(waves[1].theory.view(), "Stream  ");
  // The millimetre factor is the single-precision 0.001.
  EXPECT_EQ(waves[1].height, 12000 * static_cast<double>(0.001F));
  EXPECT_EQ(waves[1].line, 2);
  EXPECT_EQ(waves[1].period, 14.0);
  EXPECT_EQ(waves[1].direction, -90.0);
  EXPECT_EQ(waves[1].depth, 150.0);

  const std::vector<records::Current>& currents = memory.log().currents;
  ASSERT_EQ(currents.size(), 1U);
  EXPECT_EQ(currents[0].line, 3);
  EXPECT_EQ(currents[0].direction, 45.5);
  ASSERT_EQ(currents[0].points.size(), 2U);
  // Elevations relative to the still water level: the sea bed at -150 m, the surface at 0.
  EXPECT_EQ(currents[0].points[0].card_elevation, 0.0);
  EXPECT_NEAR(currents[0].points[0].elevation, -150.0, 1e-4);
  EXPECT_NEAR(currents[0].points[1].elevation, 0.0, 1e-4);
  EXPECT_NEAR(currents[0].points[1].value, 1.5, 1e-6);
  EXPECT_EQ(currents[0].points[1].line, 4);
}

TEST(Records, ElementListsAfterTheElementCheck) {
  testing::MemoryRun memory(card_file(
      {testing::element_card(
           {.first = "1", .last = "7", .step = "2", .unused = "0", .cd = "0.7", .cm = "2.0"}),
       testing::flooded_card({.first = "11", .last = "13", .step = "1"}),
       testing::non_hydro_card({.first = "20", .last = "21", .step = "1"})}));
  memory.set_element_numbers({1, 5, 7, 11, 13, 20, 21});
  WRELMP(memory.in());
  WRFLEL(memory.in());

  const std::vector<records::ElementRecord>& records = memory.log().element_records;
  ASSERT_EQ(records.size(), 1U);
  EXPECT_EQ(records[0].keyword.view(), "SPEC");
  EXPECT_EQ(records[0].cd, 0.7);
  // Element 3 is left out in its place: the data file lists five positions to a line.
  EXPECT_EQ(records[0].positions, (std::vector<std::int32_t>{1, 0, 5, 7}));
  EXPECT_EQ(records[0].left_out, (std::vector<std::int32_t>{3}));

  const std::vector<records::ElementSet>& sets = memory.log().element_sets;
  ASSERT_EQ(sets.size(), 2U);
  EXPECT_EQ(sets[0].kind, records::SetKind::kFlooded);
  EXPECT_EQ(sets[0].positions, (std::vector<std::int32_t>{11, 0, 13}));
  EXPECT_EQ(sets[0].left_out, (std::vector<std::int32_t>{12}));
  EXPECT_EQ(sets[0].lines, (std::vector<std::int64_t>{2}));
  EXPECT_EQ(sets[1].kind, records::SetKind::kNonHydro);
  EXPECT_EQ(sets[1].positions, (std::vector<std::int32_t>{20, 21}));
  EXPECT_TRUE(sets[1].left_out.empty());
}

}  // namespace
}  // namespace qel2br::sections
