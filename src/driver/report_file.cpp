// The conversion report file: heading, date and writing.
#include "driver/report_file.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <new>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "driver/batch.hpp"
#include "driver/exit_status.hpp"
#include "driver/run.hpp"
#include "driver/standard_streams.hpp"
#include "report/card_lines.hpp"
#include "report/html_report.hpp"
#include "report/report_collector.hpp"
#include "support/text.hpp"
#include "support/warnings.hpp"
#include "support/write_all.hpp"

namespace qel2br::driver {

namespace {

constexpr std::string_view kDateLabel = " Date : ";

std::string two_digits(int value) {
  return std::string(value < 10 ? "0" : "") + std::to_string(value);
}

// The status box of the run's end.
report::RunStatus run_status(const RunContext& run, int status) {
  report::RunStatus box{
      .exit_status = status, .records = run.records, .warnings = run.warnings.total()};
  switch (run.end.kind) {
    case EndKind::kNormal:
      box.ending = report::Ending::kNormal;
      break;
    case EndKind::kErrorBlock:
      box.ending = report::Ending::kErrorEnd;
      box.reason = run.end.reason;
      break;
    case EndKind::kStopped:
      box.ending = report::Ending::kStopped;
      if (run.end.stop.has_value()) {
        box.reason = run.end.stop->message;
        box.stop_file = run.end.stop->file;
        box.stop_line = run.end.stop->line;
      }
      break;
    case EndKind::kFault:
    case EndKind::kOutOfMemory:
      box.ending = report::Ending::kFault;
      box.reason = run.end.kind == EndKind::kFault ? run.end.reason : "out of memory";
      break;
  }
  for (std::size_t k = 0; k < support::kWarningKinds; ++k) {
    if (support::is_check(static_cast<support::WarningKind>(k))) {
      box.failed_checks += run.warnings.count(static_cast<support::WarningKind>(k));
    }
  }
  return box;
}

}  // namespace

std::string report_date(std::string_view run_date_text, const char* source_date_epoch) {
  if (source_date_epoch != nullptr) {
    const std::string_view text(source_date_epoch);
    std::int64_t seconds = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), seconds);
    // Up to the year 9999.
    constexpr std::int64_t kLastSecond = 253402300799;
    if (!text.empty() && result.ec == std::errc{} && result.ptr == text.data() + text.size() &&
        seconds >= 0 && seconds <= kLastSecond) {
      using std::chrono::days;
      const std::chrono::sys_seconds when{std::chrono::seconds{seconds}};
      const auto day = std::chrono::floor<days>(when);
      const std::chrono::year_month_day date{day};
      const std::chrono::hh_mm_ss time{when - day};
      return std::to_string(static_cast<int>(date.year())) + "-" +
             two_digits(static_cast<int>(static_cast<unsigned>(date.month()))) + "-" +
             two_digits(static_cast<int>(static_cast<unsigned>(date.day()))) + " " +
             two_digits(static_cast<int>(time.hours().count())) + ":" +
             two_digits(static_cast<int>(time.minutes().count())) + ":" +
             two_digits(static_cast<int>(time.seconds().count())) + " UTC";
    }
  }
  std::string_view date = run_date_text;
  if (date.starts_with(kDateLabel)) {
    date.remove_prefix(kDateLabel.size());
  }
  return std::string(support::without_trailing_blanks(date));
}

void fill_report_heading(const RunContext& run, const ReportFacts& facts,
                         report::ReportData& data) {
  data.input_file = std::string(facts.input);
  data.output_file = std::string(facts.output);
  data.date = facts.date;
  data.version = std::string(facts.version);
  data.check_only = facts.check;
  data.mode = run.values.use_groups ? report::SetMode::kGroups : report::SetMode::kElements;
  data.group_file = std::string(facts.group_file);
  data.element_file = std::string(facts.element_file);
  // Without element numbers nothing is checked, whatever file was named.
  data.element_check = !run.values.use_groups && !run.values.elements->numbers.empty();
  if (facts.status == kErrorEnd) {
    data.end_note =
        "The run took its error end: the output data file has no end lines, and "
        "the report shows what was converted up to there.";
  } else if (facts.status == kInputStop) {
    data.end_note =
        "The input stopped the run (exit status 2); the report shows what was "
        "converted up to there.";
    data.stop_report = std::string(facts.stop_text);
  } else if (facts.status != kNormalEnd) {
    data.end_note = "The run ended with exit status " + std::to_string(facts.status) + ".";
  }
  data.status = run_status(run, facts.status);
}

