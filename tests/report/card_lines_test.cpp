// The card lines of the report: the lines shown beside the records and the cards passed over.
#include "report/card_lines.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qel2br::report {
namespace {

TEST(ReadCardLines, ShownLinesAndCardsPassedOverByKeyword) {
  const std::string text =
      "TITL heading\r\n"              // 1: the heading
      "CONS     1\n"                  // 2: the units
      "cons     2\n"                  // 3: a second CONS card, passed over
      "MUDP -10\n"                    // 4
      "DPTH 10\n"                     // 5
      "SEA  1         2.0  10.0\r\n"  // 6: a sea state
      "C   comment\n"                 // 7
      "   \n"                         // 8
      "     1.0  2.0\n"               // 9: blank in columns 1-4
      "XYZW of another program\n"     // 10
      "SEA\t1\n"                      // 11
      "XYZW again\n"                  // 12
      "   SEA  ABC\n"                 // 13: a keyword after blanks
      "MUDP -20";                     // 14: a second MUDP card, no line end
  ReportData data;
  data.sea_states.push_back({.line = 6});
  read_card_lines(text, data);
  ASSERT_EQ(data.card_text.size(), 1U);
  EXPECT_EQ(data.card_text.at(6), "SEA  1         2.0  10.0");
  struct Expected {
    const char* keyword;
    std::int64_t count;
    std::vector<std::int64_t> lines;
  };
  const std::vector<Expected> expected = {
      {"cons", 1, {3}},
      {"C", 1, {7}},
      {"(blank line)", 1, {8}},
      {"(blank in columns 1-4)", 1, {9}},
      {"XYZW", 2, {10, 12}},
      {"SEA<tab>", 1, {11}},
      {"(after blanks) SEA", 1, {13}},
      {"MUDP", 1, {14}},
  };
  ASSERT_EQ(data.passed_over.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].keyword);
    EXPECT_EQ(data.passed_over[i].keyword, expected[i].keyword);
    EXPECT_EQ(data.passed_over[i].count, expected[i].count);
    EXPECT_EQ(data.passed_over[i].first_lines, expected[i].lines);
  }
  EXPECT_TRUE(data.passed_over_listed);
}

TEST(ReadCardLines, ListsABoundedNumberOfKeywordsAndLines) {
  std::string text;
  for (std::size_t i = 0; i < kKeywordsListed + 30; ++i) {
    text += "K" + std::to_string(100 + i) + " card of another program\n";
  }
  for (int i = 0; i < 12; ++i) {
    text += "C   comment\n";
  }
  ReportData data;
  read_card_lines(text, data);
  ASSERT_EQ(data.passed_over.size(), kKeywordsListed + 1);
  const ReportData::PassedOver& other = data.passed_over.back();
  EXPECT_EQ(other.keyword, "(other keywords)");
  EXPECT_EQ(other.count, 30 + 12);
  EXPECT_EQ(other.first_lines.size(), kFirstLinesListed);
  EXPECT_EQ(other.first_lines.front(), static_cast<std::int64_t>(kKeywordsListed) + 1);
}

TEST(LinesShown, TheFirstRecordsOfEachSection) {
  ReportData data;
  for (int i = 0; i < 80; ++i) {
    data.sea_states.push_back({.line = 1000 - i});
  }
  data.currents.push_back({.line = 5, .points = {{.line = 5}, {.line = 6}}});
  const std::vector<std::int64_t> shown = lines_shown(data);
  ASSERT_EQ(shown.size(), kRecordsShown + 2);
  EXPECT_EQ(shown.front(), 5);
  EXPECT_EQ(shown[2], 1000 - static_cast<std::int64_t>(kRecordsShown) + 1);
  EXPECT_EQ(shown.back(), 1000);
  EXPECT_EQ(lines_used(data).size(), 80U + 2U);
}

}  // namespace
}  // namespace qel2br::report
