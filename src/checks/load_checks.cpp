// The checks of a converted load model.
#include "checks/load_checks.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>
#include <utility>

#include "checks/thresholds.hpp"
#include "checks/wave_figures.hpp"
#include "datafile/data_file.hpp"
#include "support/numbers.hpp"

namespace qel2br::checks {

namespace {

using support::WarningKind;

// value with digits significant digits at most, as printf's %g writes it in the C locale
// (the same on every system).
std::string with_digits(double value, int digits) {
  std::array<char, 64> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                                    std::chars_format::general, digits);
  return result.ec == std::errc{} ? std::string(text.data(), result.ptr) : std::string("?");
}

// A value as the messages give it: six significant digits at most.
std::string number(double value) { return with_digits(value, 6); }

// A value with all the digits it needs to show what a field of the data file rounds.
std::string exact_number(double value) { return with_digits(value, 15); }

// value as number() gives it, with more digits where six would show it equal to limit, to which
// it is compared ("0.78000001 is above 0.78", never "0.78 is above 0.78").
std::string number_beside(double value, double limit) {
  for (int digits = 6; digits < 17; ++digits) {
    std::string text = with_digits(value, digits);
    if (text != with_digits(limit, digits)) {
      return text;
    }
  }
  return with_digits(value, 17);
}

// A field descriptor as the layouts write it: "F8.2", "I6".
std::string field_text(const layout::Descriptor& field) {
  if (field.kind == layout::FieldKind::kReal) {
    return "F" + std::to_string(field.width) + "." + std::to_string(field.digits);
  }
  return "I" + std::to_string(field.width);
}

// The columns of the fields the checks name.
struct Columns {
  int first = 0;
  int last = 0;
};
constexpr Columns kWaveType{6, 10};
constexpr Columns kWaveHeight{16, 20};
constexpr Columns kWavePeriod{21, 30};
constexpr Columns kCurrentElevation{41, 50};
constexpr Columns kCurrentSpeedColumns{51, 60};
constexpr Columns kGrowthThickness{31, 40};
constexpr Columns kCoefDrag{31, 40};
constexpr Columns kCoefInertia{51, 60};
constexpr Columns kSpecDrag{41, 50};
constexpr Columns kSpecInertia{61, 70};
constexpr Columns kSpexDrag{61, 65};
constexpr Columns kSpexInertia{71, 75};
// A whole card.
constexpr Columns kCard{1, 80};

// "SEA card, columns 16-20: " or "SEA card: " for a whole card.
std::string card_text(std::string_view card, Columns columns) {
  std::string text(card);
  text += " card";
  if (columns.first != kCard.first || columns.last != kCard.last) {
    text += ", columns " + std::to_string(columns.first) + "-" + std::to_string(columns.last);
  }
  return text + ": ";
}

// Sorted element numbers as compact ranges: "11-14, 20"; the first few ranges only.
std::string compact_ranges(const std::vector<std::int32_t>& sorted) {
  constexpr std::size_t kRangesNamed = 8;
  std::string text;
  std::size_t ranges = 0;
  for (std::size_t i = 0; i < sorted.size();) {
    std::size_t j = i;
    while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] + 1) {
      ++j;
    }
    if (ranges == kRangesNamed) {
      return text + ", ...";
    }
    text += (ranges == 0 ? "" : ", ") + std::to_string(sorted[i]);
    if (j > i) {
      text += "-" + std::to_string(sorted[j]);
    }
    ++ranges;
    i = j + 1;
  }
  return text;
}

// The wave type without its 10 (the data file's theories: 1, 5, 6, 9).
double base_type(double type_code) {
  double n = support::round_half_away(type_code);
  return n > 10.0 ? n - 10.0 : n;
}

// Warns about each value of wide, too wide for its field, at line of file (the card's columns
// first_column to last_column).
void warn_wide(support::Warnings& warnings, const support::WarningPlace& place,
               std::string_view card, const std::vector<datafile::WideValue>& wide,
               std::string_view unit = "") {
  for (const datafile::WideValue& value : wide) {
    warnings.warn_with(WarningKind::kFieldOverflow, place, [&] {
      return std::string(card) + " card: " + std::string(value.what) + " " +
             exact_number(value.value) + std::string(unit) + " is too wide for its " +
             field_text(value.field) + " field of the data file, which holds " +
             std::string(static_cast<std::size_t>(value.field.width), '*') + " instead";
    });
  }
}

// warn_wide of record's values at the whole card of line.
template <typename Record>
void warn_wide(support::Warnings& warnings, const std::string& file, std::int64_t line,
               std::string_view card, const Record& record) {
  warn_wide(warnings, {.file = file, .line = line, .first_column = 1, .last_column = 4}, card,
            datafile::wide_values(record));
}

