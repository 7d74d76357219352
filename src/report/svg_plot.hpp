// Plots for the report as inline SVG: axes with ticks at round values, point series, reference
// levels, and the sketch of the water levels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qel2br::report {

// The ticks of one axis: count values first, first + step, ..., all round numbers, covering
// the range asked for.
struct Ticks {
  double first = 0.0;
  double step = 1.0;
  std::size_t count = 0;
  // Decimals of the labels in fixed notation; scientific notation when the values are very
  // large or the step very small.
  int decimals = 0;
  bool scientific = false;

  // The value of tick i (0-based).
  [[nodiscard]] double at(std::size_t i) const;
  // The value of the last tick.
  [[nodiscard]] double last() const;
  // The label of tick i.
  [[nodiscard]] std::string label(std::size_t i) const;
};

// nice_ticks(low, high, most): ticks at round values (1, 2 or 5 times a power of ten apart)
// whose first is at or below low and whose last is at or above high, about most of them (most
// is taken as at least 2). A range of one value is widened around it; values that are not
// finite are taken as 0, and sizes beyond 1e300 as 1e300.
[[nodiscard]] Ticks nice_ticks(double low, double high, std::size_t most);

struct PlotPoint {
  double x = 0.0;
  double y = 0.0;
};

// A series of points, joined in their order by a line and marked one by one.
struct Series {
  std::string name{};
  std::vector<PlotPoint> points{};
};

// A horizontal reference line (a datum) with its label.
struct Level {
  double y = 0.0;
  std::string label{};
};

// One plot: texts are plain (escaped when rendered); labels name the quantity and its unit.
struct Plot {
  std::string title{};
  std::string x_label{};
  std::string y_label{};
  std::vector<Series> series{};
  std::vector<Level> levels{};
  // The horizontal axis starts at 0 or below (speeds, thicknesses, coefficients).
  bool x_from_zero = false;
};

// render_plot(plot): the plot as one <svg> element (360 x 300 user units, scaled by the page).
// The ticks span the plot area less a margin on every side, so that no point lies on the
// frame. Points that are not finite are left out; a plot without points says so.
[[nodiscard]] std::string render_plot(const Plot& plot);

// One direction of the compass rose, in degrees as the card gives it.
struct Bearing {
  enum class Kind : std::uint8_t { kWave, kCurrent };
  double degrees = 0.0;
  Kind kind = Kind::kWave;
};

// render_compass(bearings): a compass rose (300 x 300 user units) with a spoke for each
// direction, waves long and solid, currents short and dashed; the 0 line points to the right
// and angles grow counter-clockwise. Directions are labelled when there are at most 24 spokes.
// Directions that are not finite are left out.
[[nodiscard]] std::string render_compass(const std::vector<Bearing>& bearings);

// render_levels_sketch(mud_plane_z, water_depth, still_water_z): a sketch (not to scale) of
// the sea bed, the mud plane and the still water level, with their Z values and the depth.
[[nodiscard]] std::string render_levels_sketch(double mud_plane_z, double water_depth,
                                               double still_water_z);

}  // namespace qel2br::report
