// Inline SVG plots: the tick choice, the mapping of values to the drawing, and the markup.
#include "report/svg_plot.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

#include "report/markup.hpp"

namespace qel2br::report {

namespace {

// Sizes beyond this are drawn at it, so that every range and step stays finite.
constexpr double kLargest = 1e300;
// Sizes below this are drawn as 0, which keeps steps clear of the subnormal numbers.
constexpr double kSmallest = 1e-200;
// Two ends closer than this part of their size are one value.
constexpr double kSameValue = 1e-9;
// No axis gets more ticks than this, whatever the rounding does.
constexpr std::size_t kMostTicks = 100;

// The drawing: 360 x 300 user units, the plot area inside the margins.
constexpr double kWidth = 360.0;
constexpr double kHeight = 300.0;
constexpr double kLeft = 64.0;
constexpr double kRight = 346.0;
constexpr double kTop = 30.0;
constexpr double kBottom = 252.0;
// The ticks span the plot area less this inset on every side, so that no point sits on the
// frame.
constexpr double kInset = 8.0;

constexpr std::array<std::string_view, 3> kColours{"#1f4e9c", "#b03a2e", "#2e7d32"};
constexpr std::array<std::string_view, 3> kDashes{"", "6 3", "2 2"};

double drawable(double value) {
  if (!std::isfinite(value)) {
    return 0.0;
  }
  if (std::fabs(value) < kSmallest) {
    return 0.0;
  }
  return std::clamp(value, -kLargest, kLargest);
}

// A round number near size (> 0): 1, 2, 5 or 10 times a power of ten; the nearest when
// rounding, else the next at or above.
double nice_number(double size, bool rounding) {
  const double exponent = std::floor(std::log10(size));
  const double power = std::pow(10.0, exponent);
  const double fraction = size / power;
  double nice = 10.0;
  if (rounding) {
    if (fraction < 1.5) {
      nice = 1.0;
    } else if (fraction < 3.0) {
      nice = 2.0;
    } else if (fraction < 7.0) {
      nice = 5.0;
    }
  } else if (fraction <= 1.0) {
    nice = 1.0;
  } else if (fraction <= 2.0) {
    nice = 2.0;
  } else if (fraction <= 5.0) {
    nice = 5.0;
  }
  return nice * power;
}

// A user-unit coordinate with two decimals.
std::string coordinate(double value) { return fixed(value, 2); }

std::string scientific_text(double value, int precision) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::scientific, precision);
  if (result.ec != std::errc{}) {
    return "n/a";
  }
  return {buffer.data(), result.ptr};
}

// Maps values of one axis onto the drawing.
struct Scale {
  double low = 0.0;
  double high = 1.0;
  double from = 0.0;
  double to = 1.0;

  [[nodiscard]] double operator()(double value) const {
    return from + (drawable(value) - low) / (high - low) * (to - from);
  }
};

void text(std::string& svg, double x, double y, std::string_view anchor, std::string_view body,
          std::string_view extra = "") {
  svg += "<text x=\"" + coordinate(x) + "\" y=\"" + coordinate(y) + "\" text-anchor=\"";
  svg += anchor;
  svg += '"';
  svg += extra;
  svg += '>';
  svg += escape(body);
  svg += "</text>\n";
}

void line(std::string& svg, double x1, double y1, double x2, double y2, std::string_view style) {
  svg += "<line x1=\"" + coordinate(x1) + "\" y1=\"" + coordinate(y1) + "\" x2=\"" +
         coordinate(x2) + "\" y2=\"" + coordinate(y2) + "\" ";
  svg += style;
  svg += "/>\n";
}

std::string open_svg(double width, double height, std::string_view label,
                     std::string_view classes = "plot") {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"" + std::string(classes) +
         "\" viewBox=\"0 0 " + fixed(width, 0) + " " + fixed(height, 0) + "\" width=\"" +
         fixed(width, 0) + "\" height=\"" + fixed(height, 0) + "\" role=\"img\" aria-label=\"" +
         escape(label) + "\">\n<title>" + escape(label) + "</title>\n";
}

// The marker radius: smaller as the points get denser, so that 100 points stay apart.
double marker_radius(std::size_t points) {
  if (points <= 25) {
    return 3.0;
  }
  if (points <= 60) {
    return 2.0;
  }
  return 1.4;
}

}  // namespace

double Ticks::at(std::size_t i) const { return first + static_cast<double>(i) * step; }

double Ticks::last() const { return count == 0 ? first : at(count - 1); }

