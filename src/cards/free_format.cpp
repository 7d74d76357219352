// Free-format reading of one real from a field of a card: blank or comma separators, r*v
// repeats, the slash that ends the list, and the D exponent.
#include "cards/free_format.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
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

// Whether text holds a character other than blanks, commas and slashes.
bool holds_more(std::string_view text) {
  return !std::all_of(text.begin(), text.end(), ends_value);
}

// A number scanned from the front of a text: an optional sign, digits with an optional point
// (or a point and digits), and an optional exponent (E, e, D or d, an optional sign and digits).
struct ScannedNumber {
  std::size_t end = 0;       // where the scan stopped
  bool well_formed = false;  // digits, and digits behind an exponent letter
  bool negative = false;     // a minus sign in front
  bool exact = false;        // at most kMaxDigits digits, all held in whole
  std::uint64_t whole = 0;   // the digits as a whole number
  std::int64_t power = 0;    // the power of ten whole is scaled by
};

// The digits a 64-bit whole number holds, whatever they are.
constexpr std::size_t kMaxDigits = 19;
// An exponent is read up to a size beyond any double's.
constexpr std::int64_t kBeyondAnyExponent = 100000;

ScannedNumber scan_number(std::string_view text) {
  const char* const first = text.data();
  const char* const last = first + text.size();
  const char* pos = first;
  const bool sign = pos != last && (*pos == '+' || *pos == '-');
  const bool negative = sign && *pos == '-';
  if (sign) {
    ++pos;
  }
  // The digits go into whole as they come; beyond kMaxDigits it no longer holds them all.
  std::uint64_t whole = 0;
  const auto read_digits = [&pos, last, &whole] {
    const char* const start = pos;
    for (; pos != last && is_digit(*pos); ++pos) {
      whole = whole * 10 + static_cast<std::uint64_t>(*pos - '0');
    }
    return static_cast<std::size_t>(pos - start);
  };
  std::size_t digits = read_digits();
  const bool point = pos != last && *pos == '.';
  std::size_t behind_point = 0;
  if (point) {
    ++pos;
    behind_point = read_digits();
    digits += behind_point;
  }
  std::int64_t exponent = 0;
  bool exponent_digits = true;
  if (digits > 0 && pos != last && (*pos == 'E' || *pos == 'e' || *pos == 'D' || *pos == 'd')) {
    ++pos;
    const bool minus = pos != last && *pos == '-';
    if (pos != last && (*pos == '+' || minus)) {
      ++pos;
    }
    exponent_digits = pos != last && is_digit(*pos);
    for (; pos != last && is_digit(*pos); ++pos) {
      exponent = std::min(exponent * 10 + (*pos - '0'), kBeyondAnyExponent);
    }
    exponent = minus ? -exponent : exponent;
  }
  return {.end = static_cast<std::size_t>(pos - first),
          .well_formed = digits > 0 && exponent_digits,
          .negative = negative,
          .exact = digits <= kMaxDigits,
          .whole = whole,
          .power = exponent - static_cast<std::int64_t>(behind_point)};
}

// The powers of ten that a double holds exactly.
constexpr std::array<double, 23> kExactTens = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Converts a well-formed number, text as scanned into number. A whole number up to 2^53 and a
// power of ten up to 1e22 are both exact as doubles, so one multiplication or division of the
// two gives the double nearest to the number: that is how most numbers are read. The rest (more
// digits, larger powers) go to the library, which reads an E exponent and no plus sign.
FieldValue convert(std::string_view text, const ScannedNumber& number) {
  if (text.front() == '+') {
    text.remove_prefix(1);
  }
  if (text.size() > kMaxNumberLength) {
    return {.value = 0.0, .error = FieldError::kNotANumber};
  }
  constexpr std::uint64_t kExactWhole = std::uint64_t{1} << 53U;
  constexpr auto kLargestPower = static_cast<std::int64_t>(kExactTens.size()) - 1;
  if (number.exact && number.whole <= kExactWhole && number.power >= -kLargestPower &&
      number.power <= kLargestPower) {
    const auto whole = static_cast<double>(number.whole);
    const double ten = kExactTens[static_cast<std::size_t>(std::abs(number.power))];
    const double value = number.power < 0 ? whole / ten : whole * ten;
    return {.value = number.negative ? -value : value, .error = FieldError::kNone};
  }
  // A D exponent is converted from a copy with E in its place; other numbers where they stand.
  const auto d =
      std::find_if(text.begin(), text.end(), [](char c) { return c == 'D' || c == 'd'; });
  if (d == text.end()) {
    return convert_chars(text.data(), text.data() + text.size());
  }
  std::array<char, kMaxNumberLength> buffer{};
  std::copy(text.begin(), text.end(), buffer.begin());
  buffer[static_cast<std::size_t>(d - text.begin())] = 'E';
  return convert_chars(buffer.data(), buffer.data() + text.size());
}

}  // namespace

FieldValue read_real(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    return {.value = 0.0, .error = FieldError::kBlank};
  }
  std::string_view value = text.substr(start);
  // A leading comma or slash: the first value is empty.
  if (ends_value(value.front())) {
    return {.value = 0.0, .error = FieldError::kNullValue};
  }
  // r*v: r copies of v, where r is a positive count without sign; "r*" alone is r nulls.
  const auto count_end = std::find_if_not(value.begin(), value.end(), is_digit);
  if (count_end != value.end() && *count_end == '*') {
    const auto count_length = static_cast<std::size_t>(count_end - value.begin());
    const std::optional<std::int32_t> count = read_int32_digits(value.substr(0, count_length));
    if (!count.has_value() || *count <= 0) {
      return {.value = 0.0, .error = FieldError::kNotANumber};
    }
    value.remove_prefix(count_length + 1);
    if (value.empty() || ends_value(value.front())) {
      return {.value = 0.0, .error = FieldError::kNullValue};
    }
  }
  const ScannedNumber number = scan_number(value);
  // The number must take the whole value, up to its blank, comma or slash.
  const std::string_view rest = value.substr(number.end);
  if (!number.well_formed || (!rest.empty() && !ends_value(rest.front()))) {
    return {.value = 0.0, .error = FieldError::kNotANumber};
  }
  FieldValue field = convert(value.substr(0, number.end), number);
  field.holds_more = holds_more(rest);
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
  return {.text = text.substr(0, length), .holds_more = holds_more(rest)};
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
