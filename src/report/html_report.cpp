// The conversion report page: heading, water levels, sea states, currents, profiles, element
// sets and warnings, in the order of the output data file.
#include "report/html_report.hpp"

#include <charconv>
#include <cstddef>
#include <initializer_list>
#include <limits>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "report/markup.hpp"
#include "report/svg_plot.hpp"

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
.list { font-family: monospace; }
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

void heading(Page& page, const ReportData& data) {
  page.element("h1", "Conversion report");
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
  if (!data.end_note.empty()) {
    page.element("p", data.end_note, "class=\"stop\"");
  }
  if (!data.stop_report.empty()) {
    page.element("pre", data.stop_report, "class=\"stop\"");
  }
  if (!data.titles.empty()) {
    page.element("h3", "Heading of the card file");
    page.open("pre");
    for (const std::string& title : data.titles) {
      page.text(title);
      page.raw("\n");
    }
    page.close("pre");
  }
}

void water_levels(Page& page, const ReportData& data) {
  page.element("h2", "Water levels");
  page.raw("<div class=\"pair\">\n");
  page.open_table({"Level", "Value [m]"});
  page.row({"Mud plane Z", fixed(data.mud_plane_z, 3)});
  page.row({"Water depth", fixed(data.water_depth, 3)});
  page.row({"Still water level Z", fixed(data.still_water_z, 3)});
  page.close("table");
  page.raw(render_levels_sketch(data.mud_plane_z, data.water_depth, data.still_water_z));
  page.raw("</div>\n");
}

void sea_states(Page& page, const ReportData& data) {
  page.element("h2", "Sea states");
  if (data.sea_states.empty()) {
    page.note("No SEA card: no wave record.");
    return;
  }
  page.open_table({"Line", "Load case", "Type code", "Theory", "Height [m]", "Period [s]",
                   "Direction [deg]", "Phase"});
  for (const SeaState& sea : data.sea_states) {
    page.row({line_text(sea.line), std::to_string(sea.load_case), shortest(sea.type_code),
              sea.theory, fixed(sea.height, 2), fixed(sea.period, 2), fixed(sea.direction, 2),
              fixed(sea.phase, 2)});
  }
  page.close("table");
}

void currents(Page& page, const ReportData& data) {
  page.element("h2", "Currents");
  if (data.currents.empty()) {
    page.note("No CRNT card: no current record.");
    return;
  }
  const std::string unit(length_unit(data.length_factor));
  const double card_surface =
      data.length_factor == 0.0 ? 0.0 : data.water_depth / data.length_factor;
  for (std::size_t c = 0; c < data.currents.size(); ++c) {
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
                   .y_label = "Z [m]",
                   .series = {},
                   .levels = {{.y = data.mud_plane_z, .label = "mud plane"},
                              {.y = data.still_water_z, .label = "still water level"}},
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
    page.open_table({"Line", "Card elevation [" + unit + "]", "Card speed [" + unit + "/s]",
                     "Z [m]", "Speed [m/s]"});
    for (const ProfilePoint& point : current.points) {
      page.row({line_text(point.line), shortest(point.card_elevation), shortest(point.card_value),
                fixed(point.elevation, 2), fixed(point.value, 2)});
    }
    page.close("table");
  }
  page.note(kCardOrderNote);
}