std::string Ticks::label(std::size_t i) const {
  const double value = at(i);
  if (!scientific) {
    return fixed(value, decimals);
  }
  if (std::fabs(value) < step / 2.0) {
    return "0";
  }
  // One precision for the whole axis: enough digits to tell the largest tick from its
  // neighbours.
  const double largest = std::max(std::fabs(first), std::fabs(last()));
  const double digits = std::floor(std::log10(largest)) - std::floor(std::log10(step));
  return scientific_text(value, static_cast<int>(std::clamp(digits, 0.0, 15.0)));
}

Ticks nice_ticks(double low, double high, std::size_t most) {
  low = drawable(low);
  high = drawable(high);
  if (low > high) {
    std::swap(low, high);
  }
  const double size = std::max(std::fabs(low), std::fabs(high));
  if (high - low <= kSameValue * size) {
    // One value: widen the range by a tenth of its size on both sides (to -1..1 around 0).
    const double margin = size == 0.0 ? 1.0 : size / 10.0;
    low -= margin;
    high += margin;
  }
  const std::size_t wanted = std::max<std::size_t>(most, 2);
  const double range = nice_number(high - low, false);
  const double step = nice_number(range / static_cast<double>(wanted - 1), true);
  Ticks ticks;
  ticks.step = step;
  ticks.first = std::floor(low / step) * step;
  const double last = std::ceil(high / step) * step;
  const double intervals = std::round((last - ticks.first) / step);
  ticks.count =
      std::isfinite(intervals) && intervals >= 1.0 && intervals < static_cast<double>(kMostTicks)
          ? static_cast<std::size_t>(intervals) + 1
          : 2;
  const double largest = std::max(std::fabs(ticks.first), std::fabs(ticks.last()));
  ticks.scientific = step < 1e-6 || largest >= 1e9;
  ticks.decimals =
      ticks.scientific ? 0 : static_cast<int>(std::max(0.0, -std::floor(std::log10(step))));
  return ticks;
}

