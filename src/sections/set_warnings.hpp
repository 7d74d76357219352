// Warnings about element-set cards: elements the element ID check leaves out, and group
// references that element mode passes over.
#pragma once

#include <string_view>

#include "sections/sections.hpp"
#include "sets/element_sets.hpp"

namespace qel2br::sections {

// Warns when the element ID check will leave out elements of the card last read: their count
// and the first few numbers. elements is the card's list before the check; numbers is the
// element-number list (nothing is checked when it is empty).
void warn_left_out(RunState& run, const sets::ElementList& elements,
                   const sets::SortedNumbers& numbers);

// Warns when the card last read (of keyword, four characters) names a group: element mode
// takes only the element range of a card and passes the group over. Called for cards that
// give no element.
void warn_group_passed_over(RunState& run, std::string_view keyword);

}  // namespace qel2br::sections
