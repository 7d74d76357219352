// Depth profiles: the marine-growth profile of the MGRW cards and the drag and inertia
// coefficient profile of the COEF cards.
#include <string_view>

#include "sections/profile_points.hpp"
#include "sections/sections.hpp"

namespace qel2br::sections {

namespace {

// Reads every card of the keyword as a point: the elevation from columns 11-20 on the first
// card and from columns 21-30 on every later one, then the values of the columns given (a first
// column of 0 leaves that value out). The values are multiplied by scale as written.
records::DepthProfile read_profile(Reading& in, records::ProfileKind kind, std::string_view keyword,
                                   int value1_col, int value2_col, double scale) {
  records::DepthProfile profile{.kind = kind};
  cards::CardReader& cards = in.cards;
  cards.start_scan(keyword);
  while (cards.next_card()) {
    const bool first = profile.points.empty();
    records::ProfilePoint& point = next_point(cards, profile.points, keyword, "cards");
    point.card_elevation = first ? cards.real_field(11, 20) : cards.real_field(21, 30);
    point.card_value = cards.real_field(value1_col, value1_col + 9);
    point.card_value2 = value2_col > 0 ? cards.real_field(value2_col, value2_col + 9) : 0.0;
    point.elevation = written_elevation(in.values, point.card_elevation);
    point.value = point.card_value * scale;
    point.value2 = point.card_value2 * scale;
  }
  return profile;
}

}  // namespace

void WRPROF(Reading& in) {
  in.sink.open(records::Block::kProfiles);
  in.sink.profile(read_profile(in, records::ProfileKind::kMarineGrowth, "MGRW", 31, 0,
                               in.values.units.length_factor));
  in.sink.profile(read_profile(in, records::ProfileKind::kCoefficients, "COEF", 31, 51, 1.0));
  in.sink.close(records::Block::kProfiles);
}

}  // namespace qel2br::sections
