// Runs the built qel2br on broken and hostile input, one table row per case.
//
// Each row gives the files of an empty working directory (large ones are generated here, never
// stored), an optional setup (links, directories, permissions), the console answers, the exit
// status, and texts that standard error, the console and the output data file must hold. Every
// row also checks that each file present before the run is byte for byte unchanged afterwards,
// that no file but out.txt appears, that a normal end leaves the end line and any other end
// leaves none, and that the run finishes within the time limit.
//
// usage: bad_input_test [gtest flags] [qel2br binary]: by default the qel2br of this build;
// QEL2BR_BINARY overrides both (tools/valgrind-e2e points it at a wrapper).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "run_case.hpp"
#include "testing/card_images.hpp"

namespace fs = std::filesystem;

namespace {

using qel2br::e2e::Outcome;
using qel2br::e2e::read_file;
using qel2br::e2e::run_binary;
using qel2br::e2e::snapshot;
using qel2br::e2e::timeout_seconds;
using qel2br::e2e::write_file;
using qel2br::testing::card;
using qel2br::testing::card_file;
using qel2br::testing::coefficient_card;
using qel2br::testing::coefficient_fields;
using qel2br::testing::constants_card;
using qel2br::testing::constants_fields;
using qel2br::testing::current_card;
using qel2br::testing::current_continuation;
using qel2br::testing::current_fields;
using qel2br::testing::depth_card;
using qel2br::testing::element_card;
using qel2br::testing::element_fields;
using qel2br::testing::Field;
using qel2br::testing::flooded_card;
using qel2br::testing::growth_card;
using qel2br::testing::growth_fields;
using qel2br::testing::non_hydro_card;
using qel2br::testing::range_fields;
using qel2br::testing::sea_card;
using qel2br::testing::sea_fields;
using qel2br::testing::wide_element_card;
using qel2br::testing::wide_element_fields;

std::string g_binary;  // NOLINT: set once from the command line before the tests run

constexpr std::string_view kEndLine = "' ------------ e o f -------------\r\n";

// What the three kinds of answers look like.
constexpr std::string_view kElementAnswers = "cards.inp\nout.txt\n\n\n";  // no element checking
constexpr std::string_view kGroupAnswers = "cards.inp\nout.txt\nY\ngroups.txt\n";
constexpr std::string_view kCheckedAnswers = "cards.inp\nout.txt\nelements.txt\nelements.txt\n";

struct File {
  std::string name;
  std::string contents;
};

// One case. Texts to find may be empty (not checked); an empty stderr_has means standard error
// holds nothing but warnings. "@WORK@" in the answers stands for the working directory.
struct Row {
  std::string name;
  std::function<std::vector<File>()> files;
  std::string answers;
  int status = 0;
  std::string stderr_has{};
  std::string console_has{};
  std::string output_has{};
  std::function<void(const fs::path&)> setup{};
  bool needs_non_root = false;
};

// Bytes from a fixed seed: the same garbage on every run.
std::string garbage(std::size_t size, std::uint32_t seed, bool allow_newline) {
  std::string bytes;
  bytes.reserve(size);
  std::uint32_t x = seed;
  while (bytes.size() < size) {
    x = x * 1664525U + 1013904223U;
    const auto c = static_cast<char>(x >> 24U);
    if (!allow_newline && (c == '\n' || c == '\r')) {
      continue;
    }
    bytes += c;
  }
  return bytes;
}

// Garbage without digits, signs or points, so no number can be read from it.
std::string garbage_without_numbers(std::size_t size, std::uint32_t seed) {
  std::string bytes = garbage(size, seed, true);
  std::replace_if(
      bytes.begin(), bytes.end(),
      [](char c) { return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'; }, '#');
  return bytes;
}

std::vector<File> only(std::string name, std::string contents) {
  return {{std::move(name), std::move(contents)}};
}

const std::string kDepthCard = depth_card("100");
const std::string kDepthLine = "' Water Depth          :  100.000 [m]\r\n";
const std::string kGroupCard = "FLOO LEGA1";
const std::string kGroupLine = "NAME GROUP 7 LEGA1";
// The flooded-group record (A, I8, 10X, A, A) of a group number and the name as on the card.
std::string flooded_record(std::string_view number, std::string_view name) {
  return " Flooded Group " + std::string(8 - number.size(), ' ') + std::string(number) +
         std::string(10, ' ') + " !   " + std::string(name) + std::string(8 - name.size(), ' ') +
         "\r\n";
}
const std::string kFloodedRecord = flooded_record("7", "LEGA1");

// A numeric field of a card kind: the cards before it, the keyword and fields of the card that
// holds it, its columns, and whether a blank field is allowed (a default is taken).
struct NumericField {
  std::string label;
  std::vector<std::string> before;
  std::string keyword;
  std::vector<Field> others;
  int first = 0;
  int last = 0;
  bool blank_allowed = false;
  std::string reported_keyword;  // as the report names the card
};

std::vector<NumericField> numeric_fields() {
  const std::string crnt = current_card({.elevation = "0", .speed = "0.5", .direction = "90"});
  const std::string mgrw = growth_card({.elevation = "0", .thickness = "0.02"});
  const std::string coef = coefficient_card({.elevation = "0", .cd = "0.7", .cm = "2.0"});
  const std::vector<Field> sea =
      sea_fields({.type = "1", .height = "10", .period = "12", .phase = "0", .direction = "45"});
  const std::vector<Field> cons =
      constants_fields({.flag = "1", .gravity = "9.81", .density = "1025"});
  const std::vector<Field> element_coefficients = element_fields(
      {.first = "101", .last = "112", .step = "1", .unused = "0", .cd = "0.7", .cm = "2.0"});
  const std::vector<Field> spex = wide_element_fields(
      {.first = "200", .last = "210", .step = "2", .unused = "0", .cd = "0.8", .cm = "1.8"});
  const std::vector<Field> range = range_fields({.first = "11", .last = "13", .step = "1"});
  const std::vector<Field> crnt_fields =
      current_fields({.elevation = "0", .speed = "0.5", .direction = "90"});
  const std::vector<Field> cont = current_fields({.elevation = "50", .speed = "0.8"});
  const std::vector<Field> later_mgrw =
      growth_fields({.first = false, .elevation = "80", .thickness = "0.05"});
  const std::vector<Field> later_coef =
      coefficient_fields({.first = false, .elevation = "100", .cd = "0.65", .cm = "1.6"});

  std::vector<NumericField> all;
  const auto add = [&](std::string label, std::vector<std::string> before, std::string keyword,
                       const std::vector<Field>& fields, bool blank_allowed_default,
                       std::string reported, std::vector<int> blank_allowed_firsts = {}) {
    for (const Field& f : fields) {
      NumericField n;
      n.label = label + "_" + std::to_string(f.first) + "_" + std::to_string(f.last);
      n.before = before;
      n.keyword = keyword;
      for (const Field& o : fields) {
        if (o.first != f.first) {
          n.others.push_back(o);
        }
      }
      n.first = f.first;
      n.last = f.last;
      n.blank_allowed = blank_allowed_default ||
                        std::find(blank_allowed_firsts.begin(), blank_allowed_firsts.end(),
                                  f.first) != blank_allowed_firsts.end();
      n.reported_keyword = reported;
      all.push_back(n);
    }
  };
  add("cons", {}, "CONS", cons, false, "CONS");
  add("mudp", {}, "MUDP", {{10, 20, "-100"}}, false, "MUDP");
  add("dpth", {}, "DPTH", {{10, 20, "100"}}, false, "DPTH");
  add("sea", {}, "SEA ", sea, false, "SEA", {6});
  add("crnt", {}, "CRNT", crnt_fields, false, "CRNT", {61});
  add("crnt_continuation", {crnt}, "    ", cont, false, "CRNT continuation");
  add("mgrw_first", {}, "MGRW", growth_fields({.elevation = "0", .thickness = "0.02"}), false,
      "MGRW");
  add("mgrw_later", {mgrw}, "MGRW", later_mgrw, false, "MGRW");
  add("coef_first", {}, "COEF", coefficient_fields({.elevation = "0", .cd = "0.7", .cm = "2.0"}),
      false, "COEF");
  add("coef_later", {coef}, "COEF", later_coef, false, "COEF");
  // Range fields: blank is 0. SPEC's and SPEX's ignored real is still read.
  add("element_coefficients", {}, "SPEC", element_coefficients, false, "SPEC", {6, 11, 16});
  add("spex", {}, "SPEX", spex, false, "SPEX", {11, 21, 31});
  add("floo", {}, "FLOO", range, true, "FLOO");
  add("elim", {}, "ELIM", range, true, "ELIM");
  return all;
}

void add_field_rows(std::vector<Row>& rows) {
  for (const NumericField& n : numeric_fields()) {
    const auto line = std::to_string(n.before.size() + 1);
    const std::string columns = n.reported_keyword + " card, columns " + std::to_string(n.first) +
                                "-" + std::to_string(n.last) + ": expected a number";
    for (const bool blank : {true, false}) {
      std::vector<Field> fields = n.others;
      if (!blank) {
        fields.push_back({n.first, n.last, "abc"});
      }
      std::vector<std::string> cards = n.before;
      cards.push_back(card(n.keyword, fields));
      // The report shows the field as it stands in the file, not upper-cased.
      const std::string found = "\"abc\"";
      Row row{.name = "field_" + n.label + (blank ? "_blank" : "_not_a_number"),
              .files = [text = card_file(cards)] { return only("cards.inp", text); },
              .answers = std::string(kElementAnswers)};
      if (blank && n.blank_allowed) {
        row.status = 0;
      } else {
        row.status = 2;
        row.stderr_has = "qel2br: cards.inp:" + line + ": " + columns +
                         (blank ? ", found a blank field" : ", found " + found);
      }
      rows.push_back(row);
    }
  }
}

// The console input ending at each question of both modes.
void add_console_end_rows(std::vector<Row>& rows) {
  const std::string ended = "the console input ended; expected an answer to ";
  const auto files_with = [](std::string cards_text) {
    return [cards_text] {
      return std::vector<File>{{"cards.inp", cards_text},
                               {"groups.txt", "NAME GROUP 7 LEGA1\n"},
                               {"elements.txt", "11 12\n"}};
    };
  };
  const std::string plain = kDepthCard + "\n";
  const std::string grouped = kGroupCard + "\n";
  struct End {
    std::string name;
    std::string cards;
    std::string answers;
    std::string question;
  };
  const std::vector<End> ends = {
      {"input", plain, "", "Give Qelvo file"},
      {"input_asked_again", plain, "missing.inp\n", "Give Qelvo file"},
      {"output", plain, "cards.inp\n", "Give Output file (for brakt data)"},
      {"element_file", plain, "cards.inp\nout.txt\n", "File containing element IDs"},
      {"element_file_asked_again", plain, "cards.inp\nout.txt\nmissing.txt\n",
       "File containing element IDs"},
      {"group_question", grouped, "cards.inp\nout.txt\n", "Use Groups instead of ElemID /No/"},
      {"element_file_after_no", grouped, "cards.inp\nout.txt\nN\n", "File containing element IDs"},
      {"group_file", grouped, "cards.inp\nout.txt\nY\n", "File containing Group Names"},
      {"group_file_asked_again", grouped, "cards.inp\nout.txt\nY\nmissing.txt\n",
       "File containing Group Names"},
  };
  for (const End& e : ends) {
    // The report names the line that was expected: the one after the last answer.
    const auto expected_line = std::count(e.answers.begin(), e.answers.end(), '\n') + 1;
    rows.push_back({.name = "console_ends_at_" + e.name,
                    .files = files_with(e.cards),
                    .answers = e.answers,
                    .status = 2,
                    .stderr_has = "qel2br: standard input:" + std::to_string(expected_line) + ": " +
                                  ended + "\"" + e.question + "\""});
  }
}

// Inputs that only reach the files: garbage, long lines, empty files, line ends.
void add_file_rows(std::vector<Row>& rows) {
  const std::string ten_mb(10U << 20U, 'X');
  rows.push_back(
      {.name = "nul_and_escape_in_card_field",
       .files = [] { return only("cards.inp", std::string("DPTH     1\0\0\x1b[31m\n", 19)); },
       .answers = std::string(kElementAnswers),
       .status = 2,
       .stderr_has = "qel2br: cards.inp:1: DPTH card, columns 10-20: expected a number, found "
                     "\"1???[31m\"\n  DPTH     1???[31m\n"});
  rows.push_back(
      {.name = "binary_garbage_card_file",
       .files = [] { return only("cards.inp", garbage(1U << 16U, 7, true) + "\n" + kDepthCard); },
       .answers = std::string(kElementAnswers),
       .output_has = kDepthLine});
  rows.push_back({.name = "binary_garbage_group_file",
                  .files =
                      [] {
                        return std::vector<File>{
                            {"cards.inp", kGroupCard + "\n"},
                            {"groups.txt", garbage(1U << 14U, 11, true) + "\n" + kGroupLine}};
                      },
                  .answers = std::string(kGroupAnswers),
                  .output_has = kFloodedRecord});
  rows.push_back({.name = "binary_garbage_element_file",
                  .files =
                      [] {
                        return std::vector<File>{
                            {"cards.inp", kDepthCard + "\n"},
                            {"elements.txt", garbage_without_numbers(1U << 14U, 13) + "\n11 12\n"}};
                      },
                  .answers = std::string(kCheckedAnswers),
                  .console_has = " Total Number of Elements:      2"});
  rows.push_back({.name = "binary_garbage_answer",
                  .files = [] { return only("cards.inp", kDepthCard + "\n"); },
                  .answers = garbage(300, 17, false) + "\n" + std::string(kElementAnswers),
                  .stderr_has = "qel2br: cannot open the input card file \"",
                  .console_has = " Nonexisting file :",
                  .output_has = kDepthLine});

  rows.push_back({.name = "line_of_10mb_in_card_file",
                  .files = [ten_mb] { return only("cards.inp", "TITL" + ten_mb + "\n"); },
                  .answers = std::string(kElementAnswers),
                  .output_has = "'  " + std::string(252, 'X') + "\r\n"});
  rows.push_back({.name = "line_of_10mb_in_group_file",
                  .files =
                      [ten_mb] {
                        return std::vector<File>{{"cards.inp", kGroupCard + "\n"},
                                                 {"groups.txt", kGroupLine + " " + ten_mb}};
                      },
                  .answers = std::string(kGroupAnswers),
                  .output_has = kFloodedRecord});
  rows.push_back({.name = "line_of_10mb_in_element_file",
                  .files =
                      [] {
                        return std::vector<File>{
                            {"cards.inp", kDepthCard + "\n"},
                            {"elements.txt", "11 12" + std::string(10U << 20U, ' ') + "13\n"}};
                      },
                  .answers = std::string(kCheckedAnswers),
                  .console_has = " Total Number of Elements:      3"});
  // An answer longer than a file name is cut to 256 characters, and the name used is shown.
  rows.push_back({.name = "answer_longer_than_a_name",
                  .files = [] { return only(std::string(254, 'c'), kDepthCard + "\n"); },
                  .answers = "./" + std::string(254, 'c') + ".inp\nout.txt\n\n\n",
                  .stderr_has = "standard input:1:1: warning: the answer to \"Give Qelvo "
                                "file\" holds 260 characters, more than the 256 of a file name; "
                                "the name used is \"./" +
                                std::string(254, 'c') + "\" [-Wanswer-cut]\n",
                  .console_has = " Give Qelvo file                   :   Give Output file (for "
                                 "brakt data) :   Opening PrintFile OK\n",
                  .output_has = kDepthLine});
  rows.push_back({.name = "output_answer_longer_than_a_name",
                  .files = [] { return only("cards.inp", kDepthCard + "\n"); },
                  .answers = "cards.inp\nout.txt" + std::string(249, ' ') + "xyz\n\n\n",
                  .stderr_has = "standard input:2:1: warning: the answer to \"Give Output "
                                "file (for brakt data)\" holds 259 characters, more than the "
                                "256 of a file name; the name used is \"out.txt\" [-Wanswer-cut]\n",
                  .output_has = kDepthLine});
  // A carriage return in the name is a '?' in the run header, which keeps its lines.
  rows.push_back({.name = "carriage_return_in_input_name",
                  .files = [] { return only("in\rput.inp", kDepthCard + "\n"); },
                  .answers = "in\rput.inp\nout.txt\n\n\n",
                  .output_has = "\r\n'    Qelvo File      : in?put.inp\r\n"});
  rows.push_back({.name = "line_of_10mb_as_answer",
                  .files = [] { return only("cards.inp", kDepthCard + "\n"); },
                  .answers = ten_mb + "\n" + std::string(kElementAnswers),
                  .stderr_has = "\": File name too long\n",
                  .console_has = " Nonexisting file :" + std::string(256, 'X') + "\n",
                  .output_has = kDepthLine});

  // A number too small for a double reads as zero; one too large stops the run.
  rows.push_back({.name = "underflow_in_depth_field",
                  .files = [] { return only("cards.inp", depth_card("1E-400") + "\n"); },
                  .answers = std::string(kElementAnswers),
                  .output_has = "' Water Depth          :    0.000 [m]\r\n"});
  rows.push_back({.name = "overflow_in_depth_field",
                  .files = [] { return only("cards.inp", depth_card("-1D400") + "\n"); },
                  .answers = std::string(kElementAnswers),
                  .status = 2,
                  .stderr_has = "qel2br: cards.inp:1: DPTH card, columns 10-20: the number is out "
                                "of range, found \"-1D400\""});
  // A group named as one of the structure table's own words is passed over, and the groups
  // after it are still stored.
  rows.push_back({.name = "group_named_isttyp",
                  .files =
                      [] {
                        return std::vector<File>{
                            {"cards.inp", kGroupCard + "\n"},
                            {"groups.txt", "NAME GROUP 3 ISTTYP\n" + kGroupLine + "\n"}};
                      },
                  .answers = std::string(kGroupAnswers),
                  .console_has = " Doubly defined group:ISTTYP  \n",
                  .output_has = kFloodedRecord});
  rows.push_back({.name = "empty_card_file",
                  .files = [] { return only("cards.inp", ""); },
                  .answers = std::string(kElementAnswers),
                  .stderr_has = "cards.inp: warning: the file is empty: it holds no card "
                                "to convert [-Wno-cards]\n",
                  .output_has = "' Water Depth          :    0.000 [m]\r\n"});
  rows.push_back({.name = "card_file_without_cards",
                  .files = [] { return only("cards.inp", "<html>\n<body>DPTH 100</body>\n"); },
                  .answers = std::string(kElementAnswers),
                  .stderr_has = "cards.inp: warning: the file holds no card this tool "
                                "converts: no line has one of the keywords TITL, CONS, MUDP, "
                                "DPTH, SEA, CRNT, MGRW, COEF, SPEC, SPEX, FLOO, ELIM in columns "
                                "1-4 or refers to a group [-Wno-cards]\n",
                  .output_has = "' Water Depth          :    0.000 [m]\r\n"});
  rows.push_back(
      {.name = "empty_group_file",
       .files =
           [] {
             return std::vector<File>{{"cards.inp", kGroupCard + "\n"}, {"groups.txt", ""}};
           },
       .answers = std::string(kGroupAnswers),
       .status = 1,
       .stderr_has = "qel2br: error: no group is defined on the group-name file \"groups.txt\"\n",
       .console_has = "\n** No Groups Found on file: groups.txt"});
  rows.push_back(
      {.name = "empty_element_file",
       .files =
           [] {
             return std::vector<File>{{"cards.inp", kDepthCard + "\n"}, {"elements.txt", ""}};
           },
       .answers = std::string(kCheckedAnswers),
       .console_has = " Total Number of Elements:      0"});

  rows.push_back(
      {.name = "crlf_card_file",
       .files =
           [] {
             return only(
                 "cards.inp",
                 card_file(
                     {"TITL PLATFORM", kDepthCard,
                      sea_card({.height = "10", .period = "12", .phase = "0", .direction = "45"})},
                     "\r\n"));
           },
       .answers = std::string(kElementAnswers),
       .output_has = "'   PLATFORM\r\n"});
  // Lines that end in CR alone make one line of the whole file.
  rows.push_back(
      {.name = "card_file_of_cr_line_ends",
       .files = [] { return only("cards.inp", "TITL PLATFORM\r" + kDepthCard + "\r"); },
       .answers = std::string(kElementAnswers),
       .stderr_has =
           "cards.inp: warning: the lines end in CR alone; a line "
           "ends at LF (or CR LF), so the whole file is read as one line [-Wcr-line-ends]\n",
       .output_has = "' Water Depth          :    0.000 [m]\r\n"});
  // A byte order mark at the start of each file is skipped: the first card, group line and
  // element numbers are read as without it.
  const std::string mark = "\xEF\xBB\xBF";
  rows.push_back({.name = "byte_order_mark_card_file",
                  .files =
                      [mark] {
                        return only("cards.inp",
                                    mark + card_file({constants_card({.flag = "1",
                                                                      .gravity = "9810.0",
                                                                      .density = "1.025E-9"}),
                                                      kDepthCard}));
                      },
                  .answers = std::string(kElementAnswers),
                  .output_has = "'   -Length Unit   : mm    \r\n'   -Mass   Unit   : tonnes\r\n"});
  rows.push_back(
      {.name = "byte_order_mark_group_file",
       .files =
           [mark] {
             return std::vector<File>{{"cards.inp", kGroupCard + "\n"},
                                      {"groups.txt", mark + kGroupLine + "\n"}};
           },
       .answers = std::string(kGroupAnswers),
       .console_has = ":  " + kGroupLine + std::string(80 - kGroupLine.size(), ' ') + "\n",
       .output_has = kFloodedRecord});
  rows.push_back({.name = "byte_order_mark_element_file",
                  .files =
                      [mark] {
                        return std::vector<File>{{"cards.inp", kDepthCard + "\n"},
                                                 {"elements.txt", mark + "11 12\n"}};
                      },
                  .answers = std::string(kCheckedAnswers),
                  .console_has = " Total Number of Elements:      2"});
  rows.push_back({.name = "card_file_of_crlf_only",
                  .files = [] { return only("cards.inp", "\r\n\r\n\r\n\r\n"); },
                  .answers = std::string(kElementAnswers),
                  .output_has = std::string(kEndLine)});
  rows.push_back({.name = "crlf_group_file",
                  .files =
                      [] {
                        return std::vector<File>{{"cards.inp", kGroupCard + "\r\n"},
                                                 {"groups.txt", kGroupLine + "\r\n"}};
                      },
                  .answers = std::string(kGroupAnswers),
                  .output_has = kFloodedRecord});
  rows.push_back({.name = "crlf_element_file",
                  .files =
                      [] {
                        return std::vector<File>{{"cards.inp", kDepthCard + "\r\n"},
                                                 {"elements.txt", "11 12\r\n13\r\n"}};
                      },
                  .answers = std::string(kCheckedAnswers),
                  .console_has = " Total Number of Elements:      3"});
  rows.push_back({.name = "crlf_answers",
                  .files = [] { return only("cards.inp", kDepthCard + "\n"); },
                  .answers = "cards.inp\r\nout.txt\r\n\r\n",
                  .output_has = kDepthLine});

  rows.push_back({.name = "card_file_without_final_line_end",
                  .files = [] { return only("cards.inp", kDepthCard); },
                  .answers = std::string(kElementAnswers),
                  .output_has = kDepthLine});
  rows.push_back(
      {.name = "group_file_without_final_line_end",
       .files =
           [] {
             return std::vector<File>{{"cards.inp", kGroupCard}, {"groups.txt", kGroupLine}};
           },
       .answers = std::string(kGroupAnswers),
       .output_has = kFloodedRecord});
  rows.push_back({.name = "element_file_without_final_line_end",
                  .files =
                      [] {
                        return std::vector<File>{{"cards.inp", kDepthCard + "\n"},
                                                 {"elements.txt", "11 12\n13"}};
                      },
                  .answers = std::string(kCheckedAnswers),
                  .console_has = " Total Number of Elements:      3"});
  rows.push_back(
      {.name = "answers_without_final_line_end",
       .files =
           [] {
             return std::vector<File>{{"cards.inp", kDepthCard + "\n"}, {"elements.txt", "11\n"}};
           },
       .answers = "cards.inp\nout.txt\nelements.txt",
       .output_has = kDepthLine});
}

// Names that do not name a readable file, and output names that name the input.
void add_name_rows(std::vector<Row>& rows) {
  const auto with_dir = [](const fs::path& work) { fs::create_directory(work / "sub"); };
  const auto all_files = [] {
    return std::vector<File>{{"cards.inp", kGroupCard + "\n" + kDepthCard + "\n"},
                             {"groups.txt", kGroupLine + "\n"},
                             {"elements.txt", "11 12\n"}};
  };
  rows.push_back({.name = "directory_as_input",
                  .files = all_files,
                  .answers = "sub\ncards.inp\nout.txt\nN\n\n",
                  .stderr_has = "qel2br: cannot open the input card file \"sub\": Is a directory\n",
                  .console_has = " Nonexisting file :sub ",
                  .output_has = kDepthLine,
                  .setup = with_dir});
  rows.push_back(
      {.name = "directory_as_output",
       .files = all_files,
       .answers = "cards.inp\nsub\n",
       .status = 1,
       .stderr_has = "qel2br: error: cannot open the output data file \"sub\": Is a directory\n",
       .console_has = "\n Error \n",
       .setup = with_dir});
  rows.push_back({.name = "directory_as_group_file",
                  .files = all_files,
                  .answers = "cards.inp\nout.txt\nY\nsub\ngroups.txt\n",
                  .stderr_has = "qel2br: cannot open the group-name file \"sub\": Is a directory\n",
                  .console_has = " Nonexisting file :sub ",
                  .output_has = kFloodedRecord,
                  .setup = with_dir});
  rows.push_back(
      {.name = "directory_as_element_file",
       .files = all_files,
       .answers = "cards.inp\nout.txt\nN\nsub\n\n",
       .stderr_has = "qel2br: cannot open the element-number file \"sub\": Is a directory\n",
       .console_has = " Nonexisting file :sub ",
       .output_has = kDepthLine,
       .setup = with_dir});

  const auto unreadable = [](const char* name) {
    return [name](const fs::path& work) { ::chmod((work / name).c_str(), 0); };
  };
  rows.push_back({.name = "unreadable_input",
                  .files = all_files,
                  .answers = "cards.inp\n",
                  .status = 2,
                  .stderr_has = "expected an answer to \"Give Qelvo file\"",
                  .console_has = " Nonexisting file :cards.inp ",
                  .setup = unreadable("cards.inp"),
                  .needs_non_root = true});
  rows.push_back({.name = "unreadable_group_file",
                  .files = all_files,
                  .answers = "cards.inp\nout.txt\nY\ngroups.txt\n",
                  .status = 2,
                  .stderr_has = "expected an answer to \"File containing Group Names\"",
                  .console_has = " Nonexisting file :groups.txt ",
                  .setup = unreadable("groups.txt"),
                  .needs_non_root = true});
  rows.push_back({.name = "unreadable_element_file",
                  .files = all_files,
                  .answers = "cards.inp\nout.txt\nN\nelements.txt\n\n",
                  .stderr_has = "qel2br: cannot open the element-number file \"elements.txt\": "
                                "Permission denied\n",
                  .console_has = " Nonexisting file :elements.txt ",
                  .output_has = kDepthLine,
                  .setup = unreadable("elements.txt"),
                  .needs_non_root = true});
  // Opens, even as root, but cannot be read.
  rows.push_back({.name = "input_that_cannot_be_read",
                  .files = all_files,
                  .answers = "/proc/self/mem\nout.txt\n\n",
                  .status = 2,
                  .stderr_has = "qel2br: /proc/self/mem: cannot read the file"});

  const std::string overwrite = " Output file would overwrite the input card file: not opened\n";
  const auto links = [](const fs::path& work) {
    fs::create_directory(work / "sub");
    fs::create_symlink("cards.inp", work / "link.inp");
    fs::create_hard_link(work / "cards.inp", work / "hard.inp");
  };
  for (const auto& [name, output] :
       std::vector<std::pair<std::string, std::string>>{{"same_name", "cards.inp"},
                                                        {"dot_slash", "./cards.inp"},
                                                        {"through_a_directory", "sub/../cards.inp"},
                                                        {"absolute_path", "@WORK@/cards.inp"},
                                                        {"symbolic_link", "link.inp"},
                                                        {"hard_link", "hard.inp"},
                                                        {"trailing_blanks", "cards.inp   "}}) {
    rows.push_back({.name = "output_is_input_" + name,
                    .files = all_files,
                    .answers = "cards.inp\n" + output + "\n",
                    .status = 1,
                    .stderr_has = "\" would overwrite the input card file \"cards.inp\"; it is "
                                  "not opened\n",
                    .console_has = overwrite + "\n Error \n",
                    .setup = links});
  }
  rows.push_back({.name = "output_is_input_opened_through_a_link",
                  .files = all_files,
                  .answers = "link.inp\ncards.inp\n",
                  .status = 1,
                  .stderr_has = "qel2br: error: the output data file \"cards.inp\" would overwrite "
                                "the input card file \"link.inp\"; it is not opened\n",
                  .console_has = overwrite,
                  .setup = links});
  rows.push_back({.name = "output_to_dev_full",
                  .files = all_files,
                  .answers = "cards.inp\n/dev/full\nN\n\n",
                  .status = 2,
                  .stderr_has = "qel2br: /dev/full: cannot write the output data file"});
  rows.push_back({.name = "output_to_dev_full_during_the_run",
                  .files =
                      [] {
                        std::vector<std::string> titles(2000, "TITL " + std::string(200, 'T'));
                        return only("cards.inp", card_file(titles));
                      },
                  .answers = "cards.inp\n/dev/full\n\n",
                  .status = 2,
                  .stderr_has = "qel2br: /dev/full: cannot write the output data file"});
}

// Table limits: profile points, elements, group names.
void add_limit_rows(std::vector<Row>& rows) {
  const auto continuation = [](int n) {
    std::vector<std::string> cards = {current_card({.elevation = "0", .speed = "0.5"})};
    for (int i = 1; i < n; ++i) {
      cards.push_back(current_continuation({.elevation = std::to_string(i), .speed = "0.5"}));
    }
    return card_file(cards);
  };
  rows.push_back({.name = "current_of_100_points",
                  .files = [continuation] { return only("cards.inp", continuation(100)); },
                  .answers = std::string(kElementAnswers),
                  .output_has = std::string(50, ' ') + "    99.00     0.50\r\n"});
  rows.push_back({.name = "current_of_101_points",
                  .files = [continuation] { return only("cards.inp", continuation(101)); },
                  .answers = std::string(kElementAnswers),
                  .status = 2,
                  .stderr_has = "cards.inp:101: CRNT card: more than 100 profile points"});
  for (const std::string keyword : {"MGRW", "COEF"}) {
    const auto profile = [keyword](int n) {
      std::vector<std::string> cards = {
          card(keyword, {{11, 20, "0"}, {31, 40, "0.5"}, {51, 60, "1.5"}})};
      for (int i = 1; i < n; ++i) {
        cards.push_back(
            card(keyword, {{21, 30, std::to_string(i)}, {31, 40, "0.5"}, {51, 60, "1.5"}}));
      }
      return card_file(cards);
    };
    std::string lower = keyword;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(c - 'A' + 'a'); });
    rows.push_back({.name = lower + "_of_100_points",
                    .files = [profile] { return only("cards.inp", profile(100)); },
                    .answers = std::string(kElementAnswers),
                    .output_has = std::string(20, ' ') + "    99.00    0.500\r\n"});
    rows.push_back({.name = lower + "_of_101_points",
                    .files = [profile] { return only("cards.inp", profile(101)); },
                    .answers = std::string(kElementAnswers),
                    .status = 2,
                    .stderr_has = "cards.inp:101: " + keyword + " card: more than 100 cards"});
  }

  const auto one_card = [](std::string text) {
    return [text] { return only("cards.inp", text + "\n"); };
  };
  const std::string spec_range = "SPEC card, columns 6-20: the element range ";
  const std::string spex_range = "SPEX card, columns 11-40: the element range ";
  rows.push_back(
      {.name = "spec_range_of_10000",
       .files = one_card(element_card(
           {.first = "1", .last = "10000", .step = "1", .unused = "0", .cd = "0.7", .cm = "2"})),
       .answers = std::string(kElementAnswers),
       .output_has = "      9996      9997      9998      9999     10000\r\n"});
  rows.push_back(
      {.name = "spec_range_of_10001",
       .files = one_card(element_card(
           {.first = "1", .last = "10001", .step = "1", .unused = "0", .cd = "0.7", .cm = "2"})),
       .answers = std::string(kElementAnswers),
       .status = 2,
       .stderr_has = spec_range + "1 to 10001 by step 1 gives more than 10000"});
  rows.push_back(
      {.name = "spex_range_of_10001",
       .files = one_card(wide_element_card(
           {.first = "5", .last = "20005", .step = "2", .unused = "0", .cd = "0.7", .cm = "2"})),
       .answers = std::string(kElementAnswers),
       .status = 2,
       .stderr_has = spex_range + "5 to 20005 by step 2 gives more than 10000"});
  for (const std::string keyword : {"FLOO", "ELIM"}) {
    const auto merged = [keyword](int last) {
      return [keyword, last] {
        return only(
            "cards.inp",
            card_file({card(keyword, range_fields({.first = "1", .last = "5000", .step = "1"})),
                       card(keyword,
                            range_fields(
                                {.first = "5001", .last = std::to_string(last), .step = "1"}))}));
      };
    };
    std::string lower = keyword;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(c - 'A' + 'a'); });
    rows.push_back({.name = lower + "_cards_merged_to_10000",
                    .files = merged(10000),
                    .answers = std::string(kElementAnswers),
                    .output_has = "      9996      9997      9998      9999     10000\r\n"});
    rows.push_back({.name = lower + "_cards_merged_to_10001",
                    .files = merged(10001),
                    .answers = std::string(kElementAnswers),
                    .status = 2,
                    .stderr_has = "cards.inp:2: " + keyword + " cards: more than 10000 elements"});
  }
  const auto numbers = [](int n) {
    return [n] {
      std::string text;
      for (int i = 1; i <= n; ++i) {
        text += std::to_string(i) + (i % 10 == 0 ? "\n" : " ");
      }
      return std::vector<File>{{"cards.inp", kDepthCard + "\n"}, {"elements.txt", text}};
    };
  };
  rows.push_back({.name = "element_file_of_10000",
                  .files = numbers(10000),
                  .answers = std::string(kCheckedAnswers),
                  .console_has = " Total Number of Elements:  10000"});
  rows.push_back({.name = "element_file_of_10001",
                  .files = numbers(10001),
                  .answers = std::string(kCheckedAnswers),
                  .status = 2,
                  .stderr_has = "qel2br: elements.txt:1001: element-number file: more than 10000"});

  // Ranges whose step never reaches the last element.
  struct Endless {
    std::string name;
    std::string keyword;
    std::vector<Field> fields;
    std::string reported;
  };
  for (const Endless& e : std::vector<Endless>{
           {"spec_negative_step",
            "SPEC",
            {{6, 10, "1"},
             {11, 15, "10"},
             {16, 20, "-1"},
             {31, 40, "0"},
             {41, 50, "1"},
             {61, 70, "2"}},
            spec_range + "1 to 10 by step -1 never ends"},
           {"spex_first_0_step_0",
            "SPEX",
            {{11, 20, "0"},
             {21, 30, "10"},
             {31, 40, "0"},
             {51, 60, "0"},
             {61, 65, "1"},
             {71, 75, "2"}},
            spex_range + "0 to 10 by step 0 never ends"},
           {"floo_negative_step",
            "FLOO",
            {{11, 20, "5"}, {21, 30, "5"}, {31, 40, "-1"}},
            "FLOO card, columns 11-40: the element range 5 to 5 by step -1 never ends"},
           {"elim_blank_first_and_step",
            "ELIM",
            {{21, 30, "10"}},
            "ELIM card, columns 11-40: the element range 0 to 10 by step 0 never ends"}}) {
    rows.push_back({.name = "endless_range_" + e.name,
                    .files = one_card(card(e.keyword, e.fields)),
                    .answers = std::string(kElementAnswers),
                    .status = 2,
                    .stderr_has = "cards.inp:1: " + e.reported});
  }

  // Each error end of the set options gives its reason on standard error.
  rows.push_back({.name = "group_undefined",
                  .files =
                      [] {
                        return std::vector<File>{{"cards.inp", "FLOO LEGA1\nFLOO NOSUCH\n"},
                                                 {"groups.txt", kGroupLine + "\n"}};
                      },
                  .answers = std::string(kGroupAnswers),
                  .status = 1,
                  .stderr_has = "qel2br: error: cards.inp:2: the FLOO card names the group "
                                "\"NOSUCH\", which is not defined on the group-name file "
                                "\"groups.txt\"\n",
                  .console_has = "     Undefined Set           : NOSUCH"});
  rows.push_back({.name = "group_name_illegal_on_the_group_file",
                  .files =
                      [] {
                        return std::vector<File>{
                            {"cards.inp", kGroupCard + "\n"},
                            {"groups.txt", kGroupLine + "\nNAME GROUP 8 LEG\x7f\n"}};
                      },
                  .answers = std::string(kGroupAnswers),
                  .status = 1,
                  .stderr_has = "qel2br: error: the group-name file \"groups.txt\", line 2 (\"NAME "
                                "GROUP 8 LEG?\"): the group name is not a legal name"});
  rows.push_back({.name = "group_name_illegal_on_a_floo_card",
                  .files =
                      [] {
                        return std::vector<File>{{"cards.inp", "FLOO LEG\x7f\n"},
                                                 {"groups.txt", kGroupLine + "\n"}};
                      },
                  .answers = std::string(kGroupAnswers),
                  .status = 1,
                  .stderr_has = "qel2br: error: cards.inp:1: the FLOO card names the group "
                                "\"LEG?\", which is not a legal group name"});
  rows.push_back({.name = "element_file_is_the_output",
                  .files =
                      [] {
                        return std::vector<File>{{"cards.inp", kDepthCard + "\n"},
                                                 {"elements.txt", "11 12\n"}};
                      },
                  .answers = "cards.inp\nelements.txt\n./elements.txt\n",
                  .status = 1,
                  .stderr_has = "qel2br: error: the element-number file \"./elements.txt\" is the "
                                "output data file \"elements.txt\"; it is not read\n",
                  .console_has = " Element ID file is the output file: not read\n\n Error \n"});

  const auto groups = [](int n) {
    return [n] {
      std::string text;
      for (int i = 1; i <= n; ++i) {
        std::string number = std::to_string(i);
        text += "NAME GROUP " + number + " G" +
                std::string(4 - std::min<std::size_t>(4, number.size()), '0') + number + "\n";
      }
      return std::vector<File>{{"cards.inp", "FLOO G0001\nFLOO g9996\n"}, {"groups.txt", text}};
    };
  };
  rows.push_back({.name = "group_names_9996",
                  .files = groups(9996),
                  .answers = std::string(kGroupAnswers),
                  .output_has = flooded_record("9996", "g9996")});
  rows.push_back(
      {.name = "group_names_9997",
       .files = groups(9997),
       .answers = std::string(kGroupAnswers),
       .status = 1,
       .stderr_has = "qel2br: error: the group-name file \"groups.txt\", line 9997 (\"NAME GROUP "
                     "9997 G9997\"): more groups than the structure parameter table holds (10000 "
                     "names)\n",
       .console_has =
           "\n  *** ERROR IN IDADD  ***\n\n    Number of IDS exceeds maximum of :  10000\n"});
}

