// The element list writer shared by the element-by-element property sections.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "support/text.hpp"
#include "support/units.hpp"

namespace qel2br::sections {

// WRELST(record, elements, out): writes the element numbers five list positions to a line, each
// line the record text up to its last non-blank character followed by the numbers of its five
// positions that are greater than 0, in 10 columns each. A group of five without such a number
// writes no line.
void WRELST(const support::Text<80>& record, std::span<const std::int32_t> elements,
            support::OutputUnit& out);

// note_kept(before, after, written, left_out): for the conversion report, from an element list
// before and after the element ID check, appends the numbers written (greater than 0 after the
// check) to written and those the check removed (greater than 0 before it, not after it) to
// left_out, in list order.
void note_kept(std::span<const std::int32_t> before, std::span<const std::int32_t> after,
               std::vector<std::int32_t>& written, std::vector<std::int32_t>& left_out);

}  // namespace qel2br::sections
