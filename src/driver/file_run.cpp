// One input of a run from the command line, with its checks, its report and its standard
// streams.
#include "driver/file_run.hpp"

#include <memory>
#include <string>
#include <utility>

#include "driver/exit_status.hpp"
#include "driver/report_file.hpp"
#include "driver/results_file.hpp"
#include "driver/run.hpp"
#include "driver/run_files.hpp"
#include "driver/standard_streams.hpp"
#include "support/fd_output.hpp"
#include "support/input_stop.hpp"
#include "support/platform.hpp"

namespace qel2br::driver {

namespace {

// The entry of the results for a run refused before any file was opened.
results::InputResult refused(const BatchOptions& batch, std::string refusal) {
  results::InputResult entry;
  entry.input = batch.input;
  if (!batch.check) {
    entry.output = batch.output;
  }
  entry.status = kInputStop;
  entry.reason = refusal;
  entry.stop = support::InputStop{.message = std::move(refusal)};
  return entry;
}

}  // namespace

int run_file(const BatchOptions& batch, const FileRunFlags& flags, support::OutputUnit& console,
             support::OutputUnit& errors) {
  support::Platform& system = support::platform();
  // No file the run writes may be another file of the run: checked before any is opened.
  std::string refusal = flags.derived_output ? derived_output_refusal(batch, system) : "";
  if (refusal.empty()) {
    refusal = run_files_refusal(batch, system);
  }
  if (!refusal.empty()) {
    errors.write_rendered(support::format_report({.message = refusal}));
    errors.flush();
    if (flags.result != nullptr) {
      *flags.result = refused(batch, std::move(refusal));
    }
    return kInputStop;
  }
  // Made before the run state, whose unit table holds it, and gone after it.
  std::unique_ptr<support::FdOutput> data_stream;
  support::FdLines no_answers;
  auto state = std::make_unique<RunContext>(no_answers, console);
  state->batch = &batch;
  if (!batch.check && is_standard_stream(batch.output)) {
    data_stream = std::make_unique<support::FdOutput>(
        system.standard(support::StandardStream::kOutput), std::string(kStandardOutputName),
        support::kFileLineEnd);
    state->units.bind_output(support::kDataUnit, std::string(kStandardOutputName), *data_stream);
  }
  if (flags.result != nullptr) {
    state->warnings.keep(&state->kept_warnings);
  }
  int status = batch.report.has_value()
                   ? run_with_report(*state, errors, *batch.report, flags.version)
                   : run_and_report(*state, errors);
  if (flags.result != nullptr) {
    *flags.result = input_result(*state, status);
  }
  // What a stopped run wrote cannot be taken back; the text not yet written is dropped, so
  // that the data stream ends where the run stopped, without its end line.
  if (data_stream && status != kNormalEnd && status != kErrorEnd) {
    data_stream->discard();
  }
  state.reset();
  return status;
}

}  // namespace qel2br::driver
