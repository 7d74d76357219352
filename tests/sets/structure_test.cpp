// Tests of STROPN, GTSTRU, PTSTRU and PARNUM.
#include "sets/structure.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "testing/memory_units.hpp"

namespace qel2br::sets {
namespace {

// The run's 30010-word table, set up as the dialogue does (add-on-store flag as given).
struct NamedTable {
  explicit NamedTable(std::int32_t add_on_store = 1) : words(30010, 0), table(words) {
    STROPN(table, 1, add_on_store, 6, units(), status);
  }
  std::vector<std::int32_t> words;
  StructureTable table;
  testing::MemoryRun memory;
  std::int32_t status = 0;
  support::UnitTable& units() { return memory.state().units; }
};

TEST(STROPN, SetsUpTheNamedForm) {
  NamedTable table;
  EXPECT_EQ(table.status, 0);
  EXPECT_EQ(table.words[0], -1);
  EXPECT_EQ(table.words[1], 10000);
  // The identifier table at word 10001: capacity, message unit, count, flags.
  EXPECT_EQ(table.words[10000], 10000);
  EXPECT_EQ(table.words[10001], 6);
  EXPECT_EQ(table.words[10002], 4);
  EXPECT_EQ(table.words[10003], 1);
  EXPECT_EQ(table.words[10004], 1);
  const IdentifierTable& ids = *table.table.identifiers();
  EXPECT_EQ(IDXIST(ids, "ISTTYP", table.units()), 1);
  EXPECT_EQ(IDXIST(ids, "MXSTRU", table.units()), 2);
  EXPECT_EQ(IDXIST(ids, "IOPXYZ", table.units()), 3);
  EXPECT_EQ(IDXIST(ids, "iopyzx", table.units()), 4);
  EXPECT_EQ(table.memory.console(), "");
}

TEST(STROPN, TooSmallArrayIsLeftAlone) {
  testing::MemoryRun memory;
  std::array<std::int32_t, 15> words{};
  words.fill(7);
  std::int32_t status = -2;
  StructureTable table(words);
  STROPN(table, 1, 1, 6, memory.state().units, status);
  EXPECT_EQ(status, -3);
  EXPECT_EQ(memory.console(), "\n  *** ERROR IN STROPN ***\n");
  for (const std::int32_t w : words) {
    EXPECT_EQ(w, 7);
  }
}

TEST(GTSTRU, ReadsWhatPTSTRUStored) {
  NamedTable table;
  EXPECT_EQ(GTSTRU(table.table, "MXSTRU  ", 6, table.units(), table.status), 10000);
  EXPECT_EQ(GTSTRU(table.table, "ISTTYP  ", 6, table.units(), table.status), -1);
  PTSTRU(table.table, "DECK    ", 12, 6, table.units(), table.status);
  EXPECT_EQ(GTSTRU(table.table, "deck    ", 6, table.units(), table.status), 12);
  EXPECT_EQ(IDXIST(*table.table.identifiers(), "DECK", table.units()), 5);
  EXPECT_EQ(table.words[4], 12);
  PTSTRU(table.table, "Deck", 13, 6, table.units(), table.status);
  EXPECT_EQ(GTSTRU(table.table, "DECK", 6, table.units(), table.status), 13);
  EXPECT_EQ(GTSTRU(table.table, "LEGS    ", 6, table.units(), table.status), 0);
  EXPECT_EQ(table.status, 0);
  EXPECT_EQ(table.memory.console(), "");
}

TEST(GTSTRU, UnknownNameWithoutAddOnStoreIsReported) {
  NamedTable table(0);
  EXPECT_EQ(GTSTRU(table.table, "NOSUCH  ", 6, table.units(), table.status), 0);
  EXPECT_EQ(table.status, -1);
  EXPECT_EQ(table.memory.console(),
            "\n  *** ERROR IN GTSTRU ***\n      PARAMETER NOT FOUND:NOSUCH  \n"
            "      LEAVING GTSTRU\n\n\n\n");
  // The counter runs on; a store of a new name fails too without the add-on-store flag.
  PTSTRU(table.table, "NOSUCH  ", 3, 90, table.units(), table.status);
  EXPECT_EQ(table.status, -2);
  EXPECT_EQ(table.memory.output(),
            "\r\n  *** ERROR IN PTSTRU ***\r\n      PARAMETER NOT FOUND:NOSUCH  \r\n"
            "      LEAVING PTSTRU\r\n\r\n\r\n\r\n");
}

TEST(PTSTRU, NineCharacterNameIsRefused) {
  NamedTable table;
  PTSTRU(table.table, "ABCDEFGHI", 5, 6, table.units(), table.status);
  EXPECT_EQ(table.status, -1);
  EXPECT_EQ(table.memory.console(),
            "\n  *** ERROR IN IDXIST  ***\n\n    Illegal Identifier : ABCDEFGHI\n"
            "\n  *** ERROR IN IDADD  ***\n\n    Illegal Identifier : ABCDEFGHI\n"
            "\n  *** ERROR IN PTSTRU ***\n      PARAMETER NOT FOUND:ABCDEFGHI\n"
            "      LEAVING PTSTRU\n\n\n\n");
  EXPECT_EQ(table.words[10002], 4);
}

TEST(PTSTRU, FullIdentifierTableIsReported) {
  // 28 words: m = 6, so two names fit after the four of STROPN.
  testing::MemoryRun memory;
  std::array<std::int32_t, 28> words{};
  StructureTable table(words);
  std::int32_t status = 0;
  STROPN(table, 1, 1, 6, memory.state().units, status);
  PTSTRU(table, "A", 1, 6, memory.state().units, status);
  PTSTRU(table, "B", 2, 6, memory.state().units, status);
  EXPECT_EQ(status, 0);
  PTSTRU(table, "C", 3, 6, memory.state().units, status);
  EXPECT_EQ(status, -1);
  EXPECT_EQ(memory.console(),
            "\n  *** ERROR IN IDADD  ***\n\n    Number of IDS exceeds maximum of :      6\n"
            "\n  *** ERROR IN PTSTRU ***\n      PARAMETER NOT FOUND:C\n"
            "      LEAVING PTSTRU\n\n\n\n");
  EXPECT_EQ(words[4], 1);
  EXPECT_EQ(words[5], 2);
}

TEST(GTSTRU, FixedFormUsesTheSlotList) {
  testing::MemoryRun memory;
  std::array<std::int32_t, 200> words{};
  words[1] = 33;
  words[109] = 44;
  StructureTable table(words);
  std::int32_t status = 0;
  EXPECT_EQ(GTSTRU(table, "NEL", 6, memory.state().units, status), 33);
  EXPECT_EQ(GTSTRU(table, "MXSTRU", 6, memory.state().units, status), 44);
  EXPECT_EQ(GTSTRU(table, "NOSUCH", 6, memory.state().units, status), 0);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(memory.console(), "");
  PTSTRU(table, "NBEAM", 9, 6, memory.state().units, status);
  EXPECT_EQ(words[2], 9);
  PTSTRU(table, "NOSUCH", 9, 6, memory.state().units, status);
  EXPECT_EQ(status, -1);
}

TEST(PARNUM, FindsTheSlot) {
  struct Row {
    const char* name;
    std::int32_t slot;
  };
  const Row rows[] = {{"NNP", 1},      {"NEL   ", 2},    {"DENTSW", 10},  {"IWINDW", 105},
                      {"MXSTRU", 110}, {"NNPRES", 112},  {"INPUFO", 116}, {"NEL70", 129},
                      {"NAMD", 132},   {"NEL   XYZ", 2}, {"nel", 0},      {"NOSUCH", 0},
                      {"NTRI6", 123},  {"NLC1", 55}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(PARNUM(row.name), row.slot);
  }
}

}  // namespace
}  // namespace qel2br::sets
