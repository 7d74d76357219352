// The conversion report page: ReportData as one self-contained HTML file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>

#include "report/report_data.hpp"

namespace qel2br::report {

// render_report(data): the whole page, inline CSS and inline SVG, no script and no external
// resource; every text taken from the input or the command line is escaped. The page is also
// well-formed XML.
[[nodiscard]] std::string render_report(const ReportData& data);

// element_ranges(elements, most_runs): the numbers in their order, runs of consecutive numbers
// joined ("101-112, 201, 203"); "none" for an empty list. After most_runs runs the rest is
// counted (", and 12 more").
[[nodiscard]] std::string element_ranges(
    std::span<const std::int32_t> elements,
    std::size_t most_runs = std::numeric_limits<std::size_t>::max());

}  // namespace qel2br::report
