// The run sequence and its console dialogue.
#include "driver/run.hpp"

#include <algorithm>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "datafile/data_file.hpp"
#include "driver/batch.hpp"
#include "driver/card_checks.hpp"
#include "driver/conversion.hpp"
#include "driver/exit_status.hpp"
#include "driver/file_open.hpp"
#include "driver/header.hpp"
#include "driver/record_sinks.hpp"
#include "driver/set_options.hpp"
#include "driver/standard_streams.hpp"
#include "layout/layout.hpp"
#include "sections/sections.hpp"
#include "support/input_stop.hpp"
#include "support/platform.hpp"
#include "support/replaced_file.hpp"
#include "support/text.hpp"

namespace qel2br::driver {

namespace {

using layout::Layout;
using layout::write_record;

constexpr Layout kBanner =
    R"((6X, "                                                ", /,)"
    R"( 1X, "                                                          ", /,)"
    R"( 1X, "                                                          ", /,)"
    R"( 1X, "                                                          ", /,)"
    R"( 1X, "          ================================================", /,)"
    R"( 1X, "          -                                              -", /,)"
    R"( 1X, "          -         ----- Q e l 2 B r   -----            -", /,)"
    R"( 1X, "          -                                              -", /,)"
    R"( 1X, "          -       Converts Qelvo Input to Brakt.         -", /,)"
    R"( 1X, "          -          Version 1.1/2010_06_17              -", /,)"
    R"( 1X, "          -                                              -", /,)"
    R"( 1X, "          ================================================", /,)"
    R"( 1X, "                                                          ", /,)"
    R"( 1X, "                                                          ", /,)"
    R"( 1X, "                                                          "))";

constexpr Layout kBlockMessage = "(/, A, /)";

constexpr std::string_view kGiveInput = "Give Qelvo file                   :  ";
constexpr std::string_view kGiveOutput = "Give Output file (for brakt data) :  ";
constexpr std::string_view kOpeningOk = " Opening PrintFile OK";
constexpr std::string_view kWouldOverwrite =
    " Output file would overwrite the input card file: not opened";
constexpr std::string_view kError = " Error ";
constexpr std::string_view kOutOfMemory = "qel2br: out of memory\n";

// The error end: " Error " between two empty lines, the reason on standard error, the output
// data file closed without its end lines.
RunEnd error_end(RunContext& run, std::string_view reason) {
  // Noted before the output data file is put in place: nothing after that may fail.
  RunEnd end{.kind = EndKind::kErrorBlock, .reason = std::string(reason)};
  write_record(run.console, kBlockMessage, kError);
  if (run.errors != nullptr) {
    run.console.flush();
    // One line, whatever the names in it hold.
    std::string message = "error: " + std::string(reason);
    std::replace(message.begin(), message.end(), '\n', '?');
    run.errors->write_rendered(support::format_report({.message = message}));
    run.errors->flush();
  }
  run.units.close(support::kDataUnit);
  return end;
}

// Notes how the run ended for the results (note() copies texts); when memory runs out for that,
// the note is left out and the run ends as it would have.
template <typename Note>
void note_end(Note&& note) {
  try {
    note();
  } catch (const std::bad_alloc&) {
  }
}

}  // namespace

RunEnd run(RunContext& run) {
  DATTXT(run.date_text, 6);
  const BatchOptions* const batch = run.batch;
  if (batch == nullptr) {
    write_record(run.console, kBanner);
  }

  // "-" from the command line is the card file read whole from standard input.
  const bool from_standard_input = batch != nullptr && is_standard_stream(batch->input);
  take_answer(run, kGiveInput, run.input_name,
              batch != nullptr ? shown_input(batch->input) : std::string_view());
  if (from_standard_input) {
    run.units.bind_lines(support::kCardUnit, std::string(kStandardInputName),
                         read_standard_input());
  }
  if (!from_standard_input) {
    open_asking(run, kGiveInput, "input card file", run.input_name, support::kCardUnit);
  }
  run.cards.attach(run.units.lines(support::kCardUnit), run.units.name(support::kCardUnit));
  run.cards.set_warnings(&run.warnings);

  // A check run opens no output data file: its lines are only counted.
  if (batch != nullptr && !batch->check && is_standard_stream(batch->output)) {
    // "-": the data file goes to standard output, which the caller has connected to the unit.
    take_answer(run, kGiveOutput, run.output_name, kStandardOutputName);
    if (!run.units.connected(support::kDataUnit)) {
      support::internal_fault("the output data file is standard output, which is not connected");
    }
    write_record(run.console, layout::kOneText, kOpeningOk);
  } else if (batch == nullptr || !batch->check) {
    take_answer(run, kGiveOutput, run.output_name, batch != nullptr ? batch->output : "");
    // Opening the input card file for output would empty it: refuse whatever the spelling.
    if (run.units.same_file(support::kCardUnit, run.output_name.view())) {
      write_record(run.console, layout::kOneText, kWouldOverwrite);
      return error_end(run,
                       "the output data file \"" +
                           std::string(support::without_trailing_blanks(run.output_name.view())) +
                           "\" would overwrite the input card file \"" +
                           run.units.name(support::kCardUnit) + "\"; it is not opened");
    }
    // Console lines written to the same file would overwrite the data.
    if (const auto stream =
            support::written_by_console(support::platform(), run.output_name.view())) {
      support::stop_input(
          {.file = std::string(support::without_trailing_blanks(run.output_name.view())),
           .message = std::string("is the file standard ") +
                      (*stream == support::StandardStream::kOutput ? "output" : "error") +
                      " writes to: the console lines would overwrite the data; not written"});
    }
    if (FILOPN(run.units, run.output_name.view(), support::kDataUnit, kQuietUnknown) != kOpened) {
      // From the command line this stops the run; the dialogue takes its error end.
      if (batch != nullptr) {
        report_failed_open(run, "output data file", run.output_name.view());
      }
      return error_end(run, failed_open_message(run, "output data file", run.output_name.view()));
    }
    write_record(run.console, layout::kOneText, kOpeningOk);
  }

  if (const Reason reason = set_options(run)) {
    return error_end(run, *reason);
  }

  // The records go to the console lines, the data file (not in a check run), the counts of the
  // summary and the report, if any. What was converted is counted however the run ends.
  const bool writes_data = batch == nullptr || !batch->check;
  SinkList sinks;
  ConsoleLines console_lines(run.console);
  sinks.add(console_lines);
  std::optional<datafile::DataFileWriter> data_file;
  if (writes_data) {
    sinks.add(data_file.emplace(run.units.output(support::kDataUnit)));
  }
  RecordCounter counter;
  sinks.add(counter);
  if (run.report != nullptr) {
    sinks.add(*run.report);
  }
  struct CountGuard {
    RunContext& run;
    const RecordCounter& counter;
    ~CountGuard() { run.records = counter.counts(); }
  } count_guard{run, counter};

  if (std::optional<std::string> reason =
          convert(run, sinks, data_file.has_value() ? &data_file->printer() : nullptr)) {
    return error_end(run, *reason);
  }
  run.units.close(support::kDataUnit);
  if (batch != nullptr) {
    run.console.write_line(summary_line(run, counter.counts()));
  }
  return {};
}

int run_and_report(RunContext& state, support::OutputUnit& errors, std::string* stop_report) {
  state.errors = &errors;
  if (state.batch != nullptr) {
    state.warnings.bind(errors, state.batch->strict, state.batch->warnings);
  } else {
    state.warnings.bind(errors, false);
  }
  // A run that stops leaves the output data file as it was, and says so after the reason.
  const auto leave_output = [&] {
    const std::string name = state.units.connected(support::kDataUnit)
                                 ? state.units.name(support::kDataUnit)
                                 : std::string();
    const support::ReplacedFile::Abandoned done = state.units.abandon(support::kDataUnit);
    if (done.left) {
      errors.write_rendered(support::left_as_it_was(name));
    }
    if (!done.leftover.empty()) {
      errors.write_rendered(
          support::format_report({.file = done.leftover,
                                  .message = "cannot remove this temporary file: " +
                                             support::platform().reason(done.error)}));
    }
    errors.flush();
  };
  state.end = run_to_end([&] { return run(state); });
  switch (state.end.kind) {
    case EndKind::kNormal:
    case EndKind::kErrorBlock:
      break;
    case EndKind::kStopped: {
      // Memory that runs out for the report leaves the line that says so in its place.
      std::string report;
      note_end([&] { report = support::format_report(*state.end.stop); });
      state.console.flush();
      errors.write_rendered(report.empty() ? kOutOfMemory : std::string_view(report));
      if (stop_report != nullptr) {
        note_end([&] { *stop_report = report; });
      }
      leave_output();
      break;
    }
    case EndKind::kFault:
      state.console.flush();
      errors.write_rendered(support::format_report({.message = state.end.reason}));
      leave_output();
      break;
    case EndKind::kOutOfMemory:
      // What is written here needs no memory of its own but the texts' (a few hundred bytes).
      state.console.flush();
      errors.write_rendered(kOutOfMemory);
      leave_output();
      if (stop_report != nullptr) {
        *stop_report = kOutOfMemory;
      }
      note_end([&] { state.end.reason = "out of memory"; });
      break;
  }
  state.warnings.finish();
  return state.end.status();
}

}  // namespace qel2br::driver
