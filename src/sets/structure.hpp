// The structure parameter table: integer values stored under names, in the named form (with an
// identifier table inside) or the fixed form (a list of 200 six-character slots).
#pragma once

#include <cstdint>
#include <string_view>

#include "sets/identifiers.hpp"
#include "support/units.hpp"

namespace qel2br::sets {

// Slots of the fixed list.
inline constexpr std::int32_t kFixedSlots = 200;

// STROPN(table, upper_case, add_on_store, message_unit, units, status): sets up a named table
// in all table.size() words: m = (n - 10) / 3 value words, word 1 = -1, word 2 = m, the
// identifier table of capacity m from word m + 1, and the names ISTTYP, MXSTRU, IOPxyz and
// IOPyzx at positions 1 to 4. When m is 1 or less, writes the STROPN message on the message
// unit, lowers status by 1 and leaves the table untouched.
void STROPN(Words table, std::int32_t upper_case, std::int32_t add_on_store,
            std::int32_t message_unit, support::UnitTable& units, std::int32_t& status);

// structure_index(table): an index of the names of a named table, for the lookups of GTSTRU
// and PTSTRU below; empty (and not consulted) for the fixed form.
[[nodiscard]] IdentifierIndex structure_index(Words table);

// GTSTRU(table, name, message_unit, units, status, index): the value stored under name, or 0
// when the name is unknown. A named table with the add-on-store flag 0 reports an unknown name
// on the message unit and lowers status by 1. index, when given, is the table's
// structure_index, kept in step by PTSTRU.
[[nodiscard]] std::int32_t GTSTRU(Words table, std::string_view name, std::int32_t message_unit,
                                  support::UnitTable& units, std::int32_t& status,
                                  const IdentifierIndex* index = nullptr);

// PTSTRU(table, name, value, message_unit, units, status, index): stores value under name; a
// named table with the add-on-store flag set adds a name it does not hold. A name that cannot
// be stored is reported on the message unit and lowers status by 1. index, when given, is the
// table's structure_index; a name added is noted in it.
void PTSTRU(Words table, std::string_view name, std::int32_t value, std::int32_t message_unit,
            support::UnitTable& units, std::int32_t& status, IdentifierIndex* index = nullptr);

// PARNUM(name): the slot (1 to 200) of the fixed list whose six characters equal the first six
// characters of name, blank padded, case included; 0 when there is none.
[[nodiscard]] std::int32_t PARNUM(std::string_view name);

}  // namespace qel2br::sets
