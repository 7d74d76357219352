// Rendering of records by their layouts: texts, integers, reals, blanks, literals and line ends.
#include "layout/layout.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "support/input_stop.hpp"

namespace qel2br::layout {

void layout_error(const char* why) { throw std::logic_error(why); }

namespace {

void put_asterisks(std::string& out, int width) {
  out.append(static_cast<std::size_t>(width), '*');
}

// Right-aligns text in width columns; the caller has checked that it fits.
void put_right(std::string& out, std::string_view text, int width) {
  out.append(static_cast<std::size_t>(width) - text.size(), ' ');
  out.append(text);
}

// Adds a field of width blanks to out and returns where its last needed columns begin; the
// caller has checked that needed is at most width. One resize instead of a string operation
// per part of the field.
char* right_part(std::string& out, int width, int needed) {
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(width), ' ');
  return out.data() + start + (width - needed);
}

}  // namespace

void render_int(std::string& out, double whole, int width, int min_digits) {
  // Beyond 1e18 no field of this tool could hold the value.
  if (!std::isfinite(whole) || std::fabs(whole) >= 1e18 || whole != std::trunc(whole)) {
    put_asterisks(out, width);
    return;
  }
  const auto value = static_cast<std::int64_t>(whole);
  const std::uint64_t magnitude =
      value < 0 ? static_cast<std::uint64_t>(-(value + 1)) + 1U : static_cast<std::uint64_t>(value);
  std::array<char, 24> digits{};
  const auto res = std::to_chars(digits.data(), digits.data() + digits.size(), magnitude);
  const auto n = static_cast<int>(res.ptr - digits.data());
  const int shown = std::max(n, min_digits);
  const int needed = shown + (value < 0 ? 1 : 0);
  if (needed > width) {
    put_asterisks(out, width);
    return;
  }
  char* field = right_part(out, width, needed);
  if (value < 0) {
    *field++ = '-';
  }
  field = std::fill_n(field, shown - n, '0');
  std::copy_n(digits.data(), n, field);
}

std::string_view fixed_digits(double value, int decimals,
                              std::array<char, kFixedDigitsRoom>& buffer) {
  char* const first = buffer.data();
  char* const last = buffer.data() + buffer.size();
  // Up to 4 decimals and below 1e9 in magnitude, the scaled value v * 10^d is below 1e13 and
  // its one rounding error below 1.2e-3. When its fraction stands farther than 2e-3 from one
  // half, the exact product rounds to the same whole number: those are the digits. Nearly every
  // field the tool writes is decided here; against the exact conversion below alone this
  // spares about a tenth of a whole run's instructions (README, Performance).
  constexpr std::array<double, 5> kScales = {1.0, 10.0, 100.0, 1000.0, 10000.0};
  if (decimals >= 0 && decimals <= 4 && std::fabs(value) < 1e9) {
    const double scaled = std::fabs(value) * kScales.at(static_cast<std::size_t>(decimals));
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) > 2e-3) {
      const auto rounded = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1U : 0U);
      // The digits, with zeros in front so that at least one stands before the point.
      const auto wanted = static_cast<std::size_t>(decimals);
      std::array<char, 32> digits{};
      std::fill_n(digits.data(), wanted + 1, '0');
      std::array<char, 24> plain{};
      const auto res = std::to_chars(plain.data(), plain.data() + plain.size(), rounded);
      const auto count = static_cast<std::size_t>(res.ptr - plain.data());
      const std::size_t total = std::max(count, wanted + 1);
      std::copy_n(plain.data(), count, digits.data() + (total - count));
      char* out = first;
      if (std::signbit(value)) {
        *out++ = '-';
      }
      out = std::copy_n(digits.data(), total - wanted, out);
      if (wanted > 0) {
        *out++ = '.';
        out = std::copy_n(digits.data() + (total - wanted), wanted, out);
      }
      return {first, static_cast<std::size_t>(out - first)};
    }
  }
  const auto res = std::to_chars(first, last, value, std::chars_format::fixed, decimals);
  if (res.ec != std::errc{}) {
    return {};
  }
  return {first, static_cast<std::size_t>(res.ptr - first)};
}

