// What makes a file look like a card file, and the name rules the clash check uses.
#include "driver/run_files.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/header.hpp"
#include "support/file_names.hpp"
#include "testing/memory_units.hpp"

namespace qel2br::driver {
namespace {

// The start of a data file this tool writes, its input file name holding a card.
std::string data_file_start() {
  testing::MemoryRun memory;
  driver::RunContext& run = memory.state();
  run.input_name.assign("SEA  1");
  memory.sinks().run_header(run_header(run));
  return memory.output();
}

TEST(LooksLikeCardFile, KeywordsInColumnsOneToFourOnly) {
  struct Row {
    std::string name;
    std::string text;
    bool card = false;
  };
  const std::vector<Row> rows = {
      {"a card among other lines", "some text\n\nDPTH      100\nmore\n", true},
      {"three letters and their blank", "SEA   1    10\n", true},
      {"the keyword alone on its line", "FLOO\n", true},
      {"three letters at the end of the text", "x\nSEA", true},
      {"CR LF line ends", "x\r\nCRNT 1\r\n", true},
      {"CR alone ends a line", "title\rMGRW 0\r", true},
      {"after a byte order mark",
       "\xEF\xBB\xBF"
       "TITL platform\n",
       true},
      {"lower case", "dpth 100\nsea  1\n", false},
      {"a longer word", "DPTHS 100\nSEAS 1\n", false},
      {"a tab after the keyword", "DPTH\t100\n", false},
      {"after a leading blank", " DPTH 100\n", false},
      {"a comment card", "C   DPTH 100\n", false},
      {"no keyword of this tool", "NAME GROUP 7 LEGA1\n11 12 13\n", false},
      {"an empty file", "", false},
      {"a data file this tool wrote", data_file_start() + "' Water Depth\r\nDPTH\r\n", false},
      {"LF ends in a data file",
       "'         \n'         \n' " + std::string(62, '=') +
           "\n'         \n'    Qel2Br Version 0.9, 2007_10_31 \nSEA \n",
       false},
      {"a header cut short", "'         \r\n'         \r\nSEA  1\r\n", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(looks_like_card_file(row.text), row.card);
  }
}

TEST(FileNames, FolderPartAndEntryNamesByTheSystemsRules) {
  EXPECT_EQ(support::folder_part("new.txt", false), 0U);
  EXPECT_EQ(support::folder_part("./new.txt", false), 2U);
  EXPECT_EQ(support::folder_part("a/b/new.txt", false), 4U);
  EXPECT_EQ(support::folder_part("a\\new.txt", false), 0U);
  EXPECT_EQ(support::folder_part("a\\new.txt", true), 2U);
  EXPECT_EQ(support::folder_part("C:new.txt", true), 2U);
  EXPECT_EQ(support::folder_part("C:\\out\\New.TXT", true), 7U);

  EXPECT_TRUE(support::same_entry_name("new.txt", "new.txt", false));
  EXPECT_FALSE(support::same_entry_name("New.txt", "new.txt", false));
  EXPECT_TRUE(support::same_entry_name("New.TXT", "new.txt", true));
  EXPECT_FALSE(support::same_entry_name("new.txt", "new.txt2", true));
  EXPECT_FALSE(support::same_entry_name("new[.txt", "new{.txt", true));
}

}  // namespace
}  // namespace qel2br::driver
