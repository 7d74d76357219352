// Free-format splitting of a line into blank-separated items, each typed integer, real or text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "support/text.hpp"

namespace qel2br::cards {

// Item types.
constexpr std::int32_t kNoItem = 0;
constexpr std::int32_t kIntegerItem = 1;
constexpr std::int32_t kRealItem = 2;
constexpr std::int32_t kTextItem = 3;

// Item texts keep the first 80 characters of an item.
constexpr std::size_t kItemTextLength = 80;

// One item of a line: its type (1 integer, 2 real, 3 text), its value (types 1 and 2) and its
// text (type 3, the first 80 characters blank padded).
struct Item {
  std::int32_t type = 0;
  double value = 0.0;
  support::Text<kItemTextLength> text;
};

// A 256-column line holds at most 128 items (one character and one blank each), so the list
// never drops an item of a card-sized line.
constexpr std::size_t kMaxItems = 128;

// The items of one line in line order; count of them in use.
struct ItemList {
  std::int32_t count = 0;
  std::array<Item, kMaxItems> items{};
};

// DECITM(item_text, item_length, item_type, item_value): classifies one item and converts it.
// item_text is the item's text (its first 80 characters), item_length its length before it was
// cut. Sets item_type to 1 (integer), 2 (real) or 3 (text), or to 0 when item_length is 0 or
// less or item_text is blank, and item_value to the number for types 1 and 2 and to 0
// otherwise. A run of digits too long for a 32-bit integer is a real; a text taken for a real
// that is not a valid number (a lone sign, "1E+", "5.-") is a text.
void DECITM(std::string_view item_text, std::int32_t item_length, std::int32_t& item_type,
            double& item_value);

// next_item(line, pos): the next item of line at or after index pos, a run of characters
// that are not blanks, with pos moved behind it; empty when no item is left. This is the one
// place that decides where the items of a line stand.
[[nodiscard]] std::string_view next_item(std::string_view line, std::size_t& pos);

// make_item(chars): the item whose characters (as next_item gives them) are chars, typed by
// DECITM from its first 80 characters and its whole length: value 0 for a text, text blank for
// a number.
[[nodiscard]] Item make_item(std::string_view chars);

// for_each_item(line, fn): calls fn(const Item&) for every item of line, in line order. Lines of
// any length are taken whole.
template <class Fn>
void for_each_item(std::string_view line, Fn&& fn) {
  std::size_t pos = 0;
  for (std::string_view chars = next_item(line, pos); !chars.empty();
       chars = next_item(line, pos)) {
    const Item item = make_item(chars);
    fn(item);
  }
}

// skipped_line(line): whether a line of a free-format file is passed over: its first character
// is $, #, ! or an apostrophe, or it is blank throughout.
[[nodiscard]] bool skipped_line(std::string_view line);

// SPLITL(line, items): splits line into items: sets the count and, for each item in line
// order, its type and either its value (types 1 and 2) or its text (type 3); the other field
// of an entry keeps what it held. A line of more than 256 columns may hold more than 128
// items; those beyond the 128th are not stored and not counted (for_each_item sees them all).
void SPLITL(std::string_view line, ItemList& items);

}  // namespace qel2br::cards
