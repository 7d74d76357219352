// Wave records: every SEA card as a commented-out wave record of load case 3.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "layout/layout.hpp"
#include "sections/card_chunks.hpp"
#include "sections/headings.hpp"
#include "sections/sections.hpp"
#include "support/numbers.hpp"
#include "support/text.hpp"
#include "support/warnings.hpp"

namespace qel2br::sections {

namespace {

constexpr layout::Layout kWaveRecord = "(A, I4, 2X, A, 4F8.2, 2F9.2, I4)";

constexpr std::string_view kDashes = "' -----------------------------------";
constexpr std::string_view kWavesTitle = "' Specification of Waves             ";
// The visible part of the column header; written behind the mark.
constexpr std::string_view kWaveColumns =
    "        LCase Type       Height  Period  Direct  Phase   SurfLev  Depth  nIni";
constexpr std::string_view kWaveData = "#WaveData";

constexpr std::int32_t kLoadCase = 3;
constexpr std::int32_t kInitialSteps = 0;
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

// Converts the SEA card last read.
void convert_wave(RunState& run, bool& opened) {
  const double type_code = run.cards.blank(6, 10) ? kDefaultType : run.cards.real_field(6, 10);
  double height = run.cards.real_field(16, 20);
  const double period = run.cards.real_field(21, 30);
  const double phase = run.cards.real_field(31, 40);
  const double direction = run.cards.real_field(71, 80);

  const Theory theory = wave_theory(type_code);
  if (theory.name.view().starts_with("Unknown")) {
    const std::string_view code =
        run.cards.raw_line().substr(std::min<std::size_t>(5, run.cards.raw_line().size()), 5);
    run.warnings.warn_with(support::WarningKind::kUnknownTheory,
                           {.file = run.cards.file_name(),
                            .line = run.cards.line_number(),
                            .first_column = 6,
                            .last_column = 10},
                           [&] {
                             return "SEA card, columns 6-10: wave type \"" +
                                    std::string(support::without_blanks(code)) +
                                    "\" is none of 1, 5, 6, 9 (or these plus 10); the theory "
                                    "is written as \"Unknown\"";
                           });
  }
  if (theory.zero_height) {
    height = 0.0;
  }
  height *= run.length_factor;

  if (!opened) {
    write_heading(run.output(), kDashes, {kWavesTitle});
    layout::write_record(run.output(), layout::kTwoTexts, kMark, kWaveColumns);
    opened = true;
  }
  // The direction, from the end of the card, comes before the phase.
  layout::write_record(run.output(), kWaveRecord, kWaveData, kLoadCase, theory.name, height, period,
                       direction, phase, run.still_water_z, run.water_depth, kInitialSteps);
  if (run.report != nullptr) {
    const std::string_view name = theory.name.view();
    run.report->sea_states.push_back({.line = run.cards.line_number(),
                                      .load_case = kLoadCase,
                                      .theory = std::string(name.substr(0, name.find(' '))),
                                      .type_code = type_code,
                                      .height = height,
                                      .period = period,
                                      .direction = direction,
                                      .phase = phase});
  }
}

}  // namespace

void WRWAVE(RunState& run) {
  bool opened = false;
  convert_cards(run, "SEA ", opened, convert_wave);
}

}  // namespace qel2br::sections
