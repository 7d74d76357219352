// The section scan, continuation reading and field conversion of the card reader.
#include "cards/card_reader.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/input_stop.hpp"
#include "support/line_source.hpp"

namespace qel2br::cards {
namespace {

// The line numbers of the cards a scan hands over, and their first ten columns.
std::vector<std::string> scan(const std::string& file, std::string_view keyword) {
  support::MemoryLines lines(file);
  CardReader reader;
  reader.attach(lines, "cards.inp");
  reader.start_scan(keyword);
  std::vector<std::string> found;
  while (reader.next_card()) {
    found.push_back(std::to_string(reader.line_number()) + ":" +
                    std::string(reader.columns(1, 10)));
  }
  return found;
}

TEST(SectionScan, KeywordInExactlyFourColumns) {
  const std::string file =
      "sea 1\r\n"  // lower case: found, and handed over in capitals
      "SEAS 2\n"   // column 4 must be a blank
      " SEA 3\n"   // a keyword that starts in column 2 is passed over
      "C   SEA\n"  // a comment card
      "c\n"        // a lone c is a comment card too
      "\n"         // a blank card
      "SEA 7";     // the last line has no line end
  EXPECT_EQ(scan(file, "SEA "), (std::vector<std::string>{"1:SEA 1     ", "7:SEA 7     "}));
  // Only the keywords of this tool are scanned for; another is a fault of the program.
  EXPECT_THROW(scan(file, "SEAS"), support::InternalFault);
  EXPECT_THROW(scan(file, "C   "), support::InternalFault);
  EXPECT_EQ(scan("CONS 1\nCONS 2\n", "CONS"),
            (std::vector<std::string>{"1:CONS 1    ", "2:CONS 2    "}));
  EXPECT_EQ(scan("", "TITL"), (std::vector<std::string>{}));
}

// The cards of a keyword as a plain reading of every line finds them: line number and card.
std::vector<std::string> cards_by_lines(const std::vector<std::string>& lines,
                                        std::string_view keyword) {
  std::vector<std::string> found;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string head = lines[i].substr(0, 4);
    head.resize(4, ' ');
    for (char& c : head) {
      c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    if (head != "C   " && head == keyword) {
      std::string card = lines[i].substr(0, 10);
      card.resize(10, ' ');
      for (char& c : card) {
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
      }
      found.push_back(std::to_string(i + 1) + ":" + card);
    }
  }
  return found;
}

// Scans go from card to card through the places noted when the file was read; they must hand
// over what reading every line does, for every keyword, whatever lies between two cards of a
// keyword (lines of any length, and any number of them).
TEST(SectionScan, SameCardsAsReadingEveryLine) {
  std::vector<std::string> lines;
  for (int i = 0; i < 300; ++i) {
    const std::string_view keyword = kKeywords.at(static_cast<std::size_t>(i) % kKeywords.size());
    std::string card(keyword);
    if (i % 4 == 1) {
      for (char& c : card) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
      }
    }
    lines.push_back(card + " " + std::to_string(i));
    lines.push_back("    continuation " + std::to_string(i));
    lines.push_back("C   SEA comment");
    lines.push_back("K" + std::to_string(100 + i % 100) + " card");
    // Now and then many lines, or a very long one, before the next card.
    if (i % 50 == 7) {
      lines.insert(lines.end(), 40, "    ");
    }
    if (i % 70 == 9) {
      lines.push_back(std::string(40000, 'x'));
    }
  }
  lines.push_back("SEA last");
  std::string file;
  for (const std::string& line : lines) {
    file += line + "\r\n";
  }
  for (const std::string_view keyword : kKeywords) {
    SCOPED_TRACE(std::string(keyword));
    EXPECT_EQ(scan(file, keyword), cards_by_lines(lines, keyword));
  }
}

// After a scan, and after reading on or stepping back in the middle of one, the reader stands
// where a reading of every line leaves it.
TEST(SectionScan, PositionAfterScansAndStepBack) {
  support::MemoryLines lines("CRNT a\n    1\n    2\nSEA\nCRNT b\n    3\nCRNT c\nC end\n");
  CardReader reader;
  reader.attach(lines, "cards.inp");
  reader.start_scan("CRNT");
  ASSERT_TRUE(reader.next_card());
  EXPECT_EQ(reader.line_number(), 1);
  ASSERT_TRUE(reader.read_line());
  ASSERT_TRUE(reader.read_line());
  ASSERT_TRUE(reader.read_line());
  EXPECT_EQ(reader.columns(1, 4), "SEA ");
  reader.step_back();
  ASSERT_TRUE(reader.next_card());
  EXPECT_EQ(reader.line_number(), 5);
  // Stepping back over the card handed over hands it over again.
  reader.step_back();
  ASSERT_TRUE(reader.next_card());
  EXPECT_EQ(reader.line_number(), 5);
  ASSERT_TRUE(reader.next_card());
  EXPECT_EQ(reader.line_number(), 7);
  EXPECT_FALSE(reader.next_card());
  EXPECT_EQ(reader.line_number(), 8);
  EXPECT_FALSE(reader.read_line());
  reader.step_back();
  ASSERT_TRUE(reader.read_line());
  EXPECT_EQ(reader.columns(1, 5), "C end");
  // A rewind in the middle of a scan starts it again from the top.
  reader.rewind();
  ASSERT_TRUE(reader.next_card());
  EXPECT_EQ(reader.line_number(), 1);
  reader.start_scan("SEA ");
  ASSERT_TRUE(reader.next_card());
  EXPECT_EQ(reader.line_number(), 4);
  EXPECT_FALSE(reader.next_card());
  EXPECT_EQ(reader.line_number(), 8);
}

TEST(CardReader, CutsAndPadsTo256Columns) {
  support::MemoryLines lines(std::string("TITL ") + std::string(300, 'x') + "\nTITL\n");
  CardReader reader;
  reader.attach(lines, "cards.inp");
  reader.start_scan("TITL");
  ASSERT_TRUE(reader.next_card());
  EXPECT_EQ(reader.card().view(), "TITL " + std::string(251, 'X'));
  ASSERT_TRUE(reader.next_card());
  EXPECT_EQ(reader.card().view(), "TITL" + std::string(252, ' '));
}

TEST(CardReader, ContinuationLinesAndStepBack) {
  support::MemoryLines lines("CRNT a\n    cont\nCRNT b\n");
  CardReader reader;
  reader.attach(lines, "cards.inp");
  reader.start_scan("CRNT");
  ASSERT_TRUE(reader.next_card());
  ASSERT_TRUE(reader.read_line());
  EXPECT_EQ(reader.columns(1, 8), "    cont");
  ASSERT_TRUE(reader.read_line());
  EXPECT_EQ(reader.columns(1, 6), "CRNT b");
  reader.step_back();
  ASSERT_TRUE(reader.next_card());
  EXPECT_EQ(reader.line_number(), 3);
  EXPECT_EQ(reader.columns(1, 6), "CRNT B");
  EXPECT_FALSE(reader.read_line());
}

TEST(CardReader, FieldsAndReadErrors) {
  support::MemoryLines lines("DPTH     100.5  1.2.3\nDPTH\n");
  CardReader reader;
  reader.attach(lines, "cards.inp");
  reader.start_scan("DPTH");
  ASSERT_TRUE(reader.next_card());
  EXPECT_EQ(reader.real_field(10, 20), 100.5);
  EXPECT_FALSE(reader.blank(1, 4));
  EXPECT_TRUE(reader.blank(5, 9));
  try {
    static_cast<void>(reader.real_field(15, 25));
    FAIL() << "no read error";
  } catch (const support::InputStop& stop) {
    EXPECT_EQ(support::format_report(stop),
              "qel2br: cards.inp:1: DPTH card, columns 15-25: expected a number, found \"1.2.3\"\n"
              "  DPTH     100.5  1.2.3\n"
              "                ^^^^^^^^^^^\n");
  }
  ASSERT_TRUE(reader.next_card());
  try {
    static_cast<void>(reader.real_field(10, 20));
    FAIL() << "no read error";
  } catch (const support::InputStop& stop) {
    EXPECT_EQ(stop.line, 2);
    EXPECT_EQ(stop.message, "DPTH card, columns 10-20: expected a number, found a blank field");
  }
}

}  // namespace
}  // namespace qel2br::cards
