// Tests of Warnings: the line form, the limit per kind, and strict mode.
#include "support/warnings.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/input_stop.hpp"
#include "support/units.hpp"

namespace qel2br::support {
namespace {

TEST(Warnings, LinesInTheCompilersForm) {
  EXPECT_EQ(warning_line("cards.inp", 12, "a message"), "qel2br: cards.inp:12: warning: a message");
  EXPECT_EQ(warning_line("cards.inp", 0, "no line"), "qel2br: cards.inp: warning: no line");
  EXPECT_EQ(warning_line("", 0, "no file"), "qel2br: warning: no file");
  EXPECT_EQ(warning_line("a\x1b[31m", 1, "tab\there"), "qel2br: a?[31m:1: warning: tab?here");
}

TEST(Warnings, ShowsTwentyOfAKindThenCountsTheRest) {
  StringOutput errors(kConsoleLineEnd);
  Warnings warnings;
  warnings.bind(errors, false);
  for (int i = 1; i <= 23; ++i) {
    warnings.warn(WarningKind::kTabCharacter, "c.inp", i, "tab");
  }
  warnings.warn(WarningKind::kUnknownTheory, "c.inp", 30, "theory");
  warnings.finish();
  std::string expected;
  for (int i = 1; i <= 20; ++i) {
    expected += "qel2br: c.inp:" + std::to_string(i) + ": warning: tab\n";
  }
  expected += "qel2br: c.inp:30: warning: theory\n";
  expected += "qel2br: warning: 3 more warnings about cards holding tab characters not shown\n";
  EXPECT_EQ(errors.text(), expected);
  EXPECT_EQ(warnings.total(), 24);
}

// Counting a warning of a kind the table does not hold, or asking for a unit it does not hold,
// is a fault of the program and ends as one.
TEST(Warnings, KindOrUnitOutsideItsTableIsAnInternalFault) {
  Warnings warnings;
  EXPECT_THROW(warnings.warn(WarningKind::kCount, "c.inp", 1, "none"), InternalFault);
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
  EXPECT_THROW(warnings.count_unlisted(WarningKind::kTabCharacter, 1), InternalFault);
  for (std::int64_t i = 1; i <= kWarningsKept; ++i) {
    warnings.warn_with(WarningKind::kTabCharacter, "c.inp", i, [] { return std::string("tab"); });
  }
  warnings.count_unlisted(WarningKind::kTabCharacter, 5);
  warnings.count_unlisted(WarningKind::kTabCharacter, 0);
  warnings.finish();
  EXPECT_EQ(warnings.total(), kWarningsKept + 5);
  ASSERT_EQ(kept.size(), static_cast<std::size_t>(kWarningsKept) + 1);
  EXPECT_EQ(kept.back().message, "5 more warnings about cards holding tab characters not listed");
  EXPECT_NE(errors.text().find("qel2br: warning: 985 more warnings about cards holding tab "
                               "characters not shown\n"),
            std::string::npos);
}

TEST(Warnings, StrictModeStopsAtTheFirst) {
  StringOutput errors(kConsoleLineEnd);
  Warnings warnings;
  warnings.bind(errors, true);
  try {
    warnings.warn(WarningKind::kFieldHoldsMore, "c.inp", 4, "field");
    FAIL() << "no stop";
  } catch (const InputStop& stop) {
    EXPECT_EQ(stop.file, "c.inp");
    EXPECT_EQ(stop.line, 4);
    EXPECT_EQ(stop.message, "field (a warning; --strict stops the run)");
  }
  EXPECT_EQ(errors.text(), "");
}

}  // namespace
}  // namespace qel2br::support
