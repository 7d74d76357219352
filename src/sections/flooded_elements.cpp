// The flooded and non-hydrodynamic element records: all FLOO cards, then all ELIM cards, each
// merged into one list and one record.
#include <array>
#include <string>
#include <string_view>

#include "layout/layout.hpp"
#include "sections/element_properties.hpp"
#include "sections/sections.hpp"
#include "sets/element_sets.hpp"
#include "support/input_stop.hpp"

namespace qel2br::sections {

namespace {

constexpr layout::Layout kOneText = "(A)";
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

void write_merged(RunState& run, const MergedRecord& kind) {
  sets::ElementList merged;
  sets::ElementList elements;
  run.cards.start_scan(kind.keyword);
  while (run.cards.next_card()) {
    sets::RNGELM(run.cards, 10, elements);
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
  for (const std::string_view line :
       {std::string_view("'"), kDashes, kind.header, kDashes, std::string_view("'")}) {
    layout::write_record(run.output(), kOneText, line);
  }
  sets::KEEPID(merged, run.element_numbers);
  WRELST(support::Text<80>(kind.record), merged.items(), run.output());
}

}  // namespace

void WRFLEL(RunState& run) {
  write_merged(run, kFlooded);
  write_merged(run, kNonHydro);
}

}  // namespace qel2br::sections
