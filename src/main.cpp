// qel2br: the dialogue without arguments, or a run with its answers from the command line;
// converts, and exits with its status.
#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/options.hpp"
#include "cli/version.hpp"
#include "driver/exit_status.hpp"
#include "driver/report_file.hpp"
#include "driver/results_file.hpp"
#include "driver/run.hpp"
#include "driver/run_files.hpp"
#include "sections/run_state.hpp"
#include "support/platform.hpp"
#include "support/units.hpp"

namespace {

int run_main(int argc, char** argv) {
  using qel2br::support::DiscardedOutput;
  using qel2br::support::FdLines;
  using qel2br::support::FdOutput;
  using qel2br::support::StandardStream;
  FdOutput console(StandardStream::kOutput, "standard output", qel2br::support::kConsoleLineEnd);
  FdOutput errors(StandardStream::kError, "standard error", qel2br::support::kConsoleLineEnd);

  // The arguments as UTF-8 texts, whatever the system's own encoding of them.
  const std::vector<std::string> words = qel2br::support::platform().arguments(argc, argv);
  std::vector<const char*> pointers;
  for (std::size_t i = 1; i < words.size(); ++i) {
    pointers.push_back(words[i].c_str());
  }
  const std::span<const char* const> args(pointers);
  const qel2br::cli::Options options = qel2br::cli::parse_options(args);
  switch (options.action) {
    case qel2br::cli::Action::kHelp:
    case qel2br::cli::Action::kVersion:
      console.write_rendered(options.text);
      console.flush();
      return 0;
    case qel2br::cli::Action::kUsage:
      errors.write_rendered(options.text);
      errors.flush();
      return qel2br::cli::kUsageError;
    case qel2br::cli::Action::kDialogue:
    case qel2br::cli::Action::kBatch:
      break;
  }

  // A batch run never reads standard input; --quiet sends the console lines nowhere, and
  // results on standard output send them to standard error.
  const bool batch = options.action == qel2br::cli::Action::kBatch;
  FdLines answers = batch ? FdLines() : FdLines(StandardStream::kInput);
  DiscardedOutput discarded(qel2br::support::kConsoleLineEnd);
  const std::optional<std::string>& json = options.batch.json;
  qel2br::support::OutputUnit& shown = batch && options.quiet
                                           ? static_cast<qel2br::support::OutputUnit&>(discarded)
                                       : batch && json.has_value() && *json == "-" ? errors
                                                                                   : console;
  int status = 0;
  {
    auto state = std::make_unique<qel2br::sections::RunState>(answers, shown);
    std::optional<qel2br::driver::ResultsFile> results;
    if (batch) {
      state->batch = &options.batch;
      // No file the run writes may be another file of the run: checked before any is opened.
      status = qel2br::driver::check_run_files(*state, errors);
    }
    if (status == 0 && batch && json.has_value()) {
      results.emplace(*json, console, qel2br::cli::kVersion);
      state->warnings.keep(&state->kept_warnings);
      if (const std::string reason = results->open(); !reason.empty()) {
        errors.write_line("qel2br: " + *json + ": cannot be written: " + reason +
                          "; nothing is converted");
        status = qel2br::driver::kInputStop;
      }
    }
    if (status == 0) {
      status = batch && options.batch.report.has_value()
                   ? qel2br::driver::run_with_report(*state, errors, *options.batch.report,
                                                     qel2br::cli::kVersion)
                   : qel2br::driver::run_and_report(*state, errors);
      if (results.has_value()) {
        results->add(qel2br::driver::input_result(*state, status));
        status = std::max(status, results->write(errors));
      }
    }
  }
  console.flush();
  errors.flush();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  qel2br::support::prepare_process();
  try {
    return run_main(argc, argv);
  } catch (const std::bad_alloc&) {
    // Memory ran out outside the conversion (the command line, the report): one line, written
    // without asking for memory.
    constexpr std::string_view kOutOfMemory = "qel2br: out of memory\n";
    qel2br::support::Platform& system = qel2br::support::platform();
    static_cast<void>(
        system.write(system.standard(qel2br::support::StandardStream::kError), kOutOfMemory));
    return qel2br::driver::kInputStop;
  }
}
