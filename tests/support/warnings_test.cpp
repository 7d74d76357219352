// Tests of Warnings: the line form, the limit per kind, silenced kinds and stops.
#include "support/warnings.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/input_stop.hpp"
#include "support/output_unit.hpp"
#include "support/unit_table.hpp"

namespace qel2br::support {
namespace {

TEST(Warnings, LinesInTheEditorsForm) {
  constexpr WarningKind kTab = WarningKind::kTabCharacter;
  EXPECT_EQ(warning_line(kTab, {.file = "cards.inp", .line = 12, .first_column = 16}, "a message"),
            "cards.inp:12:16: warning: a message [-Wtab-character]");
  EXPECT_EQ(warning_line(WarningKind::kFieldHoldsMore, {.file = "cards.inp", .line = 12}, "no col"),
            "cards.inp:12: warning: no col [-Wfield-holds-more]");
  EXPECT_EQ(warning_line(WarningKind::kUnknownTheory, {.file = "cards.inp"}, "no line"),
            "cards.inp: warning: no line [-Wunknown-theory]");
  EXPECT_EQ(warning_line(WarningKind::kOptionNotUsed, {}, "no file"),
            "qel2br: warning: no file [-Woption-not-used]");
  EXPECT_EQ(warning_line(kTab, {.file = "a\x1b[31m", .line = 1, .first_column = 2}, "tab\there"),
            "a?[31m:1:2: warning: tab?here [-Wtab-character]");
}

TEST(Warnings, KindNamesAreOneEachAndFoundByName) {
  for (std::size_t k = 0; k < kWarningKinds; ++k) {
    const auto kind = static_cast<WarningKind>(k);
    const std::string_view name = warning_kind_name(kind);
    SCOPED_TRACE(name);
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz-"), std::string_view::npos);
    EXPECT_EQ(warning_kind_named(name), kind);
  }
  EXPECT_EQ(warning_kind_named("tab-characters"), std::nullopt);
  EXPECT_EQ(warning_kind_named(""), std::nullopt);
  EXPECT_EQ(warning_kind_name(WarningKind::kCount), "");
}

TEST(Warnings, ShowsTwentyOfAKindThenCountsTheRest) {
  StringOutput errors(kConsoleLineEnd);
  Warnings warnings;
  warnings.bind(errors, false);
  for (int i = 1; i <= 23; ++i) {
    warnings.warn(WarningKind::kTabCharacter, {.file = "c.inp", .line = i, .first_column = 3},
                  "tab");
  }
  warnings.warn(WarningKind::kUnknownTheory, {.file = "c.inp", .line = 30, .first_column = 6},
                "theory");
  // Warnings of one kind about two files are counted without a file.
  for (int i = 1; i <= 21; ++i) {
    warnings.warn(WarningKind::kFieldHoldsMore, {.file = i == 21 ? "d.inp" : "c.inp", .line = i},
                  "more");
  }
  warnings.finish();
  std::string expected;
  for (int i = 1; i <= 20; ++i) {
    expected += "c.inp:" + std::to_string(i) + ":3: warning: tab [-Wtab-character]\n";
  }
  expected += "c.inp:30:6: warning: theory [-Wunknown-theory]\n";
  for (int i = 1; i <= 20; ++i) {
    expected += "c.inp:" + std::to_string(i) + ": warning: more [-Wfield-holds-more]\n";
  }
  expected +=
      "qel2br: warning: 1 more warnings about numeric fields holding more than the value read "
      "not shown [-Wfield-holds-more]\n";
  expected +=
      "c.inp: warning: 3 more warnings about cards holding tab characters not shown "
      "[-Wtab-character]\n";
  EXPECT_EQ(errors.text(), expected);
  EXPECT_EQ(warnings.total(), 45);
}

// Counting a warning of a kind the table does not hold, or asking for a unit it does not hold,
// is a fault of the program and ends as one.
TEST(Warnings, KindOrUnitOutsideItsTableIsAnInternalFault) {
  Warnings warnings;
  EXPECT_THROW(warnings.warn(WarningKind::kCount, {.file = "c.inp", .line = 1}, "none"),
               InternalFault);
  EXPECT_EQ(warnings.total(), 0);
  StringOutput console(kConsoleLineEnd);
  const UnitTable units(console);
  for (const int unit : {-1, 100, 1000}) {
    try {
      static_cast<void>(units.connected(unit));
      ADD_FAILURE() << "unit " << unit << " was given";
    } catch (const InternalFault& fault) {
      EXPECT_EQ(fault.what,
                "unit " + std::to_string(unit) + ", which the unit table does not hold");
    }
  }
}

// Warnings past those shown and kept may be only counted; counting them earlier is a fault.
TEST(Warnings, CountsWarningsPastThoseKept) {
  StringOutput errors(kConsoleLineEnd);
  Warnings warnings;
  std::vector<KeptWarning> kept;
  warnings.bind(errors, false);
  warnings.keep(&kept);
  EXPECT_THROW(warnings.count_unlisted(WarningKind::kTabCharacter, "c.inp", 1), InternalFault);
  for (std::int64_t i = 1; i <= kWarningsKept; ++i) {
    warnings.warn_with(WarningKind::kTabCharacter,
                       {.file = "c.inp", .line = i, .first_column = 7, .last_column = 7},
                       [] { return std::string("tab"); });
  }
  warnings.count_unlisted(WarningKind::kTabCharacter, "c.inp", 5);
  warnings.count_unlisted(WarningKind::kTabCharacter, "c.inp", 0);
  warnings.finish();
  EXPECT_EQ(warnings.total(), kWarningsKept + 5);
  ASSERT_EQ(kept.size(), static_cast<std::size_t>(kWarningsKept) + 1);
  EXPECT_EQ(kept.front().first_column, 7);
  EXPECT_EQ(kept.front().last_column, 7);
  EXPECT_EQ(kept.front().kind, WarningKind::kTabCharacter);
  EXPECT_EQ(kept.back().file, "c.inp");
  EXPECT_EQ(kept.back().kind, WarningKind::kTabCharacter);
  EXPECT_EQ(kept.back().message, "5 more warnings about cards holding tab characters not listed");
  EXPECT_NE(errors.text().find("c.inp: warning: 985 more warnings about cards holding tab "
                               "characters not shown [-Wtab-character]\n"),
            std::string::npos);
}

TEST(Warnings, StrictModeStopsAtTheFirst) {
  StringOutput errors(kConsoleLineEnd);
  Warnings warnings;
  warnings.bind(errors, true);
  try {
    warnings.warn(WarningKind::kFieldHoldsMore,
                  {.file = "c.inp", .line = 4, .first_column = 11, .last_column = 20}, "field");
    FAIL() << "no stop";
  } catch (const InputStop& stop) {
    EXPECT_EQ(stop.file, "c.inp");
    EXPECT_EQ(stop.line, 4);
    EXPECT_EQ(stop.first_column, 11);
    EXPECT_EQ(stop.last_column, 20);
    EXPECT_EQ(stop.message, "field (a warning; --strict stops the run)");
  }
  EXPECT_EQ(errors.text(), "");
}

// A silenced kind is neither shown, kept nor counted, under --strict too; a kind chosen to stop
// stops and names its option; the other kinds go on as before.
TEST(Warnings, KindsSilencedOrStoppingOneByOne) {
  StringOutput errors(kConsoleLineEnd);
  std::vector<KeptWarning> kept;
  WarningChoices chosen{};
  chosen[static_cast<std::size_t>(WarningKind::kTabCharacter)] = WarningAction::kSilence;
  chosen[static_cast<std::size_t>(WarningKind::kUnknownTheory)] = WarningAction::kStop;
  for (const bool strict : {false, true}) {
    SCOPED_TRACE(strict ? "strict" : "not strict");
    Warnings warnings;
    warnings.bind(errors, strict, chosen);
    warnings.keep(&kept);
    for (int i = 1; i <= 1005; ++i) {
      warnings.warn_with(WarningKind::kTabCharacter, {.file = "c.inp", .line = i},
                         [] { return std::string("tab"); });
    }
    warnings.count_unlisted(WarningKind::kTabCharacter, "c.inp", 5);
    if (!strict) {
      warnings.warn(WarningKind::kKeywordMisplaced, {.file = "c.inp", .line = 2}, "keyword");
    }
    try {
      warnings.warn(WarningKind::kUnknownTheory, {.file = "c.inp", .line = 3}, "theory");
      ADD_FAILURE() << "no stop";
    } catch (const InputStop& stop) {
      EXPECT_EQ(stop.message, "theory (a warning; -Werror=unknown-theory stops the run)");
    }
    warnings.finish();
    EXPECT_EQ(warnings.total(), strict ? 0 : 1);
  }
  EXPECT_EQ(errors.text(), "c.inp:2: warning: keyword [-Wkeyword-misplaced]\n");
  ASSERT_EQ(kept.size(), 1U);
  EXPECT_EQ(kept.front().kind, WarningKind::kKeywordMisplaced);
}

}  // namespace
}  // namespace qel2br::support
