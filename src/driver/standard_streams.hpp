// "-" on the command line: the card file read from standard input, the data file written to
// standard output.
#pragma once

#include <string>
#include <string_view>

namespace qel2br::driver {

// The name that stands for standard input (as INPUT) or standard output (as OUTPUT).
inline constexpr std::string_view kStandardStream = "-";
// How the card file read from standard input is named in the run header, the warnings, the
// stop reports and the report.
inline constexpr std::string_view kStandardInputName = "standard input";
// How the data file written to standard output is named in the summary and the reasons.
inline constexpr std::string_view kStandardOutputName = "standard output";

[[nodiscard]] constexpr bool is_standard_stream(std::string_view name) {
  return name == kStandardStream;
}

// The input card file as it is named in what the run writes.
[[nodiscard]] constexpr std::string_view shown_input(std::string_view name) {
  return is_standard_stream(name) ? kStandardInputName : name;
}

// The output data file as it is named in what the run writes.
[[nodiscard]] constexpr std::string_view shown_output(std::string_view name) {
  return is_standard_stream(name) ? kStandardOutputName : name;
}

// The whole of standard input, read to its end; a failed read stops the run naming standard
// input.
[[nodiscard]] std::string read_standard_input();

}  // namespace qel2br::driver
