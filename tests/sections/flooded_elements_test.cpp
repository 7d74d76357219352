// Tests of WRFLEL.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sections/sections.hpp"
#include "support/input_stop.hpp"
#include "testing/memory_units.hpp"

namespace qel2br::sections {
namespace {

// A card line: the keyword in columns 1-4 and each text right-aligned to end at its column.
std::string card(std::string_view keyword,
                 std::initializer_list<std::pair<std::size_t, std::string_view>> fields) {
  return testing::card_text(keyword, fields) + "\n";
}

TEST(WRFLEL, MergesCardsIntoOneRecordEach) {
  const std::string cards = card("FLOO", {{20, "11"}, {30, "13"}, {40, "1"}}) +
                            card("ELIM", {{20, "5"}}) + card("FLOO", {{10, "LEGA1"}}) +
                            card("FLOO", {{20, "20"}, {30, "22"}, {40, "1"}}) +
                            card("FLOO", {{20, "-1"}, {30, "0"}, {40, "1"}});
  testing::MemoryRun memory(cards);
  memory.set_element_numbers({11, 13, 20, 22, 5});
  WRFLEL(memory.state());
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
  const std::string cards = card("ELIM", {{20, "1"}, {30, "6000"}, {40, "1"}}) +
                            card("ELIM", {{20, "1"}, {30, "4000"}, {40, "1"}}) +
                            card("ELIM", {{20, "7"}});
  testing::MemoryRun memory(cards);
  try {
    WRFLEL(memory.state());
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
