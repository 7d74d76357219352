// Current records: every CRNT card with its continuation cards as a current record of load
// case 3 and its speed profile.
#include <cstdint>
#include <string_view>

#include "layout/layout.hpp"
#include "sections/sections.hpp"
#include "support/input_stop.hpp"
#include "support/numbers.hpp"

namespace qel2br::sections {

namespace {

constexpr layout::Layout kOneText = "(A)";
constexpr layout::Layout kTwoTexts = "(A, A)";
constexpr layout::Layout kCurrentRecord = "(A, 3I6, 2F9.2)";
constexpr layout::Layout kProfilePoint = "(50X, 2F9.2)";

constexpr std::string_view kMark = "'";
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
void read_point(RunState& run, std::size_t& count, report::Current* reported) {
  if (count >= sections::kProfileRows) {
    support::stop_input(
        {.file = run.cards.file_name(),
         .line = run.cards.line_number(),
         .message = "CRNT card: more than 100 profile points in one current (the profile table "
                    "holds 100)",
         .detail = ""});
  }
  const double elevation = run.cards.real_field(41, 50);
  const double speed = run.cards.real_field(51, 60);
  run.profile.at(count) = {elevation, speed, 0.0};
  ++count;
  if (reported != nullptr) {
    reported->points.push_back(
        {.line = run.cards.line_number(), .card_elevation = elevation, .card_value = speed});
  }
}

}  // namespace

void WRCURR(RunState& run) {
  bool first = true;
  run.cards.start_scan("CRNT");
  while (run.cards.next_card()) {
    std::size_t count = 0;
    report::Current* reported = nullptr;
    if (run.report != nullptr) {
      reported = &run.report->currents.emplace_back();
      reported->line = run.cards.line_number();
    }
    read_point(run, count, reported);
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
      read_point(run, count, reported);
    }

    layout::write_record(run.output(), kOneText, kMark);
    if (first) {
      layout::write_record(run.output(), kOneText, kDashes);
      layout::write_record(run.output(), kOneText, kCurrentTitle);
      layout::write_record(run.output(), kOneText, kDashes);
      first = false;
    }
    layout::write_record(run.output(), kOneText, kMark);
    layout::write_record(run.output(), kTwoTexts, kMark, kCurrentColumns);
    // A rounded direction too wide for its field is written as asterisks.
    layout::write_record(run.output(), kCurrentRecord, kCurrent, kLoadCase, kSpeedColumn,
                         layout::WholeNumber{support::round_half_away(direction)},
                         run.still_water_z, run.water_depth);
    // The profile is written from the last point read back to the first.
    for (std::size_t row = count; row > 0; --row) {
      const sections::ProfileRow& point = run.profile.at(row - 1);
      const double elevation = point[0] * run.length_factor - run.still_water_z + run.mud_plane_z;
      const double speed = point[1] * run.length_factor;
      layout::write_record(run.output(), kProfilePoint, elevation, speed);
      if (reported != nullptr) {
        reported->points.at(row - 1).elevation = elevation;
        reported->points.at(row - 1).value = speed;
      }
    }
  }
  layout::write_record(run.output(), kOneText, kMark);
  layout::write_record(run.output(), kOneText, kMark);
}

}  // namespace qel2br::sections
