// The library face: the same data file as the command line's golden cases, the dialogue's
// questions, and the ends of a conversion.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <qel2br/qel2br.hpp>
#include <sstream>
#include <string>

#include "testing/card_images.hpp"

namespace {

namespace fs = std::filesystem;

const fs::path kCases = QEL2BR_CASES_DIR;
constexpr const char* kDate = " Date : 2026-01-01 00:00:00";

std::string read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Api, SameDataFileAsTheCommandLine) {
  struct Case {
    const char* name;
    const char* cards;  // in the case's input folder, as the dialogue was given it
    qel2br::SetMode mode;
    const char* set_file;  // "" for none
    const char* output;
  };
  for (const Case& c :
       {Case{"example_environment", "platform.inp", qel2br::SetMode::kElements, "", "out.txt"},
        Case{"example_groups", "examples/platform_sets.inp", qel2br::SetMode::kGroups,
             "examples/groups.txt", "out_groups.txt"},
        Case{"example_elements", "examples/platform_sets.inp", qel2br::SetMode::kElements,
             "examples/elements.txt", "out_elements.txt"}}) {
    SCOPED_TRACE(c.name);
    const fs::path input = kCases / c.name / "input";
    const std::string set_file = c.set_file;
    qel2br::DataFileText file;
    const qel2br::ConvertResult result =
        qel2br::convert(read(input / c.cards),
                        {.card_name = c.cards,
                         .mode = c.mode,
                         .set_text = set_file.empty() ? std::string() : read(input / set_file),
                         .set_name = set_file,
                         .date = kDate},
                        {file.sink()});
    EXPECT_EQ(result.end, qel2br::End::kNormal) << result.reason;
    EXPECT_EQ(file.text(), read(kCases / c.name / "expected" / c.output));
  }
}

TEST(Api, WhatTheDialogueWouldAsk) {
  const qel2br::CardFacts none = qel2br::inspect("SEA     1\n");
  EXPECT_FALSE(none.asks_for_groups());
  const qel2br::CardFacts sets =
      qel2br::inspect(read(kCases / "example_groups" / "input" / "examples" / "platform_sets.inp"));
  EXPECT_TRUE(sets.asks_for_groups());
  EXPECT_GT(sets.floo_sets, 0);
}

TEST(Api, EndsAndWarnings) {
  using qel2br::testing::sea_card;
  qel2br::DataFileText file;
  // A field that holds more than its value warns; one that holds no number stops.
  qel2br::ConvertResult result = qel2br::convert(
      qel2br::testing::depth_card("100") + "\n" +
          sea_card(
              {.type = "1", .height = "24,5", .period = "12", .phase = "0", .direction = "0"}) +
          "\n" +
          sea_card({.type = "1", .height = "x", .period = "12", .phase = "0", .direction = "0"}) +
          "\n",
      {.card_name = "c.inp", .date = kDate}, {file.sink()});
  EXPECT_EQ(result.end, qel2br::End::kInputStop);
  EXPECT_NE(result.reason.find("c.inp:3"), std::string::npos) << result.reason;
  ASSERT_EQ(result.warnings.size(), 1U);
  EXPECT_EQ(result.warnings[0].kind, "field-holds-more");
  EXPECT_EQ(result.warnings[0].line, 2);

  // A FLOO card whose group is not on the group-name text takes the error end.
  qel2br::DataFileText groups;
  result = qel2br::convert("FLOO LEGA1\n",
                           {.mode = qel2br::SetMode::kGroups, .set_text = "NAME GROUP 1 DECK\n"},
                           {groups.sink()});
  EXPECT_EQ(result.end, qel2br::End::kErrorEnd);
  EXPECT_NE(result.reason.find("LEGA1"), std::string::npos) << result.reason;
}

}  // namespace
