// The report page: its sections, escaping, and element lists.
#include "report/html_report.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "report/sample_report.hpp"

namespace qel2br::report {
namespace {

TEST(ElementRanges, RunsOfConsecutiveNumbers) {
  struct Row {
    const char* name;
    std::vector<std::int32_t> elements;
    const char* expected;
  };
  const std::vector<Row> rows = {
      {"empty", {}, "none"},
      {"one", {7}, "7"},
      {"two in a row stay apart", {11, 12}, "11, 12"},
      {"run", {101, 102, 103, 104}, "101-104"},
      {"runs and gaps", {101, 103, 104, 105, 201, 1001, 1002}, "101, 103-105, 201, 1001, 1002"},
      {"descending is no run", {5, 4, 3}, "5, 4, 3"},
      {"repeats", {3, 3, 4}, "3, 3, 4"},
      {"at the top of the range", {2147483646, 2147483647}, "2147483646, 2147483647"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(element_ranges(row.elements), row.expected);
  }
}

// The position of part in page, or fails.
std::size_t position(const std::string& page, const std::string& part) {
  const std::size_t at = page.find(part);
  EXPECT_NE(at, std::string::npos) << part;
  return at;
}

TEST(RenderReport, SectionsInOutputOrderWithEscapedTexts) {
  for (const SetMode mode : {SetMode::kElements, SetMode::kGroups}) {
    SCOPED_TRACE(mode == SetMode::kElements ? "elements" : "groups");
    const std::string page = render_report(testing::sample_report(3, mode));
    EXPECT_EQ(page.rfind("<!DOCTYPE html>\n<html lang=\"en\">", 0), 0U);
    std::size_t last = 0;
    for (const char* heading :
         {"<h1>Conversion report</h1>", "<h2>Water levels</h2>", "<h2>Sea states</h2>",
          "<h2>Currents</h2>", "<h2>Directions (as on the cards)</h2>", "<h2>Marine growth</h2>",
          "<h2>Drag and inertia coefficients</h2>", "<h2>Element sets</h2>",
          "<h2>Cards passed over</h2>", "<h2>Warnings</h2>", "</html>"}) {
      const std::size_t at = position(page, heading);
      EXPECT_GT(at, last) << heading;
      last = at;
    }
    // Every text from the input is escaped, broken bytes replaced.
    EXPECT_NE(page.find("in&lt;put&gt; &amp; &quot;x&quot;.inp"), std::string::npos);
    EXPECT_NE(page.find("PLATFORM &lt;A&gt; &amp; B \xEF\xBF\xBDT\xEF\xBF\xBD"), std::string::npos);
    EXPECT_NE(page.find("&quot;24,5&quot; &lt;read&gt; as 24 \xEF\xBF\xBD"), std::string::npos);
    EXPECT_EQ(page.find("<put>"), std::string::npos);
    EXPECT_EQ(page.find("<read>"), std::string::npos);
    // Self-contained: no script, no link, no resource fetched.
    for (const char* banned : {"<script", "<link", "src=", "href=", "url(", "@import"}) {
      EXPECT_EQ(page.find(banned), std::string::npos) << banned;
    }
    // One current: two plots; the compass rose; two profile plots for Cd and Cm, one for marine
    // growth.
    std::size_t plots = 0;
    for (std::size_t at = page.find("<svg "); at != std::string::npos;
         at = page.find("<svg ", at + 1)) {
      ++plots;
    }
    EXPECT_EQ(plots, 1U + 2U + 1U + 1U + 2U);
  }
}

TEST(RenderReport, ElementAndGroupTables) {
  const std::string elements = render_report(testing::sample_report(3, SetMode::kElements));
  EXPECT_NE(elements.find("<td>line 3</td><td>SPEC</td><td class=\"n\">0.700</td>"
                          "<td class=\"n\">2.000</td><td class=\"n\">5</td>"
                          "<td>101, 103, 105-107</td><td>102, 104</td>"),
            std::string::npos);
  EXPECT_NE(elements.find("<td>lines 9, 10</td><td class=\"n\">4</td><td>11-14</td><td>none</td>"),
            std::string::npos);
  // The left-out table: per card, then the merged sets, then the total.
  EXPECT_NE(elements.find("<td>ELIM</td><td>-</td><td class=\"n\">1</td>"
                          "<td class=\"n\">505</td>"),
            std::string::npos);
  EXPECT_NE(elements.find("<td>All</td><td></td><td class=\"n\">3</td>"), std::string::npos);
  EXPECT_EQ(elements.find("Flooded Group record"), std::string::npos);

  const std::string groups = render_report(testing::sample_report(3, SetMode::kGroups));
  EXPECT_NE(groups.find("<td>line 12</td><td>LEG&lt;A&gt;</td><td class=\"n\">7</td>"
                        "<td>Flooded Group record</td>"),
            std::string::npos);
  EXPECT_EQ(groups.find("Left out by the element ID check"), std::string::npos);
}

TEST(RenderReport, ProfilesOfFewerThanTwoPointsAreNotPlotted) {
  ReportData data = testing::sample_report(1, SetMode::kElements);
  const std::string page = render_report(data);
  EXPECT_NE(page.find("One MGRW card (line 200): a profile needs at least two, none written."),
            std::string::npos);
  data.coefficients.points.clear();
  data.currents.clear();
  data.sea_states.clear();
  data.warnings.clear();
  const std::string bare = render_report(data);
  EXPECT_NE(bare.find("No COEF card: no profile written."), std::string::npos);
  EXPECT_NE(bare.find("No CRNT card: no current record."), std::string::npos);
  EXPECT_NE(bare.find("No SEA card: no wave record."), std::string::npos);
  EXPECT_NE(bare.find("<p class=\"note\">No warning.</p>"), std::string::npos);
  EXPECT_EQ(bare.find("class=\"stop\""), std::string::npos);

  data.end_note = "The input stopped the run.";
  data.stop_report = "qel2br: a.inp:3: SEA card: found \"<x>\"\n";
  const std::string stopped = render_report(data);
  EXPECT_NE(stopped.find("<p class=\"stop\">The input stopped the run.</p>\n<pre class=\"stop\">"
                         "qel2br: a.inp:3: SEA card: found &quot;&lt;x&gt;&quot;\n</pre>"),
            std::string::npos);
}

std::size_t count_of(const std::string& page, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = page.find(part); at != std::string::npos; at = page.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(RenderReport, StatusBoxAndThePartsTheRunDidNotReach) {
  struct Row {
    const char* name;
    RunStatus status;
    Part stopped_in;  // the part the run ended in (kCount: none)
    const char* ending;
    const char* in_part;
    std::size_t not_reached;  // sections that say "not reached"
  };
  const std::vector<Row> rows = {
      {"normal end", {.ending = Ending::kNormal}, Part::kCount, "normal end", "", 0},
      {"stopped on a SEA card",
       {.ending = Ending::kStopped,
        .exit_status = 2,
        .reason = "SEA card, columns 16-20: expected a number",
        .stop_file = "a.inp",
        .stop_line = 3},
       Part::kWaves,
       "stopped at a.inp:3: SEA card, columns 16-20: expected a number",
       "The run stopped at a.inp:3 in this part: what it gave up to there follows.",
       // Currents, the directions' currents, marine growth, coefficients, element sets, cards
       // passed over.
       6},
      {"error end among the groups",
       {.ending = Ending::kErrorEnd, .exit_status = 1, .reason = "group LEGA1 has no number"},
       Part::kElements,
       "error end: group LEGA1 has no number",
       "The run took its error end (group LEGA1 has no number) in this part",
       1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ReportData data = testing::sample_report(3, SetMode::kElements);
    data.status = row.status;
    data.status.warnings = 4;
    data.status.failed_checks = 1;
    data.status.records = {.waves = 1, .currents = 0, .profiles = 0, .element_records = 0};
    for (std::size_t p = 0; p < static_cast<std::size_t>(row.stopped_in); ++p) {
      data.reached[p] = Reach::kDone;
    }
    if (row.stopped_in != Part::kCount) {
      data.reached[static_cast<std::size_t>(row.stopped_in)] = Reach::kStarted;
    }
    const std::string page = render_report(data);
    EXPECT_NE(page.find("<tr><th>Run</th><td>" + std::string(row.ending) + "</td></tr>"),
              std::string::npos);
    EXPECT_NE(page.find("<tr><th>Exit status</th><td>" + std::to_string(row.status.exit_status) +
                        "</td></tr>"),
              std::string::npos);
    EXPECT_NE(page.find("<tr><th>Records written</th><td>1 wave record, 0 current records, 0 depth "
                        "profiles, 0 element records</td></tr>"),
              std::string::npos);
    EXPECT_NE(page.find("<tr><th>Warnings</th><td>4</td></tr>"), std::string::npos);
    EXPECT_NE(page.find("<tr><th>Failed checks</th><td>1</td></tr>"), std::string::npos);
    EXPECT_EQ(count_of(page, ">not reached: the run ") + count_of(page, ">Currents not reached"),
              row.not_reached);
    EXPECT_NE(page.find(row.in_part), std::string::npos);
    // The box comes before the first section.
    EXPECT_LT(page.find("class=\"status"), page.find("<h2>Water levels</h2>"));
    if (row.stopped_in == Part::kWaves) {
      // The currents were never read: the page does not say there were none.
      EXPECT_EQ(page.find("No CRNT card"), std::string::npos);
      EXPECT_NE(page.find("<h2>Currents</h2>\n<p class=\"stop\">not reached: the run stopped "
                          "at a.inp:3</p>"),
                std::string::npos);
      // Stopped on the first SEA card: no wave record, and no word of there being no SEA card.
      data.sea_states.clear();
      data.currents.clear();
      const std::string first = render_report(data);
      EXPECT_EQ(first.find("No SEA card"), std::string::npos);
      EXPECT_EQ(first.find("No SEA or CRNT card"), std::string::npos);
      EXPECT_EQ(count_of(first, "Nothing before the stop."), 2U);  // waves, directions
    }
  }
}

TEST(RenderReport, SeaStateFiguresWithFailedChecksMarked) {
  ReportData data = testing::sample_report(2, SetMode::kElements);
  // Deep water (T 12 s, d 100 m: L 223.1 m) and shallow water (T 10 s, d 20 m: L 121.2 m, as
  // the tables of the linear dispersion relation give them), and a period of 0.
  data.sea_states = {
      {.line = 4, .theory = "Airy", .type_code = 1, .height = 10, .period = 12, .depth = 100},
      {.line = 5, .theory = "Stoke", .type_code = 5, .height = 12, .period = 10, .depth = 20},
      {.line = 6, .theory = "Airy", .type_code = 1, .height = 2, .period = 0, .depth = 20}};
  data.warnings.push_back({.file = data.input_file,
                           .line = 5,
                           .text = "H/d 0.600 above 0.78",
                           .kind = "wave-breaking"});
  data.warnings.push_back(
      {.file = data.input_file, .line = 6, .text = "period 0", .kind = "wave-period"});
  const std::string page = render_report(data);
  EXPECT_NE(page.find("<td class=\"n\">100.00</td><td class=\"n\">223.1</td>"
                      "<td class=\"n\">0.0448</td><td class=\"n\">0.1410</td>"
                      "<td class=\"n\">0.100</td><td class=\"n\">0.5</td></tr>"),
            std::string::npos);
  EXPECT_NE(page.find("<td class=\"n\">20.00</td><td class=\"n\">121.2</td>"
                      "<td class=\"n\">0.0990</td><td class=\"n\">0.1103</td>"
                      "<td class=\"n fail\">0.600 \u2717</td><td class=\"n\">22.0</td></tr>"),
            std::string::npos);
  EXPECT_NE(page.find("<td class=\"n fail\">0.00 \u2717</td>"), std::string::npos);
  // Without a period only H/d can be computed.
  EXPECT_NE(page.find("<td class=\"n\">20.00</td><td class=\"n\">-</td><td class=\"n\">-</td>"
                      "<td class=\"n\">-</td><td class=\"n\">0.100</td><td class=\"n\">-</td>"
                      "</tr>"),
            std::string::npos);
  EXPECT_EQ(count_of(page, "class=\"n fail\""), 2U);
  // Every column is explained, the blank wave type too.
  for (const char* column : {"Card", "Type", "Theory", "H", "T", "Dir.", "Phase", "d", "L", "H/L",
                             "Limit", "H/d", "Ursell"}) {
    EXPECT_NE(page.find("<dt>" + std::string(column) + "</dt>"), std::string::npos) << column;
  }
  EXPECT_NE(page.find("a blank field reads as 5"), std::string::npos);
}

TEST(RenderReport, LongSectionsAreSummarisedAndShownInPart) {
  ReportData data = testing::sample_report(2, SetMode::kElements);
  data.sea_states.clear();
  for (int i = 0; i < 120; ++i) {
    data.sea_states.push_back({.line = 100 + i,
                               .theory = "Airy",
                               .type_code = 1,
                               .height = 0.1 * i,
                               .period = 10,
                               .direction = 3.0 * i,
                               .depth = 100});
  }
  ElementRecord wide{.keyword = "SPEC", .line = 3, .cd = 0.7, .cm = 2.0};
  for (int e = 1; e <= 400; e += 2) {
    wide.elements.push_back(e);
  }
  data.element_records = {wide};
  const std::string page = render_report(data);
  EXPECT_NE(page.find(">120 sea states; the first 50 are shown in full. All of them: height 0.00 "
                      "to 11.90 m, period 10.00 to 10.00 s, direction 0.00 to 357.00 deg.</p>"),
            std::string::npos);
  // The lines 100 to 149, no further.
  EXPECT_EQ(count_of(page, "<td class=\"n\">1</td><td>Airy</td>"), 50U);
  EXPECT_NE(page.find("<td>line 100</td>"), std::string::npos);
  EXPECT_NE(page.find("<td>line 149</td>"), std::string::npos);
  EXPECT_EQ(page.find(">line 150<"), std::string::npos);
  // 200 elements of no run: the first 50 listed, the rest counted.
  EXPECT_NE(page.find("95, 97, 99, and 150 more</td>"), std::string::npos);
  // Directions beyond the table's rows are counted.
  EXPECT_NE(page.find("(70 more directions)"), std::string::npos);
}

TEST(RenderReport, ElementsOneByOneWithOverridesAndConflicts) {
  ReportData data = testing::sample_report(2, SetMode::kElements);
  data.element_records = {
      {.keyword = "SPEC", .line = 3, .cd = 0.7, .cm = 2.0, .elements = {1, 2, 3, 4, 5, 6, 7, 8}},
      {.keyword = "SPEX", .line = 8, .cd = 1.0, .cm = 1.5, .elements = {5, 6}},
      // At a step of 2: one range; two elements at a step stay apart.
      {.keyword = "SPEC", .line = 12, .cd = 0.9, .cm = 1.9, .elements = {21, 23, 25, 27}},
      {.keyword = "SPEC", .line = 13, .cd = 0.9, .cm = 1.9, .elements = {31, 33}}};
  data.flooded = {.lines = {9}, .elements = {9, 10, 11}};
  data.non_hydro = {.lines = {10}, .elements = {11}};
  const std::string page = render_report(data);
  const std::string plain = "<td class=\"n\">";
  for (const std::string& row : {
           "<tr><td>1-4</td>" + plain + "4</td>" + plain + "0.700</td>" + plain +
               "2.000</td><td>SPEC line 3</td><td></td><td></td><td></td></tr>",
           "<tr class=\"fail\"><td>5-6</td>" + plain + "2</td>" + plain + "1.000</td>" + plain +
               "1.500</td><td>SPEX line 8, overriding SPEC line 3</td><td></td><td></td>"
               "<td>override: the later record applies</td></tr>",
           "<tr><td>7-8</td>" + plain + "2</td>",
           "<tr><td>21-27 step 2</td>" + plain + "4</td>" + plain + "0.900</td>",
           "<tr><td>31</td>" + plain + "1</td>",
           "<tr><td>33</td>" + plain + "1</td>",
           "<tr><td>9-10</td>" + plain + "2</td>" + plain + "-</td>" + plain +
               "-</td><td>no coefficient record</td><td>yes</td><td></td>",
           "<tr class=\"fail\"><td>11</td>" + plain + "1</td>" + plain + "-</td>" + plain +
               "-</td><td>no coefficient record</td><td>yes</td><td>yes</td>"
               "<td>conflict: flooded and non-hydrodynamic</td></tr>",
       }) {
    EXPECT_NE(page.find(row), std::string::npos) << row;
  }
  EXPECT_NE(page.find("17 elements in 8 ranges of elements alike; 2 on more than one "
                      "coefficient record (override), 1 both flooded and non-hydrodynamic "
                      "(conflict)."),
            std::string::npos);
  // The overrides and conflicts again, in a table of their own.
  EXPECT_EQ(count_of(page, "<tr class=\"fail\">"), 4U);
}

TEST(RenderReport, ElevationsRelativeToTheStillWaterLevel) {
  ReportData data = testing::sample_report(2, SetMode::kElements);
  const std::string page = render_report(data);
  EXPECT_NE(page.find("relative to the still water level (0 there, positive upwards)"),
            std::string::npos);
  EXPECT_NE(page.find("the sea bed lies at minus the water depth, Z = -100.000 m"),
            std::string::npos);
  // Each "as written" plot (current, growth, Cd, Cm) draws the sea bed at minus the depth.
  EXPECT_EQ(count_of(page, ">sea bed (minus the water depth)</text>"), 4U);
  EXPECT_EQ(page.find(">mud plane</text>"), std::string::npos);
  EXPECT_EQ(page.find("SurfLev"), std::string::npos);

  data.mud_plane_z = 0.0;
  data.water_depth = 25.0;
  const std::string apart = render_report(data);
  EXPECT_NE(apart.find("The mud-plane Z (0.000 m) is not minus the water depth (-25.000 m): the "
                       "SurfLev of the wave and current records is the still-water-level Z in "
                       "the global frame (0.000 m), while the profile elevations are relative to "
                       "the still water level."),
            std::string::npos);
}

TEST(RenderReport, CardLinesFoldedBesideTheirRecords) {
  ReportData data = testing::sample_report(2, SetMode::kElements);
  // A right-to-left override and markup in the card: shown as they are, visibly.
  data.card_text[4] = "SEA  1 \xE2\x80\xAE<b>";
  const std::string page = render_report(data);
  EXPECT_NE(page.find("<td><details><summary>line 4</summary><pre class=\"card\">SEA  1 "
                      "[U+202E]&lt;b&gt;\n</pre></details></td>"),
            std::string::npos);
  EXPECT_EQ(page.find("\xE2\x80\xAE"), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);
}

}  // namespace
}  // namespace qel2br::report
