// Free-format splitting of a line into blank-separated items, each typed integer, real or text.
#include "cards/items.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "cards/free_format.hpp"
#include "cards/text_routines.hpp"

namespace qel2br::cards {

namespace {

bool is_real_char(char c) {
  return !NONDIG(c) || c == '.' || c == '+' || c == '-' || c == 'E' || c == 'e';
}

// Whether an item made of digits, points, signs and the letter E is taken for a real.
bool looks_real(std::string_view text) {
  const char c1 = text.front();
  if (c1 == '+' || c1 == '-') {
    return true;
  }
  if (c1 == '.') {
    return text.size() >= 2 && !NONDIG(text[1]);
  }
  if (NONDIG(c1)) {
    return false;
  }
  const auto points = std::count(text.begin(), text.end(), '.');
  if (points == 1) {
    return true;
  }
  // No point or more than one: only a capital E followed by a sign or digit makes a real.
  const std::size_t e = text.find('E');
  if (e == std::string_view::npos || e + 1 >= text.size()) {
    return false;
  }
  const char behind = text[e + 1];
  return behind == '+' || behind == '-' || !NONDIG(behind);
}

}  // namespace

void DECITM(std::string_view item_text, std::int32_t item_length, std::int32_t& item_type,
            double& item_value) {
  item_type = kNoItem;
  item_value = 0.0;
  const int first = IFSTNB(item_text);
  if (item_length <= 0 || first == 0) {
    return;
  }
  const int last = ILSTNB(item_text);
  const std::string_view text = item_text.substr(static_cast<std::size_t>(first - 1),
                                                 static_cast<std::size_t>(last - first + 1));

  if (std::none_of(text.begin(), text.end(), NONDIG)) {
    if (const auto integer = read_int32_digits(text); integer.has_value()) {
      item_type = kIntegerItem;
      item_value = static_cast<double>(*integer);
      return;
    }
    // Too many digits for a 32-bit integer: the number is kept as a real.
  } else if (!std::all_of(text.begin(), text.end(), is_real_char) || !looks_real(text)) {
    item_type = kTextItem;
    return;
  }
  const FieldValue real = read_real(text);
  if (real.error != FieldError::kNone) {
    // Shaped like a number but not one ("-", "1E+", "5.-"): the item is a text.
    item_type = kTextItem;
    return;
  }
  item_type = kRealItem;
  item_value = real.value;
}

std::string_view next_item(std::string_view line, std::size_t& pos) {
  // Lines are mostly blank: the blanks before the item are passed over a word at a time.
  const std::string_view rest = line.substr(std::min(pos, line.size()));
  const int first = IFSTNB(rest);
  if (first == 0) {
    pos = line.size();
    return {};
  }
  const std::size_t start = line.size() - rest.size() + static_cast<std::size_t>(first - 1);
  pos = std::min(line.find(' ', start), line.size());
  return line.substr(start, pos - start);
}

Item make_item(std::string_view chars) {
  Item item;
  constexpr auto kMaxLength = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
  const auto length = static_cast<std::int32_t>(std::min(chars.size(), kMaxLength));
  DECITM(chars.substr(0, kItemTextLength), length, item.type, item.value);
  // A number's text stays blank.
  if (item.type == kTextItem) {
    item.text.assign(chars);
  }
  return item;
}

bool skipped_line(std::string_view line) {
  if (IFSTNB(line) == 0) {
    return true;
  }
  const char c = line.front();
  return c == '$' || c == '#' || c == '!' || c == '\'';
}

void SPLITL(std::string_view line, ItemList& items) {
  items.count = 0;
  for_each_item(line, [&items](const Item& item) {
    if (static_cast<std::size_t>(items.count) >= kMaxItems) {
      return;
    }
    Item& entry = items.items[static_cast<std::size_t>(items.count)];
    entry.type = item.type;
    if (item.type == kTextItem) {
      entry.text = item.text;
    } else {
      entry.value = item.value;
    }
    ++items.count;
  });
}

}  // namespace qel2br::cards
