// Element sets: ranges on set cards, the element-number and group-name files, group references
// in the input card file, and the filtering of element lists.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "cards/card_reader.hpp"
#include "sets/identifiers.hpp"
#include "support/fixed_list.hpp"
#include "support/text.hpp"
#include "support/units.hpp"

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
void RNGELM(const cards::CardReader& cards, std::int32_t width, ElementList& elements);

// IFIND(value, list): the 1-based position of the first entry of list equal to value; 0 when
// there is none.
[[nodiscard]] std::int32_t IFIND(std::int32_t value, std::span<const std::int32_t> list);

// KEEPID(elements, numbers): when numbers (the element-number list) is not empty, sets to 0
// every entry of elements that does not occur in it; the count stays.
void KEEPID(ElementList& elements, const ElementList& numbers);

// The element-number list in ascending order, made once for KEEPID on many element lists.
class SortedNumbers {
 public:
  explicit SortedNumbers(const ElementList& numbers);
  [[nodiscard]] bool empty() const { return sorted_.empty(); }
  // Whether value occurs in the list.
  [[nodiscard]] bool contains(std::int32_t value) const;

 private:
  ElementList sorted_;
};

// KEEPID(elements, numbers): KEEPID with the element-number list already sorted.
void KEEPID(ElementList& elements, const SortedNumbers& numbers);

// ICOPY(source, target, count): copies the first count entries of source into target; nothing
// when count is 0 or less. count must not exceed either span.
void ICOPY(std::span<const std::int32_t> source, std::span<std::int32_t> target,
           std::int32_t count);

// IFILL(array, rows, columns, value): sets the first rows * columns entries of array to value.
void IFILL(std::span<std::int32_t> array, std::int32_t rows, std::int32_t columns,
           std::int32_t value);

// skipped_line(line): whether a line of a free-format file is passed over: its first character
// is $, #, ! or an apostrophe, or it is blank throughout.
[[nodiscard]] bool skipped_line(std::string_view line);

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
// reported as " Doubly defined group:". group_count is set at the end of the file; when
// registering fails status becomes -1 and group_count stays 0. A group number outside the
// 32-bit range stops the run with the file and line.
void RDGRPS(Words table, std::int32_t& group_count, support::UnitTable& units,
            std::int32_t file_unit, std::int32_t console_unit, std::int32_t& status);

// group_reference(line, keyword): the group that a line of the input card file refers to under
// the keyword (four characters): the first 80 characters of its second item, blank padded,
// when the line is not skipped, columns 1 and 2 are not "C ", its first item is a text
// beginning with the keyword as written and its second item is a text; nullopt otherwise.
// Only the first 256 columns of the line count, as on a card.
[[nodiscard]] std::optional<support::Text<80>> group_reference(std::string_view line,
                                                               std::string_view keyword);

// CNTSET(keyword, cards): the number of group references of the keyword (four characters) in
// the input card file: lines, not skipped, whose first item is a text beginning with the
// keyword as written and whose second item is a text. Leaves the file positioned anywhere.
[[nodiscard]] std::int32_t CNTSET(std::string_view keyword, cards::CardReader& cards);

// count_sets(keywords, cards, counts): CNTSET for each of the keywords in one reading of the
// input card file; counts[i] is set to the count of keywords[i] (the spans are equally long).
// Leaves the file positioned anywhere and the card text as it was.
void count_sets(std::span<const std::string_view> keywords, cards::CardReader& cards,
                std::span<std::int32_t> counts);

}  // namespace qel2br::sets
