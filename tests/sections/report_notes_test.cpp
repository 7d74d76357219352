// What the sections note for the conversion report: the values they wrote, with card lines.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "report/report_collector.hpp"
#include "sections/sections.hpp"
#include "sets/structure.hpp"
#include "testing/card_images.hpp"
#include "testing/memory_units.hpp"

namespace qel2br::sections {
namespace {

using testing::card;
using testing::card_file;
using testing::coefficient_card;
using testing::constants_card;
using testing::current_card;
using testing::depth_card;
using testing::element_card;
using testing::flooded_card;
using testing::growth_card;
using testing::non_hydro_card;

// A millimetre and tonne input with every kind of card the element mode converts.
const std::string kCards = card_file(
    {card("TITL Platform <A>"),                                                // 1
     constants_card({.flag = "1", .gravity = "9810", .density = "1.025E-9"}),  // 2
     card("MUDP", {{10, 20, "-100000"}}),                                      // 3
     depth_card("100000"),                                                     // 4
     card("SEA",
          {{6, 10, "1"}, {16, 20, "8500"}, {21, 30, "12"}, {31, 40, "7"}, {71, 80, "45"}}),  // 5
     card("SEA",
          {{6, 10, "3"}, {16, 20, "1000"}, {21, 30, "9"}, {31, 40, "0"}, {71, 80, "0"}}),   // 6
     current_card({.elevation = "0", .speed = "500", .direction = "90"}),                   // 7
     card("", {{41, 50, "50000"}, {51, 60, "800"}}),                                        // 8
     growth_card({.elevation = "0", .thickness = "20"}),                                    // 9
     growth_card({.first = false, .elevation = "100000", .thickness = "50"}),               // 10
     coefficient_card({.elevation = "0", .cd = "0.7", .cm = "2.0"}),                        // 11
     coefficient_card({.first = false, .elevation = "100000", .cd = "0.65", .cm = "1.6"}),  // 12
     element_card(
         {.first = "101", .last = "105", .step = "1", .unused = "0", .cd = "0.7", .cm = "2"}),
     element_card(
         {.first = "201", .last = "202", .step = "1", .unused = "0", .cd = "-1", .cm = "2"}),
     flooded_card({.first = "11", .last = "13", .step = "1"}),        // 15
     non_hydro_card({.first = "501", .last = "505", .step = "2"})});  // 16

void run_element_mode(testing::MemoryRun& memory) {
  memory.set_element_numbers({101, 103, 104, 105, 11, 13, 501, 505});
  memory.values().units = WRHEAD(memory.state().cards, memory.sinks());
  memory.values().levels = WRLEVL(memory.state().cards, memory.values().units, memory.sinks());
  WRWAVE(memory.in());
  WRCURR(memory.in());
  WRPROF(memory.in());
  WRELMP(memory.in());
  WRFLEL(memory.in());
}

TEST(ReportNotes, ElementModeValuesAsWritten) {
  testing::MemoryRun plain(kCards);
  run_element_mode(plain);
  testing::MemoryRun noted(kCards);
  report::ReportData data;
  report::ReportCollector collector(data);
  noted.add_sink(collector);
  run_element_mode(noted);
  // Noting changes nothing in the output data file.
  EXPECT_EQ(noted.output(), plain.output());

  // Millimetres: lengths are scaled by the single-precision 0.001, 0.0010000000474974513.
  // The heading text runs from column 5, the blank after the keyword included.
  EXPECT_EQ(data.titles, std::vector<std::string>{" PLATFORM <A>"});
  EXPECT_EQ(data.length_factor, 0.0010000000474974513);
  EXPECT_EQ(data.mass_factor, 1000.0);
  EXPECT_TRUE(data.levels_set);
  EXPECT_EQ(data.mud_plane_z, -100.00000474974513);
  EXPECT_EQ(data.water_depth, 100.00000474974513);
  EXPECT_EQ(data.still_water_z, 0.0);

  ASSERT_EQ(data.sea_states.size(), 2U);
  const report::SeaState& sea = data.sea_states[0];
  EXPECT_EQ(sea.line, 5);
  EXPECT_EQ(sea.load_case, 3);
  EXPECT_EQ(sea.theory, "Airy");
  EXPECT_EQ(sea.type_code, 1.0);
  EXPECT_EQ(sea.height, 8.500000403728336);
  EXPECT_EQ(sea.period, 12.0);
  EXPECT_EQ(sea.phase, 7.0);
  EXPECT_EQ(sea.direction, 45.0);
  EXPECT_EQ(data.sea_states[1].line, 6);
  EXPECT_EQ(data.sea_states[1].theory, "Unknown");

  ASSERT_EQ(data.currents.size(), 1U);
  const report::Current& current = data.currents[0];
  EXPECT_EQ(current.line, 7);
  EXPECT_EQ(current.direction, 90.0);
  ASSERT_EQ(current.points.size(), 2U);
  EXPECT_EQ(current.points[0].line, 7);
  EXPECT_EQ(current.points[0].card_elevation, 0.0);
  EXPECT_EQ(current.points[0].card_value, 500.0);
  EXPECT_EQ(current.points[0].elevation, -100.00000474974513);
  EXPECT_EQ(current.points[0].value, 0.5000000237487257);
  EXPECT_EQ(current.points[1].line, 8);
  EXPECT_EQ(current.points[1].elevation, -50.000002374872565);
  EXPECT_EQ(current.points[1].value, 0.800000037997961);

  ASSERT_TRUE(data.marine_growth.written);
  ASSERT_EQ(data.marine_growth.points.size(), 2U);
  EXPECT_EQ(data.marine_growth.points[1].line, 10);
  EXPECT_EQ(data.marine_growth.points[1].card_elevation, 100000.0);
  EXPECT_EQ(data.marine_growth.points[1].elevation, 0.0);
  EXPECT_EQ(data.marine_growth.points[1].card_value, 50.0);
  EXPECT_EQ(data.marine_growth.points[1].value, 0.050000002374872565);
  ASSERT_TRUE(data.coefficients.written);
  ASSERT_EQ(data.coefficients.points.size(), 2U);
  EXPECT_EQ(data.coefficients.points[0].line, 11);
  EXPECT_EQ(data.coefficients.points[0].value, 0.7);
  EXPECT_EQ(data.coefficients.points[0].value2, 2.0);
  EXPECT_EQ(data.coefficients.points[1].value, 0.65);
  EXPECT_EQ(data.coefficients.points[1].value2, 1.6);

  // The SPEC card with Cd -1 is not usable and not noted.
  ASSERT_EQ(data.element_records.size(), 1U);
  const report::ElementRecord& record = data.element_records[0];
  EXPECT_EQ(record.keyword, "SPEC");
  EXPECT_EQ(record.line, 13);
  EXPECT_EQ(record.cd, 0.7);
  EXPECT_EQ(record.cm, 2.0);
  EXPECT_EQ(record.elements, (std::vector<std::int32_t>{101, 103, 104, 105}));
  EXPECT_EQ(record.left_out, (std::vector<std::int32_t>{102}));
  EXPECT_EQ(data.flooded.lines, (std::vector<std::int64_t>{15}));
  EXPECT_EQ(data.flooded.elements, (std::vector<std::int32_t>{11, 13}));
  EXPECT_EQ(data.flooded.left_out, (std::vector<std::int32_t>{12}));
  EXPECT_EQ(data.non_hydro.lines, (std::vector<std::int64_t>{16}));
  EXPECT_EQ(data.non_hydro.elements, (std::vector<std::int32_t>{501, 505}));
  EXPECT_EQ(data.non_hydro.left_out, (std::vector<std::int32_t>{503}));
}

TEST(ReportNotes, ShortProfilesAndGroups) {
  testing::MemoryRun memory(card_file({growth_card({.elevation = "0", .thickness = "0.02"}),
                                       card("FLOO LEGA1"), card("FLOO DECK")}));
  driver::RunContext& run = memory.state();
  report::ReportData data;
  report::ReportCollector collector(data);
  memory.add_sink(collector);
  std::int32_t status = 0;
  sets::STROPN(run.structure, 1, 1, 6, run.units, status);
  sets::PTSTRU(run.structure, "LEGA1   ", 7, 6, run.units, status);
  sets::PTSTRU(run.structure, "DECK    ", 12, 6, run.units, status);
  ASSERT_EQ(status, 0);
  WRPROF(memory.in());
  EXPECT_FALSE(WRGRPP(memory.in()).has_value());
  // One MGRW card is noted but not written.
  EXPECT_FALSE(data.marine_growth.written);
  ASSERT_EQ(data.marine_growth.points.size(), 1U);
  EXPECT_EQ(data.marine_growth.points[0].line, 1);
  EXPECT_TRUE(data.coefficients.points.empty());
  ASSERT_EQ(data.groups.size(), 2U);
  EXPECT_EQ(data.groups[0].line, 2);
  EXPECT_EQ(data.groups[0].name, "LEGA1");
  EXPECT_EQ(data.groups[0].number, 7);
  EXPECT_EQ(data.groups[1].line, 3);
  EXPECT_EQ(data.groups[1].name, "DECK");
  EXPECT_EQ(data.groups[1].number, 12);
}

}  // namespace
}  // namespace qel2br::sections
