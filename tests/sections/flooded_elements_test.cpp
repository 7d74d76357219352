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

TEST(WRFLEL, MergesCardsIntoOneRecordEach) {
  const std::string cards = card_file(
      {card("FLOO", {{11, 20, "11"}, {21, 30, "13"}, {31, 40, "1"}}), card("ELIM", {{11, 20, "5"}}),
       card("FLOO LEGA1"), card("FLOO", {{11, 20, "20"}, {21, 30, "22"}, {31, 40, "1"}}),
       card("FLOO", {{11, 20, "-1"}, {21, 30, "0"}, {31, 40, "1"}})});
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
  const std::string cards =
      card_file({card("ELIM", {{11, 20, "1"}, {21, 30, "6000"}, {31, 40, "1"}}),
                 card("ELIM", {{11, 20, "1"}, {21, 30, "4000"}, {31, 40, "1"}}),
                 card("ELIM", {{11, 20, "7"}})});
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
