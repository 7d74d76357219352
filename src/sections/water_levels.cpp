// Water levels: mud-plane Z, water depth and still-water-level Z in metres.
#include <cstdint>
#include <string_view>
#include <tuple>
#include <utility>

#include "sections/sections.hpp"

namespace qel2br::sections {

namespace {

// The value in columns 10-20 of the first card of the keyword, times the length factor, and
// that card's line; 0 and 0 without such a card.
std::pair<double, std::int64_t> first_value(cards::CardReader& cards, std::string_view keyword,
                                            double length_factor) {
  cards.start_scan(keyword);
  if (cards.next_card()) {
    return {cards.real_field(10, 20) * length_factor, cards.line_number()};
  }
  return {0.0, 0};
}

}  // namespace

records::WaterLevels WRLEVL(cards::CardReader& cards, const records::Units& units,
                            records::RecordSink& sink) {
  records::WaterLevels levels;
  std::tie(levels.mud_plane_z, levels.mud_plane_line) =
      first_value(cards, "MUDP", units.length_factor);
  std::tie(levels.water_depth, levels.depth_line) = first_value(cards, "DPTH", units.length_factor);
  // The still water level stands at the water depth above the mud plane, also without a
  // DPTH card.
  levels.still_water_z = levels.water_depth + levels.mud_plane_z;
  sink.levels(levels);
  return levels;
}

}  // namespace qel2br::sections
