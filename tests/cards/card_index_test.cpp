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
      {"blanks, a keyword and a tab beyond column 256",
       "  CONS " + std::string(260, '1') + "\t\n",
       {"1:3:keyword CONS"}},
      {"blanks, a tab and a keyword", "  \t  MUDP 1\n", {"1:3:tab", "1:6:keyword MUDP"}},
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

// Everything an index holds, as text: the places of each keyword, the group references, the
// findings and their counts, the line count and the start of the last line.
std::string described(const CardIndex& index) {
  std::string text;
  for (const std::string_view keyword : kKeywords) {
    text += std::string(keyword) + ":";
    CardIndex::Places places = index.places(keyword);
    for (CardPlace place{}; places.next(place);) {
      text += " " + std::to_string(place.offset) + "/" + std::to_string(place.line);
    }
    text += "\n";
  }
  for (const std::string_view keyword : kSetKeywords) {
    text +=
        std::string(keyword) + " groups " + std::to_string(index.group_references(keyword)) + "\n";
  }
  for (const CardFinding& f : index.findings()) {
    text += std::to_string(f.line) + ":" + std::to_string(f.column) + ":" +
            std::to_string(static_cast<int>(f.kind)) + std::string(f.keyword) + "\n";
  }
  text += std::to_string(index.finding_count(FindingKind::kTabCharacter)) + " " +
          std::to_string(index.finding_count(FindingKind::kKeywordMisplaced)) + " " +
          std::to_string(index.line_count()) + " " + std::to_string(index.last_line_start()) +
          (index.holds_cards() ? " cards" : " no cards") +
          (index.cr_line_ends_only() ? " CR only" : "");
  return text;
}

// A large file is read in two parts at once; the index must be the one a reading in one part
// gives, wherever the middle falls.
TEST(CardIndex, TwoPartsMakeTheSameIndexAsOne) {
  std::string many_tabs;
  for (std::size_t i = 0; i < kFindingsKept + 10; ++i) {
    many_tabs += (i % 100 == 3 ? " sea\t" : "TITL\tx") + std::to_string(i) + "\n";
  }
  std::string all_keywords;
  for (int i = 0; i < 400; ++i) {
    const std::string_view keyword = kKeywords.at(static_cast<std::size_t>(i) % kKeywords.size());
    all_keywords += std::string(keyword) + " " + std::to_string(i) + "\r\n    cont\r\n";
    all_keywords += i % 37 == 0 ? std::string(20, '\n') : "";
    all_keywords += i % 53 == 0 ? std::string(3000, 'x') + "\r\n" : "";
    all_keywords += i % 9 == 0 ? "  FLOO LEG" + std::to_string(i) + "\r\nSPEC  DECK 1\r\n" : "";
  }
  const std::vector<std::string> files = {
      all_keywords,
      many_tabs,
      std::string(5000, '\n') + "SEA 1\nCRNT 2\n",
      "SEA 1\nCRNT 2\n" + std::string(5000, '\n'),
      "SEA 1\n" + std::string(100, 'y') + "\nSEA 2\n SEA\r",
      "one line, no end",
      "\n\n",
      // The middle falls inside the first line, before its tab.
      "TITL " + std::string(200, 'x') + "\ttab\nSEA 1\n",
  };
  for (std::size_t f = 0; f < files.size(); ++f) {
    // Leading lines of other lengths move the middle across the file.
    for (std::size_t lead = 0; lead < 7; ++lead) {
      SCOPED_TRACE("file " + std::to_string(f) + ", lead " + std::to_string(lead));
      const std::string file = std::string(lead * 13, 'c') + "\n" + files[f];
      EXPECT_EQ(described(CardIndex(file, 1)), described(CardIndex(file, file.size() + 1)));
    }
  }
}

// Whether the file holds anything to convert, and whether its lines end in CR alone, read in one
// part and in two.
TEST(CardIndex, TellsFilesWithoutCardsAndWithCrLineEnds) {
  struct Row {
    std::string file;
    bool cards = false;
    bool cr_only = false;
  };
  const std::vector<Row> rows = {
      {"", false, false},
      {"C   comment\n<html>\n\n", false, false},
      {"cons 1\n", true, false},
      {"\n\n\nSEA 1", true, false},
      {"  FLOO LEGA1\n", true, false},
      {"  DPTH 100\n", false, false},
      {"TITL a\rDPTH 100\r", true, true},
      {"text\r", false, true},
      {"TITL a\rDPTH 100\r\n", true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    for (const std::size_t split : {std::size_t{1}, row.file.size() + 1}) {
      const CardIndex index(row.file, split);
      EXPECT_EQ(index.holds_cards(), row.cards);
      EXPECT_EQ(index.cr_line_ends_only(), row.cr_only);
    }
  }
}

}  // namespace
}  // namespace qel2br::cards
