// The structure parameter table: integer values stored under names, in the named form (with an
// identifier table inside) or the fixed form (a list of 200 six-character slots).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "sets/identifiers.hpp"
#include "support/unit_table.hpp"

namespace qel2br::sets {

// Slots of the fixed list.
inline constexpr std::int32_t kFixedSlots = 200;

// A structure parameter table: the words that hold it and, in the named form, the identifier
// table inside them (from word m + 1, m being word 2). Its words are changed only through
// STROPN and PTSTRU, which keep the identifier table's positions in step.
class StructureTable {
 public:
  // Takes the words as they are: the named form when word 1 is below 0 and word 2 leaves room
  // for an identifier table behind it, the fixed form otherwise.
  explicit StructureTable(Words words);
  // The 1-based word i of the table.
  [[nodiscard]] std::int32_t word(std::int64_t i) const { return sets::word(words_, i); }
  // The identifier table of the named form; null for the fixed form.
  [[nodiscard]] const IdentifierTable* identifiers() const;

 private:
  friend void STROPN(StructureTable& table, std::int32_t upper_case, std::int32_t add_on_store,
                     std::int32_t message_unit, support::UnitTable& units, std::int32_t& status);
  friend void PTSTRU(StructureTable& table, std::string_view name, std::int32_t value,
                     std::int32_t message_unit, support::UnitTable& units, std::int32_t& status);

  Words words_;
  std::optional<IdentifierTable> identifiers_;
};

// STROPN(table, upper_case, add_on_store, message_unit, units, status): sets up a named table
// in all n words of the table: m = (n - 10) / 3 value words, word 1 = -1, word 2 = m, the
// identifier table of capacity m from word m + 1, and the names ISTTYP, MXSTRU, IOPxyz and
// IOPyzx at positions 1 to 4. When m is 1 or less, writes the STROPN message on the message
// unit, lowers status by 1 and leaves the table untouched.
void STROPN(StructureTable& table, std::int32_t upper_case, std::int32_t add_on_store,
            std::int32_t message_unit, support::UnitTable& units, std::int32_t& status);

// GTSTRU(table, name, message_unit, units, status): the value stored under name, or 0 when the
// name is unknown. A named table with the add-on-store flag 0 reports an unknown name on the
// message unit and lowers status by 1.
[[nodiscard]] std::int32_t GTSTRU(const StructureTable& table, std::string_view name,
                                  std::int32_t message_unit, support::UnitTable& units,
                                  std::int32_t& status);

// PTSTRU(table, name, value, message_unit, units, status): stores value under name; a named
// table with the add-on-store flag set adds a name it does not hold. A name that cannot be
// stored is reported on the message unit and lowers status by 1.
void PTSTRU(StructureTable& table, std::string_view name, std::int32_t value,
            std::int32_t message_unit, support::UnitTable& units, std::int32_t& status);

// own_word(table, name): whether name is one of the names under which a named table keeps its
// own words 1 to 4 (ISTTYP, MXSTRU, IOPxyz, IOPyzx). A value stored under them would change
// the table's form, size or options; false for the fixed form and for an illegal name, which
// writes nothing (the lookups that follow report it).
[[nodiscard]] bool own_word(const StructureTable& table, std::string_view name);

// PARNUM(name): the slot (1 to 200) of the fixed list whose six characters equal the first six
// characters of name, blank padded, case included; 0 when there is none.
[[nodiscard]] std::int32_t PARNUM(std::string_view name);

}  // namespace qel2br::sets
