// Element sets: ranges on set cards, the element-number and group-name files, group references
// in the input card file, and the filtering of element lists.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "cards/card_reader.hpp"
#include "sets/structure.hpp"
#include "support/fixed_list.hpp"
#include "support/text.hpp"
#include "support/unit_table.hpp"

namespace qel2br::sets {

// An element list holds at most 10000 element numbers; an entry of 0 or less is a removed
// entry that writers skip.
inline constexpr std::size_t kElementCapacity = 10000;
using ElementList = support::FixedList<std::int32_t, kElementCapacity>;

// RNGELM(cards, width, elements): expands the element range of the card last read by cards
// into elements. width 5 reads first, last and step from columns 6-10, 11-15, 16-20; width 10
// from 11-20, 21-30, 31-40. A blank field is 0; any other is rounded, halves away from zero. A
// first of 1 or more with last or step 0 gives the single element first; otherwise first,
// first + step, ... up to last (none when first exceeds last). A field that is not a number, or
// whose number lies outside the 32-bit range, a range that would never end (step 0 or negative
// while first <= last; an all-zero range gives no element) and a range of more than 10000
// elements stop the run with the card's file and line.
// Returns the range as read, with the columns of its three fields.
struct ElementRange {
  std::int32_t first = 0;
  std::int32_t last = 0;
  std::int32_t step = 0;
  int first_column = 0;
  int last_column = 0;
};
ElementRange RNGELM(const cards::CardReader& cards, std::int32_t width, ElementList& elements);

// The element-number list in ascending order, made once when the list is read, for KEEPID.
class SortedNumbers {
 public:
  // An empty list: no element checking.
  SortedNumbers() = default;
  explicit SortedNumbers(const ElementList& numbers);
  [[nodiscard]] bool empty() const { return sorted_.empty(); }
  // Whether value occurs in the list.
  [[nodiscard]] bool contains(std::int32_t value) const;

 private:
  ElementList sorted_;
};

// KEEPID(elements, numbers): when numbers (the element-number list) is not empty, sets to 0
// every entry of elements that does not occur in it; the count stays.
void KEEPID(ElementList& elements, const SortedNumbers& numbers);

// RDELMS(numbers, units, file_unit): reads the element-number file on file_unit from its
// current position to its end. Every item of a line that is a number adds one element number
// (rounded, halves away from zero); texts are ignored. Ends with the console line " Total
// Number of Elements: " and the count. A number outside the 32-bit range or more than 10000
// numbers stop the run with the file and line.
void RDELMS(ElementList& numbers, support::UnitTable& units, std::int32_t file_unit);

// RDGRPS(table, group_count, units, file_unit, console_unit, status): rewinds the group-name
// file on file_unit and registers the group of every line "NAME GR<..> number name" under
// its name in the structure parameter table, echoing each line that is not skipped (its first
// 80 columns) on the console unit. A group already defined keeps its first number and is
// reported as " Doubly defined group:", as is a group named as one of the table's own words
// (ISTTYP, MXSTRU, IOPXYZ, IOPYZX), which is never stored. group_count is set at the end of the
// file; when registering fails status becomes -1 and group_count stays 0. A group number outside
// the 32-bit range stops the run with the file and line.
void RDGRPS(StructureTable& table, std::int32_t& group_count, support::UnitTable& units,
            std::int32_t file_unit, std::int32_t console_unit, std::int32_t& status);

// CNTSET(keyword, cards): the number of group references of the keyword (FLOO, ELIM, SPEC or
// SPEX) in the input card file: the lines for which cards::group_reference gives a group, as
// the reader's one reading of the file counted them (0 for another keyword).
[[nodiscard]] std::int32_t CNTSET(std::string_view keyword, const cards::CardReader& cards);

}  // namespace qel2br::sets
