// The readers: each scans the input card file for its keywords and gives the records of its
// block of the output data file, in order.
#pragma once

#include <optional>
#include <string>

#include "cards/card_reader.hpp"
#include "records/records.hpp"
#include "sections/reading.hpp"

namespace qel2br::sections {

// WRHEAD: the heading record from the TITL cards, then the unit factors of the first CONS card
// (metres and kilograms without one), which it returns.
records::Units WRHEAD(cards::CardReader& cards, records::RecordSink& sink);

// WRLEVL: mud-plane Z, water depth and still-water-level Z in metres, from the first MUDP and
// DPTH cards and the length factor; given to the sink and returned.
records::WaterLevels WRLEVL(cards::CardReader& cards, const records::Units& units,
                            records::RecordSink& sink);

// WRWAVE: one sea-state record per SEA card.
void WRWAVE(Reading& in);

// WRCURR: one current record per CRNT card with its continuation cards.
void WRCURR(Reading& in);

// WRPROF: the marine-growth profile of the MGRW cards and the coefficient profile of the COEF
// cards.
void WRPROF(Reading& in);

// WRGRPP: the group records of the FLOO cards that name a group (group mode). Returns why the
// run takes its error end when a group has no number (the failure is given to the sink first),
// nullopt otherwise.
[[nodiscard]] std::optional<std::string> WRGRPP(Reading& in);

// WRELMP: the element records of the usable SPEC and SPEX cards (element mode).
void WRELMP(Reading& in);

// WRFLEL: the flooded and non-hydrodynamic element sets (element mode).
void WRFLEL(Reading& in);

}  // namespace qel2br::sections
