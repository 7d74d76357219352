// WRPROF: the banner, the marine-growth and coefficient profiles and the profile table limit.
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
using testing::coefficient_card;
using testing::file_lines;
using testing::growth_card;

std::string banner() {
  return file_lines({"'", "' ============================================",
                     "' ==  D e p t h   P r o f i l e   D a t a  ===",
                     "' ============================================", "'"});
}
constexpr std::string_view kDashes = "' -----------------------------------------";

TEST(WRPROF, ProfilesNeedTwoCards) {
  struct Row {
    const char* name;
    std::vector<std::string> cards;
    std::string after_banner;
  };
  const std::string growth_lines = file_lines(
      {"'", kDashes, "' Specification of Marine Growth ", kDashes, "'",
       "'                     [  Z       Thick ]", " M_Growth ",
       "                         0.00    0.050", "                      -100.00    0.020"});
  const std::vector<Row> rows = {
      {"no cards", {}, ""},
      {"one card of each",
       {growth_card({.elevation = "0", .thickness = "1"}),
        coefficient_card({.elevation = "0", .cd = "1", .cm = "2"})},
       ""},
      {"two MGRW cards, one COEF card",
       {growth_card({.elevation = "0", .thickness = "0.02"}),
        growth_card({.first = false, .elevation = "100", .thickness = "0.05"}),
        coefficient_card({.elevation = "0", .cd = "1", .cm = "2"})},
       growth_lines},
      {"COEF gives both coefficient profiles, not scaled",
       {coefficient_card({.elevation = "0", .cd = "0.6667", .cm = "2"}), card("C   "),
        card("coef", {{11, 20, "x"}, {21, 30, "-1234467"}, {31, 40, "1.05"}, {51, 60, "1.6"}})},
       file_lines(
           {"'", kDashes, "' Specification of Cd Depth Profile ", kDashes, "'",
            "'                     [  Z        Cd   ]", " Hydro_Cd ",
            "                    *********    1.050", "                      -100.00    0.667", "'",
            kDashes, "' Specification of Cm Depth Profile ", kDashes, "'",
            "'                     [  Z        Cm   ]", " Hydro_Cm ",
            "                    *********    1.600", "                      -100.00    2.000"})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::MemoryRun memory(card_file(row.cards));
    memory.values().levels.mud_plane_z = -100;
    memory.values().levels.water_depth = 100;
    WRPROF(memory.in());
    EXPECT_EQ(memory.output(), banner() + row.after_banner);
  }
}

TEST(WRPROF, MillimetreGrowthScaled) {
  testing::MemoryRun memory(
      card_file({growth_card({.elevation = "-30000", .thickness = "80"}),
                 growth_card({.first = false, .elevation = "10000", .thickness = "40"})}));
  driver::RunContext& run = memory.state();
  run.values.units.length_factor = static_cast<double>(0.001F);
  run.values.levels.mud_plane_z = -30;
  run.values.levels.water_depth = 40;
  run.values.levels.still_water_z = 10;
  WRPROF(memory.in());
  EXPECT_EQ(memory.output(),
            banner() + file_lines({"'", kDashes, "' Specification of Marine Growth ", kDashes, "'",
                                   "'                     [  Z       Thick ]", " M_Growth ",
                                   "                       -30.00    0.040",
                                   "                       -70.00    0.080"}));
}

TEST(WRPROF, LaterCardElevationFromColumns21To30) {
  testing::MemoryRun memory(card_file({growth_card({.elevation = "0", .thickness = "0.02"}),
                                       growth_card({.elevation = "80", .thickness = "0.05"})}));
  try {
    WRPROF(memory.in());
    ADD_FAILURE() << "no stop";
  } catch (const support::InputStop& stop) {
    EXPECT_EQ(stop.line, 2);
    EXPECT_EQ(stop.message, "MGRW card, columns 21-30: expected a number, found a blank field");
  }
  EXPECT_EQ(memory.output(), banner());
}

TEST(WRPROF, ProfileTableHoldsOneHundredCards) {
  struct Row {
    const char* keyword;
    int cards;
    bool stops;
  };
  for (const Row& row : {Row{"MGRW", 100, false}, Row{"MGRW", 101, true}, Row{"COEF", 100, false},
                         Row{"COEF", 101, true}}) {
    SCOPED_TRACE(std::string(row.keyword) + " " + std::to_string(row.cards));
    std::vector<std::string> cards = {card("TITL")};
    for (int i = 0; i < row.cards; ++i) {
      cards.push_back(
          card(row.keyword, {{11, 20, "1"}, {21, 30, "1"}, {31, 40, "1"}, {51, 60, "1"}}));
    }
    testing::MemoryRun memory(card_file(cards));
    if (!row.stops) {
      WRPROF(memory.in());
      const std::size_t blocks = std::string(row.keyword) == "COEF" ? 2 : 1;
      EXPECT_EQ(testing::lines_of(memory.output()).size(), 5 + blocks * (7 + 100));
      continue;
    }
    try {
      WRPROF(memory.in());
      ADD_FAILURE() << "no stop";
    } catch (const support::InputStop& stop) {
      EXPECT_EQ(stop.file, "cards.inp");
      EXPECT_EQ(stop.line, 102);
      EXPECT_EQ(stop.message, std::string(row.keyword) +
                                  " card: more than 100 cards (the profile table holds 100)");
    }
    EXPECT_EQ(memory.output(), banner());
  }
}

}  // namespace
}  // namespace qel2br::sections
