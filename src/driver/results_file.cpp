// The results file: entries from the runs, and the document written whole.
#include "driver/results_file.hpp"

#include <utility>

#include "driver/exit_status.hpp"

namespace qel2br::driver {

results::InputResult input_result(const RunContext& run, int status) {
  results::InputResult entry;
  if (run.batch != nullptr) {
    entry.input = run.batch->input;
    if (!run.batch->check) {
      entry.output = run.batch->output;
    }
  }
  entry.status = status;
  entry.records = run.records;
  entry.warnings = run.kept_warnings;
  if (status == kInputStop && run.end.stop.has_value()) {
    entry.stop = run.end.stop;
    // The reason as standard error gives it, without the program's name.
    const support::InputStop& stop = *run.end.stop;
    std::string place;
    if (!stop.file.empty()) {
      place = stop.file + (stop.line > 0 ? ":" + std::to_string(stop.line) : "") + ": ";
    }
    entry.reason = place + stop.message;
  } else if (status != kNormalEnd) {
    entry.reason =
        run.end.reason.empty() ? "exit status " + std::to_string(status) : run.end.reason;
  }
  return entry;
}

std::string ResultsFile::open() {
  // Standard output needs no opening; "-" is never a file.
  return path_ == "-" ? std::string() : file_.open(path_);
}

int ResultsFile::write(support::OutputUnit& errors) {
  const std::string document = results::render_json(results_);
  if (path_ == "-") {
    standard_output_.write_rendered(document);
    standard_output_.flush();
    return kNormalEnd;
  }
  if (const std::string reason = file_.write(document); !reason.empty()) {
    errors.write_line("qel2br: " + path_ + ": the results cannot be written: " + reason);
    errors.flush();
    return kInputStop;
  }
  return kNormalEnd;
}

}  // namespace qel2br::driver
