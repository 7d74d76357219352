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

// The part of the page a block of the data file belongs to.
Part part_of(records::Block block) {
  switch (block) {
    case records::Block::kWaves:
      return Part::kWaves;
    case records::Block::kCurrents:
      return Part::kCurrents;
    case records::Block::kProfiles:
      return Part::kProfiles;
    case records::Block::kGroups:
    case records::Block::kElementProperties:
    case records::Block::kSpec:
    case records::Block::kSpex:
    case records::Block::kElementSets:
      break;
  }
  return Part::kElements;
}

Reach& reach(ReportData& data, Part part) { return data.reached[static_cast<std::size_t>(part)]; }

}  // namespace

void ReportCollector::open(records::Block block) {
  Reach& part = reach(data_, part_of(block));
  if (part == Reach::kNotReached) {
    part = Reach::kStarted;
  }
}

void ReportCollector::close(records::Block block) {
  // The element part ends with its last block: the groups, or the flooded and non-hydrodynamic
  // sets after the element properties.
  if (block == records::Block::kGroups || block == records::Block::kElementSets ||
      part_of(block) != Part::kElements) {
    reach(data_, part_of(block)) = Reach::kDone;
  }
}

void ReportCollector::heading(const records::Heading& heading) {
  reach(data_, Part::kHeading) = Reach::kDone;
  data_.titles.insert(data_.titles.end(), heading.titles.begin(), heading.titles.end());
}

void ReportCollector::units(const records::Units& units) {
  data_.length_factor = units.length_factor;
  data_.mass_factor = units.mass_factor;
}

void ReportCollector::levels(const records::WaterLevels& levels) {
  reach(data_, Part::kLevels) = Reach::kDone;
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
                              .phase = state.phase,
                              .surface_level = state.surface_level,
                              .depth = state.depth});
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
