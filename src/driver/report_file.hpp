// The conversion report file: its heading taken from the run, the page written at the end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "driver/run_context.hpp"
#include "report/report_data.hpp"
#include "support/output_unit.hpp"
#include "support/platform.hpp"
#include "support/replaced_file.hpp"

namespace qel2br::driver {

// report_date(run_date_text, source_date_epoch): the date the report shows. When
// source_date_epoch holds a whole number of seconds since 1970 (the reproducible-builds
// convention of SOURCE_DATE_EPOCH), that moment in UTC as "2026-01-02 03:04:05 UTC"; otherwise
// the run's own date text (" Date : 2026-01-02 03:04:05") without its label.
[[nodiscard]] std::string report_date(std::string_view run_date_text,
                                      const char* source_date_epoch);

// What the report heading says about the run besides what the run state holds.
struct ReportFacts {
  std::string_view input{};
  std::string_view output{};
  std::string_view element_file{};  // empty: none given
  std::string_view group_file{};
  std::string_view version{};
  std::string date{};
  bool check = false;
  int status = 0;                // the run's exit status
  std::string_view stop_text{};  // the input stop report, when the input stopped the run
};

// Fills the heading of data: file names, date, version, set mode and element check from the
// run state and facts, and how the run ended when it did not end normally; then the status box
// from the run's end, record counts and warnings (the failed checks are the warnings of the
// check kinds, as the run counted them).
void fill_report_heading(const RunContext& run, const ReportFacts& facts, report::ReportData& data);

// The report file, opened before the run so that a name that cannot be written ends the run
// before anything is converted.
class ReportFile {
 public:
  // The file is written on the given platform.
  explicit ReportFile(support::Platform& system = support::platform())
      : system_(system), replaced_(system) {}
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;
  ~ReportFile();

  // Opens the file, written under a temporary name beside it (see support::ReplacedFile); returns
  // "" or the system's reason.
  [[nodiscard]] std::string open(const std::string& path);
  // Writes the page, closes the file and puts it in place of the old one; returns "" or the
  // system's reason (the old file is then as it was).
  [[nodiscard]] std::string write(std::string_view page);

 private:
  support::Platform& system_;
  support::ReplacedFile replaced_;
  support::FileHandle file_{};
};

// Runs the conversion of a run from the command line as run_and_report does, and writes the
// conversion report to path at its end, whatever the end. A report name that cannot be opened
// for writing ends the run before anything is converted (one that is another file of the run
// is refused before, by check_run_files); a report that cannot be written makes the status
// kInputStop. The reasons go to errors.
[[nodiscard]] int run_with_report(RunContext& run, support::OutputUnit& errors,
                                  const std::string& path, std::string_view version);

}  // namespace qel2br::driver
