// The run header: the date of the run (GETDTM, DATTXT) and the eleven header lines.
#pragma once

#include <cstdint>
#include <string_view>

#include "driver/run_context.hpp"
#include "records/records.hpp"
#include "support/platform.hpp"
#include "support/text.hpp"

namespace qel2br::driver {

// A local date and time to the second, as the platform clock gives it.
using DateTime = support::LocalTime;

// GETDTM: the local date and time from the platform clock (all zero if the clock fails).
[[nodiscard]] DateTime GETDTM();

// The date text at the given precision (1 year ... 6 and any other value to the second),
// " Date : " first, cut to length and blank padded to it. A year below 1000 gets 1900 added.
void date_text(const DateTime& moment, std::span<char> text, std::int32_t precision);

// DATTXT(text, precision): the date text of the current moment (GETDTM) into text.
template <std::size_t N>
void DATTXT(support::Text<N>& text, std::int32_t precision) {
  date_text(GETDTM(), std::span<char>(text.data(), N), precision);
}

// The run header record of the run: the date text captured at its start and the input file
// name as typed, both without trailing blanks.
[[nodiscard]] records::RunHeader run_header(const RunContext& run);

}  // namespace qel2br::driver
