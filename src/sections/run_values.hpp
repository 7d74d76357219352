// What a reader reads besides its cards.
#pragma once

#include <memory>
#include <string>

#include "records/records.hpp"
#include "sets/element_sets.hpp"
#include "sets/structure.hpp"

namespace qel2br::sections {

// The elements a reader checks element lists against: the element-number file's numbers and its
// name (no checking when numbers is empty).
struct ElementCheck {
  sets::SortedNumbers numbers;
  std::string file{};
};

// What a reader reads besides its cards: the unit factors, the water levels, the set mode, the
// element numbers and the group table. Small and copied by value; what it points to is shared
// and never changed while readers run.
struct RunValues {
  records::Units units{};
  records::WaterLevels levels{};
  bool use_groups = false;
  std::shared_ptr<const ElementCheck> elements = std::make_shared<const ElementCheck>();
  // Group mode: the group table and the group-name file's name ("" without one).
  const sets::StructureTable* groups = nullptr;
  std::string group_file{};
};

// The elevation of a profile point as written: the card's elevation in metres, moved to the
// output's datum by the mud-plane Z less the still-water-level Z.
[[nodiscard]] inline double written_elevation(const RunValues& values, double card_elevation) {
  return card_elevation * values.units.length_factor - values.levels.still_water_z +
         values.levels.mud_plane_z;
}

}  // namespace qel2br::sections
