// The points of a current or depth profile: at most kProfileRows of them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_reader.hpp"
#include "records/records.hpp"
#include "support/input_stop.hpp"

namespace qel2br::sections {

inline constexpr std::size_t kProfileRows = 100;

// next_point(cards, points, keyword, what): appends a point to points for the card last read to
// fill, and returns it. When points holds kProfileRows already the run stops at that card,
// before any of its fields is read: "CRNT card: more than 100 profile points in one current
// (the profile table holds 100)" for keyword "CRNT" and what "profile points in one current".
[[nodiscard]] inline records::ProfilePoint& next_point(const cards::CardReader& cards,
                                                       std::vector<records::ProfilePoint>& points,
                                                       std::string_view keyword,
                                                       std::string_view what) {
  if (points.size() >= kProfileRows) {
    const std::string rows = std::to_string(kProfileRows);
    support::stop_input({.file = cards.file_name(),
                         .line = cards.line_number(),
                         .message = std::string(keyword) + " card: more than " + rows + " " +
                                    std::string(what) + " (the profile table holds " + rows + ")",
                         .detail = ""});
  }
  return points.emplace_back(records::ProfilePoint{.line = cards.line_number()});
}

}  // namespace qel2br::sections