// Warns when a coefficient is outside [lowest, highest]; exactly 0 passes.
void check_coefficient(support::Warnings& warnings, const support::WarningPlace& place,
                       WarningKind kind, std::string_view card, Columns columns,
                       std::string_view name, double value, double lowest, double highest,
                       std::string_view swapped) {
  if (value == 0.0 || (!below(value, lowest) && !above(value, highest))) {
    return;
  }
  warnings.warn_with(kind, place, [&] {
    return card_text(card, columns) + std::string(name) + " = " +
           number_beside(value, value < lowest ? lowest : highest) + " is outside " +
           number(lowest) + " to " + number(highest) + " (0 switches the load off)" +
           std::string(swapped);
  });
}

// Checks the Cd and Cm of a card: drag in [kDragLowest, kDragHighest], inertia in
// [kInertiaLowest, kInertiaHighest].
void check_coefficients(support::Warnings& warnings, const std::string& file, std::int64_t line,
                        std::string_view card, Columns drag_columns, Columns inertia_columns,
                        double cd, double cm) {
  const auto in_range = [](double value, double lowest, double highest) {
    return value == 0.0 || (!below(value, lowest) && !above(value, highest));
  };
  // Values that pass once swapped were likely typed in each other's field.
  const bool swap_passes =
      !(in_range(cd, kDragLowest, kDragHighest) && in_range(cm, kInertiaLowest, kInertiaHighest)) &&
      in_range(cm, kDragLowest, kDragHighest) && in_range(cd, kInertiaLowest, kInertiaHighest);
  const std::string_view swapped = swap_passes ? "; Cd and Cm swapped would pass" : "";
  check_coefficient(warnings,
                    {.file = file,
                     .line = line,
                     .first_column = drag_columns.first,
                     .last_column = drag_columns.last},
                    WarningKind::kDragCoefficient, card, drag_columns, "Cd", cd, kDragLowest,
                    kDragHighest, swapped);
  check_coefficient(warnings,
                    {.file = file,
                     .line = line,
                     .first_column = inertia_columns.first,
                     .last_column = inertia_columns.last},
                    WarningKind::kInertiaCoefficient, card, inertia_columns, "Cm", cm,
                    kInertiaLowest, kInertiaHighest, swapped);
}

}  // namespace

void LoadChecks::levels(const records::WaterLevels& levels) {
  // Each value at the card it came from: the still water level at the DPTH card, or at the
  // MUDP card without one.
  for (const datafile::WideValue& wide : datafile::wide_values(levels)) {
    const bool mud = wide.what.starts_with("MudPlane") ||
                     (!wide.what.starts_with("Water") && levels.depth_line == 0);
    const std::int64_t line = mud ? levels.mud_plane_line : levels.depth_line;
    warn_wide(warnings_,
              {.file = file_,
               .line = line,
               .first_column = line != 0 ? 10 : 0,
               .last_column = line != 0 ? 20 : 0},
              mud ? "MUDP" : "DPTH", {wide}, " m");
  }
}

void LoadChecks::no_depth(std::int64_t line, std::string_view card) {
  if (depth_warned_) {
    return;
  }
  depth_warned_ = true;
  warnings_.warn(WarningKind::kNoWaterDepth,
                 {.file = file_, .line = line, .first_column = 1, .last_column = 4},
                 std::string(card) +
                     " card: the water depth d is 0 (no DPTH card, or a depth not above 0): "
                     "waves and currents need water d > 0; the checks that need the depth are "
                     "passed over");
}

