// Rendering of records by their layouts: texts, integers, reals, blanks, literals and line ends.
#include "layout/layout.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "support/input_stop.hpp"
#include "support/text.hpp"

namespace qel2br::layout {

void layout_error(const char* why) { throw std::logic_error(why); }

namespace {

__extension__ using Wide = unsigned __int128;

// The powers of ten that fit 64 bits: 10^0 to 10^19.
constexpr std::array<std::uint64_t, 20> kTens = [] {
  std::array<std::uint64_t, 20> tens{};
  std::uint64_t ten = 1;
  for (std::uint64_t& t : tens) {
    t = ten;
    ten *= 10;
  }
  return tens;
}();

// "00" to "99": digits are written two at a time.
constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// The number of decimal digits of value (1 for 0).
int digit_count(std::uint64_t value) {
  // A power of ten below 2^bits has at most bits * log10(2) digits; 1233 / 4096 is just above it.
  const auto guess = (static_cast<std::size_t>(std::bit_width(value | 1U)) * 1233U) >> 12U;
  return static_cast<int>(guess) + ((value | 1U) >= kTens[guess] ? 1 : 0);
}

// Writes the decimal digits of value so that they end just before end; returns where they begin.
char* digits_before(char* end, std::uint64_t value) {
  while (value >= 100) {
    end -= 2;
    std::copy_n(&kDigitPairs[static_cast<std::size_t>(value % 100) * 2], 2, end);
    value /= 100;
  }
  if (value >= 10) {
    end -= 2;
    std::copy_n(&kDigitPairs[static_cast<std::size_t>(value) * 2], 2, end);
  } else {
    *--end = static_cast<char>('0' + value);
  }
  return end;
}

}  // namespace

std::string_view fixed_digits(double value, int decimals,
                              std::array<char, kFixedDigitsRoom>& buffer) {
  const auto res = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::fixed, decimals);
  if (res.ec != std::errc{}) {
    return {};
  }
  return {buffer.data(), static_cast<std::size_t>(res.ptr - buffer.data())};
}

std::optional<std::uint64_t> scaled_whole(double value, int decimals) {
  if (decimals < 0 || static_cast<std::size_t>(decimals) >= kTens.size()) {
    return std::nullopt;
  }
  // value = mantissa * 2^exponent
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const auto biased = static_cast<int>((bits >> 52U) & 0x7FFU);
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52U) - 1U);
  int exponent = -1074;
  if (biased != 0) {
    mantissa |= std::uint64_t{1} << 52U;
    exponent = biased - 1075;
  }
  if (mantissa == 0) {
    return 0;
  }
  // Below 2^53 * 10^19 < 2^117: exact.
  const Wide product = Wide{mantissa} * kTens[static_cast<std::size_t>(decimals)];
  if (exponent >= 0) {
    if (exponent >= 64 || (product >> (64U - static_cast<unsigned>(exponent))) != 0) {
      return std::nullopt;
    }
    return static_cast<std::uint64_t>(product << static_cast<unsigned>(exponent));
  }
  const auto shift = static_cast<unsigned>(-exponent);
  if (shift > 117) {
    return 0;  // the scaled value is below one half
  }
  Wide whole = product >> shift;
  const Wide rest = product - (whole << shift);
  const Wide half = Wide{1} << (shift - 1U);
  if (rest > half || (rest == half && (whole & 1U) != 0)) {
    ++whole;
  }
  if ((whole >> 64U) != 0) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(whole);
}

