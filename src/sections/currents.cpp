// Current records: every CRNT card with its continuation cards as a current record of load
// case 3 and its speed profile.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "layout/layout.hpp"
#include "sections/card_chunks.hpp"
#include "sections/headings.hpp"
#include "sections/profile_table.hpp"
#include "sections/sections.hpp"
#include "support/numbers.hpp"

namespace qel2br::sections {

namespace {

constexpr layout::Layout kCurrentRecord = "(A, 3I6, 2F9.2)";
constexpr layout::Layout kProfilePoint = "(50X, 2F9.2)";

constexpr std::string_view kDashes = "' -----------------------------------";
constexpr std::string_view kCurrentTitle = "' Specification of Current ";
// The visible part of the column header; written behind the mark for every current.
constexpr std::string_view kCurrentColumns =
    "          LCase  Speed Direct SurfLev  Depth       [  Z       Speed ]";
constexpr std::string_view kCurrent = " Current ";

constexpr std::int32_t kLoadCase = 3;
constexpr std::int32_t kSpeedColumn = 1;

// Reads the elevation and speed of one profile point into the next row of the table, and notes
// it in reported when set; a point beyond the table's last row stops the run.
void read_point(RunState& run, report::Current* reported) {
  ProfileRow& row = next_profile_row(run, "CRNT", "profile points in one current");
  const double elevation = run.cards.real_field(41, 50);
  const double speed = run.cards.real_field(51, 60);
  row = {elevation, speed, 0.0};
  if (reported != nullptr) {
    reported->points.push_back(
        {.line = run.cards.line_number(), .card_elevation = elevation, .card_value = speed});
  }
}

// Converts the CRNT card last read and its continuation cards.
void convert_current(RunState& run, bool& opened) {
  run.profile.clear();
  report::Current* reported = nullptr;
  if (run.report != nullptr) {
    reported = &run.report->currents.emplace_back();
    reported->line = run.cards.line_number();
  }
  read_point(run, reported);
  const double direction = run.cards.blank(61, 70) ? 0.0 : run.cards.real_field(61, 70);
  if (reported != nullptr) {
    reported->direction = direction;
  }

  // Continuation cards (columns 1-4 blank) follow as they are, not upper-cased. The first
  // other line is pushed back so that the scan examines it.
  while (run.cards.read_line()) {
    if (!run.cards.blank(1, 4)) {
      run.cards.step_back();
      break;
    }
    read_point(run, reported);
  }

  // The first current opens the block with its heading; each later one with two marks.
  if (!opened) {
    write_heading(run.output(), kDashes, {kCurrentTitle});
    opened = true;
  } else {
    layout::write_record(run.output(), layout::kOneText, kMark);
    layout::write_record(run.output(), layout::kOneText, kMark);
  }
  layout::write_record(run.output(), layout::kTwoTexts, kMark, kCurrentColumns);
  // A rounded direction too wide for its field is written as asterisks.
  layout::write_record(run.output(), kCurrentRecord, kCurrent, kLoadCase, kSpeedColumn,
                       layout::WholeNumber{support::round_half_away(direction)}, run.still_water_z,
                       run.water_depth);
  // The profile is written from the last point read back to the first.
  const std::span<const ProfileRow> points = run.profile.items();
  for (std::size_t row = points.size(); row > 0; --row) {
    const double elevation = profile_elevation(run, points[row - 1]);
    const double speed = points[row - 1][1] * run.length_factor;
    layout::write_record(run.output(), kProfilePoint, elevation, speed);
    if (reported != nullptr) {
      reported->points[row - 1].elevation = elevation;
      reported->points[row - 1].value = speed;
    }
  }
}

}  // namespace

void WRCURR(RunState& run) {
  bool opened = false;
  convert_cards(run, "CRNT", opened, convert_current);
  layout::write_record(run.output(), layout::kOneText, kMark);
  layout::write_record(run.output(), layout::kOneText, kMark);
}

}  // namespace qel2br::sections
