// The group property block: one flooded-group record per FLOO card that names a group.
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
    if (lookup_errors != 0) {
      return kFailed;
    }
    if (number <= 0) {
      layout::write_record(run.console, layout::kTwoTexts, kDecodingError, kFloo);
      layout::write_record(run.console, layout::kTwoTexts, kUndefinedSet, group);
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