void LoadChecks::sea_state(const records::SeaState& state) {
  warn_wide(warnings_, file_, state.line, "SEA", state);
  const auto place = [&](Columns columns) {
    return support::WarningPlace{.file = file_,
                                 .line = state.line,
                                 .first_column = columns.first,
                                 .last_column = columns.last};
  };
  const bool no_height = base_type(state.type_code) == 9.0;
  if (!(state.period > 0.0)) {
    warnings_.warn_with(WarningKind::kWavePeriod, place(kWavePeriod), [&] {
      return card_text("SEA", kWavePeriod) + "period T = " + number_beside(state.period, 0.0) +
             " s is not above 0; the checks that need the wavelength are passed over";
    });
  }
  if (!no_height && below(state.height, 0.0)) {
    warnings_.warn_with(WarningKind::kWaveHeight, place(kWaveHeight), [&] {
      return card_text("SEA", kWaveHeight) + "height H = " + number_beside(state.height, 0.0) +
             " m is below 0";
    });
  }
  if (!(state.depth > 0.0)) {
    no_depth(state.line, "SEA");
    return;
  }
  if (no_height) {
    return;
  }
  // The dispersion relation only for the states that may exceed a limit; the others are far
  // inside both.
  SeaStateFigures figures{.depth_ratio = state.height / state.depth};
  if (may_exceed_wave_limits(state)) {
    figures = sea_state_figures(state);
  }
  if (figures.depth_ratio && above(*figures.depth_ratio, kBreakingDepthRatio)) {
    warnings_.warn_with(WarningKind::kWaveBreaking, place(kWaveHeight), [&] {
      return card_text("SEA", kWaveHeight) + "H/d = " + number(state.height) + " m / " +
             number(state.depth) +
             " m = " + number_beside(*figures.depth_ratio, kBreakingDepthRatio) + " is above " +
             number(kBreakingDepthRatio) +
             ": the wave breaks in this depth (depth-limited "
             "breaking)";
    });
  }
  if (figures.steepness && figures.steepness_limit &&
      above(*figures.steepness, *figures.steepness_limit)) {
    warnings_.warn_with(WarningKind::kWaveSteepness, place(kWaveHeight), [&] {
      const double k = 2.0 * std::numbers::pi / *figures.wavelength;
      return card_text("SEA", kWaveHeight) + "steepness H/L = " + number(state.height) + " m / " +
             number(*figures.wavelength) +
             " m = " + number_beside(*figures.steepness, *figures.steepness_limit) +
             " is above the breaking limit " + number(kSteepnessFactor) +
             " tanh(kd) = " + number(*figures.steepness_limit) + " (L and k = " + number(k) +
             " 1/m from the linear dispersion relation w^2 = g k tanh(kd) at T = " +
             number(state.period) + " s, d = " + number(state.depth) + " m)";
    });
  }
  if (state.theory.view().starts_with("Stoke") && figures.ursell &&
      above(*figures.ursell, kUrsellStokes)) {
    warnings_.warn_with(WarningKind::kStokesUrsell, place(kWaveType), [&] {
      return card_text("SEA", kWaveType) +
             "a Stokes wave (\"Stoke\") at Ursell number H L^2/d^3 = " + number(state.height) +
             " m x (" + number(*figures.wavelength) + " m)^2 / (" + number(state.depth) +
             " m)^3 = " + number_beside(*figures.ursell, kUrsellStokes) + ", above " +
             number(kUrsellStokes) +
             ", where the stream-function theory (\"Stream\", wave type 6) is the usual choice";
    });
  }
}

void LoadChecks::current(const records::Current& current) {
  warn_wide(warnings_, file_, current.line, "CRNT", current);
  if (current.points.empty()) {
    return;
  }
  const std::string of = "CRNT card (the current of line " + std::to_string(current.line) + ")";
  const auto place = [&](const records::ProfilePoint& point, Columns columns) {
    return support::WarningPlace{.file = file_,
                                 .line = point.line,
                                 .first_column = columns.first,
                                 .last_column = columns.last};
  };
  const auto fastest = std::max_element(
      current.points.begin(), current.points.end(),
      [](const auto& a, const auto& b) { return std::fabs(a.value) < std::fabs(b.value); });
  if (above(std::fabs(fastest->value), kCurrentSpeed)) {
    warnings_.warn_with(WarningKind::kCurrentSpeed, place(*fastest, kCurrentSpeedColumns), [&] {
      return of + ", columns 51-60: speed |v| = " +
             number_beside(std::fabs(fastest->value), kCurrentSpeed) + " m/s is above " +
             number(kCurrentSpeed) + " m/s";
    });
  }
  if (!(current.depth > 0.0)) {
    no_depth(current.line, "CRNT");
  } else {
    const auto lowest =
        std::min_element(current.points.begin(), current.points.end(),
                         [](const auto& a, const auto& b) { return a.elevation < b.elevation; });
    if (below(lowest->elevation, -current.depth)) {
      warnings_.warn_with(WarningKind::kCurrentBelowSeabed, place(*lowest, kCurrentElevation), [&] {
        return of + ", columns 41-50: the point at Z = " +
               number_beside(lowest->elevation, -current.depth) + " m (card elevation " +
               number(lowest->card_elevation) +
               ") lies below the sea bed at -d = " + number(-current.depth) +
               " m (elevations relative to the still water level)";
      });
    }
  }
  // The direction of the first two different elevations holds for the whole current.
  int direction = 0;
  for (std::size_t i = 1; i < current.points.size(); ++i) {
    const double before = current.points[i - 1].elevation;
    const double now = current.points[i].elevation;
    const int step = now > before ? 1 : (now < before ? -1 : 0);
    if (step == 0) {
      continue;
    }
    if (direction == 0) {
      direction = step;
      continue;
    }
    if (step != direction) {
      const records::ProfilePoint& point = current.points[i];
      warnings_.warn_with(WarningKind::kCurrentOrder, place(point, kCurrentElevation), [&] {
        return of + ", columns 41-50: elevation Z = " + number(now) + " m after " + number(before) +
               " m turns back: the elevations of one current " + (direction > 0 ? "rise" : "fall") +
               " up to here and must keep on " + (direction > 0 ? "rising" : "falling");
      });
      return;
    }
  }
}

