// The profile table shared by the currents and the depth profiles: filling it, and the
// elevation its rows are written at.
#pragma once

#include <string_view>

#include "sections/run_state.hpp"

namespace qel2br::sections {

// next_profile_row(run, keyword, what): appends a row of zeros to the profile table for the
// card last read to fill, and returns it. When the table is full the run stops at that card,
// before any of its fields is read: "CRNT card: more than 100 profile points in one current
// (the profile table holds 100)" for keyword "CRNT" and what "profile points in one current".
[[nodiscard]] ProfileRow& next_profile_row(RunState& run, std::string_view keyword,
                                           std::string_view what);

// The elevation of a profile row as written: the card's elevation in metres, moved to the
// output's datum by the mud-plane Z less the still-water-level Z.
[[nodiscard]] inline double profile_elevation(const RunState& run, const ProfileRow& row) {
  return row[0] * run.length_factor - run.still_water_z + run.mud_plane_z;
}

}  // namespace qel2br::sections
