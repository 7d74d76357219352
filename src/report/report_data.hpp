// ReportData: what the conversion report shows, gathered from the values the run computed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "records/records.hpp"
#include "results/record_counts.hpp"

namespace qel2br::report {

// One warning of the run: the file and line it is about (line 0: the file as a whole), the
// name of its kind ("" for none) and its text.
struct Warning {
  std::string file{};
  std::int64_t line = 0;
  std::string text{};
  std::string kind{};
};

// The parts of the run, in the order the readers reach them; each is a section of the page.
enum class Part : std::uint8_t {
  kHeading,   // TITL and CONS cards
  kLevels,    // MUDP and DPTH cards
  kWaves,     // SEA cards
  kCurrents,  // CRNT cards
  kProfiles,  // MGRW and COEF cards
  kElements,  // the element sets (element mode) or the groups (group mode)
  kCount,
};
inline constexpr std::size_t kParts = static_cast<std::size_t>(Part::kCount);

// How far the run got in a part.
enum class Reach : std::uint8_t {
  kNotReached,  // the run ended before the part
  kStarted,     // the run ended within the part: what it gave up to there is shown
  kDone,
};

// How the run ended.
enum class Ending : std::uint8_t {
  kNormal,    // the end lines were written (or would have been, in a check run)
  kErrorEnd,  // the error end: the data file has no end lines
  kStopped,   // the input stopped the run
  kFault,     // a fault of the program, or memory that ran out
};

// The status box at the top of the page.
struct RunStatus {
  Ending ending = Ending::kNormal;
  int exit_status = 0;
  // Why the run did not end normally (the error end's reason, the stop's text).
  std::string reason{};
  // Where the input stopped the run (line 0: no line applies; empty file: none).
  std::string stop_file{};
  std::int64_t stop_line = 0;
  results::RecordCounts records{};
  std::int64_t warnings = 0;       // every warning of the run, listed or not
  std::int64_t failed_checks = 0;  // the warnings of the checks of converted values
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
  double surface_level = 0.0;  // the still-water-level Z
  double depth = 0.0;          // the water depth
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
  RunStatus status{};
  // How far the run got in each part (the sink notes it; all done after a normal end).
  std::array<Reach, kParts> reached{};

  // The text of the card lines that the page shows beside the records, by line number, and the
  // cards no record came from (see card_lines.hpp); both filled after the run.
  std::map<std::int64_t, std::string> card_text{};
  struct PassedOver {
    std::string keyword{};  // columns 1-4 as they stand, trailing blanks removed
    std::int64_t count = 0;
    std::vector<std::int64_t> first_lines{};
  };
  std::vector<PassedOver> passed_over{};
  bool passed_over_listed = false;  // false: the card file's lines were not looked at
};

}  // namespace qel2br::report
