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
#include "driver/file_run.hpp"
#include "driver/many_files.hpp"
#include "driver/results_file.hpp"
#include "driver/run.hpp"
#include "driver/run_context.hpp"
#include "driver/run_files.hpp"
#include "driver/standard_streams.hpp"
#include "support/fd_output.hpp"
#include "support/line_source.hpp"
#include "support/output_unit.hpp"
#include "support/platform.hpp"

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
      return qel2br::driver::kNormalEnd;
    case qel2br::cli::Action::kUsage:
      errors.write_rendered(options.text);
      errors.flush();
      return qel2br::driver::kUsageError;
    case qel2br::cli::Action::kDialogue:
      break;
    case qel2br::cli::Action::kBatch:
    case qel2br::cli::Action::kMany: {
      const bool many = options.action == qel2br::cli::Action::kMany;
      const std::optional<std::string>& json =
          many ? options.many.runs.front().json : options.batch.json;
      // --quiet sends the console lines nowhere; with the data file or the results on standard
      // output they go to standard error.
      DiscardedOutput discarded(qel2br::support::kConsoleLineEnd);
      const bool data_on_output =
          !many && !options.batch.check && qel2br::driver::is_standard_stream(options.batch.output);
      const bool results_on_output = json.has_value() && qel2br::driver::is_standard_stream(*json);
      qel2br::support::OutputUnit& shown =
          options.quiet ? static_cast<qel2br::support::OutputUnit&>(discarded)
          : data_on_output || results_on_output ? static_cast<qel2br::support::OutputUnit&>(errors)
                                                : console;
      std::optional<qel2br::driver::ResultsFile> results;
      if (json.has_value()) {
        // The results file may be none of the runs' files: checked before it is opened.
        const std::span<const qel2br::driver::BatchOptions> runs =
            many ? std::span<const qel2br::driver::BatchOptions>(options.many.runs)
                 : std::span<const qel2br::driver::BatchOptions>(&options.batch, 1);
        if (const std::string refusal =
                qel2br::driver::results_file_refusal(*json, runs, qel2br::support::platform());
            !refusal.empty()) {
          errors.write_line("qel2br: " + refusal);
          errors.flush();
          return qel2br::driver::kInputStop;
        }
        results.emplace(*json, console, qel2br::cli::kVersion);
        if (const std::string reason = results->open(); !reason.empty()) {
          errors.write_line("qel2br: " + *json + ": cannot be written: " + reason +
                            "; nothing is converted");
          errors.flush();
          return qel2br::driver::kInputStop;
        }
      }
      qel2br::results::InputResult entry;
      int status = 0;
      if (many) {
        status = qel2br::driver::run_many_files(options.many, shown, errors,
                                                results ? &*results : nullptr);
      } else {
        status = qel2br::driver::run_file(options.batch,
                                          {.derived_output = options.derived_output,
                                           .version = qel2br::cli::kVersion,
                                           .result = results ? &entry : nullptr},
                                          shown, errors);
        if (results) {
          results->add(std::move(entry));
        }
      }
      if (results) {
        status = std::max(status, results->write(errors));
      }
      console.flush();
      errors.flush();
      return status;
    }
  }

  // The dialogue: its answers from standard input.
  FdLines answers(StandardStream::kInput);
  int status = 0;
  {
    auto state = std::make_unique<qel2br::driver::RunContext>(answers, console);
    status = qel2br::driver::run_and_report(*state, errors);
  }
  console.flush();
  errors.flush();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  qel2br::support::prepare_process();
  try {
    const int status = run_main(argc, argv);
    // A console window opened for a run from the command line alone (a card file dropped on
    // the program) stays until Enter, so that its messages can be read.
    if (argc > 1) {
      qel2br::support::hold_own_console();
    }
    return status;
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
