// Tests of the checks of a converted load model: the linear dispersion relation against tabulated
// values, and each check silent just inside its limit and warning just outside it.
#include "checks/load_checks.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "checks/thresholds.hpp"
#include "checks/wave_figures.hpp"
#include "records/records.hpp"
#include "support/warnings.hpp"

namespace {

using qel2br::checks::LoadChecks;
using qel2br::records::SeaState;
using qel2br::support::KeptWarning;
using qel2br::support::WarningKind;

constexpr double kGravity = qel2br::checks::kGravity;

// d/L against d/L0 (L0 = g T^2 / 2 pi, the deep-water wavelength), as the tables of linear wave
// theory give them to four digits.
TEST(LinearWave, MatchesTabulatedWavelengths) {
  struct Row {
    double relative_depth;  // d / L0
    double tabulated;       // d / L
  };
  const double period = 10.0;
  const double deep = kGravity * period * period / (2.0 * std::numbers::pi);
  for (const Row& row : {Row{0.01, 0.04032}, Row{0.05, 0.09416}, Row{0.1, 0.1410}, Row{0.2, 0.2251},
                         Row{0.5, 0.5018}}) {
    const double depth = row.relative_depth * deep;
    const auto wave = qel2br::checks::linear_wave(period, depth);
    ASSERT_TRUE(wave.has_value()) << row.relative_depth;
    EXPECT_NEAR(depth / wave->length, row.tabulated, 5e-5) << row.relative_depth;
    EXPECT_NEAR(wave->wave_number * wave->length, 2.0 * std::numbers::pi, 1e-12);
  }
  // Deep water: L0; shallow water: T sqrt(g d).
  EXPECT_NEAR(qel2br::checks::linear_wave(period, 5000.0)->length, deep, 1e-9 * deep);
  const double shallow = 100.0 * std::sqrt(kGravity * 0.1);
  EXPECT_NEAR(qel2br::checks::linear_wave(100.0, 0.1)->length, shallow, 1e-3 * shallow);
  // No wave without a period or a depth.
  for (const auto& [t, d] : std::vector<std::pair<double, double>>{
           {0.0, 10.0}, {-1.0, 10.0}, {10.0, 0.0}, {10.0, -5.0}, {NAN, 10.0}, {10.0, INFINITY}}) {
    EXPECT_FALSE(qel2br::checks::linear_wave(t, d).has_value()) << t << " " << d;
  }
}

// The bounds that spare the dispersion relation never pass a sea state whose figures exceed a
// limit: a grid of heights, periods and depths from shallow to deep water.
TEST(LinearWave, BoundsNeverHideAnExceededLimit) {
  int spared = 0;
  for (double depth = 0.5; depth < 3000.0; depth *= 1.7) {
    for (double period = 0.5; period < 40.0; period *= 1.3) {
      for (double height = 0.01; height < 100.0; height *= 1.45) {
        const SeaState state{.line = 1,
                             .type_code = 5.0,
                             .theory = qel2br::support::Text<8>("Stoke"),
                             .height = height,
                             .period = period,
                             .depth = depth};
        if (qel2br::checks::may_exceed_wave_limits(state)) {
          continue;
        }
        ++spared;
        const auto figures = qel2br::checks::sea_state_figures(state);
        ASSERT_TRUE(figures.steepness.has_value());
        EXPECT_LT(*figures.steepness, *figures.steepness_limit)
            << height << " " << period << " " << depth;
        EXPECT_LT(*figures.ursell, qel2br::checks::kUrsellStokes)
            << height << " " << period << " " << depth;
      }
    }
  }
  // Most states of the grid are spared, and some are not.
  EXPECT_GT(spared, 1000);
}

// The warnings a LoadChecks sink gives for what feed gives it.
std::vector<KeptWarning> warnings_of(const std::function<void(LoadChecks&)>& feed) {
  std::vector<KeptWarning> kept;
  qel2br::support::Warnings warnings;
  warnings.keep(&kept);
  LoadChecks checks(warnings, "c.inp");
  feed(checks);
  return kept;
}

SeaState sea(double type, const char* theory, double height, double period, double depth) {
  return {.line = 7,
          .type_code = type,
          .theory = qel2br::support::Text<8>(theory),
          .height = height,
          .period = period,
          .direction = 0.0,
          .phase = 0.0,
          .surface_level = depth,
          .depth = depth};
}

qel2br::records::Current current(std::vector<std::pair<double, double>> points, double depth) {
  qel2br::records::Current c{.line = 3, .direction = 0.0, .surface_level = depth, .depth = depth};
  std::int64_t line = 3;
  for (const auto& [elevation, speed] : points) {
    c.points.push_back({.line = line++,
                        .card_elevation = elevation + depth,
                        .elevation = elevation,
                        .card_value = speed,
                        .value = speed});
  }
  return c;
}

qel2br::records::DepthProfile profile(qel2br::records::ProfileKind kind, double value,
                                      double value2) {
  qel2br::records::DepthProfile p{.kind = kind};
  p.points.push_back({.line = 20, .elevation = -50.0, .value = 0.45, .value2 = 1.5});
  p.points.push_back({.line = 21, .elevation = 0.0, .value = value, .value2 = value2});
  return p;
}

qel2br::records::ElementSet element_set(qel2br::records::SetKind kind, std::int64_t line,
                                        std::int32_t first, std::int32_t last) {
  qel2br::records::ElementSet set{.kind = kind, .lines = {line}};
  for (std::int32_t e = first; e <= last; ++e) {
    set.positions.push_back(e);
  }
  set.card_ends = {set.positions.size()};
  return set;
}

// Each check: a record just inside its limit (no warning of its kind), the same just outside
// (one warning of its kind, at the card's line, showing the value that failed). Inside lies
// within the relative tolerance of the limit; outside beyond it.
TEST(LoadChecks, EachCheckWarnsJustOutsideItsLimit) {
  using qel2br::records::ProfileKind;
  using qel2br::records::SetKind;
  const double in = 1.0 + 1e-10;
  const double out = 1.0 + 1e-8;
  const double steep_length = qel2br::checks::linear_wave(6.0, 100.0)->length;
  const double steep_limit =
      *qel2br::checks::sea_state_figures(sea(1, "Airy", 1, 6, 100)).steepness_limit;
  const double ursell_length = qel2br::checks::linear_wave(18.0, 20.0)->length;
  const double ursell_height = 30.0 * 20.0 * 20.0 * 20.0 / (ursell_length * ursell_length);
  struct Row {
    const char* name;
    WarningKind kind;
    std::function<void(LoadChecks&, bool)> feed;  // the record inside (false) or outside (true)
    std::int64_t line;
    std::string shown;  // a part of the message outside
  };
  const std::vector<Row> rows = {
      {"period", WarningKind::kWavePeriod,
       [](LoadChecks& c, bool o) { c.sea_state(sea(1, "Airy", 1, o ? 0.0 : 1e-300, 100)); }, 7,
       "period T = 0 s is not above 0"},
      {"height", WarningKind::kWaveHeight,
       [](LoadChecks& c, bool o) { c.sea_state(sea(1, "Airy", o ? -1e-9 : 0.0, 10, 100)); }, 7,
       "height H = -1e-09 m is below 0"},
      {"breaking", WarningKind::kWaveBreaking,
       [&](LoadChecks& c, bool o) { c.sea_state(sea(1, "Airy", 7.8 * (o ? out : in), 20, 10)); }, 7,
       "H/d = 7.8 m / 10 m = 0.78000001 is above 0.78"},
      {"steepness", WarningKind::kWaveSteepness,
       [&](LoadChecks& c, bool o) {
         c.sea_state(sea(1, "Airy", steep_limit * steep_length * (o ? out : in), 6, 100));
       },
       7, " is above the breaking limit 0.142 tanh(kd) = 0.142 (L and k = 0.111824 1/m"},
      {"Ursell number of a Stokes wave", WarningKind::kStokesUrsell,
       [&](LoadChecks& c, bool o) {
         c.sea_state(sea(5, "Stoke", ursell_height * (o ? out : in), 18, 20));
       },
       7, "= 30.0000003, above 30"},
      {"Ursell number of a stream-function wave", WarningKind::kStokesUrsell,
       [&](LoadChecks& c, bool o) {
         c.sea_state(sea(6, "Stream", ursell_height * (o ? 2 : 1), 18, 20));
       },
       0, ""},
      {"no height of type 19", WarningKind::kWaveHeight,
       [](LoadChecks& c, bool o) { c.sea_state(sea(o ? 11 : 19, "Airy", -1, 10, 100)); }, 7,
       "height H = -1 m"},
      {"water depth", WarningKind::kNoWaterDepth,
       [](LoadChecks& c, bool o) {
         c.sea_state(sea(1, "Airy", 1, 10, o ? 0.0 : 1e-3));
         c.current(current({{0.0, 1.0}}, o ? 0.0 : 1e-3));  // warned once only
       },
       7, "the water depth d is 0"},
      {"current speed", WarningKind::kCurrentSpeed,
       [&](LoadChecks& c, bool o) {
         c.current(current({{-10, 1}, {0, -5.0 * (o ? out : in)}}, 100));
       },
       4, "speed |v| = 5.00000005 m/s is above 5 m/s"},
      {"point below the sea bed", WarningKind::kCurrentBelowSeabed,
       [&](LoadChecks& c, bool o) {
         c.current(current({{-100.0 * (o ? out : in), 1}, {0, 1}}, 100));
       },
       3, "the point at Z = -100.000001 m"},
      {"elevations that turn back", WarningKind::kCurrentOrder,
       [](LoadChecks& c, bool o) {
         c.current(current({{-100, 1}, {-50, 1}, {-50, 1}, {o ? -60.0 : 0.0, 1}}, 100));
       },
       6, "elevation Z = -60 m after -50 m turns back"},
      {"growth above 0.5 m", WarningKind::kGrowthThickness,
       [&](LoadChecks& c, bool o) {
         c.profile(profile(ProfileKind::kMarineGrowth, 0.5 * (o ? out : in), 0));
       },
       21, "thickness 0.500000005 m is outside 0 to 0.5 m"},
      {"growth below 0", WarningKind::kGrowthThickness,
       [](LoadChecks& c, bool o) {
         c.profile(profile(ProfileKind::kMarineGrowth, o ? -0.001 : 0.0, 0));
       },
       21, "thickness -0.001 m"},
      {"drag coefficient", WarningKind::kDragCoefficient,
       [&](LoadChecks& c, bool o) {
         c.profile(profile(ProfileKind::kCoefficients, 0.4 / (o ? out : in), 1.5));
       },
       21, "Cd = 0.399999996 is outside 0.4 to 2.5"},
      {"a drag coefficient of 0 switches drag off", WarningKind::kDragCoefficient,
       [](LoadChecks& c, bool o) {
         c.profile(profile(ProfileKind::kCoefficients, o ? 0.01 : 0.0, 1.5));
       },
       21, "Cd = 0.01"},
      {"inertia coefficient", WarningKind::kInertiaCoefficient,
       [&](LoadChecks& c, bool o) {
         c.element_record({.keyword = qel2br::support::Text<4>("SPEX"),
                           .line = 30,
                           .cd = 1.0,
                           .cm = 2.5 * (o ? out : in)});
       },
       30, "Cm = 2.50000002 is outside 1 to 2.5"},
      {"one profile point", WarningKind::kProfileOnePoint,
       [](LoadChecks& c, bool o) {
         auto p = profile(ProfileKind::kMarineGrowth, 0.1, 0);
         if (o)
           p.points.pop_back();
         c.profile(p);
       },
       20, "no marine growth profile is written"},
      {"flooded and non-hydrodynamic", WarningKind::kFloodedNonHydro,
       [](LoadChecks& c, bool o) {
         c.element_set(element_set(SetKind::kFlooded, 40, 1, 10));
         c.element_set(element_set(SetKind::kNonHydro, 41, o ? 8 : 11, 20));
       },
       41, "elements 8-10 are both non-hydrodynamic and flooded (FLOO card, line 40)"},
      {"a value too wide for its field", WarningKind::kFieldOverflow,
       [](LoadChecks& c, bool o) { c.sea_state(sea(1, "Airy", 1, o ? 99999.996 : 99999.99, 100)); },
       7, "Period 99999.996 is too wide for its F8.2 field of the data file, which holds ********"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto of_kind = [&](bool outside) {
      std::vector<KeptWarning> found;
      for (KeptWarning& w : warnings_of([&](LoadChecks& c) { row.feed(c, outside); })) {
        if (w.kind == row.kind) {
          found.push_back(std::move(w));
        }
      }
      return found;
    };
    EXPECT_TRUE(of_kind(false).empty()) << of_kind(false).front().message;
    const std::vector<KeptWarning> outside = of_kind(true);
    if (row.line == 0) {
      EXPECT_TRUE(outside.empty());
      continue;
    }
    ASSERT_EQ(outside.size(), 1U);
    EXPECT_EQ(outside[0].line, row.line);
    EXPECT_EQ(outside[0].file, "c.inp");
    EXPECT_NE(outside[0].message.find(row.shown), std::string::npos) << outside[0].message;
  }
}

}  // namespace
