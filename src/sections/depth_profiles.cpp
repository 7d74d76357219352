// Depth profiles: the banner, the marine-growth profile of the MGRW cards and the drag and
// inertia coefficient profiles of the COEF cards.
#include <cstddef>
#include <string>
#include <string_view>

#include "layout/layout.hpp"
#include "sections/sections.hpp"
#include "support/input_stop.hpp"

namespace qel2br::sections {

namespace {

constexpr layout::Layout kOneText = "(A)";
constexpr layout::Layout kTwoTexts = "(A, A)";
constexpr layout::Layout kProfilePoint = "(20X, F9.2, F9.3)";

constexpr std::string_view kMark = "'";
constexpr std::string_view kEquals = "' ============================================";
constexpr std::string_view kBannerTitle = "' ==  D e p t h   P r o f i l e   D a t a  ===";
constexpr std::string_view kDashes = "' -----------------------------------------";

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

// Reads every card of the keyword into the profile table: the elevation from columns 11-20 on
// the first card and from columns 21-30 on every later one, then the values of the columns
// given (a first column of 0 leaves that value out), and notes each card in reported when set.
// Returns the number of rows filled.
std::size_t read_profile(RunState& run, std::string_view keyword, int value1_col, int value2_col,
                         report::Profile* reported) {
  std::size_t count = 0;
  run.cards.start_scan(keyword);
  while (run.cards.next_card()) {
    if (count >= sections::kProfileRows) {
      support::stop_input({.file = run.cards.file_name(),
                           .line = run.cards.line_number(),
                           .message = std::string(keyword) +
                                      " card: more than 100 cards (the profile table holds 100)",
                           .detail = ""});
    }
    const double elevation =
        count == 0 ? run.cards.real_field(11, 20) : run.cards.real_field(21, 30);
    const double value1 = run.cards.real_field(value1_col, value1_col + 9);
    const double value2 = value2_col > 0 ? run.cards.real_field(value2_col, value2_col + 9) : 0.0;
    run.profile.at(count) = {elevation, value1, value2};
    ++count;
    if (reported != nullptr) {
      reported->points.push_back({.line = run.cards.line_number(),
                                  .card_elevation = elevation,
                                  .card_value = value1,
                                  .card_value2 = value2});
    }
  }
  return count;
}

// Writes one profile record, last row first; column is the row column written as the value
// and scale the factor it is multiplied by. The values written are noted in reported when set
// (row column 1 as its value, column 2 as its second value).
void write_profile(RunState& run, const ProfileText& text, std::size_t count, std::size_t column,
                   double scale, report::Profile* reported) {
  layout::write_record(run.output(), kOneText, kMark);
  layout::write_record(run.output(), kOneText, kDashes);
  layout::write_record(run.output(), kOneText, text.title);
  layout::write_record(run.output(), kOneText, kDashes);
  layout::write_record(run.output(), kOneText, kMark);
  layout::write_record(run.output(), kTwoTexts, kMark, text.legend);
  layout::write_record(run.output(), kOneText, text.keyword);
  for (std::size_t row = count; row > 0; --row) {
    const sections::ProfileRow& point = run.profile.at(row - 1);
    const double elevation = point[0] * run.length_factor - run.still_water_z + run.mud_plane_z;
    const double value = point.at(column) * scale;
    layout::write_record(run.output(), kProfilePoint, elevation, value);
    if (reported != nullptr) {
      report::ProfilePoint& noted = reported->points.at(row - 1);
      noted.elevation = elevation;
      (column == 1 ? noted.value : noted.value2) = value;
      reported->written = true;
    }
  }
}

}  // namespace

void WRPROF(RunState& run) {
  layout::write_record(run.output(), kOneText, kMark);
  layout::write_record(run.output(), kOneText, kEquals);
  layout::write_record(run.output(), kOneText, kBannerTitle);
  layout::write_record(run.output(), kOneText, kEquals);
  layout::write_record(run.output(), kOneText, kMark);

  // A profile needs at least two cards; with fewer it is left out, headers included.
  report::Profile* growth = run.report != nullptr ? &run.report->marine_growth : nullptr;
  report::Profile* coefficients = run.report != nullptr ? &run.report->coefficients : nullptr;
  const std::size_t growth_points = read_profile(run, "MGRW", 31, 0, growth);
  if (growth_points >= 2) {
    write_profile(run, kMarineGrowth, growth_points, 1, run.length_factor, growth);
  }
  const std::size_t coefficient_points = read_profile(run, "COEF", 31, 51, coefficients);
  if (coefficient_points >= 2) {
    write_profile(run, kDrag, coefficient_points, 1, 1.0, coefficients);
    write_profile(run, kInertia, coefficient_points, 2, 1.0, coefficients);
  }
}

}  // namespace qel2br::sections
