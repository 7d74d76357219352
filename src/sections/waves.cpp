// Sea states: every SEA card as a wave record.
#include <algorithm>
#include <string>
#include <string_view>

#include "sections/card_chunks.hpp"
#include "sections/sections.hpp"
#include "support/numbers.hpp"
#include "support/text.hpp"
#include "support/warnings.hpp"

namespace qel2br::sections {

namespace {

// A blank wave type field means Stokes' theory.
constexpr double kDefaultType = 5.0;

struct Theory {
  support::Text<8> name;
  bool zero_height = false;
};

// The theory of a wave type code: the code is rounded, halves away from zero, and a code above
// 10 loses 10 once. Type 9 is Airy with no height; any other unknown code is "Unknown". The
// rounded code stays a real, so no code is too large to compare.
Theory wave_theory(double type_code) {
  double n = support::round_half_away(type_code);
  if (n > 10.0) {
    n -= 10.0;
  }
  if (n == 1.0) {
    return {.name = support::Text<8>("Airy"), .zero_height = false};
  }
  if (n == 9.0) {
    return {.name = support::Text<8>("Airy"), .zero_height = true};
  }
  if (n == 5.0) {
    return {.name = support::Text<8>("Stoke"), .zero_height = false};
  }
  if (n == 6.0) {
    return {.name = support::Text<8>("Stream"), .zero_height = false};
  }
  return {.name = support::Text<8>("Unknown"), .zero_height = false};
}

// Reads the SEA card last read.
void read_sea_state(Reading& in) {
  cards::CardReader& cards = in.cards;
  const double type_code = cards.blank(6, 10) ? kDefaultType : cards.real_field(6, 10);
  const double height = cards.real_field(16, 20);
  const double period = cards.real_field(21, 30);
  const double phase = cards.real_field(31, 40);
  const double direction = cards.real_field(71, 80);

  const Theory theory = wave_theory(type_code);
  if (theory.name.view().starts_with("Unknown")) {
    const std::string_view code =
        cards.raw_line().substr(std::min<std::size_t>(5, cards.raw_line().size()), 5);
    in.warnings.warn_with(support::WarningKind::kUnknownTheory,
                          {.file = cards.file_name(),
                           .line = cards.line_number(),
                           .first_column = 6,
                           .last_column = 10},
                          [&] {
                            return "SEA card, columns 6-10: wave type \"" +
                                   std::string(support::without_blanks(code)) +
                                   "\" is none of 1, 5, 6, 9 (or these plus 10); the theory "
                                   "is written as \"Unknown\"";
                          });
  }
  in.sink.sea_state({.line = cards.line_number(),
                     .type_code = type_code,
                     .theory = theory.name,
                     .height = theory.zero_height ? 0.0 : height * in.values.units.length_factor,
                     .period = period,
                     .direction = direction,
                     .phase = phase,
                     .surface_level = in.values.levels.still_water_z,
                     .depth = in.values.levels.water_depth});
}

}  // namespace

void WRWAVE(Reading& in) {
  in.sink.open(records::Block::kWaves);
  read_cards(in, "SEA ", read_sea_state);
  in.sink.close(records::Block::kWaves);
}

}  // namespace qel2br::sections
