// The identifier table: short names kept packed as two integer keys each, at fixed positions.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <unordered_map>

#include "support/units.hpp"

namespace qel2br::sets {

// A table of 32-bit words, numbered from 1 as the system defines them.
using Words = std::span<std::int32_t>;

// word(table, i): the 1-based word i of a table. A word outside the table is a fault of the
// program (never of the input) and throws std::out_of_range.
[[nodiscard]] std::int32_t& word(Words table, std::int64_t i);

// Words of an identifier table (capacity c takes 2c + 5 words).
inline constexpr std::int32_t kIdCapacity = 1;     // greatest number of identifiers
inline constexpr std::int32_t kIdMessageUnit = 2;  // 0 or less: the console
inline constexpr std::int32_t kIdCount = 3;        // identifiers held
inline constexpr std::int32_t kIdUpperCase = 4;    // 1: names are upper-cased before packing
inline constexpr std::int32_t kIdAddOnStore = 5;   // read by GTSTRU and PTSTRU only

// PACKID(identifier, length, first_key, second_key): packs the first length (0 to 8)
// characters of identifier into two keys, two decimal digits (code - 30) per character, the
// first character highest: characters 1-4 make the first key, 5-8 the second (0 when length
// is 4 or less). A character below code 33 or above 126 sets the key of its half to -1 and
// ends the packing. A length above 8 leaves both keys unchanged.
void PACKID(std::string_view identifier, std::int32_t length, std::int32_t& first_key,
            std::int32_t& second_key);

// The positions of the identifiers of one identifier table by their keys, so that a name is
// found without going through the table. Each pair of keys gives its first position, as a
// search from position 1 would. The table stays the record: the index is built from it and
// follows only what IDADD adds when it is given the index.
class IdentifierIndex {
 public:
  IdentifierIndex() = default;
  // Indexes the identifiers the table holds now.
  explicit IdentifierIndex(Words table);
  // The first position holding the keys, or 0.
  [[nodiscard]] std::int32_t find(std::int32_t first_key, std::int32_t second_key) const;
  // Notes the keys added at position, the next one after those indexed.
  void add(std::int32_t first_key, std::int32_t second_key, std::int32_t position);
  // The number of identifiers indexed: positions 1 to count().
  [[nodiscard]] std::int32_t count() const { return count_; }

 private:
  std::unordered_map<std::uint64_t, std::int32_t> positions_;
  std::int32_t count_ = 0;
};

// IDADD(table, name, units, index): adds name to the identifier table, or finds it when it is
// there. Returns its position, or 0 when the name is illegal or the table is full; both write
// their message on the table's message unit (resolved through units). When an index of the
// table is given, the name is looked up in it and a name added is noted in it.
[[nodiscard]] std::int32_t IDADD(Words table, std::string_view name, support::UnitTable& units,
                                 IdentifierIndex* index = nullptr);

// IDXIST(table, name, units, index): the position of name in the identifier table, or 0 when it
// is not there or is illegal (an illegal name writes its message on the table's message unit).
// When an index of the table is given, the name is looked up in it.
[[nodiscard]] std::int32_t IDXIST(Words table, std::string_view name, support::UnitTable& units,
                                  const IdentifierIndex* index = nullptr);

}  // namespace qel2br::sets
