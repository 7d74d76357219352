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

}  // namespace
}  // namespace qel2br::report