void render_real(std::string& out, double value, int width, int decimals) {
  if (!std::isfinite(value)) {
    put_asterisks(out, width);
    return;
  }
  // The rounding is exact on the binary value: the digits are the correctly rounded ones.
  std::array<char, kFixedDigitsRoom> text;
  std::string_view digits = fixed_digits(value, decimals, text);
  if (digits.empty()) {
    put_asterisks(out, width);
    return;
  }
  bool negative = false;
  if (!digits.empty() && digits.front() == '-') {
    negative = true;
    digits.remove_prefix(1);
  }
  // No minus sign on a value that rounds to zero.
  if (negative &&
      std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0' || c == '.'; })) {
    negative = false;
  }
  const auto point = std::find(digits.begin(), digits.end(), '.');
  std::string_view integer = digits.substr(0, static_cast<std::size_t>(point - digits.begin()));
  const std::string_view fraction =
      decimals > 0 ? digits.substr(integer.size() + 1) : std::string_view{};
  const int sign = negative ? 1 : 0;
  const int core = static_cast<int>(fraction.size()) + 1 + sign;  // decimals, point, sign
  if (integer == "0") {
    // A value below 1 in magnitude: its 0 is written only when a column is left for it.
    integer = core + 1 <= width ? integer : std::string_view{};
  }
  const int needed = core + static_cast<int>(integer.size());
  if (needed > width) {
    put_asterisks(out, width);
    return;
  }
  char* field = right_part(out, width, needed);
  if (negative) {
    *field++ = '-';
  }
  field = std::copy(integer.begin(), integer.end(), field);
  *field++ = '.';
  std::copy(fraction.begin(), fraction.end(), field);
}

void render_into(std::string& out, const ParsedLayout& layout, std::span<const Item> items) {
  bool any_item_field = false;
  for (std::size_t i = 0; i < layout.count; ++i) {
    any_item_field = any_item_field || detail::takes_item(layout.fields[i].kind);
  }
  std::size_t next = 0;
  // Each pass over the layout consumes at least one item, so passes are bounded by the items.
  while (true) {
    for (std::size_t i = 0; i < layout.count; ++i) {
      const Descriptor& d = layout.fields[i];
      if (detail::takes_item(d.kind) && next >= items.size()) {
        // Out of items: the output stops here and the line is ended.
        if (!layout.open_end) {
          out += '\n';
        }
        return;
      }
      switch (d.kind) {
        case FieldKind::kText: {
          const Item& item = items[next++];
          out.append(item.kind() == ItemKind::kText ? item.text() : std::string_view{});
          break;
        }
        case FieldKind::kTextW: {
          const Item& item = items[next++];
          const std::string_view text = item.kind() == ItemKind::kText ? item.text() : "";
          const auto w = static_cast<std::size_t>(d.width);
          if (text.size() >= w) {
            out.append(text.substr(0, w));
          } else {
            put_right(out, text, d.width);
          }
          break;
        }
        case FieldKind::kInt: {
          const Item& item = items[next++];
          if (item.kind() == ItemKind::kInt) {
            render_int(out, item.whole(), d.width, d.digits);
          } else {
            put_asterisks(out, d.width);
          }
          break;
        }
        case FieldKind::kReal: {
          const Item& item = items[next++];
          if (item.kind() == ItemKind::kReal) {
            render_real(out, item.real(), d.width, d.digits);
          } else {
            put_asterisks(out, d.width);
          }
          break;
        }
        case FieldKind::kBlanks:
          out.append(static_cast<std::size_t>(d.width), ' ');
          break;
        case FieldKind::kLiteral:
          out.append(d.literal);
          break;
        case FieldKind::kSlash:
          out += '\n';
          break;
      }
    }
    if (!any_item_field || next >= items.size()) {
      if (!layout.open_end) {
        out += '\n';
      }
      return;
    }
    // Items are left: the line is ended and the layout starts again.
    out += '\n';
  }
}

std::string render(const Layout& layout, std::span<const Item> items) {
  std::string out;
  render_into(out, layout.parsed(), items);
  return out;
}

void write_record(support::OutputUnit& out, const Layout& layout, std::span<const Item> items) {
  std::string& text = out.scratch();
  text.clear();
  render_into(text, layout.parsed(), items);
  out.write_rendered(text);
}

void prompt(support::OutputUnit& console, std::string_view text) {
  static constexpr Layout kPrompt = "(\" \", A, $)";
  write_record(console, kPrompt, text.substr(0, std::min<std::size_t>(text.size(), 80)));
}

void ask(support::LineSource& answers, support::OutputUnit& console, std::string_view question,
         std::span<char> text) {
  std::fill(text.begin(), text.end(), ' ');
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
  std::copy_n(answer.begin(), std::min(answer.size(), text.size()), text.begin());
}

}  // namespace qel2br::layout
