// The small text routines of the card reader: first and last non-blank column, upper-casing,
// and the digit test.
#pragma once

#include <span>
#include <string_view>

namespace qel2br::cards {

// IFSTNB(text): the 1-based position of the first character of text that is not a blank;
// 0 when text is all blanks or empty.
[[nodiscard]] int IFSTNB(std::string_view text);

// ILSTNB(text): the 1-based position of the last character of text that is not a blank;
// 0 when text is all blanks or empty.
[[nodiscard]] int ILSTNB(std::string_view text);

// UPCASE(text): replaces, in place, each letter a to z of text by its capital; every other
// character is left as it is.
void UPCASE(std::span<char> text);

// NONDIG(c): true when c is not one of the decimal digits 0 to 9.
[[nodiscard]] constexpr bool NONDIG(char c) { return c < '0' || c > '9'; }

}  // namespace qel2br::cards
