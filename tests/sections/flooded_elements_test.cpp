// Tests of WRFLEL.
#include <gtest/gtest.h>

#include <cstdint>
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
using testing::flooded_card;
using testing::non_hydro_card;

TEST(WRFLEL, MergesCardsIntoOneRecordEach) {
  const std::string cards = card_file({flooded_card({.first = "11", .last = "13", .step = "1"}),
                                       non_hydro_card({.first = "5"}), card("FLOO LEGA1"),
                                       flooded_card({.first = "20", .last = "22", .step = "1"}),
                                       flooded_card({.first = "-1", .last = "0", .step = "1"})});
  testing::MemoryRun memory(cards);
  memory.set_element_numbers({11, 13, 20, 22, 5});
  WRFLEL(memory.in());
  EXPECT_EQ(
      memory.output(),
      testing::file_lines(
          {"'", "' -----------------------------------------",
           "' Specification of Flooded Elements ", "' -----------------------------------------",
           "'", " Flooded   Elem        11        13        20", " Flooded   Elem        22", "'",
           "' -----------------------------------------", "' Specification of NonHydro Elements ",
           "' -----------------------------------------", "'", " NonHydro  Elem         5"}));
}

TEST(WRFLEL, MergedListHoldsAtMost10000) {
  const std::string cards = card_file({non_hydro_card({.first = "1", .last = "6000", .step = "1"}),
                                       non_hydro_card({.first = "1", .last = "4000", .step = "1"}),
                                       non_hydro_card({.first = "7"})});
  testing::MemoryRun memory(cards);
  try {
    WRFLEL(memory.in());
    ADD_FAILURE() << "no stop";
  } catch (const support::InputStop& stop) {
    EXPECT_EQ(stop.line, 3);
    EXPECT_EQ(stop.message,
              "ELIM cards: more than 10000 elements in the non-hydrodynamic "
              "element list (the list holds 10000)");
  }
}

}  // namespace
}  // namespace qel2br::sections
