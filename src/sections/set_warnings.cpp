// Element-set cards in element mode: the element ID check and its warnings.
#include "sections/set_warnings.hpp"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "cards/card_index.hpp"
#include "support/text.hpp"
#include "support/warnings.hpp"

namespace qel2br::sections {

namespace {

// How many of the left-out element numbers a warning names.
constexpr std::int64_t kNumbersNamed = 5;

// The place of a warning about the whole card last read: from column 1 to its last character.
support::WarningPlace whole_card(const cards::CardReader& cards) {
  const std::string_view line = support::without_trailing_blanks(cards.raw_line());
  return {
      .file = cards.file_name(),
      .line = cards.line_number(),
      .first_column = 1,
      .last_column = static_cast<int>(std::clamp<std::size_t>(line.size(), 1, cards::kCardLength))};
}

}  // namespace

void warn_left_out(Reading& in, const sets::ElementList& elements) {
  const sets::SortedNumbers& numbers = in.values.elements->numbers;
  if (numbers.empty()) {
    return;
  }
  std::int64_t left_out = 0;
  std::int64_t listed = 0;
  std::string named;
  for (const std::int32_t element : elements.items()) {
    if (element <= 0) {
      continue;
    }
    ++listed;
    if (numbers.contains(element)) {
      continue;
    }
    ++left_out;
    if (left_out <= kNumbersNamed) {
      named += (left_out == 1 ? "" : ", ") + std::to_string(element);
    }
  }
  if (left_out == 0) {
    return;
  }
  if (left_out > kNumbersNamed) {
    named += ", ...";
  }
  const std::string keyword(support::without_blanks(in.cards.keyword()));
  in.warnings.warn(support::WarningKind::kElementsLeftOut, whole_card(in.cards),
                   keyword + " card: the element ID check leaves out " + std::to_string(left_out) +
                       " of its " + std::to_string(listed) + " elements, which " +
                       in.values.elements->file + " does not hold: " + named);
}

void check_elements(Reading& in, sets::ElementList& elements, std::vector<std::int32_t>& positions,
                    std::vector<std::int32_t>& left_out) {
  warn_left_out(in, elements);
  keep_checked(*in.values.elements, elements, positions, left_out);
}

void keep_checked(const ElementCheck& check, sets::ElementList& elements,
                  std::vector<std::int32_t>& positions, std::vector<std::int32_t>& left_out) {
  const sets::SortedNumbers& numbers = check.numbers;
  if (!numbers.empty()) {
    for (const std::int32_t element : elements.items()) {
      if (element > 0 && !numbers.contains(element)) {
        left_out.push_back(element);
      }
    }
    sets::KEEPID(elements, numbers);
  }
  positions.assign(elements.items().begin(), elements.items().end());
}

void warn_range(Reading& in, const sets::ElementRange& range, const sets::ElementList& elements) {
  const support::WarningPlace place{.file = in.cards.file_name(),
                                    .line = in.cards.line_number(),
                                    .first_column = range.first_column,
                                    .last_column = range.last_column};
  const auto card = [&] {
    return std::string(support::without_blanks(in.cards.keyword())) + " card, columns " +
           std::to_string(range.first_column) + "-" + std::to_string(range.last_column) +
           ": the element range " + std::to_string(range.first) + " to " +
           std::to_string(range.last);
  };
  if (elements.size() == 1 && range.step == 0 && range.last > range.first) {
    in.warnings.warn_with(support::WarningKind::kRangeOneElement, place, [&] {
      return card() + " has no step, so it gives element " + std::to_string(range.first) +
             " alone; a step of 1 gives the " +
             std::to_string(std::int64_t{range.last} - range.first + 1) + " elements " +
             std::to_string(range.first) + " to " + std::to_string(range.last);
    });
    return;
  }
  if (elements.empty() && !(range.first == 0 && range.last == 0 && range.step == 0)) {
    in.warnings.warn_with(support::WarningKind::kRangeNoElement, place, [&] {
      return card() + " by step " + std::to_string(range.step) +
             " gives no element: its first number is above its last";
    });
  }
}

void warn_group_passed_over(Reading& in, std::string_view keyword) {
  const std::optional<support::Text<80>> group =
      cards::group_reference(in.cards.raw_line(), keyword);
  if (!group.has_value()) {
    return;
  }
  support::WarningPlace place = whole_card(in.cards);
  if (const auto columns = cards::group_reference_columns(in.cards.raw_line(), keyword)) {
    place.first_column = columns->first;
    place.last_column = columns->second;
  }
  in.warnings.warn(support::WarningKind::kGroupPassedOver, place,
                   std::string(support::without_blanks(keyword)) + " card names group \"" +
                       std::string(support::without_blanks(group->view())) +
                       "\", which element mode passes over (group mode converts it)");
}

}  // namespace qel2br::sections
