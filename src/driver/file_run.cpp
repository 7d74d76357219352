// One input of a run from the command line, with its checks, its report and its standard
// streams.
#include "driver/file_run.hpp"

#include <memory>
#include <string>

#include "driver/exit_status.hpp"
#include "driver/report_file.hpp"
#include "driver/run.hpp"
#include "driver/run_files.hpp"
#include "driver/standard_streams.hpp"
#include "support/input_stop.hpp"
#include "support/platform.hpp"

namespace qel2br::driver {

int run_file(const sections::BatchOptions& batch, const FileRunFlags& flags,
             support::OutputUnit& console, support::OutputUnit& errors) {
  support::Platform& system = support::platform();
  if (flags.derived_output) {
    if (const std::string refusal = derived_output_refusal(batch, system); !refusal.empty()) {
      errors.write_rendered(support::format_report({.message = refusal}));
      errors.flush();
      return kInputStop;
    }
  }
  // No file the run writes may be another file of the run: checked before any is opened.
  if (const int status = check_run_files(batch, errors, system); status != kNormalEnd) {
    return status;
  }
  // Made before the run state, whose unit table holds it, and gone after it.
  std::unique_ptr<support::FdOutput> data_stream;
  support::FdLines no_answers;
  auto state = std::make_unique<sections::RunState>(no_answers, console);
  state->batch = &batch;
  if (!batch.check && is_standard_stream(batch.output)) {
    data_stream = std::make_unique<support::FdOutput>(
        system.standard(support::StandardStream::kOutput), std::string(kStandardOutputName),
        support::kFileLineEnd);
    state->units.bind_output(support::kDataUnit, std::string(kStandardOutputName), *data_stream);
  }
  int status = batch.report.has_value()
                   ? run_with_report(*state, errors, *batch.report, flags.version)
                   : run_and_report(*state, errors);
  // What a stopped run wrote cannot be taken back; the text not yet written is dropped, so
  // that the data stream ends where the run stopped, without its end line.
  if (data_stream && status != kNormalEnd && status != kErrorEnd) {
    data_stream->discard();
  }
  state.reset();
  return status;
}

}  // namespace qel2br::driver
