// Tests of WRGRPP.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sections/sections.hpp"
#include "sets/structure.hpp"
#include "testing/memory_units.hpp"

namespace qel2br::sections {
namespace {

const std::string kGroupBanner = testing::file_lines(
    {"'", "'", "'",
     "' =========================================", "' ==  Specification of Properties using  ==",
     "' ==        G r o u p s                  ==", "' == (Override depth profile definitions)==",
     "' =========================================", "'"});

// A run whose group table holds LEGA1 = 7 and DECK = 12.
struct GroupTable {
  explicit GroupTable(std::string cards) : memory(std::move(cards)) {
    driver::RunContext& run = memory.state();
    std::int32_t status = 0;
    sets::STROPN(run.structure, 1, 1, 6, run.units, status);
    sets::PTSTRU(run.structure, "LEGA1   ", 7, 6, run.units, status);
    sets::PTSTRU(run.structure, "DECK    ", 12, 6, run.units, status);
  }
  testing::MemoryRun memory;
};

TEST(WRGRPP, FloodedGroupRecords) {
  GroupTable table(
      "FLOO LEGA1\n"
      "FLOO        11        13\n"
      "C FLOO DECK\n"
      "floo deck\n"
      "CFLOO DECK\n"
      "FLOODED deck rest of card\n"
      "FLOO\n"
      "' FLOO LEGA1\n"
      "FLOO LEGA1\n");
  EXPECT_FALSE(WRGRPP(table.memory.in()).has_value());
  const std::string record7 = " Flooded Group        7           !   LEGA1   ";
  ASSERT_EQ(record7.size(), 46U);
  EXPECT_EQ(
      table.memory.output(),
      kGroupBanner + testing::file_lines(
                         {record7, " Flooded Group       12           !   deck    ", record7}));
  std::string echo1 = "FLOO LEGA1";
  echo1.resize(80, ' ');
  std::string echo2 = "FLOODED deck rest of card";
  echo2.resize(80, ' ');
  EXPECT_EQ(table.memory.console(), echo1 + "\n" + echo2 + "\n" + echo1 + "\n");
}

TEST(WRGRPP, UndefinedGroupEndsTheSection) {
  GroupTable table("FLOO LEGA1\nFLOO DECK\nFLOO LongGroupName\nFLOO DECK\n");
  EXPECT_TRUE(WRGRPP(table.memory.in()).has_value());
  EXPECT_EQ(table.memory.output(),
            kGroupBanner + testing::file_lines({" Flooded Group        7           !   LEGA1   ",
                                                " Flooded Group       12           !   DECK    "}));
  const std::string& console = table.memory.console();
  EXPECT_EQ(console.substr(console.size() - 76),
            " *** ERROR during decoding of: FLOO\n     Undefined Set           : LongGrou\n");
}

}  // namespace
}  // namespace qel2br::sections
