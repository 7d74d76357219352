// Free-format reading of one real from a field of a card: blank or comma separators, r*v
// repeats, the slash that ends the list, and the D exponent.
#include "cards/free_format.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <system_error>

#include "cards/text_routines.hpp"

namespace qel2br::cards {

namespace {

// The longest number text converted; card fields are at most 256 columns wide.
constexpr std::size_t kMaxNumberLength = 256;

bool is_digit(char c) { return !NONDIG(c); }

bool ends_value(char c) { return c == ' ' || c == ',' || c == '/'; }

// Whether a number text (an optional sign, digits with an optional point, an optional E
// exponent) stands for a number below 1 in magnitude: the power of ten of its first nonzero
// digit plus its exponent is negative. An exponent too long to hold is taken at a size beyond
// any double's.
bool below_one(std::string_view text) {
  text.remove_prefix(std::min(text.find_first_not_of("+-"), text.size()));
  const std::size_t mantissa_end = std::min(text.find_first_of("Ee"), text.size());
  const std::string_view mantissa = text.substr(0, mantissa_end);
  const std::size_t first_nonzero = mantissa.find_first_not_of("0.");
  if (first_nonzero == std::string_view::npos) {
    return true;
  }
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const auto power = first_nonzero < point ? static_cast<std::int64_t>(point - first_nonzero - 1)
                                           : -static_cast<std::int64_t>(first_nonzero - point);
  constexpr std::int64_t kBeyondAnyDouble = 100000;
  std::string_view digits = text.substr(std::min(mantissa_end + 1, text.size()));
  const bool negative = !digits.empty() && digits.front() == '-';
  digits.remove_prefix(std::min(digits.find_first_not_of("+-"), digits.size()));
  std::int64_t exponent = 0;
  for (const char c : digits) {
    exponent = std::min(exponent * 10 + (c - '0'), kBeyondAnyDouble);
  }
  return power + (negative ? -exponent : exponent) < 0;
}

// Converts the characters first to last, which hold a number with an E exponent or none. A
// number too small for a double reads as the nearest one, zero of its sign; a number too
// large for one has no value.
FieldValue convert_chars(const char* first, const char* last) {
  double value = 0.0;
  const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    const std::string_view text(first, static_cast<std::size_t>(last - first));
    if (ptr == last && below_one(text)) {
      return {.value = text.front() == '-' ? -0.0 : 0.0, .error = FieldError::kNone};
    }
    return {.value = 0.0, .error = FieldError::kOutOfRange};
  }
  if (ec != std::errc{} || ptr != last) {
    return {.value = 0.0, .error = FieldError::kNotANumber};
  }
  return {.value = value, .error = FieldError::kNone};
}

}  // namespace

namespace {

// Converts the text of one value: an optional sign, digits with an optional point (or a point
// and digits), and an optional exponent (E, e, D or d, an optional sign and digits). The
// library reads the same grammar with an E exponent once a plus sign is taken off; its own
// words (inf, nan) and a second sign are not numbers here.
FieldValue convert(std::string_view text) {
  const std::size_t sign = text.front() == '+' || text.front() == '-' ? 1 : 0;
  if (sign == text.size() || (text[sign] != '.' && !is_digit(text[sign]))) {
    return {.value = 0.0, .error = FieldError::kNotANumber};
  }
  if (text.front() == '+') {
    text.remove_prefix(1);
  }
  if (text.size() > kMaxNumberLength) {
    return {.value = 0.0, .error = FieldError::kNotANumber};
  }
  // A D exponent is converted from a copy with E in its place; other numbers where they stand.
  const auto d =
      std::find_if(text.begin(), text.end(), [](char c) { return c == 'D' || c == 'd'; });
  if (d != text.end()) {
    std::array<char, kMaxNumberLength> buffer{};
    std::copy(text.begin(), text.end(), buffer.begin());
    buffer[static_cast<std::size_t>(d - text.begin())] = 'E';
    return convert_chars(buffer.data(), buffer.data() + text.size());
  }
  return convert_chars(text.data(), text.data() + text.size());
}

}  // namespace

FieldValue read_real(std::string_view text) {
  const FirstValue first = first_value(text);
  if (first.text.empty()) {
    // A blank field, or one that starts with a comma or a slash.
    return {.value = 0.0, .error = IFSTNB(text) == 0 ? FieldError::kBlank : FieldError::kNullValue};
  }
  std::string_view value = first.text;

  // r*v: r copies of v, where r is a positive count without sign; "r*" alone is r nulls.
  if (const std::size_t star = value.find('*'); star != std::string_view::npos) {
    const std::string_view repeat = value.substr(0, star);
    const std::optional<std::int32_t> count = read_int32_digits(repeat);
    if (!count.has_value() || *count <= 0) {
      return {.value = 0.0, .error = FieldError::kNotANumber};
    }
    value.remove_prefix(star + 1);
    if (value.empty()) {
      return {.value = 0.0, .error = FieldError::kNullValue};
    }
  }
  if (value.empty()) {
    return {.value = 0.0, .error = FieldError::kNotANumber};
  }
  FieldValue field = convert(value);
  field.holds_more = first.holds_more;
  return field;
}

FirstValue first_value(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    return {};
  }
  text.remove_prefix(start);
  const auto value_end = std::find_if(text.begin(), text.end(), ends_value);
  const auto length = static_cast<std::size_t>(value_end - text.begin());
  const std::string_view rest = text.substr(length);
  return {.text = text.substr(0, length),
          .holds_more = rest.find_first_not_of(" ,/") != std::string_view::npos};
}

std::optional<std::int32_t> read_int32_digits(std::string_view digits) {
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), is_digit)) {
    return std::nullopt;
  }
  std::int32_t value = 0;
  const char* const last = digits.data() + digits.size();
  const auto [ptr, ec] = std::from_chars(digits.data(), last, value);
  if (ec != std::errc{} || ptr != last) {
    return std::nullopt;
  }
  return value;
}

}  // namespace qel2br::cards
