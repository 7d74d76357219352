// The report's sink.
#include "report/report_collector.hpp"

#include <string>
#include <string_view>

#include "support/text.hpp"

namespace qel2br::report {

namespace {

// The elements written: those of the list greater than 0.
std::vector<std::int32_t> written(const std::vector<std::int32_t>& positions) {
  std::vector<std::int32_t> elements;
  for (const std::int32_t e : positions) {
    if (e > 0) {
      elements.push_back(e);
    }
  }
  return elements;
}

}  // namespace

void ReportCollector::heading(const records::Heading& heading) {
  data_.titles.insert(data_.titles.end(), heading.titles.begin(), heading.titles.end());
}

void ReportCollector::units(const records::Units& units) {
  data_.length_factor = units.length_factor;
  data_.mass_factor = units.mass_factor;
}

void ReportCollector::levels(const records::WaterLevels& levels) {
  data_.levels_set = true;
  data_.mud_plane_z = levels.mud_plane_z;
  data_.water_depth = levels.water_depth;
  data_.still_water_z = levels.still_water_z;
}

void ReportCollector::sea_state(const records::SeaState& state) {
  const std::string_view name = support::without_trailing_blanks(state.theory.view());
  data_.sea_states.push_back({.line = state.line,
                              .load_case = records::kLoadCase,
                              .theory = std::string(name),
                              .type_code = state.type_code,
                              .height = state.height,
                              .period = state.period,
                              .direction = state.direction,
                              .phase = state.phase});
}

void ReportCollector::current(const records::Current& current) {
  data_.currents.push_back(
      {.line = current.line, .direction = current.direction, .points = current.points});
}

void ReportCollector::profile(const records::DepthProfile& profile) {
  Profile& noted = profile.kind == records::ProfileKind::kMarineGrowth ? data_.marine_growth
                                                                       : data_.coefficients;
  noted.points = profile.points;
  noted.written = profile.written();
}

void ReportCollector::element_record(const records::ElementRecord& record) {
  data_.element_records.push_back({.keyword = std::string(record.keyword.view()),
                                   .line = record.line,
                                   .cd = record.cd,
                                   .cm = record.cm,
                                   .elements = written(record.positions),
                                   .left_out = record.left_out});
}

void ReportCollector::element_set(const records::ElementSet& set) {
  ElementSet& noted = set.kind == records::SetKind::kFlooded ? data_.flooded : data_.non_hydro;
  noted.lines = set.lines;
  noted.elements = written(set.positions);
  noted.left_out = set.left_out;
}

void ReportCollector::group(const records::GroupRecord& group) {
  data_.groups.push_back({.line = group.line,
                          .name = std::string(support::without_trailing_blanks(group.name.view())),
                          .number = group.number});
}

}  // namespace qel2br::report
