// The flooded and non-hydrodynamic element sets: all FLOO cards, then all ELIM cards, each
// merged into one list.
#include <string>
#include <string_view>

#include "sections/sections.hpp"
#include "sections/set_warnings.hpp"
#include "sets/element_sets.hpp"
#include "support/input_stop.hpp"

namespace qel2br::sections {

namespace {

// One merged set: its kind, its keyword and the name of its list in reports.
struct MergedSet {
  records::SetKind kind = records::SetKind::kFlooded;
  std::string_view keyword{};
  std::string_view list_name{};
};

constexpr MergedSet kFlooded{
    .kind = records::SetKind::kFlooded, .keyword = "FLOO", .list_name = "flooded"};
constexpr MergedSet kNonHydro{
    .kind = records::SetKind::kNonHydro, .keyword = "ELIM", .list_name = "non-hydrodynamic"};

// Gives the merged set of the keyword's cards, when they give elements.
void read_merged(Reading& in, const MergedSet& kind) {
  cards::CardReader& cards = in.cards;
  records::ElementSet set{.kind = kind.kind};
  sets::ElementList merged;
  sets::ElementList elements;
  cards.start_scan(kind.keyword);
  while (cards.next_card()) {
    const sets::ElementRange range = sets::RNGELM(cards, 10, elements);
    warn_range(in, range, elements);
    // A card that names a group gives no element.
    if (elements.empty()) {
      warn_group_passed_over(in, kind.keyword);
    }
    warn_left_out(in, elements);
    if (!elements.empty()) {
      set.lines.push_back(cards.line_number());
      set.card_ends.push_back(merged.size() + elements.size());
    }
    for (const std::int32_t element : elements.items()) {
      if (!merged.push(element)) {
        const std::string limit = std::to_string(sets::kElementCapacity);
        std::string message(kind.keyword);
        message += " cards: more than " + limit + " elements in the ";
        message += kind.list_name;
        message += " element list (the list holds " + limit + ")";
        support::stop_input({.file = cards.file_name(),
                             .line = cards.line_number(),
                             .message = message,
                             .detail = ""});
      }
    }
  }
  if (merged.empty()) {
    return;
  }
  keep_checked(*in.values.elements, merged, set.positions, set.left_out);
  in.sink.element_set(set);
}

}  // namespace

void WRFLEL(Reading& in) {
  in.sink.open(records::Block::kElementSets);
  read_merged(in, kFlooded);
  read_merged(in, kNonHydro);
  in.sink.close(records::Block::kElementSets);
}

}  // namespace qel2br::sections
