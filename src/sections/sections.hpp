// The section writers: each scans the input card file for its keywords and appends its lines
// to the output data file.
#pragma once

#include <cstdint>

#include "sections/run_state.hpp"

namespace qel2br::sections {

// WRHEAD: heading lines from the TITL cards; length and mass factors from the first CONS card,
// and the unit comment lines.
void WRHEAD(RunState& run);

// WRLEVL: mud-plane Z, water depth and still-water-level Z in metres, and their four lines.
void WRLEVL(RunState& run);

// WRPREA: the fixed 31-line block that opens the wave and current part.
void WRPREA(RunState& run);

// WRWAVE: one commented-out wave record per SEA card.
void WRWAVE(RunState& run);

// WRCURR: one current record per CRNT card with its continuation cards and reversed profile.
void WRCURR(RunState& run);

// WRPROF: the depth-profile banner and the marine-growth, Cd and Cm profiles.
void WRPROF(RunState& run);

// WRGRPP: the group property block (group mode). Returns 0, or -1 when a group is undefined.
[[nodiscard]] std::int32_t WRGRPP(RunState& run);

// WRELMP: the element-by-element Cd/Cm records of the SPEC and SPEX cards (element mode).
void WRELMP(RunState& run);

// WRFLEL: the flooded and non-hydrodynamic element records (element mode).
void WRFLEL(RunState& run);

}  // namespace qel2br::sections