// Numbers beyond the 32-bit range wherever an integer is taken.
void add_range_rows(std::vector<Row>& rows) {
  const std::string outside = "is outside the 32-bit range";
  struct Big {
    std::string name;
    std::string keyword;
    std::vector<Field> fields;
    std::string columns;
  };
  const std::vector<Big> bigs = {
      {"spec_first", "SPEC", element_fields({.first = "3E9", .unused = "0", .cd = "1", .cm = "2"}),
       "6-10"},
      {"spec_last", "SPEC",
       element_fields({.first = "1", .last = "-3E9", .unused = "0", .cd = "1", .cm = "2"}),
       "11-15"},
      {"spec_step", "SPEC",
       element_fields(
           {.first = "1", .last = "5", .step = "1E10", .unused = "0", .cd = "1", .cm = "2"}),
       "16-20"},
      {"spex_first", "SPEX",
       wide_element_fields({.first = "2147483648", .unused = "0", .cd = "1", .cm = "2"}), "11-20"},
      {"spex_last", "SPEX",
       wide_element_fields({.first = "1", .last = "-3E9", .unused = "0", .cd = "1", .cm = "2"}),
       "21-30"},
      {"spex_step", "SPEX",
       wide_element_fields(
           {.first = "1", .last = "9", .step = "1D300", .unused = "0", .cd = "1", .cm = "2"}),
       "31-40"},
      {"floo_first", "FLOO", range_fields({.first = "9999999999"}), "11-20"},
      {"floo_last", "FLOO", range_fields({.first = "1", .last = "3.0E+09"}), "21-30"},
      {"elim_step", "ELIM", range_fields({.first = "1", .last = "2", .step = "-1E99"}), "31-40"},
  };
  for (const Big& b : bigs) {
    rows.push_back(
        {.name = "beyond_32_bits_" + b.name,
         .files = [text = card(b.keyword, b.fields) + "\n"] { return only("cards.inp", text); },
         .answers = std::string(kElementAnswers),
         .status = 2,
         .stderr_has =
             "cards.inp:1: " + b.keyword + " card, columns " + b.columns + ": the element number"});
  }
  rows.push_back(
      {.name = "beyond_32_bits_largest_range",
       .files =
           [] {
             return only(
                 "cards.inp",
                 flooded_card({.first = "-999999999", .last = "2147483647", .step = "1"}) + "\n");
           },
       .answers = std::string(kElementAnswers),
       .status = 2,
       .stderr_has = "cards.inp:1: FLOO card, columns 11-40: the element range "
                     "-999999999 to 2147483647 by step 1 gives more than 10000"});
  // The step after the first element would pass the 32-bit range: one element.
  rows.push_back({.name = "beyond_32_bits_step_at_the_limit",
                  .files =
                      [] {
                        return only("cards.inp", non_hydro_card({.first = "2147483646",
                                                                 .last = "2147483647",
                                                                 .step = "2147483647"}) +
                                                     "\n");
                      },
                  .answers = std::string(kElementAnswers),
                  .output_has = " NonHydro  Elem2147483646\r\n"});
  rows.push_back({.name = "beyond_32_bits_element_file",
                  .files =
                      [] {
                        return std::vector<File>{{"cards.inp", kDepthCard + "\n"},
                                                 {"elements.txt", "11 12\n13 3000000000\n"}};
                      },
                  .answers = std::string(kCheckedAnswers),
                  .status = 2,
                  .stderr_has = "qel2br: elements.txt:2: element-number file: the element number "
                                "3e+09 " +
                                outside});
  rows.push_back({.name = "beyond_32_bits_group_number",
                  .files =
                      [] {
                        return std::vector<File>{{"cards.inp", kGroupCard + "\n"},
                                                 {"groups.txt", "NAME GROUP 1E12 LEGA1\n"}};
                      },
                  .answers = std::string(kGroupAnswers),
                  .status = 2,
                  .stderr_has = "qel2br: groups.txt:1: group-name file: the group number "});
  // Reals that are rounded for a comparison or an I field: no stop, asterisks where written.
  rows.push_back({.name = "beyond_32_bits_current_direction",
                  .files =
                      [] {
                        return only(
                            "cards.inp",
                            current_card({.elevation = "0", .speed = "0.5", .direction = "1E10"}) +
                                "\n");
                      },
                  .answers = std::string(kElementAnswers),
                  .output_has = " Current      3     1******"});
  rows.push_back({.name = "beyond_32_bits_wave_type_and_constants_flag",
                  .files =
                      [] {
                        return only("cards.inp", card_file({constants_card({.flag = "1E300"}),
                                                            sea_card({.type = "4E9",
                                                                      .height = "10",
                                                                      .period = "12",
                                                                      .phase = "0",
                                                                      .direction = "45"})}));
                      },
                  .answers = std::string(kElementAnswers),
                  .output_has = "'   -Length Unit   : meter \r\n"});
}

