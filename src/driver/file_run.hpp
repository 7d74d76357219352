// One input of a run from the command line, converted (or checked) as if it were the only one:
// its files checked before any is opened, then the run with its report.
#pragma once

#include <string_view>

#include "driver/run_context.hpp"
#include "results/json_results.hpp"
#include "support/output_unit.hpp"

namespace qel2br::driver {

// What the command line says about the run besides its files and switches.
struct FileRunFlags {
  bool derived_output = false;  // the OUTPUT is named after the INPUT, not given
  std::string_view version{};   // for the report
  // When set, receives the entry of the results (--json) for the run, refusals included.
  results::InputResult* result = nullptr;
};

// Runs the conversion of batch: console lines to console, warnings and reasons to errors. An
// OUTPUT named after its INPUT is checked first (derived_output_refusal), then the files of
// the run (check_run_files). OUTPUT "-" is standard output, closed at the end of the data;
// INPUT "-" is standard input. Returns the run's exit status.
[[nodiscard]] int run_file(const BatchOptions& batch, const FileRunFlags& flags,
                           support::OutputUnit& console, support::OutputUnit& errors);

}  // namespace qel2br::driver
