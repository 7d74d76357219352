// The machine-readable results of a command: one JSON document with an entry per input.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/record_counts.hpp"
#include "support/input_stop.hpp"
#include "support/warnings.hpp"

namespace qel2br::results {

// The version of the document's form, written as "format"; a change that could break a
// reader of the document raises it.
inline constexpr int kResultsFormat = 1;

// What the run of one input gave. Filled once the run has ended; an entry holds only values,
// so that the runs of many inputs can each fill their own.
struct InputResult {
  std::string input{};                  // the input card file as named
  std::optional<std::string> output{};  // the output data file; none in a check run
  int status = 0;                       // the run's exit status
  std::optional<std::string> reason{};  // why the run did not end normally; none when it did
  RecordCounts records{};               // what the run converted, up to where it ended
  std::vector<support::KeptWarning> warnings{};  // as the conversion report lists them
  std::optional<support::InputStop> stop{};      // what stopped the run, if the input did
};

// The document: the tool's version and the inputs in the order of the command line.
struct Results {
  std::string version{};
  std::vector<InputResult> inputs{};
};

// The text as a JSON string, quotes included: '"' and '\' escaped, control characters (and
// DEL) as \b, \f, \n, \r, \t or \u00XX, valid UTF-8 as it is, and each byte that is not part
// of a valid UTF-8 sequence (a Latin-1 byte in a file name) as \ufffd, the replacement
// character.
[[nodiscard]] std::string json_string(std::string_view text);

// The document, one value per line but the warnings (one line each), ending in a line end:
// {"format": 1, "tool": "qel2br", "version": ..., "inputs": [{"input", "output", "status",
// "reason", "records": {"wave", "current", "profile", "element", "group"}, "warnings": [{"file",
// "line", "first_column", "last_column", "kind", "text"}], "stop": {"file", "line",
// "first_column", "last_column", "text"} or null}]}. A file, line or column that does not
// apply is null.
[[nodiscard]] std::string render_json(const Results& results);

}  // namespace qel2br::results
