// The run sequence and its console dialogue.
#include "driver/run.hpp"

#include <algorithm>
#include <string>

#include "driver/batch.hpp"
#include "driver/card_checks.hpp"
#include "driver/exit_status.hpp"
#include "driver/file_open.hpp"
#include "driver/header.hpp"
#include "driver/set_options.hpp"
#include "layout/layout.hpp"
#include "sections/headings.hpp"
#include "sections/sections.hpp"
#include "support/input_stop.hpp"

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
constexpr std::string_view kNonexistingFile = " Nonexisting file :";
constexpr std::string_view kOpeningOk = " Opening PrintFile OK";
constexpr std::string_view kWouldOverwrite =
    " Output file would overwrite the input card file: not opened";
constexpr std::string_view kError = " Error ";
constexpr std::string_view kEndOfFile = "' ------------ e o f -------------";

// The error end: " Error " between two empty lines, the output data file closed without its
// end lines.
int error_end(sections::RunState& run) {
  write_record(run.console, kBlockMessage, kError);
  run.units.close(support::kDataUnit);
  return kErrorEnd;
}

}  // namespace

int run(sections::RunState& run) {
  DATTXT(run.date_text, 6);
  const sections::BatchOptions* const batch = run.batch;
  if (batch == nullptr) {
    write_record(run.console, kBanner);
  }

  take_answer(run, kGiveInput, run.input_name, batch != nullptr ? batch->input : "");
  while (FILOPN(run.units, run.input_name.view(), support::kCardUnit, kQuietOld) != kOpened) {
    report_failed_open(run, "input card file", run.input_name.view());
    write_record(run.console, layout::kTwoTexts, kNonexistingFile, run.input_name.view());
    ask_file_name(run, kGiveInput, run.input_name);
  }
  run.cards.attach(run.units.lines(support::kCardUnit), run.units.name(support::kCardUnit));
  run.cards.set_warnings(&run.warnings);

  // A check run opens no output data file: its lines are only counted.
  if (batch == nullptr || !batch->check) {
    take_answer(run, kGiveOutput, run.output_name, batch != nullptr ? batch->output : "");
    // Opening the input card file for output would empty it: refuse whatever the spelling.
    if (run.units.same_file(support::kCardUnit, run.output_name.view())) {
      write_record(run.console, layout::kOneText, kWouldOverwrite);
      return error_end(run);
    }
    if (FILOPN(run.units, run.output_name.view(), support::kDataUnit, kQuietUnknown) != kOpened) {
      report_failed_open(run, "output data file", run.output_name.view());
      return error_end(run);
    }
    write_record(run.console, layout::kOneText, kOpeningOk);
  }

  if (set_options(run) != 0) {
    return error_end(run);
  }

  // A run from the command line counts the records it writes for its summary.
  RecordCounter counter(batch == nullptr || batch->check ? nullptr
                                                         : &run.units.output(support::kDataUnit));
  struct TapGuard {
    sections::RunState& run;
    ~TapGuard() { run.data_tap = nullptr; }
  } tap_guard{run};
  if (batch != nullptr) {
    run.data_tap = &counter;
  }

  check_cards(run);
  write_run_header(run);
  run.cards.rewind();

  sections::WRHEAD(run);
  sections::WRLEVL(run);
  sections::WRPREA(run);
  sections::WRWAVE(run);
  sections::WRCURR(run);
  sections::WRPROF(run);

  if (run.use_groups) {
    if (sections::WRGRPP(run) != 0) {
      return error_end(run);
    }
  } else {
    sections::WRELMP(run);
    sections::WRFLEL(run);
  }

  write_record(run.output(), layout::kOneText, sections::kMark);
  write_record(run.output(), layout::kOneText, kEndOfFile);
  run.units.close(support::kDataUnit);
  if (batch != nullptr) {
    run.console.write_line(summary_line(run, counter));
  }
  return kNormalEnd;
}

int run_and_report(sections::RunState& state, support::OutputUnit& errors,
                   std::string* stop_report) {
  state.errors = &errors;
  state.warnings.bind(errors, state.batch != nullptr && state.batch->strict);
  int status = kInputStop;
  try {
    status = run(state);
  } catch (const support::InputStop& stop) {
    // A write of the output data file that failed before the stop is what stopped the run.
    std::string report = support::format_report(stop);
    try {
      state.units.settle();
    } catch (const support::InputStop& write_stop) {
      report = support::format_report(write_stop);
    }
    state.console.flush();
    errors.write_rendered(report);
    if (stop_report != nullptr) {
      *stop_report = report;
    }
    // The lines written before the stop are kept; when even that fails, it is said too.
    try {
      state.units.close(support::kDataUnit);
    } catch (const support::InputStop& second) {
      errors.write_rendered(support::format_report(second));
    }
    errors.flush();
    status = kInputStop;
  } catch (const support::InternalFault& fault) {
    state.console.flush();
    errors.write_rendered(support::format_report({.message = "internal error: " + fault.what}));
    errors.flush();
    status = kInternalFault;
  }
  state.warnings.finish();
  return status;
}

}  // namespace qel2br::driver
