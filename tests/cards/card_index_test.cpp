// The one reading of the card file: the findings of the whole-file checks and their counts.
#include "cards/card_index.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qel2br::cards {
namespace {

// The findings as "line:column:kind keyword".
std::vector<std::string> findings(const std::string& file) {
  const CardIndex index(file);
  std::vector<std::string> found;
  for (const CardFinding& f : index.findings()) {
    found.push_back(
        std::to_string(f.line) + ":" + std::to_string(f.column) + ":" +
        (f.kind == FindingKind::kTabCharacter ? "tab" : "keyword " + std::string(f.keyword)));
  }
  return found;
}

TEST(CardIndex, FindsTabsAndKeywordsAfterBlanks) {
  struct Row {
    const char* name;
    std::string file;
    std::vector<std::string> expected;
  };
  const std::vector<Row> rows = {
      {"a tab", "SEA\t1\r\n", {"1:4:tab"}},
      {"a tab beyond column 256", "SEA " + std::string(260, '1') + "\t\n", {}},
      {"a comment card", "C   \tSEA\n c\n", {}},
      {"keywords after blanks",
       " SEA 3\n  crnt\nSEA\n   sea\n",
       {"1:2:keyword SEA ", "2:3:keyword CRNT", "4:4:keyword SEA "}},
      {"a tab, then the keyword", "\tDPTH 5\n", {"1:1:tab", "1:2:keyword DPTH"}},
      {"no keyword: a continuation card", "    30.0  0.5\n", {}},
      {"a group reference", "  FLOO LEGA1\n  FLOO 1 2\n", {"2:3:keyword FLOO"}},
      {"a CR at the end of a last line without LF", "x\n SEA\r", {"2:2:keyword SEA "}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(findings(row.file), row.expected);
  }
}

// Past kFindingsKept of a kind the findings are only counted; the other kind goes on being kept.
TEST(CardIndex, KeepsFindingsOfAKindUpToALimit) {
  std::string file;
  for (std::size_t i = 0; i < kFindingsKept + 3; ++i) {
    file += "SEA\t1\n";
  }
  file += " SEA\n";
  const CardIndex index(file);
  ASSERT_EQ(index.findings().size(), kFindingsKept + 1);
  EXPECT_EQ(index.findings().back().kind, FindingKind::kKeywordMisplaced);
  EXPECT_EQ(index.findings().back().line, static_cast<std::int64_t>(kFindingsKept) + 4);
  EXPECT_EQ(index.finding_count(FindingKind::kTabCharacter),
            static_cast<std::int64_t>(kFindingsKept) + 3);
  EXPECT_EQ(index.finding_count(FindingKind::kKeywordMisplaced), 1);
  EXPECT_EQ(index.line_count(), static_cast<std::int64_t>(kFindingsKept) + 4);
}

}  // namespace
}  // namespace qel2br::cards
