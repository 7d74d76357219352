// Tick choice and the SVG of the report's plots.
#include "report/svg_plot.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace qel2br::report {
namespace {

TEST(NiceTicks, RoundValuesCoveringTheRange) {
  struct Row {
    const char* name;
    double low;
    double high;
    std::size_t most;
    std::vector<const char*> labels;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<Row> rows = {
      {"0 to 1", 0.0, 1.0, 6, {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}},
      {"inside a round range", 0.5, 1.2, 6, {"0.4", "0.6", "0.8", "1.0", "1.2"}},
      {"sea bed to surface",
       -100.0,
       0.0,
       8,
       {"-100", "-90", "-80", "-70", "-60", "-50", "-40", "-30", "-20", "-10", "0"}},
      {"reversed ends", 0.0, -100.0, 3, {"-100", "-50", "0"}},
      {"one value", 5.0, 5.0, 6, {"4.4", "4.6", "4.8", "5.0", "5.2", "5.4", "5.6"}},
      {"one value 0", 0.0, 0.0, 6, {"-1.0", "-0.5", "0.0", "0.5", "1.0"}},
      {"NaN as 0", nan, nan, 6, {"-1.0", "-0.5", "0.0", "0.5", "1.0"}},
      {"most below 2", 0.0, 10.0, 0, {"0", "10"}},
      {"small step", 0.02, 0.05, 4, {"0.02", "0.04", "0.06"}},
      {"large", 0.0, 1e12, 6, {"0", "2.0e+11", "4.0e+11", "6.0e+11", "8.0e+11", "1.0e+12"}},
      {"tiny", 0.0, 4e-9, 3, {"0", "2e-09", "4e-09"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Ticks ticks = nice_ticks(row.low, row.high, row.most);
    std::vector<std::string> labels;
    for (std::size_t i = 0; i < ticks.count; ++i) {
      labels.push_back(ticks.label(i));
    }
    EXPECT_EQ(labels, std::vector<std::string>(row.labels.begin(), row.labels.end()));
  }
}

TEST(NiceTicks, EveryRangeCoveredByFewDistinctTicks) {
  // Ranges from a tiny span far from 0 to spans beyond 1e299, both signs.
  std::vector<std::pair<double, double>> ranges;
  for (int e = -12; e <= 299; e += 7) {
    for (const double start : {-7.3, -1.0, 0.0, 0.013, 3.0, 987654.0}) {
      const double span = std::pow(10.0, e) * 3.7;
      ranges.emplace_back(start * std::pow(10.0, e / 2), start * std::pow(10.0, e / 2) + span);
    }
  }
  ranges.emplace_back(-1e300, 1e300);
  ranges.emplace_back(1.0, 1.0 + 1e-12);
  for (const auto& [low, high] : ranges) {
    SCOPED_TRACE(std::to_string(low) + " to " + std::to_string(high));
    const Ticks ticks = nice_ticks(low, high, 6);
    ASSERT_GE(ticks.count, 2U);
    EXPECT_LE(ticks.count, 13U);
    EXPECT_LE(ticks.first, low);
    EXPECT_GE(ticks.last(), std::min(high, 1e300) * (1 - 1e-12));
    std::set<std::string> labels;
    for (std::size_t i = 0; i < ticks.count; ++i) {
      labels.insert(ticks.label(i));
    }
    EXPECT_EQ(labels.size(), ticks.count) << "labels repeat";
  }
}

// The numbers of every attribute name="..." in the SVG.
std::vector<double> attribute_values(const std::string& svg, const std::string& name) {
  std::vector<double> values;
  const std::regex pattern(" " + name + "=\"([-0-9.]+)\"");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), pattern);
       it != std::sregex_iterator(); ++it) {
    values.push_back(std::stod((*it)[1].str()));
  }
  return values;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

Plot profile_plot(std::size_t points) {
  Plot plot{.title = "Current <1> & \"2\"",
            .x_label = "speed [m/s]",
            .y_label = "Z [m]",
            .series = {{.name = "written", .points = {}}},
            .levels = {{.y = -100.0, .label = "mud plane"}, {.y = 0.0, .label = "still water"}},
            .x_from_zero = true};
  for (std::size_t i = 0; i < points; ++i) {
    const double t = static_cast<double>(i);
    plot.series[0].points.push_back({.x = 0.5 + 0.01 * t, .y = -100.0 + t});
  }
  return plot;
}

TEST(RenderPlot, OneAndHundredPointsInsideTheFrame) {
  struct Row {
    const char* name;
    std::size_t points;
    std::size_t polylines;
    double radius;
  };
  const std::vector<Row> rows = {
      {"one point", 1, 0, 3.0}, {"two points", 2, 1, 3.0}, {"100 points", 100, 1, 1.4}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string svg = render_plot(profile_plot(row.points));
    EXPECT_EQ(occurrences(svg, "<circle "), row.points);
    EXPECT_EQ(occurrences(svg, "<polyline "), row.polylines);
    for (const double r : attribute_values(svg, "r")) {
      EXPECT_EQ(r, row.radius);
    }
    // Every point lies in the frame (64..346 across, 30..252 down) and clear of it by the
    // margin of 8, even the lowest, which is on the lowest tick.
    for (const double x : attribute_values(svg, "cx")) {
      EXPECT_GE(x, 72.0);
      EXPECT_LE(x, 338.0);
    }
    for (const double y : attribute_values(svg, "cy")) {
      EXPECT_GE(y, 38.0);
      EXPECT_LE(y, 244.0);
    }
    // Texts are escaped; both axes are labelled.
    EXPECT_NE(svg.find("Current &lt;1&gt; &amp; &quot;2&quot;"), std::string::npos);
    EXPECT_EQ(svg.find("<1>"), std::string::npos);
    EXPECT_NE(svg.find(">speed [m/s]</text>"), std::string::npos);
    EXPECT_NE(svg.find(">Z [m]</text>"), std::string::npos);
    EXPECT_NE(svg.find(">mud plane</text>"), std::string::npos);
  }
}

TEST(RenderPlot, LevelsWidenTheRangeAndNonFinitePointsAreLeftOut) {
  Plot plot = profile_plot(2);
  plot.series[0].points.push_back({.x = std::numeric_limits<double>::quiet_NaN(), .y = 3.0});
  plot.series[0].points.push_back({.x = 1.0, .y = std::numeric_limits<double>::infinity()});
  plot.levels.push_back({.y = 40.0, .label = "high"});
  const std::string svg = render_plot(plot);
  EXPECT_EQ(occurrences(svg, "<circle "), 2U);
  // The highest level sets the top tick: 40 on the vertical axis.
  EXPECT_NE(svg.find(">40</text>"), std::string::npos);
  EXPECT_NE(svg.find(">-100</text>"), std::string::npos);
  EXPECT_EQ(svg.find("nan"), std::string::npos);
  EXPECT_EQ(svg.find("inf"), std::string::npos);

  const std::string empty = render_plot(Plot{.title = "t", .x_label = "x", .y_label = "y"});
  EXPECT_NE(empty.find(">no points</text>"), std::string::npos);
  EXPECT_EQ(occurrences(empty, "<circle "), 0U);
}

TEST(RenderCompass, ASpokePerDirectionAsOnTheCards) {
  const std::vector<Bearing> bearings = {
      {.degrees = 0.0, .kind = Bearing::Kind::kWave},
      {.degrees = 90.0, .kind = Bearing::Kind::kWave},
      {.degrees = 225.0, .kind = Bearing::Kind::kCurrent},
      {.degrees = std::numeric_limits<double>::quiet_NaN(), .kind = Bearing::Kind::kWave}};
  const std::string svg = render_compass(bearings);
  // A dot at the end of each finite spoke: 0 to the right, 90 up (counter-clockwise).
  const std::vector<double> x = attribute_values(svg, "cx");
  const std::vector<double> y = attribute_values(svg, "cy");
  ASSERT_EQ(x.size(), 4U);  // the circle of the rose and three spokes
  EXPECT_EQ(x[1], 150.0 + 104.0);
  EXPECT_EQ(y[1], 150.0);
  EXPECT_NEAR(x[2], 150.0, 1e-9);
  EXPECT_EQ(y[2], 150.0 - 104.0);
  EXPECT_LT(x[3], 150.0);  // 225: down and to the left
  EXPECT_GT(y[3], 150.0);
  EXPECT_EQ(occurrences(svg, "stroke-dasharray=\"6 3\""), 2U);  // the current and its legend
  EXPECT_NE(svg.find(">225</text>"), std::string::npos);
  EXPECT_NE(svg.find("Directions as on the cards"), std::string::npos);
  EXPECT_EQ(svg.find("nan"), std::string::npos);
  // Beyond 24 spokes the directions are not labelled.
  std::vector<Bearing> many(25, Bearing{.degrees = 33.0});
  EXPECT_EQ(render_compass(many).find(">33</text>"), std::string::npos);
}

TEST(RenderLevelsSketch, ValuesOfTheThreeLevels) {
  const std::string svg = render_levels_sketch(-80.0, 100.0, 20.0);
  EXPECT_NE(svg.find(">still water level  Z = 20.000 m</text>"), std::string::npos);
  EXPECT_NE(svg.find(">mud plane  Z = -80.000 m</text>"), std::string::npos);
  EXPECT_NE(svg.find(">depth 100.000 m</text>"), std::string::npos);
  EXPECT_NE(svg.find(">sea bed</text>"), std::string::npos);
}

}  // namespace
}  // namespace qel2br::report