namespace {

// The field writers below write into width columns that hold blanks, to the right.

void put_asterisks(char* field, int width) { std::fill_n(field, width, '*'); }

void put_int(char* field, double whole, int width, int min_digits) {
  // Beyond 1e18 no field of this tool could hold the value.
  if (!std::isfinite(whole) || std::fabs(whole) >= 1e18 || whole != std::trunc(whole)) {
    put_asterisks(field, width);
    return;
  }
  const auto value = static_cast<std::int64_t>(whole);
  const std::uint64_t magnitude =
      value < 0 ? static_cast<std::uint64_t>(-(value + 1)) + 1U : static_cast<std::uint64_t>(value);
  const int shown = std::max(digit_count(magnitude), min_digits);
  if (shown + (value < 0 ? 1 : 0) > width) {
    put_asterisks(field, width);
    return;
  }
  char* const end = field + width;
  char* const first = end - shown;
  std::fill(first, digits_before(end, magnitude), '0');
  if (value < 0) {
    first[-1] = '-';
  }
}

// Writes an Fw.d field from its digits as a text (no leading zeros; "0" for zero): the last
// decimals digits behind the point. For numbers beyond the scaled whole numbers.
void put_fixed_text(char* field, std::string_view digits, bool negative, int width, int decimals) {
  const auto n = static_cast<int>(digits.size());
  // No minus sign on a value that rounds to zero.
  const bool zero = digits == "0";
  negative = negative && !zero;
  const int sign = negative ? 1 : 0;
  const int core = decimals + 1 + sign;  // decimals, point, sign
  // A value below 1 in magnitude: its 0 is written only when a column is left for it.
  const bool below_one = n <= decimals || zero;
  const int before = below_one ? (core + 1 <= width ? 1 : 0) : n - decimals;
  const int needed = core + before;
  if (needed > width) {
    put_asterisks(field, width);
    return;
  }
  field += width - needed;
  if (negative) {
    *field++ = '-';
  }
  if (!below_one) {
    field = std::copy_n(digits.data(), n - decimals, field);
    *field++ = '.';
    std::copy_n(digits.data() + (n - decimals), decimals, field);
    return;
  }
  if (before == 1) {
    *field++ = '0';
  }
  *field++ = '.';
  if (decimals > 0) {
    field = std::fill_n(field, decimals - n, '0');
    std::copy_n(digits.data(), n, field);
  }
}

// Writes an Fw.d field from the scaled whole number scaled (|value| * 10^decimals, rounded):
// its last decimals digits behind the point, with the sign of a value that is not rounded to
// zero.
void put_fixed(char* field, std::uint64_t scaled, bool negative, int width, int decimals) {
  const int sign = negative && scaled != 0 ? 1 : 0;
  const int core = decimals + 1 + sign;  // decimals, point, sign
  if (core > width) {
    put_asterisks(field, width);
    return;
  }
  // The decimals, last first, then the point; what is left of scaled is the whole part.
  char* pos = field + width;
  for (int i = 0; i < decimals; ++i) {
    *--pos = static_cast<char>('0' + scaled % 10);
    scaled /= 10;
  }
  *--pos = '.';
  // A value below 1 in magnitude: its 0 is written only when a column is left for it.
  const int before = scaled != 0 ? digit_count(scaled) : (core + 1 <= width ? 1 : 0);
  if (core + before > width) {
    put_asterisks(field, width);
    return;
  }
  if (before > 0) {
    pos = digits_before(pos, scaled);
  }
  if (sign != 0) {
    pos[-1] = '-';
  }
}

// Writes an Fw.d field.
void put_real(char* field, double value, int width, int decimals) {
  if (!std::isfinite(value)) {
    put_asterisks(field, width);
    return;
  }
  // The rounding is exact on the binary value: the digits are the correctly rounded ones.
  if (const std::optional<std::uint64_t> scaled = scaled_whole(value, decimals); scaled) {
    put_fixed(field, *scaled, std::signbit(value), width, decimals);
    return;
  }
  // Twenty digits or more, or more than 19 decimals (no record of this tool has such fields):
  // the library's exact digits, without their point and the zeros in front.
  std::array<char, kFixedDigitsRoom> text;
  const std::string_view fixed = fixed_digits(value, decimals, text);
  if (fixed.empty()) {
    put_asterisks(field, width);
    return;
  }
  std::array<char, kFixedDigitsRoom> digits{};
  std::size_t count = 0;
  for (const char c : fixed) {
    if (c >= '0' && c <= '9' && (c != '0' || count > 0)) {
      digits[count++] = c;
    }
  }
  if (count == 0) {
    digits[count++] = '0';
  }
  put_fixed_text(field, std::string_view(digits.data(), count), fixed.front() == '-', width,
                 decimals);
}

// Adds a field of width blanks to out and returns its first column.
char* blank_field(std::string& out, int width) {
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(width), ' ');
  return out.data() + start;
}

}  // namespace

void render_int(std::string& out, double whole, int width, int min_digits) {
  put_int(blank_field(out, width), whole, width, min_digits);
}

void render_real(std::string& out, double value, int width, int decimals) {
  put_real(blank_field(out, width), value, width, decimals);
}

