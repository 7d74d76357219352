// Free-format reading of one real from a field of a card: blank or comma separators, r*v
// repeats, the slash that ends the list, and the D exponent.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qel2br::cards {

// Why a field gave no value.
enum class FieldError {
  kNone,        // a value was read
  kBlank,       // the field holds nothing but blanks
  kNotANumber,  // the first value is not a number
  kNullValue,   // the first value is empty: a leading comma or slash, or "r*" without a value
  kOutOfRange,  // the number is too large for a double
};

// The value of a field, or why there is none (value is then 0).
struct FieldValue {
  double value = 0.0;
  FieldError error = FieldError::kNone;
  // Whether the field holds more than the value read (see first_value).
  bool holds_more = false;
};

// read_real(text): reads the first value of text as a real. Values are separated by blanks or
// a comma (with any blanks around it); only the first value is read, and what follows its
// separator is not looked at. A slash directly behind the value ends the list. The value is
// an optional sign, digits with an optional point (or a point and digits), and an optional
// exponent: E, e, D or d, an optional sign and at least one digit. "r*v" (r a positive
// integer without sign) gives v. A number too small for a double reads as the nearest one (a
// subnormal, or zero of its sign); one too large is out of range. Returns the value, or the
// reason there is none.
[[nodiscard]] FieldValue read_real(std::string_view text);

// The first value of a field as written, and whether the field holds more: a character other
// than blanks, commas and slashes behind it ("24,5", "2/45" and "1 0" do; "24", "24," do not).
struct FirstValue {
  std::string_view text{};
  bool holds_more = false;
};

// first_value(text): the first value of text (up to its blank, comma or slash) and whether more
// follows it; an empty text for a blank field.
[[nodiscard]] FirstValue first_value(std::string_view text);

// read_int32_digits(digits): the value of a non-empty run of decimal digits (leading zeros
// allowed); nullopt when it does not fit a 32-bit integer or holds anything but digits.
[[nodiscard]] std::optional<std::int32_t> read_int32_digits(std::string_view digits);

}  // namespace qel2br::cards