std::string render_plot(const Plot& plot) {
  std::string svg = open_svg(kWidth, kHeight, plot.title);
  text(svg, kWidth / 2.0, 16.0, "middle", plot.title, " font-weight=\"bold\"");

  // The ranges: every finite point, every level, and 0 on the horizontal axis when asked.
  bool any = false;
  double x_low = 0.0;
  double x_high = 0.0;
  double y_low = 0.0;
  double y_high = 0.0;
  std::size_t most_points = 0;
  const auto take = [&](double x, double y) {
    if (!any) {
      x_low = x_high = x;
      y_low = y_high = y;
      any = true;
      return;
    }
    x_low = std::min(x_low, x);
    x_high = std::max(x_high, x);
    y_low = std::min(y_low, y);
    y_high = std::max(y_high, y);
  };
  for (const Series& series : plot.series) {
    std::size_t finite = 0;
    for (const PlotPoint& p : series.points) {
      if (std::isfinite(p.x) && std::isfinite(p.y)) {
        take(drawable(p.x), drawable(p.y));
        ++finite;
      }
    }
    most_points = std::max(most_points, finite);
  }
  const bool has_points = any;
  for (const Level& level : plot.levels) {
    if (std::isfinite(level.y)) {
      take(has_points ? x_low : 0.0, drawable(level.y));
    }
  }
  if (plot.x_from_zero) {
    x_low = std::min(x_low, 0.0);
  }

  const Ticks x_ticks = nice_ticks(x_low, x_high, 6);
  const Ticks y_ticks = nice_ticks(y_low, y_high, 8);
  const Scale x_scale{
      .low = x_ticks.first, .high = x_ticks.last(), .from = kLeft + kInset, .to = kRight - kInset};
  const Scale y_scale{
      .low = y_ticks.first, .high = y_ticks.last(), .from = kBottom - kInset, .to = kTop + kInset};

  // Grid, frame and ticks.
  for (std::size_t i = 0; i < x_ticks.count; ++i) {
    const double x = x_scale(x_ticks.at(i));
    line(svg, x, kTop, x, kBottom, "stroke=\"#dddddd\"");
    line(svg, x, kBottom, x, kBottom + 4.0, "stroke=\"#000000\"");
    text(svg, x, kBottom + 16.0, "middle", x_ticks.label(i));
  }
  for (std::size_t i = 0; i < y_ticks.count; ++i) {
    const double y = y_scale(y_ticks.at(i));
    line(svg, kLeft, y, kRight, y, "stroke=\"#dddddd\"");
    line(svg, kLeft - 4.0, y, kLeft, y, "stroke=\"#000000\"");
    text(svg, kLeft - 6.0, y + 4.0, "end", y_ticks.label(i));
  }
  svg += "<rect x=\"" + coordinate(kLeft) + "\" y=\"" + coordinate(kTop) + "\" width=\"" +
         coordinate(kRight - kLeft) + "\" height=\"" + coordinate(kBottom - kTop) +
         "\" fill=\"none\" stroke=\"#000000\"/>\n";
  text(svg, (kLeft + kRight) / 2.0, kHeight - 10.0, "middle", plot.x_label);
  const double y_middle = (kTop + kBottom) / 2.0;
  text(svg, -y_middle, 14.0, "middle", plot.y_label, " transform=\"rotate(-90)\"");

  // Reference levels, their labels alternately at the right and the left end.
  for (std::size_t i = 0; i < plot.levels.size(); ++i) {
    const Level& level = plot.levels[i];
    if (!std::isfinite(level.y)) {
      continue;
    }
    const double y = y_scale(level.y);
    line(svg, kLeft, y, kRight, y, "stroke=\"#6d4c2f\" stroke-dasharray=\"5 3\"");
    const bool right = i % 2 == 0;
    text(svg, right ? kRight - 3.0 : kLeft + 3.0, y - 3.0, right ? "end" : "start", level.label,
         " font-size=\"9\" fill=\"#6d4c2f\"");
  }

  if (!has_points) {
    text(svg, (kLeft + kRight) / 2.0, y_middle, "middle", "no points");
  }
  const double radius = marker_radius(most_points);
  for (std::size_t s = 0; s < plot.series.size(); ++s) {
    const Series& series = plot.series[s];
    const std::string_view colour = kColours[s % kColours.size()];
    const std::string_view dash = kDashes[s % kDashes.size()];
    std::string points;
    std::size_t drawn = 0;
    for (const PlotPoint& p : series.points) {
      if (std::isfinite(p.x) && std::isfinite(p.y)) {
        if (drawn > 0) {
          points += ' ';
        }
        points += coordinate(x_scale(p.x)) + "," + coordinate(y_scale(p.y));
        ++drawn;
      }
    }
    if (drawn >= 2) {
      svg += "<polyline fill=\"none\" stroke=\"";
      svg += colour;
      svg += "\" stroke-width=\"1.5\"";
      if (!dash.empty()) {
        svg += " stroke-dasharray=\"";
        svg += dash;
        svg += '"';
      }
      svg += " points=\"" + points + "\"/>\n";
    }
    svg += "<g fill=\"";
    svg += colour;
    svg += "\">\n";
    for (const PlotPoint& p : series.points) {
      if (std::isfinite(p.x) && std::isfinite(p.y)) {
        svg += "<circle cx=\"" + coordinate(x_scale(p.x)) + "\" cy=\"" + coordinate(y_scale(p.y)) +
               "\" r=\"" + coordinate(radius) + "\"/>\n";
      }
    }
    svg += "</g>\n";
  }
  // A legend when there is more than one series.
  if (plot.series.size() > 1) {
    double y = kTop + 14.0;
    for (std::size_t s = 0; s < plot.series.size(); ++s) {
      const std::string_view colour = kColours[s % kColours.size()];
      std::string style = "stroke=\"";
      style += colour;
      style += "\" stroke-width=\"2\"";
      const std::string_view dash = kDashes[s % kDashes.size()];
      if (!dash.empty()) {
        style += " stroke-dasharray=\"";
        style += dash;
        style += '"';
      }
      line(svg, kRight - 60.0, y - 4.0, kRight - 40.0, y - 4.0, style);
      text(svg, kRight - 36.0, y, "start", plot.series[s].name);
      y += 14.0;
    }
  }
  svg += "</svg>\n";
  return svg;
}

