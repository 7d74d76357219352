// Report data for the report tests.
#include "report/sample_report.hpp"

#include <string>

namespace qel2br::report::testing {

ReportData sample_report(std::size_t points, SetMode mode) {
  ReportData data;
  data.input_file = "in<put> & \"x\".inp";
  data.output_file = "out.txt";
  data.date = "2026-01-02 03:04:05";
  data.version = "1.1";
  data.titles = {"PLATFORM <A> & B \xE9T\xC9"};
  data.levels_set = true;
  data.mud_plane_z = -100.0;
  data.water_depth = 100.0;
  data.still_water_z = 0.0;
  data.sea_states.push_back({.line = 4,
                             .load_case = 3,
                             .theory = "Airy",
                             .type_code = 1.0,
                             .height = 10.0,
                             .period = 12.0,
                             .direction = 45.0,
                             .phase = 0.0});
  Current current{.line = 7, .direction = 90.0, .points = {}};
  for (std::size_t i = 0; i < points; ++i) {
    const double card = 100.0 * static_cast<double>(i) / static_cast<double>(points);
    current.points.push_back({.line = static_cast<std::int64_t>(7 + i),
                              .card_elevation = card,
                              .elevation = card - 100.0,
                              .card_value = 0.5 + card / 200.0,
                              .value = 0.5 + card / 200.0});
    data.marine_growth.points.push_back({.line = static_cast<std::int64_t>(200 + i),
                                         .card_elevation = card,
                                         .elevation = card - 100.0,
                                         .card_value = 0.05,
                                         .value = 0.05});
    data.coefficients.points.push_back({.line = static_cast<std::int64_t>(400 + i),
                                        .card_elevation = card,
                                        .elevation = card - 100.0,
                                        .card_value = 0.7,
                                        .value = 0.7,
                                        .card_value2 = 2.0,
                                        .value2 = 2.0});
  }
  data.currents.push_back(current);
  data.marine_growth.written = points >= 2;
  data.coefficients.written = points >= 2;
  data.mode = mode;
  if (mode == SetMode::kGroups) {
    data.group_file = "groups.txt";
    data.groups.push_back({.line = 12, .name = "LEG<A>", .number = 7});
  } else {
    data.element_check = true;
    data.element_file = "elements.txt";
    data.element_records.push_back({.keyword = "SPEC",
                                    .line = 3,
                                    .cd = 0.7,
                                    .cm = 2.0,
                                    .elements = {101, 103, 105, 106, 107},
                                    .left_out = {102, 104}});
    data.flooded = {.lines = {9, 10}, .elements = {11, 12, 13, 14}, .left_out = {}};
    data.non_hydro = {.lines = {13}, .elements = {501, 503}, .left_out = {505}};
  }
  data.warnings.push_back(
      {.file = "in<put> & \"x\".inp", .line = 5, .text = "SEA card: \"24,5\" <read> as 24 \x80"});
  return data;
}

}  // namespace qel2br::report::testing
