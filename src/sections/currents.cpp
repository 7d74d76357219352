// Currents: every CRNT card with its continuation cards as a current record and its speed
// profile.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sections/card_chunks.hpp"
#include "sections/profile_points.hpp"
#include "sections/sections.hpp"
#include "support/warnings.hpp"

namespace qel2br::sections {

namespace {

// Reads the elevation and speed of one profile point of the card last read; a point beyond
// the profile's last row stops the run.
void read_point(Reading& in, std::vector<records::ProfilePoint>& points) {
  records::ProfilePoint& point =
      next_point(in.cards, points, "CRNT", "profile points in one current");
  point.card_elevation = in.cards.real_field(41, 50);
  point.card_value = in.cards.real_field(51, 60);
  point.elevation = written_elevation(in.values, point.card_elevation);
  point.value = point.card_value * in.values.units.length_factor;
}

// Whether line is a comment card: "C" (either case) with columns 2-4 blank.
bool comment_card(std::string_view line) {
  return !line.empty() && (line[0] == 'C' || line[0] == 'c') &&
         line.substr(1, 3).find_first_not_of(' ') == std::string_view::npos;
}

// Whether columns 1-4 of line are blank and it holds something after them.
bool blank_started(std::string_view line) {
  return line.substr(0, 4).find_first_not_of(' ') == std::string_view::npos &&
         line.find_first_not_of(" \r", 4) != std::string_view::npos;
}

// The current of line current_line ended at the comment card that is the next line: warns about
// each line after it (and after more comment cards) whose columns 1-4 are blank, which looks
// like a point of the current but is passed over. The file is left where it was.
void warn_points_after_comment(Reading& in, std::int64_t current_line) {
  cards::CardReader& cards = in.cards;
  const std::size_t offset = cards.position();
  const std::int64_t lines_before = cards.line_number();
  std::string_view line;
  std::int64_t comment_line = 0;
  // Each line read moves on, so the look ends at the end of the file at the latest.
  while (cards.read_raw(line)) {
    if (comment_card(line)) {
      comment_line = cards.line_number();
      continue;
    }
    if (!blank_started(line)) {
      break;
    }
    in.warnings.warn_with(
        support::WarningKind::kLinesPassedOver,
        {.file = cards.file_name(),
         .line = cards.line_number(),
         .first_column = 1,
         .last_column = 4},
        [&] {
          return "line with columns 1-4 blank after the comment card of line " +
                 std::to_string(comment_line) +
                 ", which ended the current of the CRNT card of line " +
                 std::to_string(current_line) +
                 ": it is passed over, not read as a point of that current (a comment card "
                 "ends a current; move it before the CRNT card)";
        });
  }
  cards.seek(offset, lines_before);
}

// Reads the CRNT card last read and its continuation cards.
void read_current(Reading& in) {
  cards::CardReader& cards = in.cards;
  records::Current& current = in.scratch.current;
  current.line = cards.line_number();
  current.surface_level = in.values.levels.still_water_z;
  current.depth = in.values.levels.water_depth;
  current.points.clear();
  read_point(in, current.points);
  current.direction = cards.blank(61, 70) ? 0.0 : cards.real_field(61, 70);

  // Continuation cards (columns 1-4 blank) follow as they are, not upper-cased. The first
  // other line is pushed back so that the scan examines it.
  while (cards.read_line()) {
    if (!cards.blank(1, 4)) {
      const bool comment = comment_card(cards.raw_line());
      cards.step_back();
      if (comment) {
        warn_points_after_comment(in, current.line);
      }
      break;
    }
    read_point(in, current.points);
  }
  in.sink.current(current);
}

}  // namespace

void WRCURR(Reading& in) {
  in.sink.open(records::Block::kCurrents);
  read_cards(in, "CRNT", read_current);
  in.sink.close(records::Block::kCurrents);
}

}  // namespace qel2br::sections
