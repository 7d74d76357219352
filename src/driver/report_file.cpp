// The conversion report file: heading, date and writing.
#include "driver/report_file.hpp"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

#include "driver/batch.hpp"
#include "driver/exit_status.hpp"
#include "driver/run.hpp"
#include "report/html_report.hpp"
#include "support/warnings.hpp"

namespace qel2br::driver {

namespace {

constexpr std::string_view kDateLabel = " Date : ";

std::string two_digits(int value) {
  return std::string(value < 10 ? "0" : "") + std::to_string(value);
}

std::string without_trailing_blanks(std::string_view text) {
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(last == std::string_view::npos ? std::string_view{}
                                                    : text.substr(0, last + 1));
}

}  // namespace

std::string report_date(std::string_view run_date_text, const char* source_date_epoch) {
  if (source_date_epoch != nullptr) {
    const std::string_view text(source_date_epoch);
    std::int64_t seconds = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), seconds);
    std::tm moment{};
    const auto when = static_cast<std::time_t>(seconds);
    if (!text.empty() && result.ec == std::errc{} && result.ptr == text.data() + text.size() &&
        seconds >= 0 && gmtime_r(&when, &moment) != nullptr) {
      return std::to_string(moment.tm_year + 1900) + "-" + two_digits(moment.tm_mon + 1) + "-" +
             two_digits(moment.tm_mday) + " " + two_digits(moment.tm_hour) + ":" +
             two_digits(moment.tm_min) + ":" + two_digits(moment.tm_sec) + " UTC";
    }
  }
  std::string_view date = run_date_text;
  if (date.starts_with(kDateLabel)) {
    date.remove_prefix(kDateLabel.size());
  }
  return without_trailing_blanks(date);
}

void fill_report_heading(const sections::RunState& run, const ReportFacts& facts,
                         report::ReportData& data) {
  data.input_file = std::string(facts.input);
  data.output_file = std::string(facts.output);
  data.date = facts.date;
  data.version = std::string(facts.version);
  data.check_only = facts.check;
  data.mode = run.use_groups ? report::SetMode::kGroups : report::SetMode::kElements;
  data.group_file = std::string(facts.group_file);
  data.element_file = std::string(facts.element_file);
  // Without element numbers nothing is checked, whatever file was named.
  data.element_check = !run.use_groups && !run.element_numbers.empty();
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
}

ReportFile::~ReportFile() {
  if (file_ != nullptr) {
    static_cast<void>(std::fclose(file_));
  }
}

std::string ReportFile::open(const std::string& path) {
  errno = 0;
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) {
    return errno != 0 ? std::strerror(errno) : "cannot be opened";
  }
  return "";
}

std::string ReportFile::write(std::string_view page) {
  if (file_ == nullptr) {
    return "not open";
  }
  errno = 0;
  const bool written = std::fwrite(page.data(), 1, page.size(), file_) == page.size();
  const int write_error = errno;
  errno = 0;
  const bool closed = std::fclose(file_) == 0;
  const int close_error = errno;
  file_ = nullptr;
  if (!written) {
    return write_error != 0 ? std::strerror(write_error) : "write failed";
  }
  if (!closed) {
    return close_error != 0 ? std::strerror(close_error) : "close failed";
  }
  return "";
}

int run_with_report(sections::RunState& run, support::OutputUnit& errors, const std::string& path,
                    std::string_view version) {
  const BatchOptions empty;
  const BatchOptions& batch = run.batch != nullptr ? *run.batch : empty;
  const auto refuse = [&](std::string_view reason) {
    errors.write_line("qel2br: " + path + ": " + std::string(reason) +
                      "; the report is not written and nothing is converted");
    errors.flush();
    return kInputStop;
  };
  // Opening the report empties it: it must not be one of the files the run reads or writes.
  const std::vector<std::pair<std::string_view, std::string>> others{
      {"input card file", batch.input},
      {"output data file", batch.output},
      {"element-number file", batch.elements.value_or("")},
      {"group-name file", batch.groups.value_or("")}};
  for (const auto& [what, name] : others) {
    std::error_code error;
    if (!name.empty() && std::filesystem::equivalent(path, name, error) && !error) {
      return refuse("the report would overwrite the " + std::string(what));
    }
  }
  ReportFile file;
  if (const std::string reason = file.open(path); !reason.empty()) {
    return refuse("cannot be written: " + reason);
  }

  report::ReportData data;
  std::vector<support::KeptWarning> kept;
  run.report = &data;
  run.warnings.keep(&kept);
  std::string stop_report;
  int status = run_and_report(run, errors, &stop_report);
  run.report = nullptr;
  run.warnings.keep(nullptr);

  fill_report_heading(run,
                      {.input = batch.input,
                       .output = batch.output,
                       .element_file = batch.elements.value_or(""),
                       .group_file = batch.groups.value_or(""),
                       .version = version,
                       .date = report_date(run.date_text.view(), std::getenv("SOURCE_DATE_EPOCH")),
                       .check = batch.check,
                       .status = status,
                       .stop_text = stop_report},
                      data);
  for (support::KeptWarning& warning : kept) {
    data.warnings.push_back({.file = std::move(warning.file),
                             .line = warning.line,
                             .text = std::move(warning.message)});
  }
  if (const std::string reason = file.write(report::render_report(data)); !reason.empty()) {
    errors.write_line("qel2br: " + path + ": the report cannot be written: " + reason);
    errors.flush();
    status = kInputStop;
  }
  return status;
}

}  // namespace qel2br::driver
