// Records: what the output data file holds, block by block, as values. The readers give them in
// the order of the data file; the data file writer, the report, the summary and the results take
// them through a RecordSink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/text.hpp"

namespace qel2br::records {

// The load case of every wave and current record.
inline constexpr std::int32_t kLoadCase = 3;

// The run header of the data file: the date text of the run and the input card file's name as
// typed, each without trailing blanks.
struct RunHeader {
  std::string date{};
  std::string input_name{};
};

// The heading: the text of each TITL card from column 5 to its last non-blank column.
struct Heading {
  std::vector<std::string> titles{};
};

// The unit factors of the first CONS card (1 and 1 without one): what a length and a mass of
// the input are multiplied by to give metres and kilograms.
struct Units {
  double length_factor = 1.0;
  double mass_factor = 1.0;
};

// The water levels, metres: mud-plane Z, water depth and still-water-level Z, and the lines of
// the MUDP and DPTH cards they were read from (0: no such card).
struct WaterLevels {
  double mud_plane_z = 0.0;
  double water_depth = 0.0;
  double still_water_z = 0.0;
  std::int64_t mud_plane_line = 0;
  std::int64_t depth_line = 0;
};

// One SEA card as its wave record: the theory of its type code, the height in metres (0 for a
// theory without height), the other values as read.
struct SeaState {
  std::int64_t line = 0;
  double type_code = 0.0;
  support::Text<8> theory;
  double height = 0.0;
  double period = 0.0;
  double direction = 0.0;
  double phase = 0.0;
  double surface_level = 0.0;  // the still-water-level Z
  double depth = 0.0;          // the water depth
};

// One profile point: the card's line, its elevation and values as the card gives them (input
// units) and as written (elevation in metres relative to the output datum, values converted).
struct ProfilePoint {
  std::int64_t line = 0;
  double card_elevation = 0.0;
  double elevation = 0.0;
  double card_value = 0.0;
  double value = 0.0;
  // The second value of a coefficient card (Cm); unused elsewhere.
  double card_value2 = 0.0;
  double value2 = 0.0;
};

// One current: its CRNT card, the direction as read and its points in card order (the data file
// lists them from the last to the first).
struct Current {
  std::int64_t line = 0;
  double direction = 0.0;
  double surface_level = 0.0;
  double depth = 0.0;
  std::vector<ProfilePoint> points{};
};

enum class ProfileKind : std::uint8_t {
  kMarineGrowth,  // MGRW cards: value is the thickness
  kCoefficients,  // COEF cards: value is Cd, value2 Cm
};

// A depth profile: its points in card order. It is written only with at least two points.
struct DepthProfile {
  ProfileKind kind = ProfileKind::kMarineGrowth;
  std::vector<ProfilePoint> points{};
  [[nodiscard]] bool written() const { return points.size() >= 2; }
};

// One usable SPEC or SPEX card: its coefficients and its element list after the element ID
// check, by list position (0 where the check left an element out or the range gave none); the
// data file lists five positions to a line.
struct ElementRecord {
  support::Text<4> keyword;
  std::int64_t line = 0;
  double cd = 0.0;
  double cm = 0.0;
  std::vector<std::int32_t> positions{};
  std::vector<std::int32_t> left_out{};
};

enum class SetKind : std::uint8_t { kFlooded, kNonHydro };

// The flooded (FLOO) or non-hydrodynamic (ELIM) elements of element mode: the lines of the cards
// that gave elements and where each card's positions end in the list (card_ends[i] for lines[i]),
// the merged list after the element ID check by list position, and the elements the check left
// out.
struct ElementSet {
  SetKind kind = SetKind::kFlooded;
  std::vector<std::int64_t> lines{};
  std::vector<std::size_t> card_ends{};
  std::vector<std::int32_t> positions{};
  std::vector<std::int32_t> left_out{};
};

// One flooded-group record of group mode: the FLOO card as it stands (shown on the console), the
// group and its number.
struct GroupRecord {
  std::int64_t line = 0;
  support::Text<80> card;
  support::Text<8> name;
  std::int32_t number = 0;
};

// A FLOO card whose group has no number: the run takes its error end. undefined: the group is
// not on the group table (the console shows the card and the group); otherwise the lookup
// reported why on the data file.
struct GroupFailure {
  std::int64_t line = 0;
  support::Text<8> name;
  bool undefined = false;
  std::string reason{};
};

// Lines the group table's lookups report on the console, as they stand (each ends in a line
// feed).
struct LookupMessages {
  std::string text{};
};

// The blocks of the data file, in order: a reader opens and closes each one it gives.
enum class Block : std::uint8_t {
  kWaves,
  kCurrents,
  kProfiles,           // the depth-profile banner and the profiles
  kGroups,             // group mode: the group property block
  kElementProperties,  // element mode: the element-by-element block, its SPEC then SPEX records
  kSpec,
  kSpex,
  kElementSets,  // element mode: the flooded and non-hydrodynamic records
};

// Takes the records of a run in data-file order. Every function does nothing unless a sink
// takes that record.
class RecordSink {
 public:
  RecordSink() = default;
  RecordSink(const RecordSink&) = default;
  RecordSink& operator=(const RecordSink&) = default;
  RecordSink(RecordSink&&) = default;
  RecordSink& operator=(RecordSink&&) = default;
  virtual ~RecordSink() = default;

  virtual void run_header(const RunHeader& /*header*/) {}
  virtual void heading(const Heading& /*heading*/) {}
  virtual void units(const Units& /*units*/) {}
  virtual void levels(const WaterLevels& /*levels*/) {}
  // The fixed block that opens the wave and current part.
  virtual void preamble() {}
  virtual void open(Block /*block*/) {}
  virtual void close(Block /*block*/) {}
  virtual void sea_state(const SeaState& /*state*/) {}
  virtual void current(const Current& /*current*/) {}
  virtual void profile(const DepthProfile& /*profile*/) {}
  virtual void element_record(const ElementRecord& /*record*/) {}
  virtual void element_set(const ElementSet& /*set*/) {}
  virtual void group(const GroupRecord& /*group*/) {}
  virtual void group_failure(const GroupFailure& /*failure*/) {}
  virtual void lookup_messages(const LookupMessages& /*messages*/) {}
  // The lines of the next record, printed ahead of its turn by the run's LinePrinter (a sink
  // that prints the records takes these instead of printing that record again).
  virtual void printed(std::string_view /*lines*/) {}
  // The end lines of a normal end.
  virtual void end() {}
};

// The elements listed five positions to a line: how many lines a list of positions gives (a
// group of five without an element gives none).
[[nodiscard]] std::int64_t element_lines(std::span<const std::int32_t> positions);

}  // namespace qel2br::records
