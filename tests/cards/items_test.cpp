// Tests of DECITM, SPLITL and for_each_item.
#include "cards/items.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qel2br::cards {
namespace {

std::string padded80(std::string_view s) {
  std::string text(s);
  text.resize(80, ' ');
  return text;
}

struct DecitmRow {
  const char* name;
  std::string_view text;
  std::int32_t type;
  double value;
};

TEST(DECITM, ClassifiesAndConverts) {
  const DecitmRow rows[] = {
      {"integer", "5", kIntegerItem, 5.0},
      {"leading zeros", "007", kIntegerItem, 7.0},
      {"largest integer", "2147483647", kIntegerItem, 2147483647.0},
      {"minus", "-5", kRealItem, -5.0},
      {"plus", "+5", kRealItem, 5.0},
      {"trailing point", "5.", kRealItem, 5.0},
      {"leading point", ".5", kRealItem, 0.5},
      {"E exponent", "2.5E3", kRealItem, 2500.0},
      {"e exponent with point", "2.5e-3", kRealItem, 0.0025},
      {"E exponent without point", "1E5", kRealItem, 100000.0},
      {"E exponent with sign", "1E+2", kRealItem, 100.0},
      {"too long for an integer", "2147483648", kRealItem, 2147483648.0},
      {"twelve digits", "123456789012", kRealItem, 123456789012.0},
      {"lone point", ".", kTextItem, 0.0},
      {"point and letter", ".E", kTextItem, 0.0},
      {"E first", "E5", kTextItem, 0.0},
      {"lower e without point", "1e5", kTextItem, 0.0},
      {"two points", "1.2.3", kTextItem, 0.0},
      {"letter", "12A", kTextItem, 0.0},
      {"inner minus", "1-2", kTextItem, 0.0},
      {"word", "GROUP1", kTextItem, 0.0},
      {"D exponent is a letter", "1D5", kTextItem, 0.0},
      {"comma", "1,5", kTextItem, 0.0},
      {"slash", "5/", kTextItem, 0.0},
      {"repeat", "2*5", kTextItem, 0.0},
      {"lone minus", "-", kTextItem, 0.0},
      {"lone plus", "+", kTextItem, 0.0},
      {"exponent sign without digits", "1E+", kTextItem, 0.0},
      {"sign behind point", "5.-", kTextItem, 0.0},
      {"two points and exponent", "1.2.3E5", kTextItem, 0.0},
      {"E behind last digit", "12E", kTextItem, 0.0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::int32_t type = -1;
    double value = -1.0;
    DECITM(padded80(row.text), static_cast<std::int32_t>(row.text.size()), type, value);
    EXPECT_EQ(type, row.type);
    EXPECT_DOUBLE_EQ(value, row.value);
  }
}

TEST(DECITM, NoItemForBlankTextOrNoLength) {
  struct Row {
    const char* name;
    std::string text;
    std::int32_t length;
  };
  const Row rows[] = {
      {"blank text", padded80(""), 5},
      {"length 0", padded80("5"), 0},
      {"negative length", padded80("5"), -1},
      {"empty text", "", 3},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::int32_t type = -1;
    double value = -1.0;
    DECITM(row.text, row.length, type, value);
    EXPECT_EQ(type, kNoItem);
    EXPECT_EQ(value, 0.0);
  }
}

TEST(DECITM, WorksOnTheNonBlankPartOfTheText) {
  std::int32_t type = 0;
  double value = 0.0;
  DECITM("   42   ", 8, type, value);
  EXPECT_EQ(type, kIntegerItem);
  EXPECT_EQ(value, 42.0);

  // A blank inside is no digit, point, sign or E.
  DECITM(" 4 2 ", 5, type, value);
  EXPECT_EQ(type, kTextItem);
  EXPECT_EQ(value, 0.0);
}

// The type of an item by its shape; an item is judged by its first 80 characters only.
TEST(DECITM, TypeOfEachShape) {
  struct Row {
    const char* name;
    std::string item;
    std::int32_t type;
  };
  const std::vector<Row> rows = {
      {"no characters", "", kNoItem},
      {"one digit", "5", kIntegerItem},
      {"nine digits", "999999999", kIntegerItem},
      {"ten digits that fit", "2147483647", kIntegerItem},
      {"ten digits that do not fit", "2147483648", kRealItem},
      {"leading zeros", "0000000000007", kIntegerItem},
      {"real", "1.5", kRealItem},
      {"E exponent without point", "1E5", kRealItem},
      {"lower-case e without point", "1e5", kTextItem},
      {"lone sign", "-", kTextItem},
      {"exponent without digits", "1E+", kTextItem},
      {"keyword", "FLOO", kTextItem},
      {"E first", "ELIM", kTextItem},
      {"E and digits", "E5", kTextItem},
      {"digits then a letter", "12X", kTextItem},
      {"a letter beyond column 80 of the item", std::string(80, '1') + "X", kRealItem},
      {"a letter in column 80 of the item", std::string(79, '1') + "X", kTextItem},
      {"blanks around", "  42  ", kIntegerItem},
      {"blank inside", "4 2", kTextItem},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::int32_t type = -1;
    double value = 0.0;
    std::string text = row.item.substr(0, 80);
    text.resize(80, ' ');
    DECITM(text, static_cast<std::int32_t>(row.item.size()), type, value);
    EXPECT_EQ(type, row.type);
  }
}

// An item as expected in a list: its type and either its value or its visible text.
struct Expected {
  std::int32_t type;
  double value;
  std::string_view text;
};

void expect_items(const ItemList& items, const std::vector<Expected>& expected) {
  ASSERT_EQ(items.count, static_cast<std::int32_t>(expected.size()));
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("item " + std::to_string(i + 1));
    const Item& item = items.items.at(i);
    EXPECT_EQ(item.type, expected[i].type);
    if (expected[i].type == kTextItem) {
      EXPECT_EQ(item.text.view(), padded80(expected[i].text));
    } else {
      EXPECT_DOUBLE_EQ(item.value, expected[i].value);
    }
  }
}

TEST(SPLITL, SplitsLinesIntoTypedItems) {
  struct Row {
    const char* name;
    std::string line;
    std::vector<Expected> expected;
  };
  const std::vector<Expected> floo = {{kTextItem, 0.0, "FLOO"},
                                      {kTextItem, 0.0, "GRP1"},
                                      {kIntegerItem, 3.0, ""},
                                      {kRealItem, -2.5, ""},
                                      {kRealItem, 150.0, ""}};
  const Row rows[] = {
      {"from column 1", "FLOO   GRP1   3   -2.5   1.5E2", floo},
      {"leading blanks", "     FLOO   GRP1   3   -2.5   1.5E2", floo},
      {"padded to 256", "FLOO   GRP1   3   -2.5   1.5E2" + std::string(226, ' '), floo},
      {"empty", "", {}},
      {"blank 256", std::string(256, ' '), {}},
      {"item in column 256", std::string(255, ' ') + "7", {{kIntegerItem, 7.0, ""}}},
      {"one-character items",
       "a b c",
       {{kTextItem, 0.0, "a"}, {kTextItem, 0.0, "b"}, {kTextItem, 0.0, "c"}}},
      {"commas are part of an item", "1,2 3", {{kTextItem, 0.0, "1,2"}, {kIntegerItem, 3.0, ""}}},
      {"bad reals are texts",
       "- 1E+ 5.",
       {{kTextItem, 0.0, "-"}, {kTextItem, 0.0, "1E+"}, {kRealItem, 5.0, ""}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ItemList items;
    SPLITL(row.line, items);
    expect_items(items, row.expected);
  }
}

TEST(SPLITL, CutsLongItemsTo80Characters) {
  // A 90-digit run is too long for an integer; cut to 80 digits it is read as a real.
  const std::string digits(90, '9');
  const std::string word = "G" + std::string(89, 'X');
  ItemList items;
  SPLITL(digits + " " + word, items);
  ASSERT_EQ(items.count, 2);
  EXPECT_EQ(items.items[0].type, kRealItem);
  EXPECT_DOUBLE_EQ(items.items[0].value, 1e80);
  EXPECT_EQ(items.items[1].type, kTextItem);
  EXPECT_EQ(items.items[1].text.view(), "G" + std::string(79, 'X'));
}

TEST(SPLITL, WritesOnlyTheFieldThatSuitsTheType) {
  ItemList items;
  items.items[0].text.assign("OLD");
  items.items[1].value = 99.0;
  SPLITL("12 NEW", items);
  ASSERT_EQ(items.count, 2);
  EXPECT_EQ(items.items[0].value, 12.0);
  EXPECT_EQ(items.items[0].text.view(), padded80("OLD"));
  EXPECT_EQ(items.items[1].text.view(), padded80("NEW"));
  EXPECT_EQ(items.items[1].value, 99.0);
}

TEST(SPLITL, ResetsTheCount) {
  ItemList items;
  SPLITL("1 2 3", items);
  SPLITL(" ", items);
  EXPECT_EQ(items.count, 0);
}

TEST(SPLITL, FullCardOfItemsFitsAndLongerLinesStopAtTheListEnd) {
  // 128 one-digit items fill a 256-column card (the last blank is the card's end).
  std::string card;
  for (int i = 0; i < 128; ++i) {
    card += std::to_string(i % 10) + " ";
  }
  ASSERT_EQ(card.size(), 256U);
  ItemList items;
  SPLITL(card, items);
  ASSERT_EQ(items.count, 128);
  EXPECT_EQ(items.items[127].type, kIntegerItem);
  EXPECT_EQ(items.items[127].value, 7.0);

  // A longer line: the first 128 items are stored, the rest are left out.
  SPLITL(card + "8 9 X", items);
  EXPECT_EQ(items.count, 128);
  EXPECT_EQ(items.items[127].value, 7.0);
}

TEST(ForEachItem, SeesEveryItemOfALongLine) {
  std::string line;
  for (int i = 1; i <= 300; ++i) {
    line += " " + std::to_string(i);
  }
  std::vector<double> values;
  for_each_item(line, [&values](const Item& item) {
    EXPECT_EQ(item.type, kIntegerItem);
    values.push_back(item.value);
  });
  ASSERT_EQ(values.size(), 300U);
  EXPECT_EQ(values.front(), 1.0);
  EXPECT_EQ(values[149], 150.0);
  EXPECT_EQ(values.back(), 300.0);
}

TEST(ForEachItem, GivesCompleteItems) {
  std::vector<Item> got;
  for_each_item("GRP 2.5", [&got](const Item& item) { got.push_back(item); });
  ASSERT_EQ(got.size(), 2U);
  EXPECT_EQ(got[0].type, kTextItem);
  EXPECT_EQ(got[0].value, 0.0);
  EXPECT_EQ(got[0].text.view(), padded80("GRP"));
  EXPECT_EQ(got[1].type, kRealItem);
  EXPECT_EQ(got[1].value, 2.5);
  EXPECT_EQ(got[1].text.view(), padded80(""));
}

}  // namespace
}  // namespace qel2br::cards