std::string render_levels_sketch(double mud_plane_z, double water_depth, double still_water_z) {
  constexpr double kSketchWidth = 360.0;
  constexpr double kSketchHeight = 170.0;
  constexpr double kSurface = 40.0;
  constexpr double kBed = 120.0;
  std::string svg = open_svg(kSketchWidth, kSketchHeight, "Water levels (sketch, not to scale)");
  // Water, sea bed, and the lines of the still water level and the mud plane.
  svg += "<rect x=\"10\" y=\"" + coordinate(kSurface) + "\" width=\"340\" height=\"" +
         coordinate(kBed - kSurface) + "\" fill=\"#dcebf7\"/>\n";
  svg += "<rect x=\"10\" y=\"" + coordinate(kBed) + "\" width=\"340\" height=\"" +
         coordinate(kSketchHeight - 10.0 - kBed) + "\" fill=\"#e8dcc4\"/>\n";
  constexpr int kHatches = 28;
  for (int i = 0; i < kHatches; ++i) {
    const double x = 14.0 + 12.0 * i;
    line(svg, x, kBed + 22.0, x + 10.0, kBed + 4.0, "stroke=\"#a08a5f\"");
  }
  line(svg, 10.0, kSurface, 350.0, kSurface, "stroke=\"#1f4e9c\" stroke-width=\"2\"");
  line(svg, 10.0, kBed, 350.0, kBed, "stroke=\"#6d4c2f\" stroke-width=\"2\"");
  text(svg, 16.0, kSurface - 6.0, "start",
       "still water level  Z = " + fixed(still_water_z, 3) + " m");
  text(svg, 16.0, kBed - 6.0, "start", "mud plane  Z = " + fixed(mud_plane_z, 3) + " m");
  text(svg, 16.0, kSketchHeight - 16.0, "start", "sea bed");
  // The depth between the two lines, with arrow heads.
  const double x = 300.0;
  line(svg, x, kSurface + 2.0, x, kBed - 2.0, "stroke=\"#000000\"");
  svg += "<polygon points=\"" + coordinate(x) + "," + coordinate(kSurface + 1.0) + " " +
         coordinate(x - 4.0) + "," + coordinate(kSurface + 9.0) + " " + coordinate(x + 4.0) + "," +
         coordinate(kSurface + 9.0) + "\"/>\n";
  svg += "<polygon points=\"" + coordinate(x) + "," + coordinate(kBed - 1.0) + " " +
         coordinate(x - 4.0) + "," + coordinate(kBed - 9.0) + " " + coordinate(x + 4.0) + "," +
         coordinate(kBed - 9.0) + "\"/>\n";
  text(svg, x - 6.0, (kSurface + kBed) / 2.0 + 4.0, "end", "depth " + fixed(water_depth, 3) + " m");
  svg += "</svg>\n";
  return svg;
}

std::string render_compass(const std::vector<Bearing>& bearings) {
  constexpr double kSize = 300.0;
  constexpr double kCentre = 150.0;
  constexpr double kRadius = 110.0;
  constexpr double kPi = 3.14159265358979323846;
  constexpr std::size_t kMostLabels = 24;
  std::string svg = open_svg(kSize, kSize, "Directions as on the cards", "plot rose");
  svg += "<circle cx=\"" + coordinate(kCentre) + "\" cy=\"" + coordinate(kCentre) + "\" r=\"" +
         coordinate(kRadius) + "\" fill=\"none\" stroke=\"#999999\"/>\n";
  // Angles grow counter-clockwise from the 0 line, which points to the right.
  const auto at = [&](double degrees, double radius) {
    const double angle = drawable(degrees) * kPi / 180.0;
    return PlotPoint{.x = kCentre + radius * std::cos(angle),
                     .y = kCentre - radius * std::sin(angle)};
  };
  for (int degrees = 0; degrees < 360; degrees += 30) {
    const PlotPoint inner = at(degrees, kRadius - 4.0);
    const PlotPoint outer = at(degrees, kRadius + 4.0);
    line(svg, inner.x, inner.y, outer.x, outer.y, "stroke=\"#000000\"");
    if (degrees % 90 == 0) {
      const PlotPoint label = at(degrees, kRadius + 18.0);
      text(svg, label.x, label.y + 4.0, "middle", std::to_string(degrees));
    }
  }
  const bool labelled = bearings.size() <= kMostLabels;
  for (const Bearing& bearing : bearings) {
    if (!std::isfinite(bearing.degrees)) {
      continue;
    }
    const bool wave = bearing.kind == Bearing::Kind::kWave;
    const double length = wave ? kRadius - 6.0 : kRadius * 0.7;
    const PlotPoint end = at(bearing.degrees, length);
    std::string style = wave ? "stroke=\"#1f4e9c\" stroke-width=\"2\""
                             : "stroke=\"#b03a2e\" stroke-width=\"2\" stroke-dasharray=\"6 3\"";
    line(svg, kCentre, kCentre, end.x, end.y, style);
    svg += "<circle cx=\"" + coordinate(end.x) + "\" cy=\"" + coordinate(end.y) +
           "\" r=\"3.00\" fill=\"";
    svg += wave ? "#1f4e9c" : "#b03a2e";
    svg += "\"/>\n";
    if (labelled) {
      const PlotPoint label = at(bearing.degrees, length - 12.0);
      text(svg, label.x, label.y + 4.0, "middle", shortest(bearing.degrees), " font-size=\"9\"");
    }
  }
  // The legend.
  line(svg, 8.0, kSize - 26.0, 28.0, kSize - 26.0, "stroke=\"#1f4e9c\" stroke-width=\"2\"");
  text(svg, 32.0, kSize - 22.0, "start", "sea states (SEA)");
  line(svg, 8.0, kSize - 10.0, 28.0, kSize - 10.0,
       "stroke=\"#b03a2e\" stroke-width=\"2\" stroke-dasharray=\"6 3\"");
  text(svg, 32.0, kSize - 6.0, "start", "currents (CRNT)");
  svg += "</svg>\n";
  return svg;
}

}  // namespace qel2br::report
