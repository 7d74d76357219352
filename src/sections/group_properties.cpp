// The group properties: one group record per FLOO card that names a group.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cards/card_index.hpp"
#include "sections/sections.hpp"
#include "sets/structure.hpp"
#include "support/output_unit.hpp"
#include "support/text.hpp"
#include "support/unit_table.hpp"
#include "support/warnings.hpp"

namespace qel2br::sections {

namespace {

constexpr std::string_view kFloo = "FLOO";

// Why a FLOO card's group ends the run: where the card stands, the group as read, and why it
// has no number.
std::string undefined_group_reason(const Reading& in, std::string_view group) {
  const std::string_view name = support::without_trailing_blanks(group);
  const bool legal = std::all_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) > ' ' && static_cast<unsigned char>(c) < 127;
  });
  std::string reason = in.cards.file_name() + ":" + std::to_string(in.cards.line_number()) +
                       ": the FLOO card names the group \"" + std::string(name) + "\", which ";
  if (!legal) {
    return reason + "is not a legal group name (printable ASCII characters only)";
  }
  reason += "is not defined";
  if (!in.values.group_file.empty()) {
    reason += " on the group-name file \"" + in.values.group_file + "\"";
  }
  return reason;
}

// Warns about each card of the element sets that group mode passes over: every SPEC, SPEX and
// ELIM card, and every FLOO card that names no group (one that gives element numbers).
void warn_passed_over(Reading& in) {
  cards::CardReader& cards = in.cards;
  // The cards of each keyword, then all of them in file order.
  std::vector<std::pair<std::int64_t, std::string_view>> passed_over;
  for (const std::string_view keyword :
       {kFloo, std::string_view("SPEC"), std::string_view("SPEX"), std::string_view("ELIM")}) {
    cards.start_scan(keyword);
    while (cards.next_card()) {
      if (keyword != kFloo || !cards::group_reference(cards.raw_line(), kFloo).has_value()) {
        passed_over.emplace_back(cards.line_number(), keyword);
      }
    }
  }
  std::sort(passed_over.begin(), passed_over.end());
  for (const auto& card : passed_over) {
    const std::string_view keyword = card.second;
    in.warnings.warn_with(
        support::WarningKind::kElementsPassedOver,
        {.file = cards.file_name(), .line = card.first, .first_column = 1, .last_column = 4}, [&] {
          return std::string(keyword) + " card" + (keyword == kFloo ? " that names no group" : "") +
                 " is passed over: group mode converts only the FLOO cards that name a group "
                 "(element mode converts this card)";
        });
  }
}

}  // namespace

// FLOGRP: the cards are read as they stand (not upper-cased), so only FLOO written in capitals
// is taken.
std::optional<std::string> WRGRPP(Reading& in) {
  in.sink.open(records::Block::kGroups);
  warn_passed_over(in);
  // The group table reports a failed lookup on the data file: its lines are caught here and
  // given as records, in their place.
  support::StringOutput messages(support::kConsoleLineEnd);
  support::UnitTable lookups(messages);
  cards::CardReader& cards = in.cards;
  cards.rewind();
  std::string_view line;
  while (cards.read_raw(line)) {
    const std::optional<support::Text<80>> reference = cards::group_reference(line, kFloo);
    if (!reference.has_value()) {
      continue;
    }
    const support::Text<8> group(reference->head(8));
    std::int32_t lookup_errors = 0;
    const std::int32_t number = in.values.groups == nullptr
                                    ? 0
                                    : sets::GTSTRU(*in.values.groups, group.view(),
                                                   support::kDataUnit, lookups, lookup_errors);
    if (!messages.text().empty()) {
      in.sink.lookup_messages({.text = messages.text()});
      messages.pending().clear();
    }
    if (lookup_errors != 0 || number <= 0) {
      const std::string reason = undefined_group_reason(in, group.view());
      in.sink.group_failure({.line = cards.line_number(),
                             .name = group,
                             .undefined = number <= 0 && lookup_errors == 0,
                             .reason = reason});
      return reason;
    }
    in.sink.group({.line = cards.line_number(),
                   .card = support::Text<80>(line),
                   .name = group,
                   .number = number});
  }
  in.sink.close(records::Block::kGroups);
  return std::nullopt;
}

}  // namespace qel2br::sections