void LoadChecks::profile(const records::DepthProfile& profile) {
  const bool growth = profile.kind == records::ProfileKind::kMarineGrowth;
  const std::string_view card = growth ? "MGRW" : "COEF";
  if (profile.points.size() == 1) {
    warnings_.warn(
        WarningKind::kProfileOnePoint,
        {.file = file_, .line = profile.points.front().line, .first_column = 1, .last_column = 4},
        std::string(card) + " card: the only " + std::string(card) +
            " card; a depth profile needs two points at least, so no " +
            (growth ? "marine growth profile" : "Cd and Cm profile") + " is written");
  }
  if (!profile.points.empty()) {
    warn_wide(warnings_, file_, profile.points.front().line, card, profile);
  }
  for (const records::ProfilePoint& point : profile.points) {
    if (growth) {
      if (below(point.value, kGrowthLowest) || above(point.value, kGrowthHighest)) {
        warnings_.warn_with(
            WarningKind::kGrowthThickness,
            {.file = file_,
             .line = point.line,
             .first_column = kGrowthThickness.first,
             .last_column = kGrowthThickness.last},
            [&] {
              return card_text(card, kGrowthThickness) + "marine growth thickness " +
                     number_beside(point.value,
                                   point.value < 0.0 ? kGrowthLowest : kGrowthHighest) +
                     " m is outside " + number(kGrowthLowest) + " to " + number(kGrowthHighest) +
                     " m";
            });
      }
      continue;
    }
    check_coefficients(warnings_, file_, point.line, card, kCoefDrag, kCoefInertia, point.value,
                       point.value2);
  }
}

void LoadChecks::element_record(const records::ElementRecord& record) {
  warn_wide(warnings_, file_, record.line, record.keyword.view(), record);
  const bool narrow = record.keyword.view() == "SPEC";  // SPEC: the narrow columns
  check_coefficients(warnings_, file_, record.line, record.keyword.view(),
                     narrow ? kSpecDrag : kSpexDrag, narrow ? kSpecInertia : kSpexInertia,
                     record.cd, record.cm);
}

void LoadChecks::element_set(const records::ElementSet& set) {
  // Each card's elements, with its line.
  const auto each_card = [&](auto&& take) {
    std::size_t from = 0;
    for (std::size_t c = 0; c < set.lines.size() && c < set.card_ends.size(); ++c) {
      const std::size_t to = std::min(set.card_ends[c], set.positions.size());
      take(set.lines[c], std::span<const std::int32_t>(set.positions).subspan(from, to - from));
      from = to;
    }
  };
  if (set.kind == records::SetKind::kFlooded) {
    flooded_.clear();
    each_card([&](std::int64_t line, std::span<const std::int32_t> elements) {
      for (const std::int32_t element : elements) {
        if (element > 0) {
          flooded_.emplace_back(element, line);
        }
      }
    });
    std::sort(flooded_.begin(), flooded_.end());
    return;
  }
  each_card([&](std::int64_t line, std::span<const std::int32_t> elements) {
    std::vector<std::int32_t> both;
    std::int64_t flooded_line = 0;
    for (const std::int32_t element : elements) {
      const auto at = std::lower_bound(flooded_.begin(), flooded_.end(),
                                       std::pair<std::int32_t, std::int64_t>{element, 0});
      if (element > 0 && at != flooded_.end() && at->first == element) {
        both.push_back(element);
        flooded_line = flooded_line == 0 ? at->second : flooded_line;
      }
    }
    if (both.empty()) {
      return;
    }
    std::sort(both.begin(), both.end());
    both.erase(std::unique(both.begin(), both.end()), both.end());
    warnings_.warn_with(
        WarningKind::kFloodedNonHydro,
        {.file = file_, .line = line, .first_column = 11, .last_column = 40}, [&] {
          return "ELIM card: " + std::string(both.size() == 1 ? "element " : "elements ") +
                 compact_ranges(both) + (both.size() == 1 ? " is" : " are") +
                 " both non-hydrodynamic and flooded (FLOO card, line " +
                 std::to_string(flooded_line) + ")";
        });
  });
}

void LoadChecks::group(const records::GroupRecord& group) {
  warn_wide(warnings_, file_, group.line, "FLOO", group);
}

}  // namespace qel2br::checks
