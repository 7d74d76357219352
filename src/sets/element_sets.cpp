// Element sets: range expansion, element-number and group-name files, group references.
#include "sets/element_sets.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <stdexcept>
#include <string>

#include "cards/items.hpp"
#include "cards/text_routines.hpp"
#include "layout/layout.hpp"
#include "sets/structure.hpp"
#include "support/input_stop.hpp"
#include "support/numbers.hpp"
#include "support/text.hpp"

namespace qel2br::sets {

namespace {

constexpr layout::Layout kTotalLine = "(A, I6)";
constexpr std::string_view kTotalElements = " Total Number of Elements: ";
constexpr std::string_view kDoublyDefined = " Doubly defined group:";

// The keyword of the card in reports, as the card reader writes it ("SEA", "FLOO").
std::string card_label(const cards::CardReader& cards) {
  return std::string(support::without_blanks(cards.keyword())) + " card";
}

// The card as it stands in the file (not upper-cased), cut to 256 columns.
std::string card_detail(const cards::CardReader& cards) {
  const std::string_view line = cards.raw_line().substr(0, cards::kCardLength);
  return "  " + std::string(support::without_trailing_blanks(line)) + "\n";
}

// Columns first_col to last_col of the card as they stand in the file.
std::string_view raw_field(const cards::CardReader& cards, int first_col, int last_col) {
  const std::string_view line = cards.raw_line();
  const auto first = static_cast<std::size_t>(first_col - 1);
  if (first >= line.size()) {
    return {};
  }
  const int width = last_col - first_col + 1;
  return line.substr(first, static_cast<std::size_t>(width));
}

// One range field: 0 when blank, else the number rounded to a 32-bit integer.
std::int32_t range_field(const cards::CardReader& cards, int first_col, int last_col) {
  if (cards.blank(first_col, last_col)) {
    return 0;
  }
  const double value = cards.real_field(first_col, last_col);
  if (const auto whole = support::to_int32(value); whole.has_value()) {
    return *whole;
  }
  support::stop_input(
      {.file = cards.file_name(),
       .line = cards.line_number(),
       .first_column = first_col,
       .last_column = last_col,
       .message = card_label(cards) + ", columns " + std::to_string(first_col) + "-" +
                  std::to_string(last_col) + ": the element number \"" +
                  std::string(support::without_blanks(raw_field(cards, first_col, last_col))) +
                  "\" is outside the 32-bit range",
       .detail = card_detail(cards)});
}

// A number as it would be written back: the shortest text that reads as the same double.
std::string number_text(double value) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

std::string limit_text() { return std::to_string(kElementCapacity); }

// The whole number of a value read from the file on file_unit (what: "element-number file: the
// element number"); a value outside the 32-bit range stops the run at the file's line.
std::int32_t whole_number(double value, const support::UnitTable& units, std::int32_t file_unit,
                          const support::MemoryLines& lines, std::string_view what) {
  const auto number = support::to_int32(value);
  if (!number.has_value()) {
    support::stop_input(
        {.file = units.name(file_unit),
         .line = lines.line_number(),
         .message = std::string(what) + " " + number_text(value) + " is outside the 32-bit range",
         .detail = ""});
  }
  return *number;
}

}  // namespace

ElementRange RNGELM(const cards::CardReader& cards, std::int32_t width, ElementList& elements) {
  const int w = width == 5 ? 5 : 10;
  const int start = w == 5 ? 6 : 11;
  const std::int32_t first = range_field(cards, start, start + w - 1);
  const std::int32_t last = range_field(cards, start + w, start + 2 * w - 1);
  const std::int32_t step = range_field(cards, start + 2 * w, start + 3 * w - 1);
  elements.clear();
  const ElementRange range{.first = first,
                           .last = last,
                           .step = step,
                           .first_column = start,
                           .last_column = start + 3 * w - 1};

  // The columns and the range, as the reports below give them.
  const auto columns = [&] {
    return ", columns " + std::to_string(start) + "-" + std::to_string(start + 3 * w - 1) +
           ": the element range " + std::to_string(first) + " to " + std::to_string(last) +
           " by step " + std::to_string(step);
  };
  if (first >= 1 && (last == 0 || step == 0)) {
    [[maybe_unused]] const bool stored = elements.push(first);
    return range;
  }
  if (first > last) {
    return range;
  }
  if (step <= 0) {
    // A range left blank (a set card that names a group) gives no element.
    if (first == 0 && last == 0 && step == 0) {
      return range;
    }
    support::stop_input({.file = cards.file_name(),
                         .line = cards.line_number(),
                         .first_column = start,
                         .last_column = start + 3 * w - 1,
                         .message = card_label(cards) + columns() + " never ends",
                         .detail = card_detail(cards)});
  }
  const std::int64_t count = (std::int64_t{last} - first) / step + 1;
  if (count > static_cast<std::int64_t>(kElementCapacity)) {
    support::stop_input({.file = cards.file_name(),
                         .line = cards.line_number(),
                         .first_column = start,
                         .last_column = start + 3 * w - 1,
                         .message = card_label(cards) + columns() + " gives more than " +
                                    limit_text() + " elements (the element list holds " +
                                    limit_text() + ")",
                         .detail = card_detail(cards)});
  }
  for (std::int64_t k = 0; k < count; ++k) {
    [[maybe_unused]] const bool stored = elements.push(static_cast<std::int32_t>(first + k * step));
  }
  return range;
}

SortedNumbers::SortedNumbers(const ElementList& numbers) : sorted_(numbers) {
  const std::span<std::int32_t> items = sorted_.items();
  std::sort(items.begin(), items.end());
}

bool SortedNumbers::contains(std::int32_t value) const {
  const std::span<const std::int32_t> items = sorted_.items();
  return std::binary_search(items.begin(), items.end(), value);
}

void KEEPID(ElementList& elements, const SortedNumbers& numbers) {
  if (numbers.empty()) {
    return;
  }
  for (std::int32_t& entry : elements.items()) {
    if (!numbers.contains(entry)) {
      entry = 0;
    }
  }
}

void RDELMS(ElementList& numbers, support::UnitTable& units, std::int32_t file_unit) {
  numbers.clear();
  support::MemoryLines& lines = units.lines(file_unit);
  std::string_view line;
  while (lines.read_line(line)) {
    if (cards::skipped_line(line)) {
      continue;
    }
    cards::for_each_item(line, [&](const cards::Item& item) {
      if (item.type == cards::kTextItem) {
        return;
      }
      const std::int32_t number = whole_number(item.value, units, file_unit, lines,
                                               "element-number file: the element number");
      if (!numbers.push(number)) {
        support::stop_input({.file = units.name(file_unit),
                             .line = lines.line_number(),
                             .message = "element-number file: more than " + limit_text() +
                                        " element numbers (the element-number list holds " +
                                        limit_text() + ")",
                             .detail = ""});
      }
    });
  }
  layout::write_record(units.message_output(support::kConsoleOut), kTotalLine, kTotalElements,
                       static_cast<std::int32_t>(numbers.size()));
}

void RDGRPS(StructureTable& table, std::int32_t& group_count, support::UnitTable& units,
            std::int32_t file_unit, std::int32_t console_unit, std::int32_t& status) {
  group_count = 0;
  support::MemoryLines& lines = units.lines(file_unit);
  lines.rewind();
  support::OutputUnit& console = units.message_output(console_unit);
  std::int32_t groups = 0;
  std::string_view line;
  cards::ItemList items;
  while (lines.read_line(line)) {
    if (cards::skipped_line(line)) {
      continue;
    }
    layout::write_record(console, layout::kOneText, support::Text<80>(line));
    cards::SPLITL(line, items);
    if (items.count < 4) {
      continue;
    }
    const cards::Item& keyword = items.items[0];
    const cards::Item& kind = items.items[1];
    const cards::Item& number = items.items[2];
    const cards::Item& name = items.items[3];
    support::Text<4> key(keyword.text.head(4));
    cards::UPCASE(std::span<char>(key.data(), 4));
    support::Text<2> gr(kind.text.head(2));
    cards::UPCASE(std::span<char>(gr.data(), 2));
    if (keyword.type != cards::kTextItem || key.view() != "NAME" || kind.type != cards::kTextItem ||
        gr.view() != "GR" ||
        (number.type != cards::kIntegerItem && number.type != cards::kRealItem) ||
        name.type != cards::kTextItem) {
      continue;
    }
    const std::int32_t group_number =
        whole_number(number.value, units, file_unit, lines, "group-name file: the group number");
    support::Text<8> group(name.text.head(8));
    cards::UPCASE(std::span<char>(group.data(), 8));

    // A group defined before, or named as one of the table's own words, is passed over.
    std::int32_t lookup_status = 0;
    if (own_word(table, group.view()) ||
        GTSTRU(table, group.view(), console_unit, units, lookup_status) > 0) {
      layout::write_record(console, layout::kTwoTexts, kDoublyDefined, group);
      continue;
    }
    ++groups;
    std::int32_t store_status = 0;
    PTSTRU(table, group.view(), group_number, console_unit, units, store_status);
    if (store_status != 0) {
      status = -1;
      return;
    }
  }
  group_count = groups;
}

std::int32_t CNTSET(std::string_view keyword, const cards::CardReader& cards) {
  return cards.index().group_references(keyword);
}

}  // namespace qel2br::sets
