// Heading and units: the TITL cards as heading lines, the length and mass factors of the first
// CONS card and the unit comment lines.
#include <cstddef>
#include <string_view>

#include "cards/text_routines.hpp"
#include "layout/layout.hpp"
#include "sections/headings.hpp"
#include "sections/sections.hpp"
#include "support/numbers.hpp"

namespace qel2br::sections {

namespace {

constexpr std::string_view kHeading = "' Heading :  ";
constexpr std::string_view kHeadingMark = "'  ";
constexpr std::string_view kAssumedUnits = "' Assumed Units in Qelvo File :";
constexpr std::string_view kLengthMetre = "'   -Length Unit   : meter ";
constexpr std::string_view kLengthMillimetre = "'   -Length Unit   : mm    ";
constexpr std::string_view kMassKilogram = "'   -Mass   Unit   : kg    ";
constexpr std::string_view kMassTonne = "'   -Mass   Unit   : tonnes";

// The millimetre factor is the single-precision number nearest to 0.001.
constexpr double kMillimetreFactor = static_cast<double>(0.001F);
constexpr double kTonneFactor = 1000.0;
// Gravity above this is taken as millimetres per second squared.
constexpr double kMillimetreGravity = 9000.0;
// A density (per cubed metre once converted) below this is taken as tonnes.
constexpr double kTonneDensity = 900.0;

// The bounds that pick a unit line are single-precision constants.
constexpr double kUnitLow = static_cast<double>(0.99F);
constexpr double kUnitHigh = static_cast<double>(1.01F);
constexpr double kMilliLow = static_cast<double>(0.00099F);
constexpr double kMilliHigh = static_cast<double>(0.00101F);

void write_heading(RunState& run) {
  bool first = true;
  run.cards.start_scan("TITL");
  while (run.cards.next_card()) {
    if (first) {
      layout::write_record(run.output(), layout::kOneText, kHeading);
      layout::write_record(run.output(), layout::kOneText, kMark);
      first = false;
    }
    // The heading text runs from column 5 to the last non-blank column of the card.
    const int last = cards::ILSTNB(run.cards.card().view());
    const std::string_view text = last >= 5 ? run.cards.columns(5, last) : std::string_view{};
    layout::write_record(run.output(), layout::kTwoTexts, kHeadingMark, text);
    if (run.report != nullptr) {
      run.report->titles.emplace_back(text);
    }
  }
}

void decide_units(RunState& run) {
  double length_factor = 1.0;
  double mass_factor = 1.0;
  // Only the first CONS card counts; without one the input is taken as metres and kilograms.
  run.cards.start_scan("CONS");
  if (run.cards.next_card()) {
    const double flag = run.cards.real_field(10, 20);
    if (support::round_half_away(flag) == 1.0) {
      const double gravity = run.cards.real_field(21, 30);
      const double density = run.cards.real_field(31, 40);
      if (gravity > kMillimetreGravity) {
        length_factor = kMillimetreFactor;
      }
      if (density / (length_factor * length_factor * length_factor) < kTonneDensity) {
        mass_factor = kTonneFactor;
      }
    }
  }
  run.length_factor = length_factor;
  run.mass_factor = mass_factor;
}

}  // namespace

void WRHEAD(RunState& run) {
  write_heading(run);
  decide_units(run);
  if (run.report != nullptr) {
    run.report->length_factor = run.length_factor;
    run.report->mass_factor = run.mass_factor;
  }

  layout::write_record(run.output(), layout::kOneText, kMark);
  layout::write_record(run.output(), layout::kOneText, kAssumedUnits);
  layout::write_record(run.output(), layout::kOneText, kMark);
  if (run.length_factor > kUnitLow && run.length_factor < kUnitHigh) {
    layout::write_record(run.output(), layout::kTwoTexts, kLengthMetre);
  } else if (run.length_factor > kMilliLow && run.length_factor < kMilliHigh) {
    layout::write_record(run.output(), layout::kTwoTexts, kLengthMillimetre);
  }
  if (run.mass_factor > kUnitLow && run.mass_factor < kUnitHigh) {
    layout::write_record(run.output(), layout::kTwoTexts, kMassKilogram);
  } else if (run.mass_factor == kTonneFactor) {
    layout::write_record(run.output(), layout::kTwoTexts, kMassTonne);
  }
}

}  // namespace qel2br::sections
