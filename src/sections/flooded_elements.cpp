// The flooded and non-hydrodynamic element records: all FLOO cards, then all ELIM cards, each
// merged into one list and one record.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "layout/layout.hpp"
#include "sections/element_properties.hpp"
#include "sections/headings.hpp"
#include "sections/sections.hpp"
#include "sections/set_warnings.hpp"
#include "sets/element_sets.hpp"
#include "support/input_stop.hpp"

namespace qel2br::sections {

namespace {

constexpr std::string_view kDashes = "' -----------------------------------------";

// One merged record: its keyword, its header text and its record text.
struct MergedRecord {
  std::string_view keyword{};
  std::string_view header{};
  std::string_view record{};
  std::string_view list_name{};
};

constexpr MergedRecord kFlooded{.keyword = "FLOO",
                                .header = "' Specification of Flooded Elements ",
                                .record = " Flooded   Elem",
                                .list_name = "flooded"};
constexpr MergedRecord kNonHydro{.keyword = "ELIM",
                                 .header = "' Specification of NonHydro Elements ",
                                 .record = " NonHydro  Elem",
                                 .list_name = "non-hydrodynamic"};

// Writes the merged record of the keyword's cards; notes it in reported when set.
void write_merged(RunState& run, const MergedRecord& kind, report::ElementSet* reported) {
  sets::ElementList merged;
  sets::ElementList elements;
  run.cards.start_scan(kind.keyword);
  while (run.cards.next_card()) {
    sets::RNGELM(run.cards, 10, elements);
    // A card that names a group gives no element.
    if (elements.empty()) {
      warn_group_passed_over(run, kind.keyword);
    }
    warn_left_out(run, elements, run.element_numbers);
    if (reported != nullptr && !elements.empty()) {
      reported->lines.push_back(run.cards.line_number());
    }
    for (const std::int32_t element : elements.items()) {
      if (!merged.push(element)) {
        const std::string limit = std::to_string(sets::kElementCapacity);
        std::string message(kind.keyword);
        message += " cards: more than " + limit + " elements in the ";
        message += kind.list_name;
        message += " element list (the list holds " + limit + ")";
        support::stop_input({.file = run.cards.file_name(),
                             .line = run.cards.line_number(),
                             .message = message,
                             .detail = ""});
      }
    }
  }
  if (merged.empty()) {
    return;
  }
  write_heading(run.output(), kDashes, {kind.header});
  std::vector<std::int32_t> before;
  if (reported != nullptr) {
    before.assign(merged.items().begin(), merged.items().end());
  }
  sets::KEEPID(merged, run.element_numbers);
  if (reported != nullptr) {
    note_kept(before, merged.items(), reported->elements, reported->left_out);
  }
  WRELST(support::Text<80>(kind.record), merged.items(), run.output());
}

}  // namespace

void WRFLEL(RunState& run) {
  write_merged(run, kFlooded, run.report != nullptr ? &run.report->flooded : nullptr);
  write_merged(run, kNonHydro, run.report != nullptr ? &run.report->non_hydro : nullptr);
}

}  // namespace qel2br::sections
