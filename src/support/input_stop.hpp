// InputStop: the fatal report of the tool for input it cannot go on with; InternalFault for a
// fault of the tool itself.
#pragma once

#include <cstdint>
#include <string>

namespace qel2br::support {

// A run stopped by its input: an unreadable card field, a table limit, the end of the console
// input, a failed write of the output data file. Only main (and tests) catch it; it is not a
// std::exception so that no generic handler swallows it.
struct InputStop {
  std::string file{};     // the file concerned ("standard input" for the console); may be empty
  std::int64_t line = 0;  // 1-based line number in that file; 0 when no line applies
  int first_column = 0;   // the columns of the field or card part concerned; 0 when none apply
  int last_column = 0;
  std::string message{};  // what was expected and what was found
  std::string detail{};   // optional further lines (the card itself), each ending in '\n'
};

// Formats the report: "qel2br: file:line: message\n" followed by the detail lines. Control
// characters (but the line ends) are shown as '?'.
[[nodiscard]] std::string format_report(const InputStop& stop);

// Stops the run with the report; unwinding closes the output data file.
[[noreturn]] void stop_input(InputStop stop);

// A fault of the program itself, never of its input: a table word or a unit asked for that
// the program's own logic should never ask for. Only main (and tests) catch it.
struct InternalFault {
  std::string what{};
};

// Ends the run as an internal error with what went wrong; unwinding closes the output data
// file. main reports "qel2br: internal error: " and what, and exits with its own status.
[[noreturn]] void internal_fault(std::string what);

}  // namespace qel2br::support
