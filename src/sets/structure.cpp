// The structure parameter table: setting up, reading and storing named integer values.
#include "sets/structure.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

#include "layout/layout.hpp"

namespace qel2br::sets {

namespace {

constexpr layout::Layout kStropnHeading = R"((/, 2X, "*** ERROR IN STROPN ***"))";
constexpr layout::Layout kGtstruHeading = R"((/, 2X, "*** ERROR IN GTSTRU ***"))";
constexpr layout::Layout kPtstruHeading = R"((/, 2X, "*** ERROR IN PTSTRU ***"))";
constexpr layout::Layout kGtstruNotFound =
    R"((6X, "PARAMETER NOT FOUND:", A, /, 6X, "LEAVING GTSTRU", /, /, /))";
constexpr layout::Layout kPtstruNotFound =
    R"((6X, "PARAMETER NOT FOUND:", A, /, 6X, "LEAVING PTSTRU", /, /, /))";

// The fixed list: 200 slots of six characters; the unnamed ones are blank.
constexpr std::array<std::string_view, kFixedSlots> kFixedNames = [] {
  std::array<std::string_view, kFixedSlots> names{};
  names.fill("      ");
  constexpr std::array<std::string_view, 105> kFirst{
      "NNP   ", "NEL   ", "NBEAM ", "NSPRNG", "NSHELL", "NDAMEL", "NDEL  ", "NIMPG ", "NMA   ",
      "DENTSW", "NGE   ", "NLDCS ", "NLC   ", "NTRANS", "NROT  ", "NECC  ", "NLDP  ", "NCEQ  ",
      "NMMCEQ", "NTOTBR", "NOLGRP", "NOLBRA", "NSURNP", "NLOADS", "NCNODS", "NLCOMB", "NEQ   ",
      "NTK   ", "NBW   ", "NSHSIZ", "MXELNP", "MXLDCS", "MX2DEL", "MXNPEL", "MXELIE", "MXMAPR",
      "MXGEPR", "MXELRE", "MXELRX", "MXSTEP", "MXLSPC", "MXGLPR", "MXLDPR", "MXHIPR", "MXFARR",
      "MXLDS ", "MXCNDS", "MXLCMB", "MXLDCX", "LSTSTO", "NTRAN1", "NLDCS1", "NTEMP1", "MXHAPR",
      "NLC1  ", "MXWLPR", "NEWFRA", "NFRACT", "NEWSTR", "NJOINT", "NJNTNP", "MXELHI", "NWMNPC",
      "NQUAD ", "NSHIP ", "MXRSCP", "NSHPCH", "MXARPR", "MXNAMS", "MXZYB ", "MXEIG ", "MXTPEL",
      "NEIG  ", "MXTHPR", "MXDPPR", "MXSTA1", "MXSTA2", "MXSTA3", "IHJHAN", "ISOLVR", "NWSOL ",
      "NSTDIM", "LCSTAT", "LCDYNA", "NWEVEC", "NWESEL", "INCRST", "INCRES", "INCPRI", "MXUTIL",
      "ITMAX ", "ITER  ", "IEPSIT", "NSHL3 ", "NSHL4 ", "MXTHST", "NEWLTY", "NLOHST", "NTHIST",
      "NMOVNP", "NPOLY ", "NPART ", "MXVXPR", "IUNFC ", "IWINDW"};
  for (std::size_t i = 0; i < kFirst.size(); ++i) {
    names[i] = kFirst[i];
  }
  names[109] = "MXSTRU";
  names[110] = "NELRES";
  names[111] = "NNPRES";
  constexpr std::array<std::string_view, 17> kLast{
      "INPUFO", "NELZON", "NNPZON", "IADDEX", "NSOLI8", "NSCHAR", "NQUAD8", "NTRI6 ", "NDAMP ",
      "NNPMAS", "NTHERM", "NELLOA", "NNPLOA", "NEL70 ", "NNOD70", "LENS70", "NAMD  "};
  for (std::size_t i = 0; i < kLast.size(); ++i) {
    names[115 + i] = kLast[i];
  }
  return names;
}();

// The names STROPN gives the first words of a named table.
constexpr std::int32_t kOwnWords = 4;

// Where the identifier table of a named table starts: word 2 (m) value words come first, and
// at least its five leading words must fit behind them. 0 when the words hold no named table.
std::size_t identifiers_start(Words words) {
  if (words.size() < 2 || words[0] >= 0 || words[1] < 1 ||
      static_cast<std::size_t>(words[1]) + kIdHeader > words.size()) {
    return 0;
  }
  return static_cast<std::size_t>(words[1]);
}

}  // namespace

StructureTable::StructureTable(Words words) : words_(words) {
  if (const std::size_t start = identifiers_start(words); start > 0) {
    identifiers_.emplace(words.subspan(start));
  }
}

namespace {

std::int32_t look_up(const StructureTable& table, std::string_view name,
                     support::UnitTable& units) {
  if (const IdentifierTable* ids = table.identifiers(); ids != nullptr) {
    return IDXIST(*ids, name, units);
  }
  return PARNUM(name);
}

}  // namespace

const IdentifierTable* StructureTable::identifiers() const {
  return word(1) < 0 && identifiers_.has_value() ? &*identifiers_ : nullptr;
}

void STROPN(StructureTable& table, std::int32_t upper_case, std::int32_t add_on_store,
            std::int32_t message_unit, support::UnitTable& units, std::int32_t& status) {
  const Words words = table.words_;
  const auto n = static_cast<std::int64_t>(words.size());
  const auto m = static_cast<std::int32_t>((n - 10) / 3);
  if (n < 10 || m <= 1) {
    layout::write_record(units.message_output(message_unit), kStropnHeading);
    --status;
    return;
  }
  std::fill(words.begin(), words.end(), 0);
  word(words, 1) = -1;
  word(words, 2) = m;
  const Words ids = words.subspan(static_cast<std::size_t>(m));
  word(ids, kIdCapacity) = m;
  word(ids, kIdMessageUnit) = message_unit;
  word(ids, kIdCount) = 0;
  word(ids, kIdUpperCase) = upper_case;
  word(ids, kIdAddOnStore) = add_on_store;
  IdentifierTable& identifiers = table.identifiers_.emplace(ids);
  // The table's own words 1 to 4: its form, its size and two options.
  [[maybe_unused]] const std::int32_t type_position = IDADD(identifiers, "ISTTYP  ", units);
  if (IDADD(identifiers, "MXSTRU  ", units) == 2) {
    [[maybe_unused]] const std::int32_t xyz = IDADD(identifiers, "IOPxyz  ", units);
    [[maybe_unused]] const std::int32_t yzx = IDADD(identifiers, "IOPyzx  ", units);
  }
}

std::int32_t GTSTRU(const StructureTable& table, std::string_view name, std::int32_t message_unit,
                    support::UnitTable& units, std::int32_t& status) {
  const std::int32_t position = look_up(table, name, units);
  if (position > 0) {
    return table.word(position);
  }
  const IdentifierTable* ids = table.identifiers();
  if (ids != nullptr && ids->word(kIdAddOnStore) == 0) {
    support::OutputUnit& out = units.message_output(message_unit);
    layout::write_record(out, kGtstruHeading);
    layout::write_record(out, kGtstruNotFound, name);
    --status;
  }
  return 0;
}

void PTSTRU(StructureTable& table, std::string_view name, std::int32_t value,
            std::int32_t message_unit, support::UnitTable& units, std::int32_t& status) {
  std::int32_t position = look_up(table, name, units);
  if (position <= 0 && table.identifiers() != nullptr &&
      table.identifiers()->word(kIdAddOnStore) != 0 &&
      name.substr(0, 8).find_first_not_of(' ') != std::string_view::npos) {
    // The whole name goes to IDADD, so a name too long to look up is refused here too.
    position = IDADD(*table.identifiers_, name, units);
  }
  if (position > 0) {
    word(table.words_, position) = value;
    return;
  }
  support::OutputUnit& out = units.message_output(message_unit);
  layout::write_record(out, kPtstruHeading);
  layout::write_record(out, kPtstruNotFound, name);
  --status;
}

bool own_word(const StructureTable& table, std::string_view name) {
  const IdentifierTable* ids = table.identifiers();
  if (ids == nullptr) {
    return false;
  }
  const std::int32_t position = ids->position(name);
  return position >= 1 && position <= kOwnWords;
}

std::int32_t PARNUM(std::string_view name) {
  std::array<char, 6> key{' ', ' ', ' ', ' ', ' ', ' '};
  for (std::size_t i = 0; i < key.size() && i < name.size(); ++i) {
    key[i] = name[i];
  }
  const std::string_view wanted(key.data(), key.size());
  for (std::size_t slot = 0; slot < kFixedNames.size(); ++slot) {
    if (kFixedNames[slot] == wanted) {
      return static_cast<std::int32_t>(slot + 1);
    }
  }
  return 0;
}

}  // namespace qel2br::sets