namespace {

// Writes the record from pos on, into columns that hold blanks; returns the end of what it wrote.
char* put_record(char* pos, const ParsedLayout& layout, std::span<const Item> items,
                 std::string_view line_end) {
  const auto put = [&pos](std::string_view text) {
    pos = std::copy(text.begin(), text.end(), pos);
  };
  std::size_t next = 0;
  // Each pass over the layout consumes at least one item, so passes are bounded by the items.
  while (true) {
    for (std::size_t i = 0; i < layout.count; ++i) {
      const Descriptor& d = layout.fields[i];
      if (detail::takes_item(d.kind) && next >= items.size()) {
        // Out of items: the output stops here and the line is ended.
        if (!layout.open_end) {
          put(line_end);
        }
        return pos;
      }
      switch (d.kind) {
        case FieldKind::kText:
          put(items[next++].text());
          break;
        case FieldKind::kTextW: {
          // Right-aligned, or cut to the field.
          const std::string_view text =
              items[next++].text().substr(0, static_cast<std::size_t>(d.width));
          pos += static_cast<std::size_t>(d.width) - text.size();
          put(text);
          break;
        }
        case FieldKind::kInt: {
          const Item& item = items[next++];
          if (item.kind() == ItemKind::kInt) {
            put_int(pos, item.whole(), d.width, d.digits);
          } else {
            put_asterisks(pos, d.width);
          }
          pos += d.width;
          break;
        }
        case FieldKind::kReal: {
          const Item& item = items[next++];
          if (item.kind() == ItemKind::kReal) {
            put_real(pos, item.real(), d.width, d.digits);
          } else {
            put_asterisks(pos, d.width);
          }
          pos += d.width;
          break;
        }
        case FieldKind::kBlanks:
          pos += d.width;
          break;
        case FieldKind::kLiteral:
          put(d.literal);
          break;
        case FieldKind::kSlash:
          put(line_end);
          break;
      }
    }
    if (layout.item_fields == 0 || next >= items.size()) {
      if (!layout.open_end) {
        put(line_end);
      }
      return pos;
    }
    // Items are left: the line is ended and the layout starts again.
    put(line_end);
  }
}

}  // namespace

void render_into(std::string& out, const ParsedLayout& layout, std::span<const Item> items,
                 std::string_view line_end) {
  // The record is written into blank room made once: a pass over the layout fills at most its
  // columns and line ends plus the texts of the items it takes, and a pass takes all the item
  // fields' worth of items but the last. The room is then cut to what was written.
  const std::size_t item_fields = layout.item_fields;
  const std::size_t pass_room = layout.columns + (layout.slashes + 1) * line_end.size();
  const std::size_t passes =
      item_fields == 0 ? 1
                       : std::max<std::size_t>(1, (items.size() + item_fields - 1) / item_fields);
  std::size_t text_room = 0;
  for (const Item& item : items) {
    text_room += item.text().size();
  }
  const std::size_t start = out.size();
  out.resize(start + passes * pass_room + text_room, ' ');
  char* const first = out.data() + start;
  out.resize(start + static_cast<std::size_t>(put_record(first, layout, items, line_end) - first));
}

bool fits(const Descriptor& field, double value) {
  if ((field.kind != FieldKind::kReal && field.kind != FieldKind::kInt) || field.width <= 0) {
    return false;
  }
  std::string text(static_cast<std::size_t>(field.width), ' ');
  if (field.kind == FieldKind::kReal) {
    put_real(text.data(), value, field.width, field.digits);
  } else {
    put_int(text.data(), value, field.width, field.digits);
  }
  return text.front() != '*';
}

std::string render(const Layout& layout, std::span<const Item> items) {
  std::string out;
  render_into(out, layout.parsed(), items);
  return out;
}

void render_text(const Layout& layout, std::span<const Item> items, std::span<char> text) {
  std::string work;
  render_into(work, layout.parsed(), items);
  support::copy_text(std::string_view(work).substr(0, work.find('\n')), text);
}

void write_record(support::OutputUnit& out, const Layout& layout, std::span<const Item> items) {
  render_into(out.pending(), layout.parsed(), items, out.line_end());
  out.wrote();
}

void prompt(support::OutputUnit& console, std::string_view text) {
  static constexpr Layout kPrompt = "(\" \", A, $)";
  write_record(console, kPrompt, text.substr(0, std::min<std::size_t>(text.size(), 80)));
}

std::size_t ask(support::LineSource& answers, support::OutputUnit& console,
                std::string_view question, std::span<char> text) {
  prompt(console, question);
  console.flush();
  std::string_view answer;
  if (!answers.read_line(answer)) {
    const std::string_view shown = question.substr(0, question.find_last_not_of(" :?") + 1);
    support::stop_input({.file = "standard input",
                         .line = answers.line_number() + 1,
                         .message = "the console input ended; expected an answer to \"" +
                                    std::string(shown) + "\""});
  }
  support::copy_text(answer, text);
  return answer.size();
}

}  // namespace qel2br::layout
