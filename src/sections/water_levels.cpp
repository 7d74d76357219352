// Water levels: mud-plane Z, water depth and still-water-level Z in metres.
#include <string_view>

#include "sections/sections.hpp"

namespace qel2br::sections {

namespace {

// The value in columns 10-20 of the first card of the keyword, times the length factor;
// 0 without such a card.
double first_value(cards::CardReader& cards, std::string_view keyword, double length_factor) {
  cards.start_scan(keyword);
  if (cards.next_card()) {
    return cards.real_field(10, 20) * length_factor;
  }
  return 0.0;
}

}  // namespace

records::WaterLevels WRLEVL(cards::CardReader& cards, const records::Units& units,
                            records::RecordSink& sink) {
  records::WaterLevels levels;
  levels.mud_plane_z = first_value(cards, "MUDP", units.length_factor);
  levels.water_depth = first_value(cards, "DPTH", units.length_factor);
  // The still water level stands at the water depth above the mud plane, also without a
  // DPTH card.
  levels.still_water_z = levels.water_depth + levels.mud_plane_z;
  sink.levels(levels);
  return levels;
}

}  // namespace qel2br::sections
