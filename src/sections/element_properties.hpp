// The element list writer shared by the element-by-element property sections.
#pragma once

#include <cstdint>
#include <span>

#include "support/text.hpp"
#include "support/units.hpp"

namespace qel2br::sections {

// WRELST(record, elements, out): writes the element numbers five list positions to a line, each
// line the record text up to its last non-blank character followed by the numbers of its five
// positions that are greater than 0, in 10 columns each. A group of five without such a number
// writes no line.
void WRELST(const support::Text<80>& record, std::span<const std::int32_t> elements,
            support::OutputUnit& out);

}  // namespace qel2br::sections
