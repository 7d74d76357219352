// Runs the built qel2br from the command line: batch and check runs, their options and summary,
// wrong usage, warnings on standard error, files that must be left alone, pipes and devices,
// and the batch run of every valid golden case against the output of its dialogue run.
//
// usage: batch_test [gtest flags]; the qel2br of this build is run (QEL2BR_BINARY overrides).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "run_case.hpp"
#include "testing/card_images.hpp"

namespace fs = std::filesystem;

namespace {

using qel2br::e2e::normalise;
using qel2br::e2e::Outcome;
using qel2br::e2e::read_file;
using qel2br::e2e::run_binary;
using qel2br::e2e::write_file;
using qel2br::testing::card;
using qel2br::testing::card_file;
using qel2br::testing::coefficient_card;
using qel2br::testing::constants_card;
using qel2br::testing::current_card;
using qel2br::testing::current_continuation;
using qel2br::testing::depth_card;
using qel2br::testing::element_card;
using qel2br::testing::flooded_card;
using qel2br::testing::growth_card;
using qel2br::testing::non_hydro_card;
using qel2br::testing::sea_card;

std::string binary() {
  const char* chosen = std::getenv("QEL2BR_BINARY");
  return chosen != nullptr ? std::string(chosen) : std::string(QEL2BR_BINARY_PATH);
}

// An empty working directory of one run, removed afterwards.
class Work : public qel2br::e2e::Work {
 public:
  explicit Work(const std::string& name) : qel2br::e2e::Work(::binary(), "batch", name) {}