ReportFile::~ReportFile() {
  if (file_.open()) {
    static_cast<void>(system_.close(file_));
  }
}

std::string ReportFile::open(const std::string& path) {
  if (const int error = replaced_.open(path); error != 0) {
    return system_.reason(error);
  }
  file_ = replaced_.handle();
  // A file written in place holds its old text until it is emptied.
  if (const int error = replaced_.in_place() ? system_.empty(file_) : 0; error != 0) {
    static_cast<void>(system_.close(std::exchange(file_, support::FileHandle{})));
    return system_.reason(error);
  }
  return "";
}

std::string ReportFile::write(std::string_view page) {
  if (!file_.open()) {
    return "not open";
  }
  const int write_error = support::write_all(system_, file_, page);
  const int close_error = system_.close(std::exchange(file_, support::FileHandle{}));
  const int error = write_error != 0   ? write_error
                    : close_error != 0 ? close_error
                                       : replaced_.commit();
  if (error != 0) {
    const support::ReplacedFile::Abandoned done = replaced_.abandon();
    return system_.reason(error) + (done.leftover.empty()
                                        ? std::string()
                                        : "; the temporary file " + done.leftover +
                                              " cannot be removed: " + system_.reason(done.error));
  }
  return "";
}

int run_with_report(RunContext& run, support::OutputUnit& errors, const std::string& path,
                    std::string_view version) {
  const BatchOptions empty;
  const BatchOptions& batch = run.batch != nullptr ? *run.batch : empty;
  const auto refuse = [&](std::string_view reason) {
    run.end.kind = EndKind::kStopped;
    run.end.stop = support::InputStop{
        .file = path,
        .message = std::string(reason) + "; the report is not written and nothing is converted"};
    errors.write_line("qel2br: " + path + ": " + run.end.stop->message);
    errors.flush();
    return kInputStop;
  };
  // That the report is none of the run's other files was checked before the run
  // (check_run_files).
  ReportFile file;
  if (const std::string reason = file.open(path); !reason.empty()) {
    return refuse("cannot be written: " + reason);
  }

  report::ReportData data;
  report::ReportCollector collector(data);
  run.report = &collector;
  run.warnings.keep(&run.kept_warnings);
  std::string stop_report;
  run.units.hold_replacements();
  int status = run_and_report(run, errors, &stop_report);
  run.report = nullptr;

  fill_report_heading(run,
                      {.input = shown_input(batch.input),
                       .output = shown_output(batch.output),
                       .element_file = batch.elements.value_or(""),
                       .group_file = batch.groups.value_or(""),
                       .version = version,
                       .date = report_date(run.date_text.view(), std::getenv("SOURCE_DATE_EPOCH")),
                       .check = batch.check,
                       .status = status,
                       .stop_text = stop_report},
                      data);
  for (const support::KeptWarning& warning : run.kept_warnings) {
    data.warnings.push_back({.file = warning.file,
                             .line = warning.line,
                             .text = warning.message,
                             .kind = std::string(support::warning_kind_name(warning.kind))});
  }
  // The card lines shown beside the records and the cards passed over, from the card file's
  // text, still held by its unit: it was read when the run ended normally or gave a record
  // (asking for it otherwise could read the file anew).
  if (run.units.connected(support::kCardUnit) &&
      (run.end.kind == EndKind::kNormal || !report::lines_used(data).empty())) {
    report::read_card_lines(run.units.lines(support::kCardUnit).contents(), data);
  }
  // The output data file is put in place once the report is: a run whose report fails ends as
  // a stop, with the old output as it was.
  std::string reason;
  try {
    reason = file.write(report::render_report(data));
  } catch (const std::bad_alloc&) {
    reason = "out of memory";
  }
  const std::string output = run.units.held_name();
  bool failed = !reason.empty();
  if (failed) {
    errors.write_line("qel2br: " + path + ": the report cannot be written: " + reason);
  } else if (const int error = run.units.commit_held(); error != 0) {
    errors.write_line("qel2br: " + output + ": cannot replace the output data file: " +
                      support::platform().reason(error));
    failed = true;
  }
  if (failed) {
    if (run.units.abandon_held().left) {
      errors.write_rendered(support::left_as_it_was(output));
    }
    status = kInputStop;
  }
  errors.flush();
  return status;
}

}  // namespace qel2br::driver
