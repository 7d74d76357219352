// Many inputs in one command: each converted (or checked) as a run on it alone would, several
// at once, their console lines, warnings and reasons written whole, file after file, in the
// order of the command line; then a total.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/results_file.hpp"
#include "driver/run_context.hpp"
#include "support/output_unit.hpp"
#include "support/platform.hpp"

namespace qel2br::driver {

// The most inputs converted at once. Each conversion may hold two temporary files (the output
// data file and the report), which a stop signal must be able to remove.
inline constexpr std::size_t kMostJobs = 32;
static_assert(support::kGuardedFiles >= 2 * kMostJobs, "a stop signal guards every temporary file");

// One per core, at most kMostJobs.
[[nodiscard]] std::size_t default_jobs();

struct ManyFiles {
  std::vector<BatchOptions> runs{};            // one per input, in the order given
  std::optional<std::string> output_folder{};  // -o: the folder of the outputs
  std::optional<std::string> report_folder{};  // the folder of the reports
  bool derived_outputs = false;                // the OUTPUTs are named after the INPUTs
  bool quiet = false;                          // no console lines, no summary
  bool fail_fast = false;                      // no input is started once one has failed
  std::size_t jobs = 1;                        // inputs converted at once (1 to kMostJobs)
  std::string_view version{};                  // for the reports
};

// Runs every input of many as run_file does, jobs at a time. Before any starts, the output and
// report folders must be folders, and the runs' files are checked against each other
// (many_files_refusal: a refusal goes to errors and the result is kInputStop). Each input's console
// lines go to out and its warnings and reasons to errors, each input's whole, in the order given,
// as the inputs finish in that order. Unless quiet, an input that did not end normally gets a line
// saying so on out after its own, an input not started (fail_fast) one saying that it was not
// converted, and with more than one input a total line follows. Returns the worst exit status of
// the inputs.
// When results is set, each input started adds its entry to it, in the order given.
[[nodiscard]] int run_many_files(const ManyFiles& many, support::OutputUnit& out,
                                 support::OutputUnit& errors, ResultsFile* results = nullptr);

}  // namespace qel2br::driver
