// Element-set cards in element mode: the element ID check, and its warnings about elements it
// leaves out and about group references that element mode passes over.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "sections/reading.hpp"
#include "sets/element_sets.hpp"

namespace qel2br::sections {

// Warns when the element ID check will leave out elements of the card last read: their count
// and the first few numbers. elements is the card's list before the check.
void warn_left_out(Reading& in, const sets::ElementList& elements);

// keep_checked(check, elements, positions, left_out): the element ID check of an element list:
// appends the list after the check to positions (0 where an element is left out) and the
// elements left out to left_out. Without element numbers nothing is checked.
void keep_checked(const ElementCheck& check, sets::ElementList& elements,
                  std::vector<std::int32_t>& positions, std::vector<std::int32_t>& left_out);

// check_elements(in, elements, positions, left_out): the element ID check of the element list
// of the card last read. Warns when it leaves out elements (their count and the first few
// numbers); appends the list after the check to positions (0 where an element is left out) and
// the elements left out to left_out: warn_left_out, then keep_checked.
void check_elements(Reading& in, sets::ElementList& elements, std::vector<std::int32_t>& positions,
                    std::vector<std::int32_t>& left_out);

// Warns when the range of the card last read gives its first element alone although its last
// number is above its first (no step was given), or gives no element although it is not blank.
// elements is what the range gave.
void warn_range(Reading& in, const sets::ElementRange& range, const sets::ElementList& elements);

// Warns when the card last read (of keyword, four characters) names a group: element mode
// takes only the element range of a card and passes the group over. Called for cards that
// give no element.
void warn_group_passed_over(Reading& in, std::string_view keyword);

}  // namespace qel2br::sections
