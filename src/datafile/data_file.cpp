// The data file writer: every line of the output data file, from the records.
#include "datafile/data_file.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>

#include "cards/text_routines.hpp"
#include "layout/layout.hpp"
#include "support/input_stop.hpp"
#include "support/numbers.hpp"

namespace qel2br::datafile {

namespace {

using layout::write_record;

// The comment mark: a line of its own between blocks, and the first column of a column legend.
constexpr std::string_view kMark = "'";

// A block heading: a mark line, the rule, the title lines, the rule again and a mark line, each
// line at its full length.
void write_heading(support::OutputUnit& out, std::string_view rule,
                   std::initializer_list<std::string_view> titles) {
  write_record(out, layout::kOneText, kMark);
  write_record(out, layout::kOneText, rule);
  for (const std::string_view title : titles) {
    write_record(out, layout::kOneText, title);
  }
  write_record(out, layout::kOneText, rule);
  write_record(out, layout::kOneText, kMark);
}

void write_marks(support::OutputUnit& out, int count) {
  for (int i = 0; i < count; ++i) {
    write_record(out, layout::kOneText, kMark);
  }
}

// The run header.
constexpr std::string_view kMarkLine = "'         ";
constexpr std::string_view kEquals1 = "' =======================================";
constexpr std::string_view kEquals2 = "=======================";
constexpr std::string_view kVersion = "'    Qel2Br Version 0.9, 2007_10_31 ";
constexpr std::string_view kConversion = "'    Conversion";
constexpr std::string_view kQelvoFile = "'    Qelvo File      : ";

// Heading and units.
constexpr std::string_view kHeading = "' Heading :  ";
constexpr std::string_view kHeadingMark = "'  ";
constexpr std::string_view kAssumedUnits = "' Assumed Units in Qelvo File :";
constexpr std::string_view kLengthMetre = "'   -Length Unit   : meter ";
constexpr std::string_view kLengthMillimetre = "'   -Length Unit   : mm    ";
constexpr std::string_view kMassKilogram = "'   -Mass   Unit   : kg    ";
constexpr std::string_view kMassTonne = "'   -Mass   Unit   : tonnes";
constexpr double kTonneFactor = 1000.0;
// The bounds that pick a unit line are single-precision constants.
constexpr double kUnitLow = static_cast<double>(0.99F);
constexpr double kUnitHigh = static_cast<double>(1.01F);
constexpr double kMilliLow = static_cast<double>(0.00099F);
constexpr double kMilliHigh = static_cast<double>(0.00101F);

// Water levels.
constexpr layout::Layout kLevel = "(A, F9.3, A)";
constexpr std::string_view kMudPlane = "' MudPlane Z_coordinate:";
constexpr std::string_view kWaterDepth = "' Water Depth          :";
constexpr std::string_view kStillWater = "' Z_coordinate of MWL  :";
constexpr std::string_view kMetres = " [m]";

// The wave and current preamble: the fixed block of comment lines and the four command records
// that prepare a dynamic simulation with load case 3. Each line is written at its full length,
// trailing blanks included. "swithced" is the system's own spelling.
constexpr std::array<std::string_view, 31> kPreamble{
    "'",
    "'",
    "'",
    "' ============================================",
    "' ==       W a v e   &  C u r r e n t      ===",
    "' ============================================",
    "'",
    "' NOTE!                                       ",
    "' All Wave Load Cases are fixed to load case 3",
    "' The Current Load Cases are also given same  ",
    "' load case number.                           ",
    "'                                             ",
    "' Activate Actual Wave (remove #)             ",
    "' and change loadcase no if necessary.        ",
    "'                                             ",
    "' The input is prepared for dynamic simulation",
    "' with TimeHist and LoadHist commands.        ",
    "' Buoyancy is swithced ON                     ",
    "' Relative Velocity is switched ON            ",
    "' --------------------------------------------",
    "'                                             ",
    "'                                             ",
    " Buoyancy    ! Switch ON Buoyancy            ",
    " Rel_Velo    ! Switch ON Relative Velocity   ",
    "'                                             ",
    "'         ID   Type   dT  Fac Start           ",
    " TimeHist  3  Switch   0   1    0            ",
    "'                                             ",
    "'         LCase  TimeHist                     ",
    " LoadHist   3       3      ! Activate Wave   ",
    "'                                             ",
};

// Waves: each a commented-out wave record of load case 3.
constexpr layout::Layout kWaveRecord = "(A, I4, 2X, A, 4F8.2, 2F9.2, I4)";
constexpr std::string_view kWaveDashes = "' -----------------------------------";
constexpr std::string_view kWavesTitle = "' Specification of Waves             ";
// The visible part of the column header; written behind the mark.
constexpr std::string_view kWaveColumns =
    "        LCase Type       Height  Period  Direct  Phase   SurfLev  Depth  nIni";
constexpr std::string_view kWaveData = "#WaveData";
constexpr std::int32_t kInitialSteps = 0;

// Currents.
constexpr layout::Layout kCurrentRecord = "(A, 3I6, 2F9.2)";
constexpr layout::Layout kCurrentPoint = "(50X, 2F9.2)";
constexpr std::string_view kCurrentDashes = "' -----------------------------------";
constexpr std::string_view kCurrentTitle = "' Specification of Current ";
// The visible part of the column header; written behind the mark for every current.
constexpr std::string_view kCurrentColumns =
    "          LCase  Speed Direct SurfLev  Depth       [  Z       Speed ]";
constexpr std::string_view kCurrent = " Current ";
constexpr std::int32_t kSpeedColumn = 1;

// Depth profiles.
constexpr layout::Layout kProfilePoint = "(20X, F9.2, F9.3)";
constexpr std::string_view kBannerEquals = "' ============================================";
constexpr std::string_view kBannerTitle = "' ==  D e p t h   P r o f i l e   D a t a  ===";
constexpr std::string_view kProfileDashes = "' -----------------------------------------";

// One profile record: its title, the visible part of its column legend (written behind the
// mark) and its keyword line.
struct ProfileText {
  std::string_view title{};
  std::string_view legend{};
  std::string_view keyword{};
};
constexpr ProfileText kMarineGrowth{.title = "' Specification of Marine Growth ",
                                    .legend = "                     [  Z       Thick ]",
                                    .keyword = " M_Growth "};
constexpr ProfileText kDrag{.title = "' Specification of Cd Depth Profile ",
                            .legend = "                     [  Z        Cd   ]",
                            .keyword = " Hydro_Cd "};
constexpr ProfileText kInertia{.title = "' Specification of Cm Depth Profile ",
                               .legend = "                     [  Z        Cm   ]",
                               .keyword = " Hydro_Cm "};

// Group properties.
constexpr layout::Layout kFloodedGroup = "(A, I8, 10X, A, A)";
constexpr std::string_view kGroupEquals = "' =========================================";
constexpr std::string_view kPropertiesUsing = "' ==  Specification of Properties using  ==";
constexpr std::string_view kGroups = "' ==        G r o u p s                  ==";
constexpr std::string_view kGroupOverride = "' == (Override depth profile definitions)==";
constexpr std::string_view kFloodedLabel = " Flooded Group ";
constexpr std::string_view kBang = " !   ";

// Element properties.
constexpr layout::Layout kCdCmText = "(A, 2F7.3)";
constexpr std::string_view kElementEquals = "' ============================================";
constexpr std::string_view kProperties = "' ==  Specification of Properties          ===";
constexpr std::string_view kElementByElement = "' ==  E l e m e n t   by   E l e m e n t   ===";
constexpr std::string_view kElementOverride = "' ==  (Override profile definitions)       ===";
constexpr std::string_view kCdCmDashes = "' --------------------------------";
constexpr std::string_view kCdCmTitle = "' Specification of Cd/Cm  ";
constexpr std::string_view kHydCdCm = " Hyd_CdCm ";

// Element sets.
constexpr layout::Layout kElementLine = "(A, 5I10)";
constexpr std::string_view kSetDashes = "' -----------------------------------------";
constexpr std::string_view kFloodedHeader = "' Specification of Flooded Elements ";
constexpr std::string_view kFloodedRecord = " Flooded   Elem";
constexpr std::string_view kNonHydroHeader = "' Specification of NonHydro Elements ";
constexpr std::string_view kNonHydroRecord = " NonHydro  Elem";

constexpr std::string_view kEndOfFile = "' ------------ e o f -------------";

// One profile record, last point first; value2 picks the second value of the points.
void write_profile(support::OutputUnit& out, const ProfileText& text,
                   const records::DepthProfile& profile, bool value2) {
  write_heading(out, kProfileDashes, {text.title});
  write_record(out, layout::kTwoTexts, kMark, text.legend);
  write_record(out, layout::kOneText, text.keyword);
  for (std::size_t row = profile.points.size(); row > 0; --row) {
    const records::ProfilePoint& point = profile.points[row - 1];
    write_record(out, kProfilePoint, point.elevation, value2 ? point.value2 : point.value);
  }
}

}  // namespace

void DataFileWriter::run_header(const records::RunHeader& header) {
  write_record(out_, layout::kOneText, kMarkLine);
  write_record(out_, layout::kOneText, kMarkLine);
  write_record(out_, layout::kTwoTexts, kEquals1, kEquals2);
  write_record(out_, layout::kOneText, kMarkLine);
  write_record(out_, layout::kOneText, kVersion);
  write_record(out_, layout::kOneText, kMarkLine);
  write_record(out_, layout::kTwoTexts, kConversion, std::string_view(header.date));
  std::string name = header.input_name;
  std::replace_if(
      name.begin(), name.end(), [](char c) { return c == '\n' || c == '\r'; }, '?');
  write_record(out_, layout::kTwoTexts, kQelvoFile, std::string_view(name));
  write_record(out_, layout::kTwoTexts, kEquals1, kEquals2);
  write_record(out_, layout::kOneText, kMarkLine);
  write_record(out_, layout::kOneText, kMarkLine);
}

bool begins_with_run_header(std::string_view text) {
  const std::array<std::string, 5> first_lines{std::string(kMarkLine), std::string(kMarkLine),
                                               std::string(kEquals1) + std::string(kEquals2),
                                               std::string(kMarkLine), std::string(kVersion)};
  for (const std::string& line : first_lines) {
    if (!text.starts_with(line)) {
      return false;
    }
    text.remove_prefix(line.size());
    if (text.starts_with('\r')) {
      text.remove_prefix(1);
    }
    if (!text.starts_with('\n')) {
      return false;
    }
    text.remove_prefix(1);
  }
  return true;
}

void DataFileWriter::heading(const records::Heading& heading) {
  bool first = true;
  for (const std::string& title : heading.titles) {
    if (first) {
      write_record(out_, layout::kOneText, kHeading);
      write_record(out_, layout::kOneText, kMark);
      first = false;
    }
    write_record(out_, layout::kTwoTexts, kHeadingMark, std::string_view(title));
  }
}

void DataFileWriter::units(const records::Units& units) {
  write_record(out_, layout::kOneText, kMark);
  write_record(out_, layout::kOneText, kAssumedUnits);
  write_record(out_, layout::kOneText, kMark);
  if (units.length_factor > kUnitLow && units.length_factor < kUnitHigh) {
    write_record(out_, layout::kTwoTexts, kLengthMetre);
  } else if (units.length_factor > kMilliLow && units.length_factor < kMilliHigh) {
    write_record(out_, layout::kTwoTexts, kLengthMillimetre);
  }
  if (units.mass_factor > kUnitLow && units.mass_factor < kUnitHigh) {
    write_record(out_, layout::kTwoTexts, kMassKilogram);
  } else if (units.mass_factor == kTonneFactor) {
    write_record(out_, layout::kTwoTexts, kMassTonne);
  }
}

void DataFileWriter::levels(const records::WaterLevels& levels) {
  write_record(out_, layout::kOneText, kMark);
  write_record(out_, kLevel, kMudPlane, levels.mud_plane_z, kMetres);
  write_record(out_, kLevel, kWaterDepth, levels.water_depth, kMetres);
  write_record(out_, kLevel, kStillWater, levels.still_water_z, kMetres);
}

void DataFileWriter::preamble() {
  for (const std::string_view line : kPreamble) {
    write_record(out_, layout::kOneText, line);
  }
}

void DataFileWriter::open(records::Block block) {
  opened_ = false;
  switch (block) {
    case records::Block::kProfiles:
      write_heading(out_, kBannerEquals, {kBannerTitle});
      break;
    case records::Block::kGroups:
      write_marks(out_, 2);
      write_heading(out_, kGroupEquals, {kPropertiesUsing, kGroups, kGroupOverride});
      break;
    case records::Block::kElementProperties:
      write_marks(out_, 2);
      write_heading(out_, kElementEquals, {kProperties, kElementByElement, kElementOverride});
      break;
    case records::Block::kWaves:
    case records::Block::kCurrents:
    case records::Block::kSpec:
    case records::Block::kSpex:
    case records::Block::kElementSets:
      break;
  }
}

void DataFileWriter::close(records::Block block) {
  if (block == records::Block::kCurrents) {
    write_marks(out_, 2);
  }
}

void DataFileLines::sea_state(const records::SeaState& state, support::OutputUnit& out) const {
  // The direction, from the end of the card, comes before the phase.
  write_record(out, kWaveRecord, kWaveData, records::kLoadCase, state.theory, state.height,
               state.period, state.direction, state.phase, state.surface_level, state.depth,
               kInitialSteps);
}

void DataFileLines::current(const records::Current& current, support::OutputUnit& out) const {
  write_record(out, layout::kTwoTexts, kMark, kCurrentColumns);
  // A rounded direction too wide for its field is written as asterisks.
  write_record(out, kCurrentRecord, kCurrent, records::kLoadCase, kSpeedColumn,
               layout::WholeNumber{support::round_half_away(current.direction)},
               current.surface_level, current.depth);
  // The profile is written from the last point read back to the first.
  for (std::size_t row = current.points.size(); row > 0; --row) {
    const records::ProfilePoint& point = current.points[row - 1];
    write_record(out, kCurrentPoint, point.elevation, point.value);
  }
}

void DataFileLines::element_record(const records::ElementRecord& record,
                                   support::OutputUnit& out) const {
  const std::array<layout::Item, 3> items{kHydCdCm, record.cd, record.cm};
  support::Text<80> text;
  layout::render_text(kCdCmText, items, text);
  WRELST(text, record.positions, out);
}

template <typename Print>
void DataFileWriter::write_lines(Print&& print) {
  if (printed_.has_value()) {
    out_.pending().append(*printed_);
    out_.wrote();
    printed_.reset();
    return;
  }
  print();
}

void DataFileWriter::sea_state(const records::SeaState& state) {
  if (!opened_) {
    write_heading(out_, kWaveDashes, {kWavesTitle});
    write_record(out_, layout::kTwoTexts, kMark, kWaveColumns);
    opened_ = true;
  }
  write_lines([&] { lines_.sea_state(state, out_); });
}

void DataFileWriter::current(const records::Current& current) {
  // The first current opens the block with its heading; each later one with two marks.
  if (!opened_) {
    write_heading(out_, kCurrentDashes, {kCurrentTitle});
    opened_ = true;
  } else {
    write_marks(out_, 2);
  }
  write_lines([&] { lines_.current(current, out_); });
}

void DataFileWriter::profile(const records::DepthProfile& profile) {
  // A profile needs at least two points; with fewer it is left out, headers included.
  if (!profile.written()) {
    return;
  }
  if (profile.kind == records::ProfileKind::kMarineGrowth) {
    write_profile(out_, kMarineGrowth, profile, false);
  } else {
    write_profile(out_, kDrag, profile, false);
    write_profile(out_, kInertia, profile, true);
  }
}

void DataFileWriter::element_record(const records::ElementRecord& record) {
  // The first record of a keyword opens its block with the heading.
  if (!opened_) {
    write_heading(out_, kCdCmDashes, {kCdCmTitle});
    opened_ = true;
  }
  write_lines([&] { lines_.element_record(record, out_); });
}

void DataFileWriter::element_set(const records::ElementSet& set) {
  const bool flooded = set.kind == records::SetKind::kFlooded;
  write_heading(out_, kSetDashes, {flooded ? kFloodedHeader : kNonHydroHeader});
  WRELST(support::Text<80>(flooded ? kFloodedRecord : kNonHydroRecord), set.positions, out_);
}

void DataFileWriter::group(const records::GroupRecord& group) {
  write_record(out_, kFloodedGroup, kFloodedLabel, group.number, kBang, group.name);
}

void DataFileWriter::end() {
  write_record(out_, layout::kOneText, kMark);
  write_record(out_, layout::kOneText, kEndOfFile);
}

void WRELST(const support::Text<80>& record, std::span<const std::int32_t> elements,
            support::OutputUnit& out) {
  const auto n = static_cast<std::size_t>(cards::ILSTNB(record.view()));
  for (std::size_t start = 0; start < elements.size(); start += 5) {
    std::array<layout::Item, 6> items{record.head(n), 0, 0, 0, 0, 0};
    std::size_t used = 1;
    for (std::size_t i = start; i < start + 5 && i < elements.size(); ++i) {
      if (elements[i] > 0) {
        items[used++] = elements[i];
      }
    }
    if (used > 1) {
      write_record(out, kElementLine, std::span<const layout::Item>(items.data(), used));
    }
  }
}

namespace {

// The nth descriptor of layout that takes an item (0 is the first); a layout without it does
// not build.
constexpr layout::Descriptor item_field(const layout::Layout& layout, std::size_t nth) {
  const layout::ParsedLayout& parsed = layout.parsed();
  for (std::size_t i = 0; i < parsed.count; ++i) {
    if (layout::detail::takes_item(parsed.fields[i].kind) && nth-- == 0) {
      return parsed.fields[i];
    }
  }
  layout::layout_error("a layout has fewer item fields than a record writes");
  return {};
}

// Adds value to wide when it does not fit the nth item field of kLayout.
template <const layout::Layout& kLayout, std::size_t kNth>
void note_wide(std::vector<WideValue>& wide, std::string_view what, double value) {
  static constexpr layout::Descriptor kField = item_field(kLayout, kNth);
  if (!layout::fits(kField, value)) {
    wide.push_back({.what = what, .value = value, .field = kField});
  }
}

// The element numbers of the element lines are positive 32-bit numbers, of ten digits at most:
// their I10 fields always hold them.
static_assert(std::numeric_limits<std::int32_t>::digits10 + 1 <= 10);

}  // namespace

std::vector<WideValue> wide_values(const records::WaterLevels& levels) {
  std::vector<WideValue> wide;
  note_wide<kLevel, 1>(wide, "MudPlane Z_coordinate", levels.mud_plane_z);
  note_wide<kLevel, 1>(wide, "Water Depth", levels.water_depth);
  note_wide<kLevel, 1>(wide, "Z_coordinate of MWL", levels.still_water_z);
  return wide;
}

std::vector<WideValue> wide_values(const records::SeaState& state) {
  std::vector<WideValue> wide;
  note_wide<kWaveRecord, 3>(wide, "Height", state.height);
  note_wide<kWaveRecord, 4>(wide, "Period", state.period);
  note_wide<kWaveRecord, 5>(wide, "Direct", state.direction);
  note_wide<kWaveRecord, 6>(wide, "Phase", state.phase);
  note_wide<kWaveRecord, 7>(wide, "SurfLev", state.surface_level);
  note_wide<kWaveRecord, 8>(wide, "Depth", state.depth);
  return wide;
}

std::vector<WideValue> wide_values(const records::Current& current) {
  std::vector<WideValue> wide;
  note_wide<kCurrentRecord, 3>(wide, "Direct", support::round_half_away(current.direction));
  note_wide<kCurrentRecord, 4>(wide, "SurfLev", current.surface_level);
  note_wide<kCurrentRecord, 5>(wide, "Depth", current.depth);
  for (std::size_t row = current.points.size(); row > 0; --row) {
    const records::ProfilePoint& point = current.points[row - 1];
    note_wide<kCurrentPoint, 0>(wide, "Z", point.elevation);
    note_wide<kCurrentPoint, 1>(wide, "Speed", point.value);
  }
  return wide;
}

std::vector<WideValue> wide_values(const records::DepthProfile& profile) {
  std::vector<WideValue> wide;
  if (!profile.written()) {
    return wide;
  }
  // A coefficient profile is written twice: its Cd, then its Cm.
  const auto note_points = [&](std::string_view what, bool value2) {
    for (std::size_t row = profile.points.size(); row > 0; --row) {
      const records::ProfilePoint& point = profile.points[row - 1];
      note_wide<kProfilePoint, 0>(wide, "Z", point.elevation);
      note_wide<kProfilePoint, 1>(wide, what, value2 ? point.value2 : point.value);
    }
  };
  if (profile.kind == records::ProfileKind::kMarineGrowth) {
    note_points("Thick", false);
  } else {
    note_points("Cd", false);
    note_points("Cm", true);
  }
  return wide;
}

std::vector<WideValue> wide_values(const records::ElementRecord& record) {
  std::vector<WideValue> wide;
  note_wide<kCdCmText, 1>(wide, "Cd", record.cd);
  note_wide<kCdCmText, 2>(wide, "Cm", record.cm);
  return wide;
}

std::vector<WideValue> wide_values(const records::GroupRecord& group) {
  std::vector<WideValue> wide;
  note_wide<kFloodedGroup, 1>(wide, "Flooded Group", static_cast<double>(group.number));
  return wide;
}

}  // namespace qel2br::datafile