std::vector<Row> all_rows() {
  std::vector<Row> rows;
  add_field_rows(rows);
  add_console_end_rows(rows);
  add_file_rows(rows);
  add_name_rows(rows);
  add_limit_rows(rows);
  add_range_rows(rows);
  return rows;
}

const std::vector<Row>& table() {
  static const std::vector<Row> rows = all_rows();
  return rows;
}

// Long texts are shown by their start and end only.
std::string shown(const std::string& text) {
  if (text.size() <= 2000) {
    return text;
  }
  return text.substr(0, 1000) + "\n[... " + std::to_string(text.size() - 2000) + " bytes ...]\n" +
         text.substr(text.size() - 1000);
}

class BadInput : public ::testing::TestWithParam<std::size_t> {};

TEST_P(BadInput, EndsAsExpected) {
  const Row& row = table().at(GetParam());
  if (row.needs_non_root && ::geteuid() == 0) {
    GTEST_SKIP() << "root can read a file without read permission";
  }
  const fs::path scratch =
      fs::temp_directory_path() / ("qel2br-bad-" + row.name + "-" + std::to_string(::getpid()));
  fs::remove_all(scratch);
  const fs::path work = scratch / "work";
  fs::create_directories(work);
  for (const File& f : row.files()) {
    write_file(work / f.name, f.contents);
  }
  if (row.setup) {
    row.setup(work);
  }
  std::string answers = row.answers;
  for (std::size_t at = answers.find("@WORK@"); at != std::string::npos;
       at = answers.find("@WORK@")) {
    answers.replace(at, 6, work.string());
  }
  write_file(scratch / "answers", answers);
  const std::map<std::string, std::string> before = snapshot(work);

  const Outcome outcome =
      run_binary(g_binary, work, scratch / "answers", scratch / "stdout", scratch / "stderr");
  ASSERT_FALSE(outcome.timed_out) << "qel2br did not finish within " << timeout_seconds() << " s";

  const std::string console = read_file(scratch / "stdout");
  const std::string errors = read_file(scratch / "stderr");
  EXPECT_EQ(outcome.status, row.status) << "exit status\n--- stderr ---\n" << shown(errors);
  // Control characters from the input never reach the terminal through a report.
  EXPECT_TRUE(std::none_of(errors.begin(), errors.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20U && c != '\n') || byte == 0x7fU;
  })) << "control characters on standard error";
  if (row.stderr_has.empty()) {
    // Warnings may be there; nothing else.
    std::istringstream lines(errors);
    for (std::string line; std::getline(lines, line);) {
      EXPECT_NE(line.find(": warning: "), std::string::npos) << "standard error: " << line;
    }
  } else {
    EXPECT_NE(errors.find(row.stderr_has), std::string::npos)
        << "standard error lacks: " << row.stderr_has << "\n--- stderr ---\n"
        << shown(errors);
  }
  if (!row.console_has.empty()) {
    EXPECT_NE(console.find(row.console_has), std::string::npos)
        << "console lacks: " << row.console_has << "\n--- console ---\n"
        << shown(console);
  }

  const std::map<std::string, std::string> after = snapshot(work);
  for (const auto& [name, text] : before) {
    const auto found = after.find(name);
    if (name == "out.txt") {
      continue;
    }
    EXPECT_TRUE(found != after.end() && found->second == text)
        << name << " was changed or removed by the run";
  }
  for (const auto& [name, text] : after) {
    EXPECT_TRUE(before.count(name) != 0 || name == "out.txt")
        << "unexpected file left by the run: " << name;
  }
  const auto out = after.find("out.txt");
  const std::string output = out == after.end() ? "" : out->second;
  if (outcome.status == 0) {
    EXPECT_TRUE(output.size() >= kEndLine.size() &&
                output.compare(output.size() - kEndLine.size(), kEndLine.size(), kEndLine) == 0)
        << "a normal end must leave the end line\n--- out.txt ---\n"
        << shown(output);
  } else {
    EXPECT_EQ(output.find(kEndLine), std::string::npos) << "end line after a failed run";
  }
  if (!row.output_has.empty()) {
    EXPECT_NE(output.find(row.output_has), std::string::npos)
        << "out.txt lacks: " << row.output_has << "\n--- out.txt ---\n"
        << shown(output);
  }
  fs::permissions(work, fs::perms::owner_all, fs::perm_options::add);
  std::error_code ec;
  fs::remove_all(scratch, ec);
}

std::vector<std::size_t> row_indices() {
  std::vector<std::size_t> indices(table().size());
  for (std::size_t i = 0; i < indices.size(); ++i) {
    indices[i] = i;
  }
  return indices;
}

INSTANTIATE_TEST_SUITE_P(Table, BadInput, ::testing::ValuesIn(row_indices()),
                         [](const ::testing::TestParamInfo<std::size_t>& param_info) {
                           return table().at(param_info.param).name;
                         });

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (const char* binary = std::getenv("QEL2BR_BINARY"); binary != nullptr && *binary != '\0') {
    g_binary = binary;
  } else if (argc >= 2) {
    g_binary = fs::absolute(argv[1]).string();
  } else {
    g_binary = QEL2BR_BINARY_PATH;
  }
  return RUN_ALL_TESTS();
}
