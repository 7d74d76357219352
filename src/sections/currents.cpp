// Currents: every CRNT card with its continuation cards as a current record and its speed
// profile.
#include <vector>

#include "sections/card_chunks.hpp"
#include "sections/profile_points.hpp"
#include "sections/sections.hpp"

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
      cards.step_back();
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