  // Copies a file of examples/ into the directory.
  void example(const std::string& name) const {
    fs::copy_file(fs::path(QEL2BR_EXAMPLES_DIR) / name, dir() / name,
                  fs::copy_options::overwrite_existing);
  }
};

std::string padded(std::string_view line) {
  std::string text(line);
  text.resize(80, ' ');
  return text + "\n";
}

const std::string kDepth = card_file({depth_card("100")});
std::string sea(const std::string& type, const std::string& height) {
  return card_file({sea_card(
      {.type = type, .height = height, .period = "12", .phase = "0", .direction = "45"})});
}

// Checks the results file (--json) of the run result in work with check_results.py: it parses
// as strict JSON, has its form, and agrees with the summary on standard output and the warning
// lines on standard error (each when given).
void expect_results_agree(const Work& work, const std::string& results, const Work::Result& result,
                          bool with_summary, bool with_warnings) {
  write_file(work.dir() / "run.stdout", result.out);
  write_file(work.dir() / "run.stderr", result.err);
  std::string command = "python3 '" + std::string(QEL2BR_CHECK_RESULTS) + "' '" +
                        (work.dir() / results).string() + "' --status " +
                        std::to_string(result.status);
  if (with_summary) {
    command += " --stdout '" + (work.dir() / "run.stdout").string() + "'";
  }
  if (with_warnings) {
    command += " --stderr '" + (work.dir() / "run.stderr").string() + "'";
  }
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

constexpr std::string_view kEndLine = "' ------------ e o f -------------\r\n";
bool ends_normally(const std::string& output) {
  return output.size() >= kEndLine.size() &&
         output.compare(output.size() - kEndLine.size(), kEndLine.size(), kEndLine) == 0;
}

TEST(Usage, WrongUsageEndsWithStatus64) {
  struct Row {
    std::string name;
    std::vector<std::string> args;
    std::string first_line;
  };
  const std::vector<Row> rows = {
      {"unknown option",
       {"--bogus", "a.inp", "b.txt"},
       "qel2br: The following argument was not expected: --bogus"},
      {"missing both", {"--quiet"}, "qel2br: the INPUT and OUTPUT files are missing"},
      {"three files",
       {"a.inp", "b.txt", "c.txt"},
       "qel2br: 3 file names and no output folder: to convert many files give the folder of "
       "their outputs, as in 'qel2br FILE... -o DIR'"},
      {"both set files",
       {"a.inp", "b.txt", "--elements", "e.txt", "--groups", "g.txt"},
       "qel2br: --elements and --groups exclude each other: a run is either element by element or "
       "by "
       "group"},
      {"option without its file",
       {"a.inp", "b.txt", "--groups"},
       "qel2br: --groups: 1 required TEXT missing"},
      {"unknown warning kind",
       {"a.inp", "b.txt", "-Wno-tab"},
       "qel2br: unknown warning kind \"tab\" in -Wno-tab"},
      {"stop for an unknown kind",
       {"a.inp", "b.txt", "-Werror=Tab-Character"},
       "qel2br: unknown warning kind \"Tab-Character\" in -Werror=Tab-Character"},
      {"unknown warning option",
       {"a.inp", "b.txt", "-Wall"},
       "qel2br: unknown option -Wall: the warning options are -Wno-KIND and -Werror=KIND"},
      {"stop for every kind",
       {"a.inp", "b.txt", "-Werror"},
       "qel2br: unknown option -Werror: the warning options are -Wno-KIND and -Werror=KIND "
       "(--strict stops the run at any warning)"},
      {"results without a file",
       {"a.inp", "b.txt", "--json"},
       "qel2br: --json: 1 required TEXT missing"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Work work("usage");
    const Work::Result result = work.run(row.args);
    EXPECT_EQ(result.status, 64);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.substr(0, result.err.find('\n')), row.first_line) << result.err;
    EXPECT_NE(result.err.find("\nusage: qel2br "), std::string::npos);
    EXPECT_TRUE(fs::is_empty(work.dir())) << "a file was written";
  }
}

TEST(Usage, HelpAndVersion) {
  const Work work("help");
  const Work::Result help = work.run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(help.out.rfind("usage: qel2br ", 0), 0U) << help.out;
  for (const char* text : {"--elements FILE", "--groups FILE", "--check", "--quiet", "--strict",
                           "Exit status:", "  64  wrong usage", "qel2br(1)"}) {
    EXPECT_NE(help.out.find(text), std::string::npos) << text;
  }
  const Work::Result version = work.run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("qel2br ") + QEL2BR_VERSION + "\n");
  EXPECT_TRUE(fs::is_empty(work.dir()));
}

TEST(Batch, ExamplesEndWithTheirSummary) {
  struct Row {
    std::string name;
    std::vector<std::string> args;
    std::string console;
    std::string errors;
  };
  const std::string no_checking = "\n *** No Element ID checking *** \n\n";
  const auto passed_over = [](int line, const std::string& card) {
    return "platform_sets.inp:" + std::to_string(line) + ":1: warning: " + card +
           " is passed over: group mode converts only the FLOO cards that name a group (element "
           "mode converts this card) [-Welements-passed-over]\n";
  };
  const std::vector<Row> rows = {
      {"environment",
       {"platform.inp", "out.txt"},
       " Opening PrintFile OK\n" + no_checking +
           "out.txt: 5 wave records, 2 current records, 3 depth profiles, 0 element records\n",
       ""},
      {"groups",
       {"platform_sets.inp", "out.txt", "--groups", "groups.txt"},
       " Opening PrintFile OK\n\n Number of FLOO sets:   2\n Number of ELIM sets:   1\n"
       " Number of SPEC sets:   0\n Number of SPEX sets:   0\n\n"
       " **  Brakt Group Names required **\n\n"
           // The group block echoes each line of the group-name file and each FLOO line in 80
           // columns.
           + padded("NAME GROUP  1 LEGA1") + padded("NAME GROUP  2 LEGB1") +
           padded("NAME GROUP 10 DECK") + padded("FLOO LEGA1") + padded("FLOO LEGB1") +
           "out.txt: 0 wave records, 0 current records, 0 depth profiles, 2 group records\n",
       // Group mode converts only the FLOO cards that name a group, and says so of the rest.
       passed_over(3, "SPEC card") + passed_over(4, "SPEC card") + passed_over(6, "SPEX card") +
           passed_over(10, "FLOO card that names no group") +
           passed_over(11, "FLOO card that names no group") + passed_over(13, "ELIM card") +
           passed_over(14, "ELIM card")},
      {"elements",
       {"platform_sets.inp", "out.txt", "--elements", "elements.txt"},
       " Opening PrintFile OK\n\n *** Element ID checking is ON *** \n\n"
       " Total Number of Elements:     30\n"
       "out.txt: 0 wave records, 0 current records, 0 depth profiles, 9 element records\n",
       "platform_sets.inp:3:1: warning: SPEC card: the element ID check leaves out 2 of its "
       "12 elements, which elements.txt does not hold: 102, 104 [-Welements-left-out]\n"
       "platform_sets.inp:8:6: warning: FLOO card names group \"LEGA1\", which element mode "
       "passes over (group mode converts it) [-Wgroup-passed-over]\n"
       "platform_sets.inp:9:6: warning: FLOO card names group \"LEGB1\", which element mode "
       "passes over (group mode converts it) [-Wgroup-passed-over]\n"
       "platform_sets.inp:11:1: warning: FLOO card: the element ID check leaves out 1 of its "
       "3 elements, which elements.txt does not hold: 32 [-Welements-left-out]\n"
       "platform_sets.inp:14:6: warning: ELIM card names group \"DECK\", which element mode "
       "passes over (group mode converts it) [-Wgroup-passed-over]\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Work work(row.name);
    for (const char* name : {"platform.inp", "platform_sets.inp", "groups.txt", "elements.txt"}) {
      work.example(name);
    }
    const Work::Result result = work.run(row.args, "standard input is never read\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, row.console);
    EXPECT_EQ(result.err, row.errors);
    EXPECT_TRUE(ends_normally(work.file("out.txt")));

    // --quiet leaves standard output empty and changes nothing else.
    std::vector<std::string> quiet = row.args;
    quiet[1] = "quiet.txt";
    quiet.emplace_back("--quiet");
    const Work::Result quiet_result = work.run(quiet);
    EXPECT_EQ(quiet_result.status, 0);
    EXPECT_EQ(quiet_result.out, "");
    EXPECT_EQ(quiet_result.err, row.errors);
    EXPECT_EQ(normalise(work.file("quiet.txt")), normalise(work.file("out.txt")));
  }
}

TEST(Check, ReportsLikeARunAndWritesNothing) {
  struct Row {
    std::string name;
    std::string cards;
    std::vector<std::string> args;
    int status = 0;
    std::string console_has;
    std::string errors_has;
  };
  const std::vector<Row> rows = {
      {"normal",
       kDepth + sea("1", "10"),
       {},
       0,
       "cards.inp: checked; the output data file would hold 1 wave record, 0 current records, 0 "
       "depth profiles, 0 element records\n",
       ""},
      {"groups",
       "FLOO LEGA1\n",
       {"--groups", "groups.txt"},
       0,
       "cards.inp: checked; the output data file would hold 0 wave records, 0 current records, 0 "
       "depth profiles, 1 group record\n",
       ""},
      {"read error",
       kDepth + sea("1", "x"),
       {},
       2,
       "",
       "qel2br: cards.inp:2: SEA card, columns 16-20: expected a number, found \"x\"\n"},
      {"undefined group",
       "FLOO NOSUCH\n",
       {"--groups", "groups.txt"},
       1,
       "\n Error \n",
       "qel2br: error: cards.inp:1: the FLOO card names the group \"NOSUCH\", which is not "
       "defined on the group-name file \"groups.txt\"\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Work work("check");
    work.put("cards.inp", row.cards);
    work.put("groups.txt", "NAME GROUP 7 LEGA1\n");
    std::vector<std::string> args = {"--check", "cards.inp"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const Work::Result result = work.run(args);
    EXPECT_EQ(result.status, row.status) << result.err;
    EXPECT_NE(result.out.find(row.console_has), std::string::npos) << result.out;
    if (row.errors_has.empty()) {
      EXPECT_EQ(result.err, "");
    } else {
      EXPECT_EQ(result.err.rfind(row.errors_has, 0), 0U) << result.err;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(work.dir()), fs::directory_iterator()), 2)
        << "a check run wrote a file";
  }
}

// Each kind of warning in its line; -Wno-KIND leaves it out and -Werror=KIND stops the run at
// it, leaving the output as it was, while the other kinds go on as before.
TEST(Warnings, EachKindHasItsLineAndItsOptions) {
  struct Row {
    std::string name;
    std::string cards;
    std::vector<std::string> args;
    std::string kind;  // empty: no warning
    std::string errors;
    std::string stop;  // the stop under -Werror=KIND
  };
  const std::string element_coefficients_card = card_file({element_card(
      {.first = "11", .last = "13", .step = "1", .unused = "0", .cd = "0.7", .cm = "2"})});
  std::vector<Row> rows = {
      {"comma in a field",
       kDepth + sea("1", "24,5"),
       {},
       "field-holds-more",
       "cards.inp:2:16: warning: SEA card, columns 16-20: \"24,5\" holds more than one "
       "value; only 24 is read [-Wfield-holds-more]\n",
       "qel2br: cards.inp:2: SEA card, columns 16-20: \"24,5\" holds more than one value; only 24 "
       "is read (a warning; -Werror=field-holds-more stops the run)\n"},
      {"slash in a field",
       kDepth + sea("1", "2/45"),
       {},
       "field-holds-more",
       "cards.inp:2:16: warning: SEA card, columns 16-20: \"2/45\" holds more than one "
       "value; only 2 is read [-Wfield-holds-more]\n",
       "qel2br: cards.inp:2: SEA card, columns 16-20: \"2/45\" holds more than one value; only 2 "
       "is read (a warning; -Werror=field-holds-more stops the run)\n"},
      {"decimal comma in a profile",
       card_file({growth_card({.elevation = "0", .thickness = "0,050"}),
                  growth_card({.first = false, .elevation = "100", .thickness = "0.05"})}),
       {},
       "field-holds-more",
       "cards.inp:1:31: warning: MGRW card, columns 31-40: \"0,050\" holds more than one "
       "value; only 0 is read [-Wfield-holds-more]\n",
       "qel2br: cards.inp:1: MGRW card, columns 31-40: \"0,050\" holds more than one value; only 0 "
       "is read (a warning; -Werror=field-holds-more stops the run)\n"},
      {"keyword after a blank",
       kDepth + " " + sea("1", "10"),
       {},
       "keyword-misplaced",
       "cards.inp:2:2: warning: keyword SEA starts in column 2; cards are read only with "
       "their keyword in columns 1-4, so this card is passed over [-Wkeyword-misplaced]\n",
       "qel2br: cards.inp:2: keyword SEA starts in column 2; cards are read only with their "
       "keyword in columns 1-4, so this card is passed over (a warning; -Werror=keyword-misplaced "
       "stops the run)\n"},
      {"tab character",
       "TITL\tPlatform\n",
       {},
       "tab-character",
       "cards.inp:1:5: warning: card holds a tab character in column 5; each character is "
       "one column, so its fields may be misread [-Wtab-character]\n",
       "qel2br: cards.inp:1: card holds a tab character in column 5; each character is one column, "
       "so its fields may be misread (a warning; -Werror=tab-character stops the run)\n"},
      {"unknown wave type",
       kDepth + sea("7", "10"),
       {},
       "unknown-theory",
       "cards.inp:2:6: warning: SEA card, columns 6-10: wave type \"7\" is none of 1, 5, 6, "
       "9 (or these plus 10); the theory is written as \"Unknown\" [-Wunknown-theory]\n",
       "qel2br: cards.inp:2: SEA card, columns 6-10: wave type \"7\" is none of 1, 5, 6, 9 (or "
       "these plus 10); the theory is written as \"Unknown\" (a warning; -Werror=unknown-theory "
       "stops the run)\n"},
      {"elements left out",
       element_coefficients_card,
       {"--elements", "elements.txt"},
       "elements-left-out",
       "cards.inp:1:1: warning: SPEC card: the element ID check leaves out 2 of its 3 "
       "elements, which elements.txt does not hold: 11, 13 [-Welements-left-out]\n",
       "qel2br: cards.inp:1: SPEC card: the element ID check leaves out 2 of its 3 elements, which "
       "elements.txt does not hold: 11, 13 (a warning; -Werror=elements-left-out stops the run)\n"},
      {"group passed over",
       "FLOO LEGA1\n",
       {},
       "group-passed-over",
       "cards.inp:1:6: warning: FLOO card names group \"LEGA1\", which element mode passes "
       "over (group mode converts it) [-Wgroup-passed-over]\n",
       "qel2br: cards.inp:1: FLOO card names group \"LEGA1\", which element mode passes over "
       "(group "
       "mode converts it) (a warning; -Werror=group-passed-over stops the run)\n"},
      {"option not used",
       kDepth,
       {"--groups", "groups.txt"},
       "option-not-used",
       "qel2br: warning: --groups groups.txt is not used: no FLOO card of cards.inp names a "
       "group, so the element sets are converted element by element [-Woption-not-used]\n",
       "qel2br: --groups groups.txt is not used: no FLOO card of cards.inp names a group, so the "
       "element sets are converted element by element (a warning; -Werror=option-not-used stops "
       "the run)\n"},
      {"free-format group line after blanks",
       "  FLOO LEGA1\n",
       {"--groups", "groups.txt"},
       "",
       "",
       ""},
      {"lines ending in CR alone",
       "TITL PLATFORM\r" + kDepth.substr(0, kDepth.size() - 1) + "\r",
       {},
       "cr-line-ends",
       "cards.inp: warning: the lines end in CR alone; a line ends at LF (or CR LF), so the whole "
       "file is read as one line [-Wcr-line-ends]\n",
       "qel2br: cards.inp: the lines end in CR alone; a line ends at LF (or CR LF), so the whole "
       "file is read as one line (a warning; -Werror=cr-line-ends stops the run)\n"},
      {"no card",
       "C a comment card\n<html><body>DPTH 100</body></html>\n",
       {},
       "no-cards",
       "cards.inp: warning: the file holds no card this tool converts: no line has one of the "
       "keywords TITL, CONS, MUDP, DPTH, SEA, CRNT, MGRW, COEF, SPEC, SPEX, FLOO, ELIM in columns "
       "1-4 or refers to a group [-Wno-cards]\n",
       "qel2br: cards.inp: the file holds no card this tool converts: no line has one of the "
       "keywords TITL, CONS, MUDP, DPTH, SEA, CRNT, MGRW, COEF, SPEC, SPEX, FLOO, ELIM in columns "
       "1-4 or refers to a group (a warning; -Werror=no-cards stops the run)\n"},
  };
  // The drops and checks of the conversion: one row each, the warning at its card and columns.
  const auto check_row = [](std::string name, std::string cards, std::vector<std::string> args,
                            const std::string& kind, int line, int column,
                            const std::string& message) {
    const std::string at = "cards.inp:" + std::to_string(line);
    return Row{
        std::move(name),
        std::move(cards),
        std::move(args),
        kind,
        at + ":" + std::to_string(column) + ": warning: " + message + " [-W" + kind + "]\n",
        "qel2br: " + at + ": " + message + " (a warning; -Werror=" + kind + " stops the run)\n"};
  };
  const auto coefficients = [](const std::string& first, const std::string& last,
                               const std::string& step, const std::string& cd,
                               const std::string& cm) {
    return card_file({element_card(
        {.first = first, .last = last, .step = step, .unused = "0", .cd = cd, .cm = cm})});
  };
  const auto current = [](const std::string& elevation, const std::string& speed) {
    return card_file({current_card({.elevation = elevation, .speed = speed, .direction = "0"})});
  };
  const auto point = [](const std::string& elevation, const std::string& speed) {
    return card_file({current_continuation({.elevation = elevation, .speed = speed})});
  };
  const auto wave = [](const std::string& type, const std::string& height,
                       const std::string& period) {
    return card_file({sea_card(
        {.type = type, .height = height, .period = period, .phase = "0", .direction = "0"})});
  };
  const auto growth = [](bool first, const std::string& elevation, const std::string& thickness) {
    return card_file(
        {growth_card({.first = first, .elevation = elevation, .thickness = thickness})});
  };
  const std::vector<Row> checks = {
      check_row(
          "group mode passes over a SPEC card",
          "FLOO LEGA1\n" + coefficients("10", "20", "1", "1", "2"), {"--groups", "groups.txt"},
          "elements-passed-over", 2, 1,
          "SPEC card is passed over: group mode converts only the FLOO cards that name a group "
          "(element mode converts this card)"),
      check_row(
          "a period too wide for its field", kDepth + wave("1", "1", "123456"), {},
          "field-overflow", 2, 1,
          "SEA card: Period 123456 is too wide for its F8.2 field of the data file, which holds "
          "******** instead"),
      check_row("one growth card", kDepth + growth(true, "0", "0.05"), {}, "profile-one-point", 2,
                1,
                "MGRW card: the only MGRW card; a depth profile needs two points at least, so no "
                "marine growth profile is written"),
      check_row(
          "a point after a comment card ending a current",
          kDepth + current("0", "1") + "C   the surface point\n" + point("100", "1"), {},
          "lines-passed-over", 4, 1,
          "line with columns 1-4 blank after the comment card of line 3, which ended the "
          "current of the CRNT card of line 2: it is passed over, not read as a point of that "
          "current (a comment card ends a current; move it before the CRNT card)"),
      check_row("a period of 0", kDepth + wave("1", "1", "0"), {}, "wave-period", 2, 21,
                "SEA card, columns 21-30: period T = 0 s is not above 0; the checks that need the "
                "wavelength are passed over"),
      check_row("a height below 0", kDepth + wave("1", "-1", "10"), {}, "wave-height", 2, 16,
                "SEA card, columns 16-20: height H = -1 m is below 0"),
      check_row("a wave that breaks in its depth",
                card_file({depth_card("10")}) + wave("1", "8", "20"), {}, "wave-breaking", 2, 16,
                "SEA card, columns 16-20: H/d = 8 m / 10 m = 0.8 is above 0.78: the wave breaks in "
                "this depth (depth-limited breaking)"),
      check_row("a wave too steep", kDepth + wave("1", "12", "6"), {}, "wave-steepness", 2, 16,
                "SEA card, columns 16-20: steepness H/L = 12 m / 56.188 m = 0.213569 is above the "
                "breaking limit 0.142 tanh(kd) = 0.142 (L and k = 0.111824 1/m from the linear "
                "dispersion relation w^2 = g k tanh(kd) at T = 6 s, d = 100 m)"),
      check_row(
          "a Stokes wave in shallow water", card_file({depth_card("20")}) + wave("5", "5", "18"),
          {}, "stokes-ursell", 2, 6,
          "SEA card, columns 6-10: a Stokes wave (\"Stoke\") at Ursell number H L^2/d^3 = 5 m x "
          "(241.611 m)^2 / (20 m)^3 = 36.4849, above 30, where the stream-function theory "
          "(\"Stream\", wave type 6) is the usual choice"),
      check_row(
          "waves without water depth", wave("1", "1", "10"), {}, "no-water-depth", 1, 1,
          "SEA card: the water depth d is 0 (no DPTH card, or a depth not above 0): waves and "
          "currents need water d > 0; the checks that need the depth are passed over"),
      check_row(
          "a current in mm/s", kDepth + current("0", "950"), {}, "current-speed", 2, 51,
          "CRNT card (the current of line 2), columns 51-60: speed |v| = 950 m/s is above 5 m/s"),
      check_row("a current below the sea bed", kDepth + current("-60", "1") + point("100", "1"), {},
                "current-below-seabed", 2, 41,
                "CRNT card (the current of line 2), columns 41-50: the point at Z = -160 m (card "
                "elevation -60) lies below the sea bed at -d = -100 m (elevations relative to the "
                "still water level)"),
      check_row(
          "a current that turns back",
          kDepth + current("0", "1") + point("50", "1") + point("30", "1"), {}, "current-order", 4,
          41,
          "CRNT card (the current of line 2), columns 41-50: elevation Z = -70 m after -50 m "
          "turns back: the elevations of one current rise up to here and must keep on rising"),
      check_row("100 m of growth", kDepth + growth(true, "0", "0.1") + growth(false, "100", "100"),
                {}, "growth-thickness", 3, 31,
                "MGRW card, columns 31-40: marine growth thickness 100 m is outside 0 to 0.5 m"),
      check_row(
          "a drag coefficient of 3",
          kDepth + card_file({coefficient_card({.elevation = "0", .cd = "0.7", .cm = "2"}),
                              coefficient_card(
                                  {.first = false, .elevation = "100", .cd = "3", .cm = "2"})}),
          {}, "drag-coefficient", 3, 31,
          "COEF card, columns 31-40: Cd = 3 is outside 0.4 to 2.5 (0 switches the load off)"),
      check_row(
          "Cd and Cm swapped", coefficients("10", "", "", "1.6", "0.8"), {}, "inertia-coefficient",
          1, 61,
          "SPEC card, columns 61-70: Cm = 0.8 is outside 1 to 2.5 (0 switches the load off); Cd "
          "and Cm swapped would pass"),
      check_row(
          "elements both flooded and non-hydrodynamic",
          card_file({flooded_card({.first = "11", .last = "14", .step = "1"}),
                     non_hydro_card({.first = "13", .last = "20", .step = "1"})}),
          {}, "flooded-nonhydro", 2, 11,
          "ELIM card: elements 13-14 are both non-hydrodynamic and flooded (FLOO card, line 1)"),
      check_row(
          "a range without step", coefficients("1", "10", "", "1", "2"), {}, "range-one-element", 1,
          6,
          "SPEC card, columns 6-20: the element range 1 to 10 has no step, so it gives element 1 "
          "alone; a step of 1 gives the 10 elements 1 to 10"),
      check_row(
          "a range from its last to its first",
          card_file({non_hydro_card({.first = "20", .last = "10", .step = "1"})}), {},
          "range-no-element", 1, 11,
          "ELIM card, columns 11-40: the element range 20 to 10 by step 1 gives no element: its "
          "first number is above its last"),
  };
  rows.insert(rows.end(), checks.begin(), checks.end());
  // A tab within the keyword keeps the card from being read; a keyword after blanks followed by
  // text is passed over as one followed by a number is (a set keyword with a name is a group).
  rows.push_back(check_row("a tab after SEA", kDepth + "SEA\t    1         2        10\n", {},
                           "tab-character", 2, 4,
                           "card holds a tab character in column 4, within its keyword: the "
                           "card is not read as a SEA card and is passed over (a keyword needs "
                           "blanks, not a tab, after it)"));
  rows.push_back(check_row("an unusable SPEC card", coefficients("10", "", "", "-1.0", "2.0"), {},
                           "drag-coefficient", 1, 41,
                           "SPEC card, columns 41-50: Cd \"-1.0\" is below -0.1, which makes the "
                           "card unusable: it is passed over"));
  rows.push_back(check_row("a keyword after blanks followed by text", kDepth + "   SEA  ABC\n", {},
                           "keyword-misplaced", 2, 4,
                           "keyword SEA starts in column 4; cards are read only with their "
                           "keyword in columns 1-4, so this card is passed over"));

  std::set<std::string> kinds;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Work work("warnings");
    work.put("cards.inp", row.cards);
    work.put("groups.txt", "NAME GROUP 7 LEGA1\n");
    work.put("elements.txt", "12\n");
    std::vector<std::string> args = {"cards.inp", "out.txt", "--quiet"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const Work::Result result = work.run(args);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, row.errors);
    const std::string output = work.file("out.txt");
    EXPECT_TRUE(ends_normally(output));
    // The dialogue gives the same warnings.
    if (row.args.empty()) {
      const Work::Result dialogue = work.run({}, "cards.inp\nout.txt\n\n\n");
      EXPECT_EQ(dialogue.status, 0);
      EXPECT_EQ(dialogue.err, row.errors);
    }
    if (row.kind.empty()) {
      continue;
    }
    kinds.insert(row.kind);
    // Silenced, alone or with --strict: no line, the same output.
    for (const std::vector<std::string>& more :
         {std::vector<std::string>{"-Wno-" + row.kind},
          std::vector<std::string>{"--strict", "-Wno-" + row.kind}}) {
      std::vector<std::string> silenced = args;
      silenced.insert(silenced.end(), more.begin(), more.end());
      const Work::Result quiet = work.run(silenced);
      EXPECT_EQ(quiet.status, 0) << more.back();
      EXPECT_EQ(quiet.err, "") << more.back();
      EXPECT_EQ(normalise(work.file("out.txt")), normalise(output));
    }
    // Another kind silenced or stopping changes nothing.
    const std::string other = row.kind == "tab-character" ? "unknown-theory" : "tab-character";
    std::vector<std::string> others = args;
    others.insert(others.end(), {"-Wno-" + other, "-Werror=" + other});
    const Work::Result unchanged = work.run(others);
    EXPECT_EQ(unchanged.status, 0);
    EXPECT_EQ(unchanged.err, row.errors);
    // Stopping: the old output stays.
    work.put("out.txt", "kept\r\n");
    std::vector<std::string> stopping = args;
    stopping.push_back("-Werror=" + row.kind);
    const Work::Result stopped = work.run(stopping);
    EXPECT_EQ(stopped.status, 2);
    EXPECT_EQ(stopped.err, row.stop + "qel2br: out.txt left as it was\n");
    EXPECT_EQ(work.file("out.txt"), "kept\r\n");
  }
  // The table holds every kind the usage lists, but the dialogue's own (a cut answer), which
  // the bad-input table shows.
  kinds.insert("answer-cut");
  const Work work("kinds");
  const Work::Result usage = work.run({"cards.inp", "out.txt", "-Wno-nosuch"});
  std::string listed;
  for (const std::string& kind : kinds) {
    EXPECT_NE(usage.err.find(" " + kind), std::string::npos) << kind;
  }
  const std::size_t list = usage.err.find("warning kinds:");
  ASSERT_NE(list, std::string::npos) << usage.err;
  std::istringstream words(usage.err.substr(list + 14, usage.err.find("\nTry", list) - list - 14));
  std::size_t count = 0;
  for (std::string word; words >> word;) {
    ++count;
  }
  EXPECT_EQ(count, kinds.size()) << usage.err;
}

TEST(Warnings, TwentyOfAKindThenHowManyMore) {
  const Work work("cap");
  std::string cards;
  for (int i = 0; i < 25; ++i) {
    cards += "TITL\tline\n";
  }
  cards += kDepth + sea("1", "1,5");
  work.put("cards.inp", cards);
  const Work::Result result = work.run({"cards.inp", "out.txt", "--quiet"});
  EXPECT_EQ(result.status, 0);
  std::string expected;
  for (int i = 1; i <= 20; ++i) {
    expected += "cards.inp:" + std::to_string(i) +
                ":5: warning: card holds a tab character in column 5; each character is one "
                "column, so its fields may be misread [-Wtab-character]\n";
  }
  expected +=
      "cards.inp:27:16: warning: SEA card, columns 16-20: \"1,5\" holds more than one value; "
      "only 1 is read [-Wfield-holds-more]\n"
      "cards.inp: warning: 5 more warnings about cards holding tab characters not shown "
      "[-Wtab-character]\n";
  EXPECT_EQ(result.err, expected);
}

// Past the warnings a conversion report lists, the whole-file checks only count: the counts
// stay right, for both kinds, however many cards there are.
TEST(Warnings, CountsPastThoseListed) {
  const Work work("many");
  std::string cards;
  for (int i = 0; i < 1005; ++i) {
    cards += "TITL\tline\n";
  }
  cards += " SEA\n" + kDepth;
  work.put("cards.inp", cards);
  const Work::Result result = work.run({"cards.inp", "out.txt", "--quiet"});
  EXPECT_EQ(result.status, 0);
  const std::string tail =
      "cards.inp:1006:2: warning: keyword SEA starts in column 2; cards are read only with "
      "their keyword in columns 1-4, so this card is passed over [-Wkeyword-misplaced]\n"
      "cards.inp: warning: 985 more warnings about cards holding tab characters not shown "
      "[-Wtab-character]\n";
  ASSERT_GE(result.err.size(), tail.size());
  EXPECT_EQ(result.err.substr(result.err.size() - tail.size()), tail);
}

TEST(Warnings, StrictStopsAtTheFirst) {
  const Work work("strict");
  // A warning found before the run header leaves an existing output file as it was.
  work.put("cards.inp", "TITL\tPlatform\n" + kDepth + sea("1", "24,5"));
  work.put("out.txt", "kept\r\n");
  Work::Result result = work.run({"cards.inp", "out.txt", "--strict"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err,
            "qel2br: cards.inp:1: card holds a tab character in column 5; each character is one "
            "column, so its fields may be misread (a warning; --strict stops the run)\n"
            "qel2br: out.txt left as it was\n");
  EXPECT_EQ(work.file("out.txt"), "kept\r\n");

  // One found while converting stops there, and the output is still as it was.
  work.put("cards.inp", kDepth + sea("1", "24,5"));
  result = work.run({"cards.inp", "out.txt", "--strict"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err,
            "qel2br: cards.inp:2: SEA card, columns 16-20: \"24,5\" holds more than one value; "
            "only 24 is read (a warning; --strict stops the run)\n"
            "qel2br: out.txt left as it was\n");
  EXPECT_EQ(work.file("out.txt"), "kept\r\n");

  // A warning about the whole file stops the run too.
  work.put("cards.inp", "");
  result = work.run({"cards.inp", "out.txt", "--strict"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err,
            "qel2br: cards.inp: the file is empty: it holds no card to convert (a warning; "
            "--strict stops the run)\nqel2br: out.txt left as it was\n");
  EXPECT_EQ(work.file("out.txt"), "kept\r\n");

  // One in the 1,501st of 5,000 SEA cards, where the cards are read in chunks on two threads,
  // stops the run as well, with a report or without.
  std::string many = kDepth;
  for (int i = 1; i <= 5000; ++i) {
    many += sea("1", i == 1501 ? "24,5" : "10");
  }
  work.put("cards.inp", many);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"cards.inp", "out.txt", "--strict", "--quiet"},
        std::vector<std::string>{"cards.inp", "out.txt", "--strict", "--quiet", "--report",
                                 "r.html"}}) {
    result = work.run(args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err,
              "qel2br: cards.inp:1502: SEA card, columns 16-20: \"24,5\" holds more than one "
              "value; only 24 is read (a warning; --strict stops the run)\n"
              "qel2br: out.txt left as it was\n");
    EXPECT_EQ(work.file("out.txt"), "kept\r\n");
  }

  // Without warnings --strict changes nothing.
  work.put("cards.inp", kDepth + sea("1", "24.5"));
  result = work.run({"cards.inp", "out.txt", "--strict", "--quiet"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
}

// A UTF-8 byte order mark at the start of the card file, the group-name file or the element-number
// file changes nothing: the same console, warnings (line numbers included) and data file as
// without it, also for a card file large enough to be read in two parts at once.
TEST(Inputs, ByteOrderMarkIsSkipped) {
  const std::string mark = "\xEF\xBB\xBF";
  // The first card sets the units: read as unknown text, millimetres would be taken as metres.
  const std::string cons =
      card_file({constants_card({.flag = "1", .gravity = "9810.0", .density = "1.025E-9"})});
  const std::string cards = cons + kDepth + sea("1", "24,5");
  std::string large = cons;
  for (int i = 0; i < 60000; ++i) {
    large += "C " + std::string(78, 'x') + "\n";
  }
  large += "TITL\tPLATFORM\n" + kDepth + sea("1", "24,5");
  struct Row {
    std::string name;
    std::string cards;
    std::string groups;
    std::string elements;
    std::vector<std::string> args;
    std::string marked;  // the file that is given a byte order mark
  };
  const std::vector<Row> rows = {
      {"card file", cards, "", "", {}, "cards.inp"},
      {"card file read in two parts", large, "", "", {}, "cards.inp"},
      {"group-name file",
       "FLOO LEGA1\nFLOO DECK\n",
       "NAME GROUP 1 LEGA1\nNAME GROUP 10 DECK\n",
       "",
       {"--groups", "groups.txt"},
       "groups.txt"},
      {"element-number file",
       card_file({flooded_card({.first = "11", .last = "14", .step = "1"})}),
       "",
       "11 12\n14\n",
       {"--elements", "elements.txt"},
       "elements.txt"},
  };
  ASSERT_GT(large.size(), std::size_t{4} << 20U);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> args = {"cards.inp", "out.txt"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    std::vector<Work::Result> results;
    std::vector<std::string> outputs;
    for (const bool marked : {false, true}) {
      const Work work(marked ? "marked" : "unmarked");
      const auto put = [&](const std::string& name, const std::string& text) {
        work.put(name, (marked && name == row.marked ? mark : "") + text);
      };
      put("cards.inp", row.cards);
      put("groups.txt", row.groups);
      put("elements.txt", row.elements);
      results.push_back(work.run(args));
      outputs.push_back(normalise(work.file("out.txt")));
    }
    EXPECT_EQ(results[0].status, 0) << results[0].err;
    EXPECT_EQ(results[1].status, results[0].status);
    EXPECT_EQ(results[1].out, results[0].out);
    EXPECT_EQ(results[1].err, results[0].err);
    EXPECT_EQ(outputs[1], outputs[0]);
  }
}

// A line feed or carriage return in the card file's name is written as '?' in the run header, so
// the data file keeps its lines.
TEST(Inputs, LineEndsInTheInputNameKeepTheHeaderOnItsLine) {
  const Work work("line-end-name");
  work.put("in\nput\r.inp", kDepth);
  const Work::Result result = work.run({"in\nput\r.inp", "out.txt", "--quiet"});
  EXPECT_EQ(result.status, 0) << result.err;
  const std::string output = work.file("out.txt");
  EXPECT_NE(output.find("\r\n'    Qelvo File      : in?put?.inp\r\n' ===="), std::string::npos)
      << output;
  // Every line ends in CR LF: no bare line end came in with the name.
  EXPECT_EQ(std::count(output.begin(), output.end(), '\n'),
            std::count(output.begin(), output.end(), '\r'));
}

TEST(DataSafety, SetFileThatIsTheOutputIsRefusedAndKept) {
  struct Row {
    std::string name;
    std::vector<std::string> args;
    std::string answers;
    std::string refusal;
  };
  const std::string group_refusal = " Group name file is the output file: not read\n\n Error \n";
  const std::string element_refusal = " Element ID file is the output file: not read\n\n Error \n";
  const std::vector<Row> rows = {
      {"groups, same name", {}, "grouped.inp\ngroups.txt\nY\ngroups.txt\n", group_refusal},
      {"groups, through a link", {}, "grouped.inp\nlink.txt\nY\n./groups.txt\n", group_refusal},
      {"elements, same name", {}, "plain.inp\nelements.txt\nelements.txt\n", element_refusal},
      {"batch groups", {"grouped.inp", "link.txt", "--groups", "groups.txt"}, "", group_refusal},
      {"batch elements",
       {"plain.inp", "elements.txt", "--elements", "elements.txt"},
       "",
       element_refusal},
      // No FLOO card names a group, so the file is not read; the output would still replace it.
      {"batch groups not used",
       {"plain.inp", "groups.txt", "--groups", "groups.txt"},
       "",
       group_refusal},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Work work("refused");
    work.put("grouped.inp", "FLOO LEGA1\n");
    work.put("plain.inp", kDepth);
    work.put("groups.txt", "NAME GROUP 7 LEGA1\n");
    work.put("elements.txt", "11 12\n");
    fs::create_symlink("groups.txt", work.dir() / "link.txt");
    const Work::Result result = work.run(row.args, row.answers);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find(row.refusal), std::string::npos) << result.out;
    EXPECT_EQ(work.file("groups.txt"), "NAME GROUP 7 LEGA1\n");
    EXPECT_EQ(work.file("elements.txt"), "11 12\n");
  }
}

// The output data file is written under a temporary name and replaces the old file only at a
// normal end or at the error end; every other end leaves it as it was and says so.
TEST(Replacing, StopsLeaveTheOldFileAndNoTemporaryFile) {
  struct Row {
    std::string name;
    std::string cards;
    std::vector<std::string> args;
    qel2br::e2e::Start start{};
    int status = 0;
    std::string error{};  // on standard error
  };
  std::string long_cards = kDepth;
  for (int i = 0; i < 20000; ++i) {
    long_cards += sea("1", "10");
  }
  const std::vector<Row> rows = {
      {.name = "a bad card field",
       .cards = kDepth + sea("1", "abc"),
       .args = {"cards.inp", "out.txt"},
       .status = 2,
       .error = "qel2br: out.txt left as it was\n"},
      {.name = "a warning under --strict",
       .cards = kDepth + sea("1", "24,5"),
       .args = {"cards.inp", "out.txt", "--strict"},
       .status = 2,
       .error = "qel2br: out.txt left as it was\n"},
      {.name = "a file-size limit",
       .cards = long_cards,
       .args = {"cards.inp", "out.txt", "--quiet"},
       .start = {.file_size_limit = 100000},
       .status = 2,
       .error = "File too large\nqel2br: out.txt left as it was\n"},
      {.name = "the output is standard output",
       .cards = kDepth,
       .args = {"cards.inp", "/dev/stdout"},
       .status = 2,
       .error = "is the file standard output writes to"},
      {.name = "the report is standard error",
       .cards = kDepth,
       .args = {"cards.inp", "out.txt", "--report", "/dev/stderr"},
       .status = 2,
       .error = "is the file standard error writes to; nothing is converted"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Work work("stops");
    work.put("cards.inp", row.cards);
    work.put("out.txt", "an earlier run's output\r\n");
    const Work::Result result = work.run(row.args, "", row.start);
    EXPECT_EQ(result.status, row.status) << result.err;
    EXPECT_NE(result.err.find(row.error), std::string::npos) << result.err;
    EXPECT_EQ(work.file("out.txt"), "an earlier run's output\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(work.dir()), fs::directory_iterator()), 2)
        << "a file was left beside cards.inp and out.txt";
  }
}

// The output data file is put in place only once the report is written: a report that cannot
// be written (a full device) ends the run as a stop, with the old output as it was.
TEST(Replacing, ReportThatCannotBeWrittenLeavesTheOldOutput) {
  const Work work("report-fails");
  work.put("cards.inp", kDepth + sea("1", "10"));
  work.put("out.txt", "an earlier run's output\r\n");
  const Work::Result result = work.run({"cards.inp", "out.txt", "--report", "/dev/full"});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("qel2br: /dev/full: the report cannot be written: No space left on "
                            "device\nqel2br: out.txt left as it was\n"),
            std::string::npos)
      << result.err;
  EXPECT_EQ(work.file("out.txt"), "an earlier run's output\r\n");
}

// Closed standard streams are taken by the null device, never by a file of the run.
TEST(Replacing, ClosedStandardStreamsNeverReachTheDataFile) {
  const Work work("closed");
  work.put("cards.inp", kDepth + sea("1", "24,5") + card_file({flooded_card({.first = "1"})}));
  for (const qel2br::e2e::Start start :
       {qel2br::e2e::Start{.close_error = true}, qel2br::e2e::Start{.close_output = true},
        qel2br::e2e::Start{.close_output = true, .close_error = true}}) {
    const Work::Result result = work.run({"cards.inp", "out.txt"}, "", start);
    EXPECT_EQ(result.status, 0);
    const std::string output = work.file("out.txt");
    EXPECT_TRUE(ends_normally(output));
    EXPECT_EQ(output.find("qel2br"), std::string::npos) << output;
    EXPECT_EQ(output.find("records"), std::string::npos) << output;
  }
}

// What the replaced file keeps: the old file's permission bits, the link it was reached through
// (the file it leads to is replaced), its other hard links (written in place); two runs on one
// output leave the whole output of one of them.
TEST(Replacing, KeepsPermissionsLinksAndWholeness) {
  const Work work("keeps");
  work.put("cards.inp", kDepth);
  work.put("out.txt", "old\r\n");
  fs::permissions(work.dir() / "out.txt",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_EQ(work.run({"cards.inp", "out.txt"}).status, 0);
  EXPECT_EQ(fs::status(work.dir() / "out.txt").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  fs::create_symlink("out.txt", work.dir() / "link.txt");
  work.put("out.txt", "old\r\n");
  ASSERT_EQ(work.run({"cards.inp", "link.txt"}).status, 0);
  EXPECT_TRUE(fs::is_symlink(work.dir() / "link.txt"));
  EXPECT_TRUE(ends_normally(work.file("out.txt")));

  fs::create_hard_link(work.dir() / "out.txt", work.dir() / "hard.txt");
  work.put("out.txt", "old\r\n");
  ASSERT_EQ(work.run({"cards.inp", "hard.txt"}).status, 0);
  EXPECT_TRUE(ends_normally(work.file("out.txt")));
  EXPECT_EQ(fs::hard_link_count(work.dir() / "out.txt"), 2U);

  // Two runs at once: the output is the whole output of one of them.
  std::string many = kDepth;
  for (int i = 0; i < 5000; ++i) {
    many += sea("1", "10");
  }
  work.put("many.inp", many);
  ASSERT_EQ(work.run({"many.inp", "alone_many.txt", "--quiet"}).status, 0);
  ASSERT_EQ(work.run({"cards.inp", "alone_one.txt", "--quiet"}).status, 0);
  const std::string alone_many = normalise(work.file("alone_many.txt"));
  const std::string alone_one = normalise(work.file("alone_one.txt"));
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::thread other([&] {
      const Work second("keeps-second");
      static_cast<void>(run_binary(binary(), work.dir(), "/dev/null", second.dir() / "o",
                                   second.dir() / "e", {"many.inp", "both.txt", "--quiet"}));
    });
    EXPECT_EQ(work.run({"cards.inp", "both.txt", "--quiet"}).status, 0);
    other.join();
    const std::string both = normalise(work.file("both.txt"));
    EXPECT_TRUE(both == alone_many || both == alone_one) << both.size() << " bytes";
  }
}

TEST(DataSafety, OutputKeptWhenTheRunStopsBeforeTheHeader) {
  struct Row {
    std::string name;
    std::vector<std::string> args;
    std::string answers;
    int status = 0;
  };
  const std::vector<Row> rows = {
      {"console ends at the group question", {}, "grouped.inp\nout.txt\nY\n", 2},
      {"batch group file missing", {"grouped.inp", "out.txt", "--groups", "none.txt"}, "", 2},
      {"no groups on the group file", {}, "grouped.inp\nout.txt\nY\nempty.txt\n", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Work work("kept");
    work.put("grouped.inp", "FLOO LEGA1\n");
    work.put("empty.txt", "\n");
    work.put("out.txt", "an earlier run's output\r\n");
    const Work::Result result = work.run(row.args, row.answers);
    EXPECT_EQ(result.status, row.status) << result.err;
    EXPECT_EQ(work.file("out.txt"), "an earlier run's output\r\n");
  }
}

// Every file the run writes is compared with every other file of the run before any is opened,
// as it will be opened: a clash ends the run with its reason, and no file is touched.
TEST(DataSafety, FilesOfTheRunThatClashAreRefusedBeforeAnyIsOpened) {
  struct Row {
    std::string name;
    std::vector<std::string> args;
    std::string error;
  };
  const std::vector<Row> rows = {
      {"report and output, neither there yet",
       {"cards.inp", "new.txt", "--report", "new.txt"},
       "the report \"new.txt\" and the output data file \"new.txt\" are the same file"},
      {"report spelt through its folder",
       {"cards.inp", "new.txt", "--report", "./new.txt"},
       "the report \"./new.txt\" and the output data file \"new.txt\" are the same file"},
      {"report through another folder",
       {"cards.inp", "new.txt", "--report", "sub/../new.txt"},
       "the report \"sub/../new.txt\" and the output data file \"new.txt\" are the same file"},
      {"report and an existing output",
       {"cards.inp", "out.txt", "--report", "./out.txt"},
       "the report \"./out.txt\" and the output data file \"out.txt\" are the same file"},
      {"input spelt with a trailing blank",
       {"cards.inp ", "out.txt", "--report", "cards.inp"},
       "the report \"cards.inp\" would overwrite the input card file \"cards.inp \""},
      {"report through a link to the input",
       {"cards.inp", "out.txt", "--report", "link.inp"},
       "the report \"link.inp\" would overwrite the input card file \"cards.inp\""},
      {"check run: report on the element-number file",
       {"--check", "cards.inp", "--elements", "elements.txt", "--report", "./elements.txt"},
       "the report \"./elements.txt\" would overwrite the element-number file \"elements.txt\""},
      {"output on an element-number file not there yet",
       {"cards.inp", "new.txt", "--elements", "./new.txt  "},
       "the output data file \"new.txt\" would overwrite the element-number file \"./new.txt  \""},
      {"output on a group-name file not there yet",
       {"cards.inp", "sub/new.txt", "--groups", "sub/../sub/new.txt", "--quiet"},
       "the output data file \"sub/new.txt\" would overwrite the group-name file "
       "\"sub/../sub/new.txt\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Work work("clash");
    work.put("cards.inp", kDepth + sea("1", "10"));
    work.put("elements.txt", "11 12\n");
    work.put("out.txt", "an earlier run's output\r\n");
    fs::create_directory(work.dir() / "sub");
    fs::create_symlink("cards.inp", work.dir() / "link.inp");
    const std::map<std::string, std::string> before = qel2br::e2e::snapshot(work.dir());
    const Work::Result result = work.run(row.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "qel2br: " + row.error + "; nothing is converted\n");
    EXPECT_EQ(qel2br::e2e::snapshot(work.dir()), before) << "a file was touched";
  }
}

// An existing OUTPUT that holds cards (swapped file names) is replaced only with --force.
TEST(DataSafety, OutputThatLooksLikeACardFileIsKept) {
  struct Row {
    std::string name;
    std::string output;  // what OUTPUT holds before the run
    std::vector<std::string> more_args;
    int status = 0;
  };
  std::string late_card(70 * 1024, 'x');
  late_card += "\nDPTH      100\n";
  const std::vector<Row> rows = {
      {"a card file", kDepth + sea("1", "10"), {}, 2},
      {"a card after a byte order mark", "\xEF\xBB\xBF" + kDepth, {}, 2},
      {"cards with CR line ends", "C title\rSEA   1\r", {}, 2},
      {"under --quiet", kDepth, {"--quiet"}, 2},
      {"with --force", kDepth, {"--force"}, 0},
      {"lower-case keywords", "dpth      100\n", {}, 0},
      {"a keyword after a blank", " DPTH      100\n", {}, 0},
      {"a card beyond the first 64 KiB", late_card, {}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Work work("card-output");
    work.put("cards.inp", kDepth + sea("1", "10"));
    work.put("old.inp", row.output);
    std::vector<std::string> args{"cards.inp", "old.inp"};
    args.insert(args.end(), row.more_args.begin(), row.more_args.end());
    const Work::Result result = work.run(args);
    EXPECT_EQ(result.status, row.status) << result.err;
    if (row.status == 2) {
      EXPECT_EQ(result.out, "");
      EXPECT_EQ(result.err, "qel2br: old.inp looks like a card file; give --force to replace it\n");
      EXPECT_EQ(work.file("old.inp"), row.output);
    } else {
      EXPECT_TRUE(ends_normally(work.file("old.inp")));
    }
    EXPECT_EQ(work.file("cards.inp"), kDepth + sea("1", "10"));
  }

  // Swapped after a run: the data file is not converted over the card file, and a data file
  // this tool wrote is replaced as before.
  const Work work("swapped");
  work.example("platform.inp");
  const std::string cards = work.file("platform.inp");
  ASSERT_EQ(work.run({"platform.inp", "out.txt", "--quiet"}).status, 0);
  const Work::Result swapped = work.run({"out.txt", "platform.inp"});
  EXPECT_EQ(swapped.status, 2);
  EXPECT_EQ(swapped.err,
            "qel2br: platform.inp looks like a card file; give --force to replace it\n");
  EXPECT_EQ(work.file("platform.inp"), cards);
  EXPECT_EQ(work.run({"platform.inp", "out.txt", "--quiet"}).status, 0);
}

// Every error end gives its reason on standard error as one line, from the command line with
// --quiet and in the dialogue; the console lines stay as they are.
TEST(ErrorEnd, ReasonOnStandardError) {
  struct Row {
    std::string name;
    std::vector<std::string> args;
    std::string answers;
    std::string console_has;
    std::string reason;
  };
  const std::string not_opened =
      "the output data file \"./cards.inp\" would overwrite the input card file \"cards.inp\"; it "
      "is not opened";
  const std::vector<Row> rows = {
      {"output is the input", {"cards.inp", "./cards.inp", "--quiet"}, "", "", not_opened},
      {"dialogue: output is the input",
       {},
       "cards.inp\n./cards.inp\n",
       " Output file would overwrite the input card file: not opened\n\n Error \n",
       not_opened},
      {"no group on the group-name file",
       {"grouped.inp", "out.txt", "--groups", "empty.txt", "--quiet"},
       "",
       "",
       "no group is defined on the group-name file \"empty.txt\""},
      {"dialogue: no group",
       {},
       "grouped.inp\nout.txt\nY\nempty.txt\n",
       "** No Groups Found on file: empty.txt",
       "no group is defined on the group-name file \"empty.txt\""},
      {"an undefined group",
       {"grouped.inp", "out.txt", "--groups", "groups.txt", "--quiet"},
       "",
       "",
       "grouped.inp:2: the FLOO card names the group \"NOSUCH\", which is not defined on the "
       "group-name file \"groups.txt\""},
      {"dialogue: an undefined group",
       {},
       "grouped.inp\nout.txt\nY\ngroups.txt\n",
       "     Undefined Set           : NOSUCH",
       "grouped.inp:2: the FLOO card names the group \"NOSUCH\", which is not defined on the "
       "group-name file \"groups.txt\""},
      {"an illegal group name on the group-name file",
       {"grouped.inp", "out.txt", "--groups", "illegal.txt", "--quiet"},
       "",
       "",
       "the group-name file \"illegal.txt\", line 2 (\"NAME GROUP 8 LEG\xC3\xA9\"): the group "
       "name is not a legal name (at most 8 printable ASCII characters)"},
      {"an illegal group name on a FLOO card",
       {"illegal.inp", "out.txt", "--groups", "groups.txt", "--quiet"},
       "",
       "",
       "illegal.inp:1: the FLOO card names the group \"LEG\xC3\xA9\", which is not a legal group "
       "name (printable ASCII characters only)"},
      {"the element-number file is the output",
       {"plain.inp", "elements.txt", "--elements", "./elements.txt", "--quiet"},
       "",
       "",
       "the element-number file \"./elements.txt\" is the output data file \"elements.txt\"; it "
       "is not read"},
      {"dialogue: the group-name file is the output",
       {},
       "grouped.inp\ngroups.txt\nY\n./groups.txt\n",
       " Group name file is the output file: not read\n\n Error \n",
       "the group-name file \"./groups.txt\" is the output data file \"groups.txt\"; it is not "
       "read"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Work work("error-end");
    work.put("cards.inp", kDepth);
    work.put("plain.inp", kDepth);
    work.put("grouped.inp", "FLOO LEGA1\nFLOO NOSUCH\n");
    work.put("illegal.inp", "FLOO LEG\xC3\xA9\n");
    work.put("groups.txt", "NAME GROUP 7 LEGA1\n");
    work.put("illegal.txt", "NAME GROUP 7 LEGA1\nNAME GROUP 8 LEG\xC3\xA9\n");
    work.put("empty.txt", "\n");
    work.put("elements.txt", "11 12\n");
    const std::map<std::string, std::string> before = qel2br::e2e::snapshot(work.dir());
    const Work::Result result = work.run(row.args, row.answers);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "qel2br: error: " + row.reason + "\n");
    if (row.args.empty()) {
      EXPECT_NE(result.out.find(row.console_has), std::string::npos) << result.out;
    } else {
      EXPECT_EQ(result.out, "") << "--quiet";
    }
    std::map<std::string, std::string> after = qel2br::e2e::snapshot(work.dir());
    after.erase("out.txt");
    EXPECT_EQ(after, before) << "a file the run read was changed";
  }
}

TEST(SpecialFiles, PipesConvertAsRegularFiles) {
  const std::string cards = read_file(fs::path(QEL2BR_EXAMPLES_DIR) / "platform.inp");
  const Work regular("regular");
  regular.put("cards.inp", cards);
  ASSERT_EQ(regular.run({"cards.inp", "out.txt", "--quiet"}).status, 0);
  const std::string want = normalise(regular.file("out.txt"));

  // A FIFO, written by another thread as the run reads it.
  const Work fifo("fifo");
  ASSERT_EQ(::mkfifo((fifo.dir() / "cards.inp").c_str(), 0600), 0);
  std::thread writer([&fifo, &cards] { write_file(fifo.dir() / "cards.inp", cards); });
  const Work::Result through_fifo = fifo.run({"cards.inp", "out.txt", "--quiet"});
  writer.join();
  EXPECT_EQ(through_fifo.status, 0) << through_fifo.err;
  EXPECT_EQ(normalise(fifo.file("out.txt")), want);

  // Standard input, from a file and from a pipe: only the header's file name differs.
  const auto as_named = [](std::string text) {
    const std::string shown = "Qelvo File      : /dev/stdin";
    const std::size_t at = text.find(shown);
    return at == std::string::npos ? text
                                   : text.replace(at, shown.size(), "Qelvo File      : cards.inp");
  };
  const Work stdin_file("stdin");
  const Work::Result from_stdin = stdin_file.run({"/dev/stdin", "out.txt", "--quiet"}, cards);
  EXPECT_EQ(from_stdin.status, 0) << from_stdin.err;
  EXPECT_EQ(as_named(normalise(stdin_file.file("out.txt"))), want);

  const Work stdin_pipe("stdin-pipe");
  stdin_pipe.put("cards.inp", cards);
  const std::string command = "cd '" + stdin_pipe.dir().string() + "' && cat cards.inp | '" +
                              binary() + "' /dev/stdin piped.txt --quiet";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(as_named(normalise(stdin_pipe.file("piped.txt"))), want);
}

TEST(SpecialFiles, DevicesAreRefusedWithTheirKind) {
  const Work work("devices");
  work.put("cards.inp", kDepth);
  const std::string zero =
      "qel2br: cannot open the input card file \"/dev/zero\": it is a character device, not a "
      "file\n";
  Work::Result result = work.run({"/dev/zero", "out.txt"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, zero);
  EXPECT_FALSE(fs::exists(work.dir() / "out.txt"));

  result = work.run({"cards.inp", "out.txt", "--elements", "/dev/zero"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err,
            "qel2br: cannot open the element-number file \"/dev/zero\": it is a character "
            "device, not a file\nqel2br: out.txt left as it was\n");
  EXPECT_FALSE(fs::exists(work.dir() / "out.txt"));

  // The dialogue says " Nonexisting file :" and asks again.
  result = work.run({}, "/dev/zero\ncards.inp\nout.txt\n\n");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, zero);
  EXPECT_NE(result.out.find(" Nonexisting file :/dev/zero "), std::string::npos);
}

// A file that may not be opened for writing is still read: here the running program itself,
// which the system will not open for writing while it runs.
TEST(SpecialFiles, InputsAreOpenedForReadingOnly) {
  const Work work("read-only");
  const Work::Result result = work.run({"--check", "/proc/self/exe", "--quiet"});
  EXPECT_EQ(result.err.find("cannot open"), std::string::npos) << result.err;
  EXPECT_TRUE(result.status == 0 || result.status == 2) << result.status;
}

TEST(Reasons, FailedOpensSayWhy) {
  struct Row {
    std::string name;
    std::vector<std::string> args;
    std::string answers;
    int status = 0;
    std::string errors;
  };
  const std::vector<Row> rows = {
      {"missing input",
       {"none.inp", "out.txt"},
       "",
       2,
       "qel2br: cannot open the input card file \"none.inp\": No such file or directory\n"},
      {"leading blank",
       {" cards.inp", "out.txt"},
       "",
       2,
       "qel2br: cannot open the input card file \" cards.inp\": No such file or directory\n"},
      {"directory as input",
       {"sub", "out.txt"},
       "",
       2,
       "qel2br: cannot open the input card file \"sub\": Is a directory\n"},
      {"output in a missing directory",
       {"cards.inp", "none/out.txt"},
       "",
       2,
       "qel2br: cannot open the output data file \"none/out.txt\": No such file or directory\n"},
      {"dialogue, directory as output",
       {},
       "cards.inp\nsub\n",
       1,
       "qel2br: error: cannot open the output data file \"sub\": Is a directory\n"},
      {"dialogue, home shorthand",
       {},
       "~/cards.inp\ncards.inp\nout.txt\n\n",
       0,
       "qel2br: cannot open the input card file \"~/cards.inp\": No such file or directory\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Work work("reasons");
    work.put("cards.inp", kDepth);
    fs::create_directory(work.dir() / "sub");
    const Work::Result result = work.run(row.args, row.answers);
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.err, row.errors);
  }
}

// The prompts of the dialogue; each takes the next answer.
constexpr std::array<std::string_view, 5> kPrompts = {
    " Give Qelvo file                   :  ", " Give Output file (for brakt data) :  ",
    " Use Groups instead of ElemID /No/ ?  ",
    " File containing Group Names       :  ", " File containing element IDs       :  "};

// The batch run of every golden case that ends normally, with the answers its dialogue
// accepted, writes the same output data file.
TEST(Golden, BatchRunWritesTheDialoguesOutput) {
  int compared = 0;
  for (const std::string& name : qel2br::e2e::case_names(QEL2BR_CASES_DIR)) {
    const fs::path dir = fs::path(QEL2BR_CASES_DIR) / name;
    const fs::path expected = dir / "expected";
    const bool normal = !fs::exists(expected / "status") || read_file(expected / "status") == "0\n";
    if (!normal || fs::exists(dir / "setup.sh")) {
      continue;
    }
    SCOPED_TRACE(dir.filename().string());
    // Pair the prompts on the console, in order, with the answers.
    const std::string console = read_file(expected / "console.txt");
    std::vector<std::pair<std::size_t, std::size_t>> asked;  // (position, prompt)
    for (std::size_t p = 0; p < kPrompts.size(); ++p) {
      for (std::size_t at = console.find(kPrompts.at(p)); at != std::string::npos;
           at = console.find(kPrompts.at(p), at + 1)) {
        asked.emplace_back(at, p);
      }
    }
    std::sort(asked.begin(), asked.end());
    std::istringstream answer_lines(read_file(dir / "answers.txt"));
    std::map<std::size_t, std::string> accepted;  // the last answer to each prompt
    for (const auto& [position, prompt] : asked) {
      std::string answer;
      std::getline(answer_lines, answer);
      accepted[prompt] = answer;
    }
    std::vector<std::string> args = {accepted[0], accepted[1], "--quiet"};
    const bool groups = accepted.count(2) != 0 && !accepted[2].empty() &&
                        (accepted[2][0] == 'Y' || accepted[2][0] == 'y');
    if (groups) {
      args.insert(args.end(), {"--groups", accepted[3]});
    } else if (accepted.count(4) != 0 && accepted[4].substr(0, 3) != "   " &&
               !accepted[4].empty()) {
      args.insert(args.end(), {"--elements", accepted[4]});
    }
    const Work work("golden-" + dir.filename().string());
    if (fs::exists(dir / "input")) {
      fs::copy(dir / "input", work.dir(), fs::copy_options::recursive);
    }
    const Work::Result result = work.run(args);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    ASSERT_TRUE(fs::exists(expected / accepted[1])) << accepted[1];
    EXPECT_EQ(normalise(work.file(accepted[1])), normalise(read_file(expected / accepted[1])));
    // The results of the same run parse, and agree with its summary and warnings.
    args.erase(std::find(args.begin(), args.end(), "--quiet"));
    args.insert(args.end(), {"--json", "results.json"});
    const Work::Result with_results = work.run(args);
    EXPECT_EQ(with_results.status, 0) << with_results.err;
    EXPECT_EQ(with_results.err, result.err);
    expect_results_agree(work, "results.json", with_results, true, true);
    ++compared;
  }
  EXPECT_GE(compared, 10);
}

}  // namespace

// --report: the page is written at every end of the run and changes nothing else.
TEST(Report, WrittenAtEveryEndOfTheRun) {
  struct Row {
    std::string name;
    std::string cards;
    std::vector<std::string> args;
    int status = 0;
    std::vector<std::string> report_has;
  };
  const std::vector<Row> rows = {
      {"normal end",
       kDepth + sea("1", "10"),
       {"cards.inp", "out.txt"},
       0,
       {"<td>out.txt</td>", "<td>Airy</td><td class=\"n\">10.00</td>", "No warning."}},
      {"check run",
       kDepth + sea("1", "10"),
       {"--check", "cards.inp"},
       0,
       {"none written (check run: the report shows what would be written)", "<td>Airy</td>"}},
      {"input stop: the cards before it are shown",
       kDepth + sea("1", "10") + sea("1", "x"),
       {"cards.inp", "out.txt"},
       2,
       {"<p class=\"stop\">The input stopped the run (exit status 2)",
        "<pre class=\"stop\">qel2br: cards.inp:3: SEA card, columns 16-20: expected a number, "
        "found &quot;x&quot;",
        "<summary>line 2</summary><pre class=\"card\">SEA ",
        "</details></td><td class=\"n\">1</td><td>Airy</td>",
        "<tr><th>Run</th><td>stopped at cards.inp:3: SEA card, columns 16-20: expected a "
        "number, found &quot;x&quot;</td></tr>"}},
      {"input stop before the currents: they are not reached, not missing",
       kDepth + sea("1", "x") + "CRNT" + std::string(36, ' ') + "0.0       0.45      0.0\n" +
           std::string(40, ' ') + "100.0     1.20\n",
       {"cards.inp", "out.txt"},
       2,
       {"<h2>Currents</h2>\n<p class=\"stop\">not reached: the run stopped at cards.inp:2</p>",
        "<h2>Element sets</h2>\n<p class=\"stop\">not reached: the run stopped at "
        "cards.inp:2</p>",
        "<tr><th>Exit status</th><td>2</td></tr>"}},
      {"error end",
       "FLOO LEGA1\nFLOO NOSUCH\n",
       {"cards.inp", "out.txt", "--groups", "groups.txt"},
       1,
       {"<p class=\"stop\">The run took its error end",
        "<summary>line 1</summary><pre class=\"card\">FLOO LEGA1\n</pre></details></td>"
        "<td>LEGA1</td><td class=\"n\">7</td>",
        "<tr><th>Run</th><td>error end: "}},
      {"warnings with file and line",
       kDepth + sea("2", "10"),
       {"cards.inp", "out.txt"},
       0,
       {"<td>cards.inp</td><td class=\"n\">2</td><td>SEA card, columns 6-10: wave type "
        "&quot;2&quot;"}},
      {"failed checks: counted in the status box, marked in their cells",
       kDepth + sea("1", "90"),
       {"cards.inp", "out.txt"},
       0,
       {"<tr><th>Failed checks</th><td>2</td></tr>", "<td class=\"n fail\">0.900 \u2717</td>",
        "<td class=\"n fail\">0.4033 \u2717</td>"}},
      {"strict: the first warning stops the run",
       kDepth + sea("2", "10"),
       {"cards.inp", "out.txt", "--strict"},
       2,
       {"<pre class=\"stop\">qel2br: cards.inp:2: SEA card, columns 6-10: wave type"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Work work("report");
    work.put("cards.inp", row.cards);
    work.put("groups.txt", "NAME GROUP 7 LEGA1\n");
    const Work::Result plain = work.run(row.args);
    const std::string plain_output = fs::exists(work.dir() / "out.txt") ? work.file("out.txt") : "";
    fs::remove(work.dir() / "out.txt");

    std::vector<std::string> args = row.args;
    args.insert(args.end(), {"--report", "report.html"});
    const Work::Result result = work.run(args);
    EXPECT_EQ(result.status, row.status) << result.err;
    // The report changes neither the console, nor standard error, nor the output data file.
    EXPECT_EQ(result.status, plain.status);
    EXPECT_EQ(result.out, plain.out);
    EXPECT_EQ(result.err, plain.err);
    const std::string output = fs::exists(work.dir() / "out.txt") ? work.file("out.txt") : "";
    EXPECT_EQ(normalise(output), normalise(plain_output));

    const std::string report = work.file("report.html");
    EXPECT_EQ(report.rfind("<!DOCTYPE html>", 0), 0U);
    EXPECT_NE(report.find("</html>\n"), std::string::npos);
    for (const std::string& part : row.report_has) {
      EXPECT_NE(report.find(part), std::string::npos) << part;
    }
  }
}

TEST(Report, NameThatCannotBeWrittenEndsTheRunFirst) {
  struct Row {
    std::string name;
    std::vector<std::string> args;
    std::string error;
  };
  const std::vector<Row> rows = {
      {"the input card file",
       {"cards.inp", "out.txt", "--report", "./cards.inp"},
       "qel2br: the report \"./cards.inp\" would overwrite the input card file \"cards.inp\"; "
       "nothing is converted\n"},
      {"the group-name file",
       {"cards.inp", "out.txt", "--groups", "groups.txt", "--report", "groups.txt"},
       "qel2br: the report \"groups.txt\" would overwrite the group-name file \"groups.txt\"; "
       "nothing is converted\n"},
      {"a folder that does not exist",
       {"cards.inp", "out.txt", "--report", "no/report.html"},
       "qel2br: no/report.html: cannot be written: No such file or directory; the report is not "
       "written and nothing is converted\n"},
      {"a directory",
       {"cards.inp", "out.txt", "--report", "."},
       "qel2br: .: cannot be written: Is a directory; the report is not written and nothing is "
       "converted\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Work work("report-refused");
    const std::string cards = kDepth + sea("1", "10");
    work.put("cards.inp", cards);
    work.put("groups.txt", "NAME GROUP 7 LEGA1\n");
    const Work::Result result = work.run(row.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, row.error);
    EXPECT_FALSE(fs::exists(work.dir() / "out.txt")) << "the run went on";
    EXPECT_EQ(work.file("cards.inp"), cards);
    EXPECT_EQ(work.file("groups.txt"), "NAME GROUP 7 LEGA1\n");
  }
}

// --json: the results of every end of a run, in a file or on standard output.
TEST(Results, EveryEndOfTheRun) {
  struct Row {
    std::string name;
    std::string cards;
    std::vector<std::string> args;
    int status = 0;
    std::vector<std::string> results_has;
  };
  const std::vector<Row> rows = {
      {"normal end with a warning",
       kDepth + sea("7", "10"),
       {"cards.inp", "out.txt"},
       0,
       {R"("output": "out.txt")", R"("reason": null)", R"("stop": null)",
        R"("records": {"wave": 1, "current": 0, "profile": 0, "element": 0, "group": 0})",
        R"({"file": "cards.inp", "line": 2, "first_column": 6, "last_column": 10, "kind": "unknown-theory", "text": "SEA card, columns 6-10: wave type \"7\" is none)"}},
      {"warning kind silenced",
       kDepth + sea("7", "10"),
       {"cards.inp", "out.txt", "-Wno-unknown-theory"},
       0,
       {R"("warnings": [])"}},
      {"check run",
       kDepth + sea("1", "10"),
       {"--check", "cards.inp"},
       0,
       {R"("output": null)", R"("wave": 1)"}},
      {"input stop",
       kDepth + sea("1", "10") + sea("1", "x"),
       {"cards.inp", "out.txt"},
       2,
       {R"("reason": "cards.inp:3: SEA card, columns 16-20: expected a number, found \"x\"")",
        R"("stop": {"file": "cards.inp", "line": 3, "first_column": 16, "last_column": 20, "text": "SEA card, columns 16-20: expected a number, found \"x\""})",
        R"("wave": 1)"}},
      {"warning stopping the run",
       kDepth + sea("7", "10"),
       {"cards.inp", "out.txt", "-Werror=unknown-theory"},
       2,
       {R"("stop": {"file": "cards.inp", "line": 2, "first_column": 6, "last_column": 10, "text": "SEA card, columns 6-10: wave type \"7\" is none)",
        R"x(the theory is written as \"Unknown\" (a warning; -Werror=unknown-theory stops the run)"})x"}},
      {"error end",
       "FLOO NOSUCH\n",
       {"cards.inp", "out.txt", "--groups", "groups.txt"},
       1,
       {R"("reason": "cards.inp:1: the FLOO card names the group \"NOSUCH\", which is not defined on the group-name file \"groups.txt\"")",
        R"("stop": null)"}},
      {"with a report",
       kDepth + sea("7", "10"),
       {"cards.inp", "out.txt", "--report", "report.html"},
       0,
       {R"("kind": "unknown-theory")"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Work work("results");
    work.put("cards.inp", row.cards);
    work.put("groups.txt", "NAME GROUP 7 LEGA1\n");
    const Work::Result plain = work.run(row.args);
    const std::string plain_output = fs::exists(work.dir() / "out.txt") ? work.file("out.txt") : "";

    // In a file: standard output and error as without it.
    std::vector<std::string> args = row.args;
    args.insert(args.end(), {"--json", "results.json"});
    const Work::Result result = work.run(args);
    EXPECT_EQ(result.status, row.status) << result.err;
    EXPECT_EQ(result.out, plain.out);
    EXPECT_EQ(result.err, plain.err);
    const std::string results = work.file("results.json");
    for (const std::string& text : row.results_has) {
      EXPECT_NE(results.find(text), std::string::npos) << text << "\n" << results;
    }
    expect_results_agree(work, "results.json", result, row.status == 0, true);
    if (!plain_output.empty()) {
      EXPECT_EQ(normalise(work.file("out.txt")), normalise(plain_output));
    }

    // On standard output: the document alone; the console lines go to standard error.
    args.back() = "-";
    const Work::Result piped = work.run(args);
    EXPECT_EQ(piped.status, row.status);
    EXPECT_EQ(piped.out, results);
    // The two streams of the plain run, merged into one: their lines, in any order.
    const auto lines = [](const std::string& text) {
      std::vector<std::string> all;
      std::istringstream in(text);
      for (std::string line; std::getline(in, line);) {
        all.push_back(line);
      }
      std::sort(all.begin(), all.end());
      return all;
    };
    EXPECT_EQ(lines(piped.err), lines(plain.out + plain.err));
  }
}

// Names in the results hold what JSON escapes: a quote, a backslash, a tab and a Latin-1 byte
// (which is not UTF-8: it becomes the replacement character).
TEST(Results, NamesAreEscaped) {
  const Work work("escaped");
  const std::string name = "a\"b\\c\td\xe9.inp";
  work.put(name, kDepth + sea("7", "10"));
  const Work::Result result = work.run({"--check", name, "--json", "results.json"});
  EXPECT_EQ(result.status, 0) << result.err;
  const std::string results = work.file("results.json");
  const std::string escaped = R"("a\"b\\c\td\ufffd.inp")";
  EXPECT_NE(results.find(R"("input": )" + escaped), std::string::npos) << results;
  EXPECT_NE(results.find(R"({"file": )" + escaped + R"(, "line": 2)"), std::string::npos)
      << results;
  // Standard error shows the tab as '?': its lines are not compared.
  expect_results_agree(work, "results.json", result, true, false);
}

// A results file that is another file of the run, or that cannot be written, ends the run
// before anything is converted.
// Many inputs into a folder: one entry each, in the order given; the results file may be none
// of their files.
TEST(Results, ManyInputsGiveAnEntryEach) {
  const Work work("results-many");
  work.put("a.inp", kDepth + sea("1", "10"));
  work.put("b.inp", kDepth);
  fs::create_directory(work.dir() / "out");
  Work::Result result =
      work.run({"a.inp", "b.inp", "-o", "out", "-j", "2", "--json", "r.json", "--quiet"});
  EXPECT_EQ(result.status, 0) << result.err;
  const std::string json = work.file("r.json");
  const std::size_t a = json.find("\"input\": \"a.inp\"");
  const std::size_t b = json.find("\"input\": \"b.inp\"");
  EXPECT_TRUE(a != std::string::npos && b != std::string::npos && a < b) << json;
  EXPECT_NE(json.find("\"output\": \"out/a.dat\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"wave\": 1"), std::string::npos) << json;

  result = work.run({"a.inp", "b.inp", "-o", "out", "--json", "b.inp"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err,
            "qel2br: the results file \"b.inp\" would overwrite the input card file \"b.inp\"; "
            "nothing is converted\n");
  EXPECT_EQ(work.file("b.inp"), kDepth);
}

TEST(Results, RefusedBeforeTheRun) {
  const Work work("results-refused");
  work.put("cards.inp", kDepth);
  Work::Result result = work.run({"cards.inp", "out.txt", "--json", "cards.inp"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err,
            "qel2br: the results file \"cards.inp\" would overwrite the input card file "
            "\"cards.inp\"; nothing is converted\n");
  EXPECT_EQ(work.file("cards.inp"), kDepth);
  result = work.run({"cards.inp", "out.txt", "--json", "nodir/results.json"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err,
            "qel2br: nodir/results.json: cannot be written: No such file or directory; nothing "
            "is converted\n");
  EXPECT_FALSE(fs::exists(work.dir() / "out.txt"));
}
