// Markup text for the report: escaped text from the input files, and numbers as the report
// shows them.
#pragma once

#include <string>
#include <string_view>

namespace qel2br::report {

// escape(text): text fit for an HTML or SVG element or a quoted attribute. &, <, >, " and '
// become character references; bytes that are not valid UTF-8, control characters other than
// tab, and the code points a page may not hold (U+007F to U+009F, the noncharacters) become
// U+FFFD, so that any file name or card text gives well-formed markup. The bidirectional-text
// controls (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069) are shown as visible
// escapes ("[U+202E]"), so that no text reads in an order other than its characters'.
[[nodiscard]] std::string escape(std::string_view text);

// fixed(value, decimals): value with exactly that many decimals (0 to 12), "-" only when a
// digit other than 0 shows; "n/a" for NaN and "inf" or "-inf" for infinities.
[[nodiscard]] std::string fixed(double value, int decimals);

// shortest(value): the shortest text that reads back as value (1e+20 style beyond 1e15 or
// below 1e-5), for values shown as read.
[[nodiscard]] std::string shortest(double value);

}  // namespace qel2br::report
