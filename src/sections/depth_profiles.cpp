// Depth profiles: the banner, the marine-growth profile of the MGRW cards and the drag and
// inertia coefficient profiles of the COEF cards.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "layout/layout.hpp"
#include "sections/headings.hpp"
#include "sections/profile_table.hpp"
#include "sections/sections.hpp"

namespace qel2br::sections {

namespace {

constexpr layout::Layout kProfilePoint = "(20X, F9.2, F9.3)";

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
  run.profile.clear();
  run.cards.start_scan(keyword);
  while (run.cards.next_card()) {
    const bool first = run.profile.empty();
    ProfileRow& row = next_profile_row(run, keyword, "cards");
    const double elevation = first ? run.cards.real_field(11, 20) : run.cards.real_field(21, 30);
    const double value1 = run.cards.real_field(value1_col, value1_col + 9);
    const double value2 = value2_col > 0 ? run.cards.real_field(value2_col, value2_col + 9) : 0.0;
    row = {elevation, value1, value2};
    if (reported != nullptr) {
      reported->points.push_back({.line = run.cards.line_number(),
                                  .card_elevation = elevation,
                                  .card_value = value1,
                                  .card_value2 = value2});
    }
  }
  return run.profile.size();
}

// Writes one profile record, last row first; column is the row column written as the value
// and scale the factor it is multiplied by. The values written are noted in reported when set
// (row column 1 as its value, column 2 as its second value).
void write_profile(RunState& run, const ProfileText& text, std::size_t column, double scale,
                   report::Profile* reported) {
  write_heading(run.output(), kDashes, {text.title});
  layout::write_record(run.output(), layout::kTwoTexts, kMark, text.legend);
  layout::write_record(run.output(), layout::kOneText, text.keyword);
  const std::span<const ProfileRow> points = run.profile.items();
  for (std::size_t row = points.size(); row > 0; --row) {
    const double elevation = profile_elevation(run, points[row - 1]);
    const double value = points[row - 1][column] * scale;
    layout::write_record(run.output(), kProfilePoint, elevation, value);
    if (reported != nullptr) {
      report::ProfilePoint& noted = reported->points[row - 1];
      noted.elevation = elevation;
      (column == 1 ? noted.value : noted.value2) = value;
      reported->written = true;
    }
  }
}

}  // namespace

void WRPROF(RunState& run) {
  write_heading(run.output(), kEquals, {kBannerTitle});

  // A profile needs at least two cards; with fewer it is left out, headers included.
  report::Profile* growth = run.report != nullptr ? &run.report->marine_growth : nullptr;
  report::Profile* coefficients = run.report != nullptr ? &run.report->coefficients : nullptr;
  const std::size_t growth_points = read_profile(run, "MGRW", 31, 0, growth);
  if (growth_points >= 2) {
    write_profile(run, kMarineGrowth, 1, run.length_factor, growth);
  }
  const std::size_t coefficient_points = read_profile(run, "COEF", 31, 51, coefficients);
  if (coefficient_points >= 2) {
    write_profile(run, kDrag, 1, 1.0, coefficients);
    write_profile(run, kInertia, 2, 1.0, coefficients);
  }
}

}  // namespace qel2br::sections
