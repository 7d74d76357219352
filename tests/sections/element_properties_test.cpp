// Tests of WRELST and WRELMP.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "datafile/data_file.hpp"
#include "sections/sections.hpp"
#include "sets/structure.hpp"
#include "support/input_stop.hpp"
#include "testing/card_images.hpp"
#include "testing/memory_units.hpp"

namespace qel2br::sections {
namespace {

using testing::card;
using testing::card_file;
using testing::element_card;
using testing::wide_element_card;

constexpr std::string_view kRecord = " Flooded   Elem";

TEST(WRELST, FivePositionsPerLine) {
  struct Row {
    const char* name;
    std::vector<std::int32_t> elements;
    std::string expected;
  };
  const Row rows[] = {
      {"five",
       {1, 2, 3, 4, 5},
       testing::file_lines({" Flooded   Elem         1         2         3         4         5"})},
      {"six",
       {1, 2, 3, 4, 5, 66},
       testing::file_lines({" Flooded   Elem         1         2         3         4         5",
                            " Flooded   Elem        66"})},
      {"removed entries shorten their line",
       {11, 0, 13, 20, -21, 22},
       testing::file_lines(
           {" Flooded   Elem        11        13        20", " Flooded   Elem        22"})},
      {"a group with nothing left writes no line",
       {0, 0, 0, 0, 0, 7},
       testing::file_lines({" Flooded   Elem         7"})},
      {"nothing left", {0, -1}, ""},
      {"wide numbers", {2147483647}, testing::file_lines({" Flooded   Elem2147483647"})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::MemoryRun memory;
    datafile::WRELST(support::Text<80>(kRecord), row.elements,
                     memory.state().units.output(support::kDataUnit));
    EXPECT_EQ(memory.output(), row.expected);
  }
}

const std::string kElementBanner =
    testing::file_lines({"'", "'", "'", "' ============================================",
                         "' ==  Specification of Properties          ===",
                         "' ==  E l e m e n t   by   E l e m e n t   ===",
                         "' ==  (Override profile definitions)       ===",
                         "' ============================================", "'"});
const std::string kCdCmHeader =
    testing::file_lines({"'", "' --------------------------------", "' Specification of Cd/Cm  ",
                         "' --------------------------------", "'"});

TEST(WRELMP, CoefficientBoundAndColumns) {
  const std::string cards =
      // SPEC: drag -1 is skipped, -0.1 is usable, -0.10001 skipped.
      card_file(
          {element_card({.first = "1", .unused = "0", .cd = "-1", .cm = "2.0"}),
           element_card({.first = "2", .unused = "0", .cd = "-0.1", .cm = "2.0"}),
           element_card({.first = "3", .unused = "0", .cd = "0.5", .cm = "-0.10001"}),
           element_card(
               {.first = "4", .last = "6", .step = "1", .unused = "0", .cd = "1000", .cm = "1"}),
           card("Spec", {{6, 10, "9"},
                         {11, 15, "1"},
                         {16, 20, "1"},
                         {31, 40, "0"},
                         {41, 50, "1"},
                         {61, 70, "1"}}),
           // SPEX: range in 11-40, coefficients in 61-65 and 71-75.
           wide_element_card({.first = "101",
                              .last = "103",
                              .step = "2",
                              .unused = "9",
                              .cd = "0.7",
                              .cm = "1.5"})});
  testing::MemoryRun memory(cards);
  WRELMP(memory.in());
  EXPECT_EQ(memory.output(),
            kElementBanner + kCdCmHeader +
                testing::file_lines({" Hyd_CdCm  -0.100  2.000         2",
                                     " Hyd_CdCm *******  1.000         4         5         6"}) +
                kCdCmHeader +
                testing::file_lines({" Hyd_CdCm   0.700  1.500       101       103"}));
}

TEST(WRELMP, CardWhoseElementsAreAllRemovedStillOpensTheSubBlock) {
  testing::MemoryRun memory(
      card_file({element_card({.first = "7", .unused = "0", .cd = "1", .cm = "1"})}));
  memory.set_element_numbers({8});
  WRELMP(memory.in());
  EXPECT_EQ(memory.output(), kElementBanner + kCdCmHeader);
}

TEST(WRELMP, IgnoredRealMustBeANumber) {
  testing::MemoryRun memory(card_file({element_card({.first = "7", .cd = "1", .cm = "1"})}));
  try {
    WRELMP(memory.in());
    ADD_FAILURE() << "no stop";
  } catch (const support::InputStop& stop) {
    EXPECT_EQ(stop.line, 1);
    EXPECT_EQ(stop.message, "SPEC card, columns 31-40: expected a number, found a blank field");
  }
  EXPECT_EQ(memory.output(), kElementBanner);
}

}  // namespace
}  // namespace qel2br::sections
