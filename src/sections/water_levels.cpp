// Water levels: mud-plane Z, water depth and still-water-level Z in metres.
#include <string_view>

#include "layout/layout.hpp"
#include "sections/headings.hpp"
#include "sections/sections.hpp"

namespace qel2br::sections {

namespace {

constexpr layout::Layout kLevel = "(A, F9.3, A)";

constexpr std::string_view kMudPlane = "' MudPlane Z_coordinate:";
constexpr std::string_view kWaterDepth = "' Water Depth          :";
constexpr std::string_view kStillWater = "' Z_coordinate of MWL  :";
constexpr std::string_view kMetres = " [m]";

// The value in columns 10-20 of the first card of the keyword, times the length factor;
// 0 without such a card.
double first_value(RunState& run, std::string_view keyword) {
  run.cards.start_scan(keyword);
  if (run.cards.next_card()) {
    return run.cards.real_field(10, 20) * run.length_factor;
  }
  return 0.0;
}

}  // namespace

void WRLEVL(RunState& run) {
  run.mud_plane_z = first_value(run, "MUDP");
  layout::write_record(run.output(), layout::kOneText, kMark);
  layout::write_record(run.output(), kLevel, kMudPlane, run.mud_plane_z, kMetres);

  run.water_depth = first_value(run, "DPTH");
  // The still water level stands at the water depth above the mud plane, also without a
  // DPTH card.
  run.still_water_z = run.water_depth + run.mud_plane_z;
  layout::write_record(run.output(), kLevel, kWaterDepth, run.water_depth, kMetres);
  layout::write_record(run.output(), kLevel, kStillWater, run.still_water_z, kMetres);
  if (run.report != nullptr) {
    run.report->levels_set = true;
    run.report->mud_plane_z = run.mud_plane_z;
    run.report->water_depth = run.water_depth;
    run.report->still_water_z = run.still_water_z;
  }
}

}  // namespace qel2br::sections