// The plot of one profile value over Z.
std::string profile_plot(const Profile& profile, std::string title, std::string x_label,
                         bool second, const ReportData& data) {
  Plot plot{.title = std::move(title),
            .x_label = std::move(x_label),
            .y_label = "Z [m]",
            .series = {},
            .levels = {{.y = data.mud_plane_z, .label = "mud plane"},
                       {.y = data.still_water_z, .label = "still water level"}},
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

void profiles(Page& page, const ReportData& data) {
  const std::string unit(length_unit(data.length_factor));
  page.element("h2", "Marine growth");
  if (!profile_missing(page, data.marine_growth, "MGRW")) {
    page.raw(profile_plot(data.marine_growth, "Marine growth", "thickness [m]", false, data));
    page.open_table({"Line", "Card elevation [" + unit + "]", "Card thickness [" + unit + "]",
                     "Z [m]", "Thickness [m]"});
    for (const ProfilePoint& point : data.marine_growth.points) {
      page.row({line_text(point.line), shortest(point.card_elevation), shortest(point.card_value),
                fixed(point.elevation, 2), fixed(point.value, 3)});
    }
    page.close("table");
  }
  page.element("h2", "Drag and inertia coefficients");
  if (!profile_missing(page, data.coefficients, "COEF")) {
    page.raw("<div class=\"pair\">\n");
    page.raw(profile_plot(data.coefficients, "Drag coefficient", "Cd [-]", false, data));
    page.raw(profile_plot(data.coefficients, "Inertia coefficient", "Cm [-]", true, data));
    page.raw("</div>\n");
    page.open_table({"Line", "Card elevation [" + unit + "]", "Z [m]", "Cd", "Cm"});
    for (const ProfilePoint& point : data.coefficients.points) {
      page.row({line_text(point.line), shortest(point.card_elevation), fixed(point.elevation, 2),
                fixed(point.value, 3), fixed(point.value2, 3)});
    }
    page.close("table");
  }
  if (data.marine_growth.written || data.coefficients.written) {
    page.note(kCardOrderNote);
  }
}

std::string count_text(std::size_t count) { return std::to_string(count); }

void element_set(Page& page, const ElementSet& set, std::string_view title,
                 std::string_view keyword) {
  page.element("h3", title);
  if (set.lines.empty()) {
    page.note("No " + std::string(keyword) + " card with elements.");
    return;
  }
  std::string lines;
  for (const std::int64_t line : set.lines) {
    if (!lines.empty()) {
      lines += ", ";
    }
    lines += line_text(line);
  }
  page.open_table({"Cards (lines)", "Written", "Elements", "Left out"});
  page.row({lines, count_text(set.elements.size()), element_ranges(set.elements),
            element_ranges(set.left_out)});
  page.close("table");
}

void element_mode(Page& page, const ReportData& data) {
  page.element("h3", "Drag and inertia coefficients by element (SPEC, SPEX)");
  if (data.element_records.empty()) {
    page.note("No usable SPEC or SPEX card.");
  } else {
    page.open_table({"Card", "Line", "Cd", "Cm", "Written", "Elements", "Left out"});
    for (const ElementRecord& record : data.element_records) {
      page.row({record.keyword, line_text(record.line), fixed(record.cd, 3), fixed(record.cm, 3),
                count_text(record.elements.size()), element_ranges(record.elements),
                element_ranges(record.left_out)});
    }
    page.close("table");
  }
  element_set(page, data.flooded, "Flooded elements (FLOO)", "FLOO");
  element_set(page, data.non_hydro, "Elements without hydrodynamic load (ELIM)", "ELIM");

  page.element("h3", "Left out by the element ID check");
  if (!data.element_check) {
    page.note("No element ID check: every element is written.");
    return;
  }
  std::size_t total = 0;
  page.open_table({"Card", "Line", "Count", "Elements left out"});
  for (const ElementRecord& record : data.element_records) {
    if (!record.left_out.empty()) {
      total += record.left_out.size();
      page.row({record.keyword, line_text(record.line), count_text(record.left_out.size()),
                element_ranges(record.left_out)});
    }
  }
  for (const auto& [set, keyword] :
       {std::pair{&data.flooded, "FLOO"}, std::pair{&data.non_hydro, "ELIM"}}) {
    if (!set->left_out.empty()) {
      total += set->left_out.size();
      page.row({keyword, "-", count_text(set->left_out.size()), element_ranges(set->left_out)});
    }
  }
  page.row({"All", "", count_text(total), ""});
  page.close("table");
}

void group_mode(Page& page, const ReportData& data) {
  page.element("h3", "Groups (FLOO cards naming a group)");
  if (data.groups.empty()) {
    page.note("No flooded-group record.");
  } else {
    page.open_table({"Line", "Group", "Number", "Received"});
    for (const GroupRecord& group : data.groups) {
      page.row({line_text(group.line), group.name, std::to_string(group.number),
                "Flooded Group record"});
    }
    page.close("table");
  }
  page.note(
      "In group mode only FLOO cards that name a group are converted; SPEC, SPEX and "
      "ELIM cards are not.");
}

void warnings(Page& page, const ReportData& data) {
  page.element("h2", "Warnings");
  if (data.warnings.empty()) {
    page.note("No warning.");
    return;
  }
  page.open_table({"File", "Line", "Warning"});
  for (const Warning& warning : data.warnings) {
    page.row({warning.file, line_text(warning.line), warning.text});
  }
  page.close("table");
}

}  // namespace

std::string element_ranges(std::span<const std::int32_t> elements) {
  if (elements.empty()) {
    return "none";
  }
  std::string text;
  std::size_t i = 0;
  while (i < elements.size()) {
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
  heading(page, data);
  water_levels(page, data);
  sea_states(page, data);
  currents(page, data);
  profiles(page, data);
  page.element("h2", "Element sets");
  if (data.mode == SetMode::kGroups) {
    group_mode(page, data);
  } else {
    element_mode(page, data);
  }
  warnings(page, data);
  page.raw("</body>\n</html>\n");
  return page.take();
}

}  // namespace qel2br::report
