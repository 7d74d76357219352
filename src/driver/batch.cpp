// Runs from the command line: answers from the arguments, reasons for failed opens, summary.
#include "driver/batch.hpp"

#include <algorithm>
#include <string>

#include "driver/file_open.hpp"
#include "driver/standard_streams.hpp"
#include "layout/layout.hpp"
#include "support/input_stop.hpp"
#include "support/text.hpp"
#include "support/unit_table.hpp"
#include "support/warnings.hpp"

namespace qel2br::driver {

namespace {

using layout::Layout;
using layout::write_record;

constexpr std::string_view kNonexistingFile = " Nonexisting file :";

// "1 wave record", "2 wave records": what is the plural.
std::string counted(std::int64_t n, std::string_view what) {
  return std::to_string(n) + " " + std::string(n == 1 ? what.substr(0, what.size() - 1) : what);
}

}  // namespace

void take_answer(RunContext& run, std::string_view question, std::span<char> text,
                 std::string_view batch_answer) {
  if (run.batch == nullptr) {
    layout::ask(run.answers, run.console, question, text);
    return;
  }
  support::copy_text(batch_answer, text);
}

std::string failed_open_message(const RunContext& run, std::string_view what,
                                std::string_view name) {
  return "cannot open the " + std::string(what) + " \"" +
         std::string(support::without_trailing_blanks(name)) + "\": " + run.units.open_failure();
}

void ask_file_name(RunContext& run, std::string_view question, FileName& name) {
  const std::size_t typed = layout::ask(run.answers, run.console, question, name);
  if (typed > name.view().size()) {
    const std::string_view shown = question.substr(0, question.find_last_not_of(" :?") + 1);
    run.warnings.warn(support::WarningKind::kAnswerCut,
                      {.file = "standard input",
                       .line = run.answers.line_number(),
                       .first_column = 1,
                       .last_column = static_cast<int>(std::min<std::size_t>(typed, 1U << 30U))},
                      "the answer to \"" + std::string(shown) + "\" holds " +
                          std::to_string(typed) + " characters, more than the " +
                          std::to_string(name.view().size()) +
                          " of a file name; the name used is \"" +
                          std::string(support::without_trailing_blanks(name.view())) + "\"");
  }
}

void take_answer(RunContext& run, std::string_view question, FileName& name,
                 std::string_view batch_answer) {
  if (run.batch == nullptr) {
    ask_file_name(run, question, name);
    return;
  }
  support::copy_text(batch_answer, std::span<char>(name.data(), name.view().size()));
}

void report_failed_open(RunContext& run, std::string_view what, std::string_view name) {
  const std::string message = failed_open_message(run, what, name);
  if (run.batch != nullptr) {
    support::stop_input({.file = "", .line = 0, .message = message, .detail = ""});
  }
  if (run.errors != nullptr) {
    run.console.flush();
    run.errors->write_rendered(support::format_report({.message = message}));
    run.errors->flush();
  }
}

bool open_asking(RunContext& run, std::string_view question, std::string_view what, FileName& name,
                 int unit, bool (*passed_over)(const FileName&)) {
  // Each turn reads one more answer, and the end of the answers stops the run (a run from the
  // command line stops at its first failed open).
  while (passed_over == nullptr || !passed_over(name)) {
    if (FILOPN(run.units, name.view(), unit, kQuietOld) == kOpened) {
      return true;
    }
    report_failed_open(run, what, name.view());
    write_record(run.console, layout::kTwoTexts, kNonexistingFile, name.view());
    ask_file_name(run, question, name);
  }
  return false;
}

bool refuse_output_file(RunContext& run, int unit, std::string_view refusal) {
  if (!run.units.connected(support::kDataUnit) ||
      !run.units.same_file(unit, run.units.name(support::kDataUnit))) {
    return false;
  }
  write_record(run.console, layout::kOneText, refusal);
  return true;
}

std::string summary_line(const RunContext& run, const results::RecordCounts& counts) {
  std::string line = counted(counts.waves, "wave records") + ", " +
                     counted(counts.currents, "current records") + ", " +
                     counted(counts.profiles, "depth profiles") + ", " +
                     (run.values.use_groups ? counted(counts.group_records, "group records")
                                            : counted(counts.element_records, "element records"));
  if (run.batch != nullptr && run.batch->check) {
    return std::string(shown_input(run.batch->input)) +
           ": checked; the output data file would hold " + line;
  }
  return run.batch != nullptr ? std::string(shown_output(run.batch->output)) + ": " + line : line;
}

}  // namespace qel2br::driver
