// Report data for the report tests: a run with the given number of current and profile points,
// and texts that need escaping.
#pragma once

#include <cstddef>

#include "report/report_data.hpp"

namespace qel2br::report::testing {

// A report of an element-mode run (or group mode) whose current and profiles have points
// points each, with a file name, a title, a group name and a warning holding markup
// characters and bytes that are not UTF-8.
[[nodiscard]] ReportData sample_report(std::size_t points, SetMode mode);

}  // namespace qel2br::report::testing
