// The conversion report page: heading, water levels, sea states, currents, profiles, element
// sets and warnings, in the order of the output data file.
#include "report/html_report.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <limits>
#include <map>
#include <optional>
#include <string_view>
#include <system_error>
#include <tuple>
#include <utility>
#include <vector>

#include "checks/thresholds.hpp"
#include "checks/wave_figures.hpp"
#include "report/card_lines.hpp"
#include "report/markup.hpp"
#include "report/svg_plot.hpp"
#include "support/text.hpp"

namespace qel2br::report {

namespace {

constexpr std::string_view kStyle = R"(
@page { size: A4; margin: 14mm; }
body { font-family: sans-serif; font-size: 10pt; color: #111; margin: 1em auto; max-width: 190mm; }
h1 { font-size: 16pt; margin: 0 0 0.4em 0; }
h2 { font-size: 13pt; border-bottom: 1px solid #999; margin: 1.2em 0 0.4em 0; break-after: avoid; }
h3 { font-size: 11pt; margin: 1em 0 0.3em 0; break-after: avoid; }
table { border-collapse: collapse; margin: 0.3em 0 0.6em 0; }
th, td { border: 1px solid #bbb; padding: 1px 6px; vertical-align: top; }
th { background: #eee; text-align: left; }
td.n { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }
tr, figure, .pair { break-inside: avoid; }
figure { margin: 0.3em 0; }
.pair { display: flex; gap: 4mm; }
.pair > svg { flex: 1 1 0; min-width: 0; }
.pair > table { flex: none; align-self: flex-start; }
svg.plot { max-width: 100%; height: auto; font-family: sans-serif; font-size: 11px; }
.note { color: #444; }
.stop { color: #a00000; font-weight: bold; }
.warn { color: #8a4b00; }
.list { font-family: monospace; }
.status { border: 2px solid; padding: 2px 8px; margin: 0.6em 0; break-inside: avoid; }
.status.good { border-color: #2e7d32; background: #eef7ee; }
.status.bad { border-color: #a00000; background: #fbeeee; }
.status.warned { border-color: #b06d00; background: #fdf5e6; }
.pair > svg.rose { flex: none; width: 75mm; }
.status table { margin: 0.3em 0; }
td.fail, tr.fail td { background: #fbdada; }
pre { white-space: pre-wrap; overflow-wrap: anywhere; }
pre.card { margin: 0.2em 0; font-size: 8.5pt; }
details > summary { cursor: default; }
dl.columns { display: grid; grid-template-columns: max-content auto; gap: 0 1em; margin: 0.3em 0; }
dl.columns dt { font-weight: bold; }
dl.columns dd { margin: 0; }
.summary { font-style: italic; }
)";

constexpr std::string_view kCardOrderNote =
    "Points are listed in card order; the output data file holds them from the last to the "
    "first.";

// The page being built.
class Page {
 public:
  void raw(std::string_view markup) { html_ += markup; }
  void text(std::string_view body) { html_ += escape(body); }
  // <tag attributes>text</tag>, the text escaped.
  void element(std::string_view tag, std::string_view body, std::string_view attributes = "") {
    cell(tag, body, attributes);
    html_ += '\n';
  }
  // A note: a paragraph set apart from the figures.
  void note(std::string_view body) { element("p", body, "class=\"note\""); }
  // <tag attributes>text</tag> with no line end, for table cells.
  void cell(std::string_view tag, std::string_view body, std::string_view attributes = "") {
    open(tag, attributes);
    text(body);
    html_ += "</";
    html_ += tag;
    html_ += '>';
  }
  void open(std::string_view tag, std::string_view attributes = "") {
    html_ += '<';
    html_ += tag;
    if (!attributes.empty()) {
      html_ += ' ';
      html_ += attributes;
    }
    html_ += '>';
  }
  void close(std::string_view tag) {
    html_ += "</";
    html_ += tag;
    html_ += ">\n";
  }
  // Opens a table with its row of header cells.
  void open_table(std::initializer_list<std::string_view> cells) {
    html_ += "<table>\n<tr>";
    for (const std::string_view name : cells) {
      cell("th", name);
    }
    html_ += "</tr>\n";
  }
  // A row of data cells.
  void row(const std::vector<std::string>& cells) {
    html_ += "<tr>";
    for (const std::string& value : cells) {
      cell("td", value, numeric(value) ? "class=\"n\"" : "");
    }
    html_ += "</tr>\n";
  }
  void fact(std::string_view name, std::string_view value) {
    html_ += "<tr>";
    cell("th", name);
    cell("td", value);
    html_ += "</tr>\n";
  }
  [[nodiscard]] std::string take() { return std::move(html_); }

 private:
  // A cell holding one number is set right-aligned.
  static bool numeric(std::string_view value) {
    double number = 0.0;
    const char* end = value.data() + value.size();
    const auto result = std::from_chars(value.data(), end, number);
    return result.ec == std::errc{} && result.ptr == end;
  }
  std::string html_;
};

std::string line_text(std::int64_t line) { return line > 0 ? std::to_string(line) : "-"; }

// The name of the input's length unit.
std::string_view length_unit(double length_factor) { return length_factor == 1.0 ? "m" : "mm"; }

std::string count_text(std::size_t count) { return std::to_string(count); }

// "1 sea state" or "3 sea states".
std::string counted(std::int64_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// Where the run stopped, for the notes of the parts it did not reach: "stopped at FILE:LINE".
std::string stop_place(const RunStatus& status) {
  if (status.ending == Ending::kErrorEnd) {
    return "took its error end (" + status.reason + ")";
  }
  if (status.stop_file.empty()) {
    return "stopped (" + status.reason + ")";
  }
  return "stopped at " + status.stop_file +
         (status.stop_line > 0 ? ":" + std::to_string(status.stop_line) : std::string());
}

// Whether the run reached part; when it did not, or stopped within it, the page says so.
bool reached(Page& page, const ReportData& data, Part part) {
  if (data.status.ending == Ending::kNormal) {
    return true;
  }
  switch (data.reached[static_cast<std::size_t>(part)]) {
    case Reach::kDone:
      return true;
    case Reach::kStarted:
      page.element(
          "p",
          "The run " + stop_place(data.status) + " in this part: what it gave up to there follows.",
          "class=\"stop\"");
      return true;
    case Reach::kNotReached:
      break;
  }
  page.element("p", "not reached: the run " + stop_place(data.status), "class=\"stop\"");
  return false;
}

// What a part that gave nothing says: why, or, when the run stopped within the part, that it
// gave nothing before the stop (its cards may well be there).
std::string nothing(const ReportData& data, Part part, std::string why) {
  if (data.status.ending != Ending::kNormal &&
      data.reached[static_cast<std::size_t>(part)] != Reach::kDone) {
    return "Nothing before the stop.";
  }
  return why;
}

// The card lines, folded: a <details> element whose summary names the lines.
std::string card_lines(const ReportData& data, std::span<const std::int64_t> lines) {
  std::string summary = lines.size() == 1 ? "line " : "lines ";
  std::string body;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      summary += ", ";
    }
    summary += line_text(lines[i]);
    const auto text = data.card_text.find(lines[i]);
    if (text != data.card_text.end()) {
      body += escape(text->second);
      body += '\n';
    }
  }
  if (body.empty()) {
    return escape(summary);
  }
  return "<details><summary>" + escape(summary) + "</summary><pre class=\"card\">" + body +
         "</pre></details>";
}

// The minimum and maximum of a series of values.
struct Span {
  double low = 0.0;
  double high = 0.0;
  bool any = false;
  void take(double value) {
    if (!any) {
      low = high = value;
      any = true;
      return;
    }
    low = std::min(low, value);
    high = std::max(high, value);
  }
  [[nodiscard]] std::string text(int decimals) const {
    return any ? fixed(low, decimals) + " to " + fixed(high, decimals) : "none";
  }
};

// The note of a section with more records than the page shows in full.
void summary(Page& page, std::size_t count, std::size_t shown, std::string_view what,
             std::string_view figures) {
  page.element("p",
               std::to_string(count) + " " + std::string(what) + "; the first " +
                   std::to_string(shown) +
                   " are shown in full. All of them: " + std::string(figures) + ".",
               "class=\"summary\"");
}

void heading(Page& page, const ReportData& data) {
  page.open("table", "class=\"facts\"");
  page.raw("\n");
  page.fact("Input card file", data.input_file);
  page.fact("Output data file", data.check_only
                                    ? "none written (check run: the report shows what would be "
                                      "written)"
                                    : data.output_file);
  page.fact("Date", data.date);
  page.fact("Version", data.version);
  const bool metres = data.length_factor == 1.0;
  page.fact("Length unit in", std::string(metres ? "metres" : "millimetres") + " (length factor " +
                                  shortest(data.length_factor) + ")");
  page.fact("Mass unit in", std::string(data.mass_factor == 1.0 ? "kilograms" : "tonnes") +
                                " (mass factor " + shortest(data.mass_factor) + ")");
  page.fact("Units out", "metres, metres per second");
  page.fact("Set mode",
            data.mode == SetMode::kGroups
                ? "by group, numbers from " + data.group_file
                : (data.element_check ? "element by element, checked against " + data.element_file
                                      : "element by element, no element ID check"));
  page.close("table");
  if (!data.titles.empty()) {
    page.element("h3", "Heading of the card file");
    page.open("pre", "class=\"card\"");
    for (const std::string& title : data.titles) {
      page.text(title);
      page.raw("\n");
    }
    page.close("pre");
  }
}

// The status box: how the run ended, its exit status, what it converted and what it warned of.
void status_box(Page& page, const ReportData& data) {
  const RunStatus& status = data.status;
  // Green for a clean normal end, amber for a normal end with warnings, red for any other end.
  const std::string_view look = status.ending != Ending::kNormal ? "class=\"status bad\""
                                : status.warnings == 0 && status.failed_checks == 0
                                    ? "class=\"status good\""
                                    : "class=\"status warned\"";
  page.open("div", look);
  page.raw("\n");
  page.open("table");
  page.raw("\n");
  std::string ending;
  switch (status.ending) {
    case Ending::kNormal:
      ending = "normal end";
      break;
    case Ending::kErrorEnd:
      ending = "error end: " + status.reason;
      break;
    case Ending::kStopped:
      ending = stop_place(status) + ": " + status.reason;
      break;
    case Ending::kFault:
      ending = "ended by a fault: " + status.reason;
      break;
  }
  page.fact("Run", ending);
  page.fact("Exit status", std::to_string(status.exit_status));
  const results::RecordCounts& records = status.records;
  std::string counts = counted(records.waves, "wave record", "wave records") + ", " +
                       counted(records.currents, "current record", "current records") + ", " +
                       counted(records.profiles, "depth profile", "depth profiles") + ", ";
  counts += data.mode == SetMode::kGroups
                ? counted(records.group_records, "group record", "group records")
                : counted(records.element_records, "element record", "element records");
  page.fact(data.check_only ? "Records (would be written)" : "Records written", counts);
  page.fact("Warnings", std::to_string(status.warnings));
  page.fact("Failed checks", std::to_string(status.failed_checks));
  page.close("table");
  if (!data.end_note.empty()) {
    page.element("p", data.end_note, "class=\"stop\"");
  }
  if (!data.stop_report.empty()) {
    page.element("pre", data.stop_report, "class=\"stop\"");
  }
  page.close("div");
}

// Two values equal within the relative tolerance of the checks.
bool nearly_equal(double a, double b) {
  return std::fabs(a - b) <=
         checks::kRelativeTolerance * std::max({1.0, std::fabs(a), std::fabs(b)});
}

void water_levels(Page& page, const ReportData& data) {
  page.element("h2", "Water levels");
  if (!reached(page, data, Part::kLevels)) {
    return;
  }
  page.raw("<div class=\"pair\">\n");
  page.open_table({"Level", "Value [m]"});
  page.row({"Mud plane Z", fixed(data.mud_plane_z, 3)});
  page.row({"Water depth", fixed(data.water_depth, 3)});
  page.row({"Still water level Z", fixed(data.still_water_z, 3)});
  page.close("table");
  page.raw(render_levels_sketch(data.mud_plane_z, data.water_depth, data.still_water_z));
  page.raw("</div>\n");
  page.note(
      "The elevations written for currents, marine growth and coefficients are relative "
      "to the still water level (0 there, positive upwards): each is the card's elevation "
      "above the sea bed, in metres, less the water depth, so the sea bed lies at minus the "
      "water depth, Z = " +
      fixed(-data.water_depth, 3) + " m, in that frame. The \"as written\" plots draw it so.");
  if (!nearly_equal(data.mud_plane_z, -data.water_depth)) {
    page.element("p",
                 "The mud-plane Z (" + fixed(data.mud_plane_z, 3) +
                     " m) is not minus the water depth (" + fixed(-data.water_depth, 3) +
                     " m): the SurfLev of the wave and current records is the still-water-level "
                     "Z in the global frame (" +
                     fixed(data.still_water_z, 3) +
                     " m), while the profile elevations are relative to the still water level.",
                 "class=\"warn\"");
  }
}

// The names of the check kinds of a sea state and the column each marks.
enum class SeaColumn : std::uint8_t { kHeight, kPeriod, kDepth, kSteepness, kDepthRatio, kUrsell };
struct CheckColumn {
  std::string_view kind;
  SeaColumn column;
};
constexpr std::array<CheckColumn, 6> kSeaChecks{{{"wave-height", SeaColumn::kHeight},
                                                 {"wave-period", SeaColumn::kPeriod},
                                                 {"no-water-depth", SeaColumn::kDepth},
                                                 {"wave-steepness", SeaColumn::kSteepness},
                                                 {"wave-breaking", SeaColumn::kDepthRatio},
                                                 {"stokes-ursell", SeaColumn::kUrsell}}};

// The kinds of the warnings on each card line.
using KindsByLine = std::multimap<std::int64_t, std::string_view>;

KindsByLine kinds_by_line(const ReportData& data) {
  KindsByLine kinds;
  for (const Warning& warning : data.warnings) {
    if (warning.line > 0 && warning.file == data.input_file) {
      kinds.emplace(warning.line, warning.kind);
    }
  }
  return kinds;
}

// Whether a warning of the kind that marks column is on line.
bool failed(const KindsByLine& kinds, std::int64_t line, SeaColumn column) {
  const auto [first, last] = kinds.equal_range(line);
  for (auto it = first; it != last; ++it) {
    for (const CheckColumn& check : kSeaChecks) {
      if (check.column == column && check.kind == it->second) {
        return true;
      }
    }
  }
  return false;
}

std::string optional_text(const std::optional<double>& value, int decimals) {
  return value.has_value() ? fixed(*value, decimals) : "-";
}

void sea_states(Page& page, const ReportData& data) {
  page.element("h2", "Sea states");
  if (!reached(page, data, Part::kWaves)) {
    return;
  }
  if (data.sea_states.empty()) {
    page.note(nothing(data, Part::kWaves, "No SEA card: no wave record."));
    return;
  }
  const std::size_t shown = std::min(data.sea_states.size(), kRecordsShown);
  if (shown < data.sea_states.size()) {
    Span height;
    Span period;
    Span direction;
    for (const SeaState& sea : data.sea_states) {
      height.take(sea.height);
      period.take(sea.period);
      direction.take(sea.direction);
    }
    summary(page, data.sea_states.size(), shown, "sea states",
            "height " + height.text(2) + " m, period " + period.text(2) + " s, direction " +
                direction.text(2) + " deg");
  }
  const KindsByLine kinds = kinds_by_line(data);
  page.open_table({"Card", "Type", "Theory", "H [m]", "T [s]", "Dir. [deg]", "Phase", "d [m]",
                   "L [m]", "H/L", "Limit", "H/d", "Ursell"});
  for (std::size_t i = 0; i < shown; ++i) {
    const SeaState& sea = data.sea_states[i];
    records::SeaState record{.line = sea.line,
                             .type_code = sea.type_code,
                             .theory = support::Text<8>(sea.theory),
                             .height = sea.height,
                             .period = sea.period,
                             .direction = sea.direction,
                             .phase = sea.phase,
                             .surface_level = sea.surface_level,
                             .depth = sea.depth};
    const checks::SeaStateFigures figures = checks::sea_state_figures(record);
    const auto cell = [&](const std::string& value, std::optional<SeaColumn> column) {
      const bool marked = column.has_value() && failed(kinds, sea.line, *column);
      page.cell("td", marked ? value + " \u2717" : value,
                marked ? "class=\"n fail\"" : "class=\"n\"");
    };
    page.raw("<tr>");
    page.raw("<td>" + card_lines(data, std::span(&sea.line, 1)) + "</td>");
    cell(shortest(sea.type_code), std::nullopt);
    page.cell("td", sea.theory);
    cell(fixed(sea.height, 2), SeaColumn::kHeight);
    cell(fixed(sea.period, 2), SeaColumn::kPeriod);
    cell(fixed(sea.direction, 2), std::nullopt);
    cell(fixed(sea.phase, 2), std::nullopt);
    cell(fixed(sea.depth, 2), SeaColumn::kDepth);
    cell(optional_text(figures.wavelength, 1), std::nullopt);
    cell(optional_text(figures.steepness, 4), SeaColumn::kSteepness);
    cell(optional_text(figures.steepness_limit, 4), SeaColumn::kSteepness);
    cell(optional_text(figures.depth_ratio, 3), SeaColumn::kDepthRatio);
    cell(optional_text(figures.ursell, 1), SeaColumn::kUrsell);
    page.raw("</tr>\n");
  }
  page.close("table");
  page.raw(
      "<dl class=\"columns\">\n"
      "<dt>Card</dt><dd>the SEA card's line; open it for the card as it stands.</dd>\n"
      "<dt>Type</dt><dd>the wave type code as read from columns 6-10 (a blank field reads as 5, "
      "Stokes' theory); a code above 10 gives the theory of the code less 10.</dd>\n"
      "<dt>Theory</dt><dd>the theory written: Airy (1; 9 with height 0), Stoke (5), Stream (6), "
      "Unknown for any other code.</dd>\n"
      "<dt>H</dt><dd>the wave height in metres, as written (0 for type 9 and 19).</dd>\n"
      "<dt>T</dt><dd>the wave period in seconds.</dd>\n"
      "<dt>Dir.</dt><dd>the direction in degrees as on the card.</dd>\n"
      "<dt>Phase</dt><dd>the phase as on the card.</dd>\n"
      "<dt>d</dt><dd>the water depth in metres (DPTH card; 0 without one).</dd>\n"
      "<dt>L</dt><dd>the linear wavelength from the dispersion relation "
      "&#969;&#178; = g k tanh(k d), &#969; = 2&#960;/T, L = 2&#960;/k; - where T or d is not "
      "above 0.</dd>\n"
      "<dt>H/L</dt><dd>the steepness, checked against its limit.</dd>\n");
  page.raw("<dt>Limit</dt><dd>the breaking limit of the steepness, " +
           shortest(checks::kSteepnessFactor) + " tanh(k d).</dd>\n");
  page.raw("<dt>H/d</dt><dd>height over depth, checked against depth-limited breaking at " +
           shortest(checks::kBreakingDepthRatio) + ".</dd>\n");
  page.raw("<dt>Ursell</dt><dd>H L&#178; / d&#179;; a Stokes wave above " +
           shortest(checks::kUrsellStokes) +
           " is checked (the stream-function theory is the usual choice there).</dd>\n</dl>\n");
  page.note("Every wave record has load case " + std::to_string(records::kLoadCase) +
            ". A cell marked \u2717 holds a value whose check failed: its warning is listed "
            "under Warnings with the card's line.");
}

// The compass rose of the wave and current directions as the cards give them.
void directions(Page& page, const ReportData& data) {
  page.element("h2", "Directions (as on the cards)");
  if (data.sea_states.empty() && data.currents.empty()) {
    page.note(nothing(data, Part::kCurrents, "No SEA or CRNT card: no direction."));
    return;
  }
  // Distinct directions; beyond this many of a kind they are drawn to the whole degree.
  constexpr std::size_t kMostSpokes = 72;
  std::vector<Bearing> bearings;
  std::map<double, std::pair<std::int64_t, std::int64_t>> counts;
  const auto add = [&](std::vector<double> values, Bearing::Kind kind) {
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    if (values.size() > kMostSpokes) {
      for (double& value : values) {
        value = std::round(value);
      }
      values.erase(std::unique(values.begin(), values.end()), values.end());
    }
    for (const double value : values) {
      bearings.push_back({.degrees = value, .kind = kind});
    }
  };
  std::vector<double> waves;
  for (const SeaState& sea : data.sea_states) {
    waves.push_back(sea.direction);
    ++counts[sea.direction].first;
  }
  std::vector<double> currents;
  for (const Current& current : data.currents) {
    currents.push_back(current.direction);
    ++counts[current.direction].second;
  }
  add(std::move(waves), Bearing::Kind::kWave);
  add(std::move(currents), Bearing::Kind::kCurrent);
  if (data.status.ending != Ending::kNormal &&
      data.reached[static_cast<std::size_t>(Part::kCurrents)] == Reach::kNotReached) {
    page.element("p", "Currents not reached: the run " + stop_place(data.status), "class=\"stop\"");
  }
  page.raw("<div class=\"pair\">\n");
  page.raw(render_compass(bearings));
  page.open_table({"Direction [deg]", "Sea states", "Currents"});
  std::size_t rows = 0;
  for (const auto& [direction, count] : counts) {
    if (rows == kRecordsShown) {
      page.row({"(" + std::to_string(counts.size() - rows) + " more directions)", "", ""});
      break;
    }
    page.row({shortest(direction), std::to_string(count.first), std::to_string(count.second)});
    ++rows;
  }
  page.close("table");
  page.raw("</div>\n");
  page.note(
      "The cards give directions in degrees and nothing more: the rose draws them as on "
      "the cards, from the 0 line (to the right) counter-clockwise. Whether a direction is "
      "where the wave or current goes or where it comes from, and from which axis it is "
      "measured, is for the receiving program's convention, not the cards'.");
}

// The levels of the "as written" plots: the still water level at 0 and the sea bed at minus
// the water depth.
std::vector<Level> written_levels(const ReportData& data) {
  return {{.y = -data.water_depth, .label = "sea bed (minus the water depth)"},
          {.y = 0.0, .label = "still water level"}};
}

constexpr std::string_view kWrittenFrame = "Z relative to the still water level [m]";

void currents(Page& page, const ReportData& data) {
  page.element("h2", "Currents");
  if (!reached(page, data, Part::kCurrents)) {
    return;
  }
  if (data.currents.empty()) {
    page.note(nothing(data, Part::kCurrents, "No CRNT card: no current record."));
    return;
  }
  const std::string unit(length_unit(data.length_factor));
  const double card_surface =
      data.length_factor == 0.0 ? 0.0 : data.water_depth / data.length_factor;
  const std::size_t shown = std::min(data.currents.size(), kCurrentsShown);
  if (shown < data.currents.size()) {
    Span speed;
    Span direction;
    Span points;
    for (const Current& current : data.currents) {
      direction.take(current.direction);
      points.take(static_cast<double>(current.points.size()));
      for (const ProfilePoint& point : current.points) {
        speed.take(point.value);
      }
    }
    summary(page, data.currents.size(), shown, "currents",
            "speed " + speed.text(2) + " m/s, direction " + direction.text(2) + " deg, " +
                points.text(0) + " points a current");
  }
  for (std::size_t c = 0; c < shown; ++c) {
    const Current& current = data.currents[c];
    page.element("h3", "Current " + std::to_string(c + 1) + " (CRNT card, line " +
                           line_text(current.line) + "), direction " + shortest(current.direction) +
                           " deg, " + std::to_string(current.points.size()) + " point" +
                           (current.points.size() == 1 ? "" : "s"));
    Plot card{.title = "As on the card",
              .x_label = "speed [" + unit + "/s]",
              .y_label = "card elevation above sea bed [" + unit + "]",
              .series = {},
              .levels = {{.y = 0.0, .label = "sea bed"},
                         {.y = card_surface, .label = "still water level"}},
              .x_from_zero = true};
    Plot converted{.title = "As written",
                   .x_label = "speed [m/s]",
                   .y_label = std::string(kWrittenFrame),
                   .series = {},
                   .levels = written_levels(data),
                   .x_from_zero = true};
    Series card_points{.name = "card", .points = {}};
    Series converted_points{.name = "written", .points = {}};
    for (const ProfilePoint& point : current.points) {
      card_points.points.push_back({.x = point.card_value, .y = point.card_elevation});
      converted_points.points.push_back({.x = point.value, .y = point.elevation});
    }
    card.series.push_back(std::move(card_points));
    converted.series.push_back(std::move(converted_points));
    page.raw("<div class=\"pair\">\n");
    page.raw(render_plot(card));
    page.raw(render_plot(converted));
    page.raw("</div>\n");
    std::vector<std::int64_t> lines{current.line};
    page.open_table({"Card", "Card elevation [" + unit + "]", "Card speed [" + unit + "/s]",
                     "Z [m]", "Speed [m/s]"});
    const std::size_t points = std::min(current.points.size(), kRecordsShown);
    for (std::size_t i = 0; i < points; ++i) {
      const ProfilePoint& point = current.points[i];
      page.raw("<tr><td>" + card_lines(data, std::span(&point.line, 1)) + "</td>");
      page.cell("td", shortest(point.card_elevation), "class=\"n\"");
      page.cell("td", shortest(point.card_value), "class=\"n\"");
      page.cell("td", fixed(point.elevation, 2), "class=\"n\"");
      page.cell("td", fixed(point.value, 2), "class=\"n\"");
      page.raw("</tr>\n");
    }
    if (points < current.points.size()) {
      page.row(
          {"(" + std::to_string(current.points.size() - points) + " more points)", "", "", "", ""});
    }
    page.close("table");
    // The CRNT card, unless it gave the first point itself.
    if (current.points.empty() || current.points.front().line != current.line) {
      page.raw("<div>CRNT card: " + card_lines(data, std::span(&current.line, 1)) + "</div>\n");
    }
  }
  page.note(kCardOrderNote);
}

// The plot of one profile value over Z.
std::string profile_plot(const Profile& profile, std::string title, std::string x_label,
                         bool second, const ReportData& data) {
  Plot plot{.title = std::move(title),
            .x_label = std::move(x_label),
            .y_label = std::string(kWrittenFrame),
            .series = {},
            .levels = written_levels(data),
            .x_from_zero = true};
  Series series{.name = "profile", .points = {}};
  for (const ProfilePoint& point : profile.points) {
    series.points.push_back({.x = second ? point.value2 : point.value, .y = point.elevation});
  }
  plot.series.push_back(std::move(series));
  return render_plot(plot);
}

// The note for a profile that was not written.
bool profile_missing(Page& page, const Profile& profile, std::string_view keyword) {
  if (profile.written) {
    return false;
  }
  if (profile.points.empty()) {
    page.note("No " + std::string(keyword) + " card: no profile written.");
  } else {
    page.note("One " + std::string(keyword) + " card (line " +
              line_text(profile.points.front().line) +
              "): a profile needs at least two, none written.");
  }
  return true;
}

// The table of a profile's points, the first kRecordsShown of them.
void profile_table(Page& page, const ReportData& data, const Profile& profile, bool growth) {
  const std::string unit(length_unit(data.length_factor));
  const std::size_t shown = std::min(profile.points.size(), kRecordsShown);
  if (shown < profile.points.size()) {
    Span z;
    Span value;
    Span value2;
    for (const ProfilePoint& point : profile.points) {
      z.take(point.elevation);
      value.take(point.value);
      value2.take(point.value2);
    }
    summary(page, profile.points.size(), shown, "points",
            "Z " + z.text(2) + " m, " +
                (growth ? "thickness " + value.text(3) + " m"
                        : "Cd " + value.text(3) + ", Cm " + value2.text(3)));
  }
  if (growth) {
    page.open_table({"Card", "Card elevation [" + unit + "]", "Card thickness [" + unit + "]",
                     "Z [m]", "Thickness [m]"});
  } else {
    page.open_table({"Card", "Card elevation [" + unit + "]", "Z [m]", "Cd", "Cm"});
  }
  for (std::size_t i = 0; i < shown; ++i) {
    const ProfilePoint& point = profile.points[i];
    page.raw("<tr><td>" + card_lines(data, std::span(&point.line, 1)) + "</td>");
    page.cell("td", shortest(point.card_elevation), "class=\"n\"");
    if (growth) {
      page.cell("td", shortest(point.card_value), "class=\"n\"");
      page.cell("td", fixed(point.elevation, 2), "class=\"n\"");
      page.cell("td", fixed(point.value, 3), "class=\"n\"");
    } else {
      page.cell("td", fixed(point.elevation, 2), "class=\"n\"");
      page.cell("td", fixed(point.value, 3), "class=\"n\"");
      page.cell("td", fixed(point.value2, 3), "class=\"n\"");
    }
    page.raw("</tr>\n");
  }
  page.close("table");
}

void profiles(Page& page, const ReportData& data) {
  page.element("h2", "Marine growth");
  const bool profiles_reached = reached(page, data, Part::kProfiles);
  if (profiles_reached && !profile_missing(page, data.marine_growth, "MGRW")) {
    page.raw(profile_plot(data.marine_growth, "Marine growth", "thickness [m]", false, data));
    profile_table(page, data, data.marine_growth, true);
  }
  page.element("h2", "Drag and inertia coefficients");
  if (!profiles_reached) {
    reached(page, data, Part::kProfiles);
    return;
  }
  if (!profile_missing(page, data.coefficients, "COEF")) {
    page.raw("<div class=\"pair\">\n");
    page.raw(profile_plot(data.coefficients, "Drag coefficient", "Cd [-]", false, data));
    page.raw(profile_plot(data.coefficients, "Inertia coefficient", "Cm [-]", true, data));
    page.raw("</div>\n");
    profile_table(page, data, data.coefficients, false);
  }
  if (data.marine_growth.written || data.coefficients.written) {
    page.note(kCardOrderNote);
  }
}

// The first runs of a list of element numbers.
std::string shown_ranges(const std::vector<std::int32_t>& elements) {
  return element_ranges(elements, kRecordsShown);
}

// The lines of a set's cards, the first kRecordsShown of them, folded.
std::string set_lines(const ReportData& data, const std::vector<std::int64_t>& lines) {
  const std::size_t shown = std::min(lines.size(), kRecordsShown);
  std::string text = card_lines(data, std::span(lines.data(), shown));
  if (shown < lines.size()) {
    text += escape(" and " + std::to_string(lines.size() - shown) + " more cards");
  }
  return text;
}

void element_set(Page& page, const ReportData& data, const ElementSet& set, std::string_view title,
                 std::string_view keyword) {
  page.element("h3", title);
  if (set.lines.empty()) {
    page.note("No " + std::string(keyword) + " card with elements.");
    return;
  }
  page.open_table({"Cards", "Written", "Elements", "Left out"});
  page.raw("<tr><td>" + set_lines(data, set.lines) + "</td>");
  page.cell("td", count_text(set.elements.size()), "class=\"n\"");
  page.cell("td", shown_ranges(set.elements));
  page.cell("td", shown_ranges(set.left_out));
  page.raw("</tr>\n");
  page.close("table");
}

// What the records say of an element.
struct ElementState {
  std::vector<std::size_t> records{};  // the element records that list it, in data-file order
  bool flooded = false;
  bool non_hydro = false;
  [[nodiscard]] bool conflict() const { return flooded && non_hydro; }
  [[nodiscard]] bool override() const { return records.size() > 1; }
  [[nodiscard]] auto key() const { return std::tie(records, flooded, non_hydro); }
  [[nodiscard]] bool operator<(const ElementState& other) const { return key() < other.key(); }
};

// Elements in the same state, first to last at a constant step.
struct ElementRun {
  std::int32_t first = 0;
  std::int32_t last = 0;
  std::int64_t step = 1;
  std::int64_t count = 1;
  const ElementState* state = nullptr;
};

std::string record_name(const ReportData& data, std::size_t r) {
  return data.element_records[r].keyword + " line " + line_text(data.element_records[r].line);
}

void element_row(Page& page, const ReportData& data, const ElementRun& run) {
  const ElementState& state = *run.state;
  const bool marked = state.conflict() || state.override();
  page.open("tr", marked ? "class=\"fail\"" : "");
  std::string elements = std::to_string(run.first);
  if (run.count > 1) {
    elements += "-" + std::to_string(run.last);
  }
  if (run.step > 1) {
    elements += " step " + std::to_string(run.step);
  }
  page.cell("td", elements);
  page.cell("td", std::to_string(run.count), "class=\"n\"");
  if (state.records.empty()) {
    page.cell("td", "-", "class=\"n\"");
    page.cell("td", "-", "class=\"n\"");
    page.cell("td", "no coefficient record");
  } else {
    const ElementRecord& last = data.element_records[state.records.back()];
    page.cell("td", fixed(last.cd, 3), "class=\"n\"");
    page.cell("td", fixed(last.cm, 3), "class=\"n\"");
    std::string cards = record_name(data, state.records.back());
    if (state.override()) {
      cards += ", overriding ";
      for (std::size_t i = 0; i + 1 < state.records.size(); ++i) {
        cards += (i > 0 ? ", " : "") + record_name(data, state.records[i]);
      }
    }
    page.cell("td", cards);
  }
  page.cell("td", state.flooded ? "yes" : "");
  page.cell("td", state.non_hydro ? "yes" : "");
  std::string note;
  if (state.conflict()) {
    note = "conflict: flooded and non-hydrodynamic";
  }
  if (state.override()) {
    note += std::string(note.empty() ? "" : "; ") + "override: the later record applies";
  }
  page.cell("td", note);
  page.raw("</tr>\n");
}

// The runs of ascending elements: each at a constant step, of three elements or more (two when
// consecutive); the others one by one.
void add_runs(const std::vector<std::int32_t>& elements, const ElementState& state,
              std::vector<ElementRun>& runs) {
  std::size_t i = 0;
  while (i < elements.size()) {
    std::size_t j = i;
    std::int64_t step = 1;
    if (i + 1 < elements.size()) {
      step = std::int64_t{elements[i + 1]} - elements[i];
      j = i + 1;
      while (j + 1 < elements.size() && std::int64_t{elements[j + 1]} - elements[j] == step) {
        ++j;
      }
      if (j - i + 1 < 3 && step != 1) {
        j = i;
        step = 1;
      }
    }
    runs.push_back({.first = elements[i],
                    .last = elements[j],
                    .step = step,
                    .count = static_cast<std::int64_t>(j - i + 1),
                    .state = &state});
    i = j + 1;
  }
}

// The elements one by one, those in the same state at a constant step as one range:
// coefficients, flooded and non-hydrodynamic status, with overrides and conflicts marked.
void per_element(Page& page, const ReportData& data) {
  page.element("h3", "By element");
  std::vector<std::pair<std::int32_t, std::size_t>> listed;
  for (std::size_t r = 0; r < data.element_records.size(); ++r) {
    for (const std::int32_t e : data.element_records[r].elements) {
      listed.emplace_back(e, r);
    }
  }
  std::sort(listed.begin(), listed.end());
  std::vector<std::int32_t> flooded = data.flooded.elements;
  std::vector<std::int32_t> non_hydro = data.non_hydro.elements;
  for (std::vector<std::int32_t>* set : {&flooded, &non_hydro}) {
    std::sort(set->begin(), set->end());
    set->erase(std::unique(set->begin(), set->end()), set->end());
  }
  if (listed.empty() && flooded.empty() && non_hydro.empty()) {
    page.note(nothing(data, Part::kElements,
                      "No element record and no element set: no element to list."));
    return;
  }
  // The elements of each state, ascending.
  std::map<ElementState, std::vector<std::int32_t>> by_state;
  std::int64_t elements = 0;
  std::int64_t overrides = 0;
  std::int64_t conflicts = 0;
  std::size_t i = 0;
  std::size_t f = 0;
  std::size_t n = 0;
  constexpr std::int32_t kNone = std::numeric_limits<std::int32_t>::max();
  while (i < listed.size() || f < flooded.size() || n < non_hydro.size()) {
    const std::int32_t element = std::min({i < listed.size() ? listed[i].first : kNone,
                                           f < flooded.size() ? flooded[f] : kNone,
                                           n < non_hydro.size() ? non_hydro[n] : kNone});
    ElementState state;
    while (i < listed.size() && listed[i].first == element) {
      state.records.push_back(listed[i].second);
      ++i;
    }
    if (f < flooded.size() && flooded[f] == element) {
      state.flooded = true;
      ++f;
    }
    if (n < non_hydro.size() && non_hydro[n] == element) {
      state.non_hydro = true;
      ++n;
    }
    ++elements;
    overrides += state.override() ? 1 : 0;
    conflicts += state.conflict() ? 1 : 0;
    by_state[std::move(state)].push_back(element);
  }
  std::vector<ElementRun> runs;
  for (const auto& [state, members] : by_state) {
    add_runs(members, state, runs);
  }
  std::sort(runs.begin(), runs.end(),
            [](const ElementRun& a, const ElementRun& b) { return a.first < b.first; });
  std::vector<ElementRun> shown;
  std::vector<ElementRun> marked;
  for (const ElementRun& run : runs) {
    if (shown.size() < kRecordsShown) {
      shown.push_back(run);
    }
    if ((run.state->conflict() || run.state->override()) && marked.size() < kRecordsShown) {
      marked.push_back(run);
    }
  }
  page.note(std::to_string(elements) + " elements in " + std::to_string(runs.size()) +
            " ranges of elements alike; " + std::to_string(overrides) +
            " on more than one coefficient record (override), " + std::to_string(conflicts) +
            " both flooded and non-hydrodynamic (conflict)." +
            (shown.size() < runs.size()
                 ? " The first " + std::to_string(shown.size()) + " ranges are shown."
                 : std::string()));
  const auto table = [&](const std::vector<ElementRun>& rows) {
    page.open_table({"Elements", "Count", "Cd", "Cm", "Coefficient records", "Flooded",
                     "Non-hydrodynamic", "Note"});
    for (const ElementRun& run : rows) {
      element_row(page, data, run);
    }
    page.close("table");
  };
  table(shown);
  if (!marked.empty()) {
    page.element("h3", "Overrides and conflicts");
    page.note(
        "An element on two coefficient records takes the later one in the data file (often "
        "intended: a later card overriding an earlier one); an element both flooded and "
        "non-hydrodynamic is a conflict." +
        (marked.size() == kRecordsShown ? std::string(" The first ranges are shown.")
                                        : std::string()));
    table(marked);
  }
}

void element_mode(Page& page, const ReportData& data) {
  page.element("h3", "Drag and inertia coefficients by element (SPEC, SPEX)");
  if (data.element_records.empty()) {
    page.note(nothing(data, Part::kElements, "No usable SPEC or SPEX card."));
  } else {
    const std::size_t shown = std::min(data.element_records.size(), kRecordsShown);
    if (shown < data.element_records.size()) {
      Span cd;
      Span cm;
      Span elements;
      for (const ElementRecord& record : data.element_records) {
        cd.take(record.cd);
        cm.take(record.cm);
        for (const std::int32_t e : record.elements) {
          elements.take(e);
        }
      }
      summary(page, data.element_records.size(), shown, "element records",
              "Cd " + cd.text(3) + ", Cm " + cm.text(3) + ", elements " + elements.text(0));
    }
    page.open_table({"Card", "Keyword", "Cd", "Cm", "Written", "Elements", "Left out"});
    for (std::size_t r = 0; r < shown; ++r) {
      const ElementRecord& record = data.element_records[r];
      page.raw("<tr><td>" + card_lines(data, std::span(&record.line, 1)) + "</td>");
      page.cell("td", record.keyword);
      page.cell("td", fixed(record.cd, 3), "class=\"n\"");
      page.cell("td", fixed(record.cm, 3), "class=\"n\"");
      page.cell("td", count_text(record.elements.size()), "class=\"n\"");
      page.cell("td", shown_ranges(record.elements));
      page.cell("td", shown_ranges(record.left_out));
      page.raw("</tr>\n");
    }
    page.close("table");
  }
  element_set(page, data, data.flooded, "Flooded elements (FLOO)", "FLOO");
  element_set(page, data, data.non_hydro, "Elements without hydrodynamic load (ELIM)", "ELIM");
  per_element(page, data);

  page.element("h3", "Left out by the element ID check");
  if (!data.element_check) {
    page.note("No element ID check: every element is written.");
    return;
  }
  std::size_t total = 0;
  std::size_t rows = 0;
  page.open_table({"Card", "Line", "Count", "Elements left out"});
  for (const ElementRecord& record : data.element_records) {
    if (!record.left_out.empty()) {
      total += record.left_out.size();
      if (++rows <= kRecordsShown) {
        page.row({record.keyword, line_text(record.line), count_text(record.left_out.size()),
                  shown_ranges(record.left_out)});
      }
    }
  }
  if (rows > kRecordsShown) {
    page.row({"(" + std::to_string(rows - kRecordsShown) + " more cards)", "", "", ""});
  }
  for (const auto& [set, keyword] :
       {std::pair{&data.flooded, "FLOO"}, std::pair{&data.non_hydro, "ELIM"}}) {
    if (!set->left_out.empty()) {
      total += set->left_out.size();
      page.row({keyword, "-", count_text(set->left_out.size()), shown_ranges(set->left_out)});
    }
  }
  page.row({"All", "", count_text(total), ""});
  page.close("table");
}

void group_mode(Page& page, const ReportData& data) {
  page.element("h3", "Groups (FLOO cards naming a group)");
  if (data.groups.empty()) {
    page.note(nothing(data, Part::kElements, "No flooded-group record."));
  } else {
    const std::size_t shown = std::min(data.groups.size(), kRecordsShown);
    if (shown < data.groups.size()) {
      Span numbers;
      for (const GroupRecord& group : data.groups) {
        numbers.take(group.number);
      }
      summary(page, data.groups.size(), shown, "group records", "numbers " + numbers.text(0));
    }
    page.open_table({"Card", "Group", "Number", "Received"});
    for (std::size_t g = 0; g < shown; ++g) {
      const GroupRecord& group = data.groups[g];
      page.raw("<tr><td>" + card_lines(data, std::span(&group.line, 1)) + "</td>");
      page.cell("td", group.name);
      page.cell("td", std::to_string(group.number), "class=\"n\"");
      page.cell("td", "Flooded Group record");
      page.raw("</tr>\n");
    }
    page.close("table");
  }
  page.note(
      "In group mode only FLOO cards that name a group are converted; SPEC, SPEX and "
      "ELIM cards are not.");
}

void element_sets(Page& page, const ReportData& data) {
  page.element("h2", "Element sets");
  if (!reached(page, data, Part::kElements)) {
    return;
  }
  if (data.mode == SetMode::kGroups) {
    group_mode(page, data);
  } else {
    element_mode(page, data);
  }
}

void passed_over(Page& page, const ReportData& data) {
  page.element("h2", "Cards passed over");
  if (data.status.ending != Ending::kNormal) {
    page.element("p", "not reached: the run " + stop_place(data.status), "class=\"stop\"");
    return;
  }
  if (!data.passed_over_listed) {
    page.note("The card file's lines were not read for this list.");
    return;
  }
  if (data.passed_over.empty()) {
    page.note("Every card gave a record: none was passed over.");
    return;
  }
  page.note(
      "Cards that gave no record, by their columns 1-4 (comment cards as C). Cards of other "
      "programs and comments are normal in these files: this is a list, not a warning.");
  page.open_table({"Keyword", "Cards", "First lines"});
  for (const ReportData::PassedOver& passed : data.passed_over) {
    std::string lines;
    for (const std::int64_t line : passed.first_lines) {
      lines += (lines.empty() ? "" : ", ") + std::to_string(line);
    }
    if (passed.count > static_cast<std::int64_t>(passed.first_lines.size())) {
      lines += ", ...";
    }
    page.open("tr");
    page.cell("td", passed.keyword, "class=\"list\"");
    page.cell("td", std::to_string(passed.count), "class=\"n\"");
    page.cell("td", lines);
    page.raw("</tr>\n");
  }
  page.close("table");
}

void warnings(Page& page, const ReportData& data) {
  page.element("h2", "Warnings");
  if (data.warnings.empty()) {
    page.note("No warning.");
    return;
  }
  std::map<std::string, std::size_t, std::less<>> per_kind;
  std::map<std::string, std::size_t, std::less<>> not_shown;
  page.open_table({"File", "Line", "Warning"});
  for (const Warning& warning : data.warnings) {
    if (++per_kind[warning.kind] > kRecordsShown) {
      ++not_shown[warning.kind];
      continue;
    }
    page.row({warning.file, line_text(warning.line), warning.text});
  }
  page.close("table");
  for (const auto& [kind, count] : not_shown) {
    page.note(std::to_string(count) + " more listed warnings of the kind " +
              (kind.empty() ? std::string("(none)") : kind) +
              " are not shown here (the page shows the first " + std::to_string(kRecordsShown) +
              " of a kind; --json lists them).");
  }
}

}  // namespace

std::string element_ranges(std::span<const std::int32_t> elements, std::size_t most_runs) {
  if (elements.empty()) {
    return "none";
  }
  std::string text;
  std::size_t i = 0;
  std::size_t runs = 0;
  while (i < elements.size()) {
    if (runs == most_runs) {
      text += ", and " + std::to_string(elements.size() - i) + " more";
      break;
    }
    ++runs;
    std::size_t end = i;
    while (end + 1 < elements.size() && elements[end] < std::numeric_limits<std::int32_t>::max() &&
           elements[end + 1] == elements[end] + 1) {
      ++end;
    }
    if (!text.empty()) {
      text += ", ";
    }
    text += std::to_string(elements[i]);
    if (end > i) {
      text += (end == i + 1 ? ", " : "-") + std::to_string(elements[end]);
    }
    i = end + 1;
  }
  return text;
}

std::string render_report(const ReportData& data) {
  Page page;
  // The page forbids itself every script and every resource from outside, so that a browser
  // reports any such reference as an error.
  page.raw(
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n"
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src "
      "'unsafe-inline'\"/>\n");
  page.element("title", "Conversion report: " + data.input_file);
  page.raw("<style>");
  page.raw(kStyle);
  page.raw("</style>\n</head>\n<body>\n");
  page.element("h1", "Conversion report");
  status_box(page, data);
  heading(page, data);
  water_levels(page, data);
  sea_states(page, data);
  currents(page, data);
  directions(page, data);
  profiles(page, data);
  element_sets(page, data);
  passed_over(page, data);
  warnings(page, data);
  page.raw("</body>\n</html>\n");
  return page.take();
}

}  // namespace qel2br::report
