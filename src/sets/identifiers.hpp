// The identifier table: short names kept packed as two integer keys each, at fixed positions.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <unordered_map>

#include "support/unit_table.hpp"

namespace qel2br::sets {

// A table of 32-bit words, numbered from 1 as the system defines them.
using Words = std::span<std::int32_t>;

// word(table, i): the 1-based word i of a table. A word outside the table is a fault of the
// program (never of the input): an internal fault.
[[nodiscard]] std::int32_t& word(Words table, std::int64_t i);

// Words of an identifier table (capacity c takes 2c + 5 words).
inline constexpr std::int32_t kIdCapacity = 1;     // greatest number of identifiers
inline constexpr std::int32_t kIdMessageUnit = 2;  // 0 or less: the console
inline constexpr std::int32_t kIdCount = 3;        // identifiers held
inline constexpr std::int32_t kIdUpperCase = 4;    // 1: names are upper-cased before packing
inline constexpr std::int32_t kIdAddOnStore = 5;   // read by GTSTRU and PTSTRU only
inline constexpr std::int32_t kIdHeader = 5;       // words before the first name's keys

// PACKID(identifier, length, first_key, second_key): packs the first length (0 to 8)
// characters of identifier into two keys, two decimal digits (code - 30) per character, the
// first character highest: characters 1-4 make the first key, 5-8 the second (0 when length
// is 4 or less). A character below code 33 or above 126 sets the key of its half to -1 and
// ends the packing. A length above 8 leaves both keys unchanged.
void PACKID(std::string_view identifier, std::int32_t length, std::int32_t& first_key,
            std::int32_t& second_key);

// An identifier table: the words that hold it, laid out as above (two keys per name from word
// 6 on), and the first position of each pair of keys, as a search from position 1 would find
// it. The positions are made from the words when the table is taken; from then on the words
// are changed only through add(), so the two always agree.
class IdentifierTable {
 public:
  // Takes words that hold an identifier table (its five leading words set) and notes the
  // positions of the names they hold.
  explicit IdentifierTable(Words words);
  // The 1-based word i of the table.
  [[nodiscard]] std::int32_t word(std::int64_t i) const { return sets::word(words_, i); }
  // The first position holding the keys, or 0.
  [[nodiscard]] std::int32_t find(std::int32_t first_key, std::int32_t second_key) const;
  // The position of name as IDXIST finds it, but without a message: 0 when the name is not
  // there or is illegal.
  [[nodiscard]] std::int32_t position(std::string_view name) const;
  // Stores the keys at the next position and returns it; 0 when the table is full.
  [[nodiscard]] std::int32_t add(std::int32_t first_key, std::int32_t second_key);

 private:
  Words words_;
  std::unordered_map<std::uint64_t, std::int32_t> positions_;
};

// IDADD(table, name, units): adds name to the identifier table, or finds it when it is there.
// Returns its position, or 0 when the name is illegal or the table is full; both write their
// message on the table's message unit (resolved through units).
[[nodiscard]] std::int32_t IDADD(IdentifierTable& table, std::string_view name,
                                 support::UnitTable& units);

// IDXIST(table, name, units): the position of name in the identifier table, or 0 when it is not
// there or is illegal (an illegal name writes its message on the table's message unit).
[[nodiscard]] std::int32_t IDXIST(const IdentifierTable& table, std::string_view name,
                                  support::UnitTable& units);

}  // namespace qel2br::sets
