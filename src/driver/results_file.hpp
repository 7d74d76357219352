// The results file of a command (--json): its entries taken from the runs, the document written
// whole at the end.
#pragma once

#include <string>
#include <string_view>

#include "driver/report_file.hpp"
#include "driver/run_context.hpp"
#include "results/json_results.hpp"
#include "support/output_unit.hpp"

namespace qel2br::driver {

// The entry of the results for the run of run (from the command line) that ended with status:
// its files, how it ended, its record counts, the warnings it kept and its stop.
[[nodiscard]] results::InputResult input_result(const RunContext& run, int status);

// The results file, opened before any input is converted so that a name that cannot be
// written ends the command before anything is converted; written whole at the end, under a
// temporary name beside it and renamed into place (see support::ReplacedFile). The name "-"
// is standard output.
class ResultsFile {
 public:
  // The document goes to path, or to standard_output for "-"; it gives version.
  ResultsFile(std::string path, support::OutputUnit& standard_output, std::string_view version)
      : path_(std::move(path)), standard_output_(standard_output) {
    results_.version = std::string(version);
  }

  // Opens the file; returns "" or the system's reason.
  [[nodiscard]] std::string open();
  // Adds the entry of one input, in the order of the command line.
  void add(results::InputResult entry) { results_.inputs.push_back(std::move(entry)); }
  // Writes the document; returns kNormalEnd, or kInputStop after the reason on errors.
  [[nodiscard]] int write(support::OutputUnit& errors);
  // The name of the file as given.
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
  support::OutputUnit& standard_output_;
  ReportFile file_;
  results::Results results_;
};

}  // namespace qel2br::driver
