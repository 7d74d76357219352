// The structure parameter table: setting up, reading and storing named integer values.
#include "sets/structure.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

#include "driver/layout.hpp"

namespace qel2br::sets {

namespace {

constexpr driver::Layout kStropnHeading = R"((/, 2X, "*** ERROR IN STROPN ***"))";
constexpr driver::Layout kGtstruHeading = R"((/, 2X, "*** ERROR IN GTSTRU ***"))";
constexpr driver::Layout kPtstruHeading = R"((/, 2X, "*** ERROR IN PTSTRU ***"))";
constexpr driver::Layout kGtstruNotFound =
    R"((6X, "PARAMETER NOT FOUND:", A, /, 6X, "LEAVING GTSTRU", /, /, /))";
constexpr driver::Layout kPtstruNotFound =
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
    names.at(i) = kFirst.at(i);
  }
  names.at(109) = "MXSTRU";
  names.at(110) = "NELRES";
  names.at(111) = "NNPRES";
  constexpr std::array<std::string_view, 17> kLast{
      "INPUFO", "NELZON", "NNPZON", "IADDEX", "NSOLI8", "NSCHAR", "NQUAD8", "NTRI6 ", "NDAMP ",
      "NNPMAS", "NTHERM", "NELLOA", "NNPLOA", "NEL70 ", "NNOD70", "LENS70", "NAMD  "};
  for (std::size_t i = 0; i < kLast.size(); ++i) {
    names.at(115 + i) = kLast.at(i);
  }
  return names;
}();

// The identifier table inside a named table starts at word (word 2) + 1.
Words identifier_table(Words table) {
  const std::int32_t m = word(table, 2);
  if (m < 1 || static_cast<std::size_t>(m) >= table.size()) {
    throw std::out_of_range("a named structure table with " + std::to_string(m) +
                            " value words in " + std::to_string(table.size()) + " words");
  }
  return table.subspan(static_cast<std::size_t>(m));
}

std::int32_t look_up(Words table, std::string_view name, support::UnitTable& units,
                     const IdentifierIndex* index) {
  if (word(table, 1) < 0) {
    return IDXIST(identifier_table(table), name, units, index);
  }
  return PARNUM(name);
}

}  // namespace

void STROPN(Words table, std::int32_t upper_case, std::int32_t add_on_store,
            std::int32_t message_unit, support::UnitTable& units, std::int32_t& status) {
  const auto n = static_cast<std::int64_t>(table.size());
  const auto m = static_cast<std::int32_t>((n - 10) / 3);
  if (n < 10 || m <= 1) {
    driver::write_record(units.message_output(message_unit), kStropnHeading);
    --status;
    return;
  }
  std::fill(table.begin(), table.end(), 0);
  word(table, 1) = -1;
  word(table, 2) = m;
  const Words ids = table.subspan(static_cast<std::size_t>(m));
  word(ids, kIdCapacity) = m;
  word(ids, kIdMessageUnit) = message_unit;
  word(ids, kIdCount) = 0;
  word(ids, kIdUpperCase) = upper_case;
  word(ids, kIdAddOnStore) = add_on_store;
  [[maybe_unused]] const std::int32_t type_position = IDADD(ids, "ISTTYP  ", units);
  if (IDADD(ids, "MXSTRU  ", units) == 2) {
    [[maybe_unused]] const std::int32_t xyz = IDADD(ids, "IOPxyz  ", units);
    [[maybe_unused]] const std::int32_t yzx = IDADD(ids, "IOPyzx  ", units);
  }
}

IdentifierIndex structure_index(Words table) {
  if (word(table, 1) < 0) {
    return IdentifierIndex(identifier_table(table));
  }
  return {};
}

std::int32_t GTSTRU(Words table, std::string_view name, std::int32_t message_unit,
                    support::UnitTable& units, std::int32_t& status, const IdentifierIndex* index) {
  const std::int32_t position = look_up(table, name, units, index);
  if (position > 0) {
    return word(table, position);
  }
  if (word(table, 1) < 0 && word(identifier_table(table), kIdAddOnStore) == 0) {
    support::OutputUnit& out = units.message_output(message_unit);
    driver::write_record(out, kGtstruHeading);
    driver::write_record(out, kGtstruNotFound, name);
    --status;
  }
  return 0;
}

void PTSTRU(Words table, std::string_view name, std::int32_t value, std::int32_t message_unit,
            support::UnitTable& units, std::int32_t& status, IdentifierIndex* index) {
  std::int32_t position = look_up(table, name, units, index);
  if (position <= 0 && word(table, 1) < 0 && word(identifier_table(table), kIdAddOnStore) != 0 &&
      name.substr(0, 8).find_first_not_of(' ') != std::string_view::npos) {
    // The whole name goes to IDADD, so a name too long to look up is refused here too.
    position = IDADD(identifier_table(table), name, units, index);
  }
  if (position > 0) {
    word(table, position) = value;
    return;
  }
  support::OutputUnit& out = units.message_output(message_unit);
  driver::write_record(out, kPtstruHeading);
  driver::write_record(out, kPtstruNotFound, name);
  --status;
}

std::int32_t PARNUM(std::string_view name) {
  std::array<char, 6> key{' ', ' ', ' ', ' ', ' ', ' '};
  for (std::size_t i = 0; i < key.size() && i < name.size(); ++i) {
    key.at(i) = name[i];
  }
  const std::string_view wanted(key.data(), key.size());
  for (std::size_t slot = 0; slot < kFixedNames.size(); ++slot) {
    if (kFixedNames.at(slot) == wanted) {
      return static_cast<std::int32_t>(slot + 1);
    }
  }
  return 0;
}

}  // namespace qel2br::sets
