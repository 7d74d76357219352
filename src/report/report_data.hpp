// ReportData: what the conversion report shows, gathered from the values the run computed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "records/records.hpp"

namespace qel2br::report {

// One warning of the run: the file and line it is about (line 0: the file as a whole) and its
// text.
struct Warning {
  std::string file{};
  std::int64_t line = 0;
  std::string text{};
};

// One SEA card as its wave record holds it: height in metres, the other values as read.
struct SeaState {
  std::int64_t line = 0;
  std::int32_t load_case = 0;
  std::string theory{};
  double type_code = 0.0;
  double height = 0.0;
  double period = 0.0;
  double direction = 0.0;
  double phase = 0.0;
};

// One profile point: the elevation and values as the card gives them (input units) and as
// written (elevation in metres on the output datum, values converted).
using ProfilePoint = records::ProfilePoint;

// One current: its CRNT card, its direction and its points in card order.
struct Current {
  std::int64_t line = 0;
  double direction = 0.0;
  std::vector<ProfilePoint> points{};
};

// A depth profile (marine growth or Cd/Cm): its points in card order. It is written only with
// at least two points.
struct Profile {
  std::vector<ProfilePoint> points{};
  bool written = false;
};

// One usable SPEC or SPEX card: its coefficients, the elements written for it and those that
// the element ID check left out.
struct ElementRecord {
  std::string keyword{};
  std::int64_t line = 0;
  double cd = 0.0;
  double cm = 0.0;
  std::vector<std::int32_t> elements{};
  std::vector<std::int32_t> left_out{};
};

// The flooded or non-hydrodynamic element set: the lines of its cards, the elements written
// and those left out.
struct ElementSet {
  std::vector<std::int64_t> lines{};
  std::vector<std::int32_t> elements{};
  std::vector<std::int32_t> left_out{};
};

// One flooded-group record of group mode.
struct GroupRecord {
  std::int64_t line = 0;
  std::string name{};
  std::int32_t number = 0;
};

enum class SetMode { kElements, kGroups };

// Everything the report shows, in the order of the output data file.
struct ReportData {
  // Heading.
  std::string input_file{};
  std::string output_file{};
  std::string date{};
  std::string version{};
  bool check_only = false;  // nothing was written: the report shows what would have been
  std::vector<std::string> titles{};
  double length_factor = 1.0;
  double mass_factor = 1.0;

  // Water levels, metres.
  bool levels_set = false;
  double mud_plane_z = 0.0;
  double water_depth = 0.0;
  double still_water_z = 0.0;

  std::vector<SeaState> sea_states{};
  std::vector<Current> currents{};
  Profile marine_growth;
  Profile coefficients;  // value: Cd, value2: Cm

  SetMode mode = SetMode::kElements;
  bool element_check = false;  // element numbers checked against an element-number file
  std::string element_file{};
  std::string group_file{};
  std::vector<ElementRecord> element_records{};
  ElementSet flooded;
  ElementSet non_hydro;
  std::vector<GroupRecord> groups{};

  std::vector<Warning> warnings{};
  // How the run ended, when not normally (empty after a normal end), and the report of the
  // input stop that ended it.
  std::string end_note{};
  std::string stop_report{};
};

}  // namespace qel2br::report
