// Heading and units: the TITL cards as the heading, the length and mass factors of the first
// CONS card.
#include <string_view>

#include "cards/text_routines.hpp"
#include "sections/sections.hpp"
#include "support/numbers.hpp"

namespace qel2br::sections {

namespace {

// The millimetre factor is the single-precision number nearest to 0.001.
constexpr double kMillimetreFactor = static_cast<double>(0.001F);
constexpr double kTonneFactor = 1000.0;
// Gravity above this is taken as millimetres per second squared.
constexpr double kMillimetreGravity = 9000.0;
// A density (per cubed metre once converted) below this is taken as tonnes.
constexpr double kTonneDensity = 900.0;

records::Heading read_heading(cards::CardReader& cards) {
  records::Heading heading;
  cards.start_scan("TITL");
  while (cards.next_card()) {
    // The heading text runs from column 5 to the last non-blank column of the card.
    const int last = cards::ILSTNB(cards.card().view());
    heading.titles.emplace_back(last >= 5 ? cards.columns(5, last) : std::string_view{});
  }
  return heading;
}

records::Units decide_units(cards::CardReader& cards) {
  records::Units units;
  // Only the first CONS card counts; without one the input is taken as metres and kilograms.
  cards.start_scan("CONS");
  if (cards.next_card()) {
    const double flag = cards.real_field(10, 20);
    if (support::round_half_away(flag) == 1.0) {
      const double gravity = cards.real_field(21, 30);
      const double density = cards.real_field(31, 40);
      if (gravity > kMillimetreGravity) {
        units.length_factor = kMillimetreFactor;
      }
      const double cube = units.length_factor * units.length_factor * units.length_factor;
      if (density / cube < kTonneDensity) {
        units.mass_factor = kTonneFactor;
      }
    }
  }
  return units;
}

}  // namespace

records::Units WRHEAD(cards::CardReader& cards, records::RecordSink& sink) {
  sink.heading(read_heading(cards));
  const records::Units units = decide_units(cards);
  sink.units(units);
  return units;
}

}  // namespace qel2br::sections
