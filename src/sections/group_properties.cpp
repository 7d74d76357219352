// The group property block: one flooded-group record per FLOO card that names a group.
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "cards/card_index.hpp"
#include "layout/layout.hpp"
#include "sections/headings.hpp"
#include "sections/sections.hpp"
#include "sets/element_sets.hpp"
#include "sets/structure.hpp"
#include "support/text.hpp"

namespace qel2br::sections {

namespace {

constexpr layout::Layout kFloodedGroup = "(A, I8, 10X, A, A)";

constexpr std::string_view kEquals = "' =========================================";
constexpr std::string_view kPropertiesUsing = "' ==  Specification of Properties using  ==";
constexpr std::string_view kGroups = "' ==        G r o u p s                  ==";
constexpr std::string_view kOverride = "' == (Override depth profile definitions)==";

constexpr std::string_view kFloo = "FLOO";
constexpr std::string_view kDecodingError = " *** ERROR during decoding of: ";
constexpr std::string_view kUndefinedSet = "     Undefined Set           : ";
constexpr std::string_view kFloodedLabel = " Flooded Group ";
constexpr std::string_view kBang = " !   ";
constexpr std::int32_t kFailed = -1;

// Why a FLOO card's group ends the run: where the card stands, the group as read, and why it
// has no number.
std::string undefined_group_reason(const RunState& run, std::string_view group) {
  const std::string_view name = support::without_trailing_blanks(group);
  const bool legal = std::all_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) > ' ' && static_cast<unsigned char>(c) < 127;
  });
  std::string reason = run.cards.file_name() + ":" + std::to_string(run.cards.line_number()) +
                       ": the FLOO card names the group \"" + std::string(name) + "\", which ";
  if (!legal) {
    return reason + "is not a legal group name (printable ASCII characters only)";
  }
  reason += "is not defined";
  if (run.units.connected(support::kGroupUnit)) {
    reason += " on the group-name file \"" + run.units.name(support::kGroupUnit) + "\"";
  }
  return reason;
}

// FLOGRP: the flooded-group records. The cards are read as they stand (not upper-cased), so
// only FLOO written in capitals is taken.
std::int32_t FLOGRP(RunState& run) {
  run.cards.rewind();
  std::string_view line;
  while (run.cards.read_raw(line)) {
    const std::optional<support::Text<80>> reference = cards::group_reference(line, kFloo);
    if (!reference.has_value()) {
      continue;
    }
    const support::Text<8> group(reference->head(8));
    std::int32_t lookup_errors = 0;
    const std::int32_t number =
        sets::GTSTRU(run.structure, group.view(), support::kDataUnit, run.units, lookup_errors);
    if (lookup_errors != 0 || number <= 0) {
      if (number <= 0 && lookup_errors == 0) {
        layout::write_record(run.console, layout::kTwoTexts, kDecodingError, kFloo);
        layout::write_record(run.console, layout::kTwoTexts, kUndefinedSet, group);
      }
      run.error_end_reason = undefined_group_reason(run, group.view());
      return kFailed;
    }
    layout::write_record(run.console, layout::kOneText, support::Text<80>(line));
    layout::write_record(run.output(), kFloodedGroup, kFloodedLabel, number, kBang, group);
    if (run.report != nullptr) {
      run.report->groups.push_back(
          {.line = run.cards.line_number(),
           .name = std::string(support::without_trailing_blanks(group.view())),
           .number = number});
    }
  }
  return 0;
}

}  // namespace

std::int32_t WRGRPP(RunState& run) {
  layout::write_record(run.output(), layout::kOneText, kMark);
  layout::write_record(run.output(), layout::kOneText, kMark);
  write_heading(run.output(), kEquals, {kPropertiesUsing, kGroups, kOverride});
  return FLOGRP(run);
}

}  // namespace qel2br::sections
