// Runs the built qel2br on many files in one command and on its standard streams: each input of
// an output folder run gives what a run on it alone gives, in the order given; "-" reads the
// card file from standard input and writes the data file to standard output; the output named
// after the input, duplicate names, the 3-names hint and --fail-fast.
//
// usage: many_files_test [gtest flags]; the qel2br of this build is run (QEL2BR_BINARY
// overrides).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "run_case.hpp"
#include "testing/card_images.hpp"

namespace fs = std::filesystem;

namespace {

using qel2br::e2e::normalise;
using qel2br::e2e::read_file;
using qel2br::testing::card_file;
using qel2br::testing::depth_card;

std::string binary() {
  const char* chosen = std::getenv("QEL2BR_BINARY");
  return chosen != nullptr ? std::string(chosen) : std::string(QEL2BR_BINARY_PATH);
}

using Result = qel2br::e2e::Work::Result;

// An empty working directory, removed afterwards, and qel2br run in it.
class Work : public qel2br::e2e::Work {
 public:
  explicit Work(const std::string& name) : qel2br::e2e::Work(::binary(), "many", name) {}

  // Runs a shell command line in the directory ("QEL2BR" stands for the binary); its status.
  [[nodiscard]] int shell(const std::string& command) const {
    const std::string line = "cd '" + dir().string() + "' && QEL2BR='" + binary() +
                             "' bash -c 'set -o pipefail; " + command + "'";
    const int status = std::system(line.c_str());  // NOLINT(cert-env33-c): the test's own line
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

const std::string kDepth = card_file({depth_card("100")});
const std::string kBadDepth = card_file({depth_card("abc")});

constexpr std::string_view kEndLine = "' ------------ e o f -------------\r\n";
bool ends_normally(const std::string& output) {
  return output.size() >= kEndLine.size() &&
         output.compare(output.size() - kEndLine.size(), kEndLine.size(), kEndLine) == 0;
}

// The prompts of the dialogue; each takes the next answer.
constexpr std::array<std::string_view, 5> kPrompts = {
    " Give Qelvo file                   :  ", " Give Output file (for brakt data) :  ",
    " Use Groups instead of ElemID /No/ ?  ",
    " File containing Group Names       :  ", " File containing element IDs       :  "};

// The answers a golden case's dialogue accepted, by prompt: the last answer to each.
std::map<std::size_t, std::string> accepted_answers(const fs::path& dir) {
  const std::string console = read_file(dir / "expected" / "console.txt");
  std::vector<std::pair<std::size_t, std::size_t>> asked;  // (position, prompt)
  for (std::size_t p = 0; p < kPrompts.size(); ++p) {
    for (std::size_t at = console.find(kPrompts.at(p)); at != std::string::npos;
         at = console.find(kPrompts.at(p), at + 1)) {
      asked.emplace_back(at, p);
    }
  }
  std::sort(asked.begin(), asked.end());
  std::istringstream answer_lines(read_file(dir / "answers.txt"));
  std::map<std::size_t, std::string> accepted;
  for (const auto& [position, prompt] : asked) {
    std::string answer;
    std::getline(answer_lines, answer);
    accepted[prompt] = answer;
  }
  return accepted;
}

// The inputs of the golden cases that need one set option and one set file.
struct Group {
  std::string option;      // "", "--elements" or "--groups"
  std::string set_file{};  // its contents
  std::vector<std::string> cases{};
};

std::vector<Group> golden_groups() {
  std::vector<Group> groups;
  for (const std::string& name : qel2br::e2e::case_names(QEL2BR_CASES_DIR)) {
    const fs::path dir = fs::path(QEL2BR_CASES_DIR) / name;
    std::map<std::size_t, std::string> accepted = accepted_answers(dir);
    if (fs::exists(dir / "setup.sh") || accepted[0].empty() ||
        !fs::is_regular_file(dir / "input" / accepted[0])) {
      continue;
    }
    std::string option;
    std::string set_file;
    const bool by_group = !accepted[2].empty() && (accepted[2][0] == 'Y' || accepted[2][0] == 'y');
    if (by_group && fs::is_regular_file(dir / "input" / accepted[3])) {
      option = "--groups";
      set_file = read_file(dir / "input" / accepted[3]);
    } else if (!by_group && !accepted[4].empty() && accepted[4].substr(0, 3) != "   " &&
               fs::is_regular_file(dir / "input" / accepted[4])) {
      option = "--elements";
      set_file = read_file(dir / "input" / accepted[4]);
    }
    auto group = std::find_if(groups.begin(), groups.end(), [&](const Group& g) {
      return g.option == option && g.set_file == set_file;
    });
    if (group == groups.end()) {
      groups.push_back({.option = option, .set_file = set_file});
      group = groups.end() - 1;
    }
    group->cases.push_back(name);
  }
  return groups;
}

std::string card_file_of(const std::string& name) {
  const fs::path dir = fs::path(QEL2BR_CASES_DIR) / name;
  return read_file(dir / "input" / accepted_answers(dir)[0]);
}

// The line an input that did not end normally gets after its own.
std::string failure_line(const std::string& input, int status, const std::string& output) {
  switch (status) {
    case 1:
      return input + ": error end (exit status 1); " + output + " has no end line\n";
    case 2:
      return input + ": stopped (exit status 2)\n";
    default:
      return input + ": internal error (exit status " + std::to_string(status) + ")\n";
  }
}

// Each group of golden cases converted in one command, two at a time, gives per input the
// output data file, console lines, warnings and exit status of a run on that input alone, in
// the order given.
TEST(ManyFiles, GoldenGroupsGiveWhatSingleRunsGive) {
  const std::vector<Group> groups = golden_groups();
  std::size_t inputs = 0;
  for (const Group& group : groups) {
    SCOPED_TRACE("group " + group.option + " with " + std::to_string(group.cases.size()) +
                 " inputs, first " + group.cases.front());
    const Work work("golden");
    std::vector<std::string> options;
    if (!group.option.empty()) {
      work.put("set.txt", group.set_file);
      options = {group.option, "set.txt"};
    }
    fs::create_directory(work.dir() / "out");
    std::string want_out;
    std::string want_err;
    int want_status = 0;
    std::size_t converted = 0;
    std::map<std::string, std::string> want_files;
    std::vector<std::string> args;
    for (const std::string& name : group.cases) {
      const std::string input = name + ".inp";
      const std::string output = "out/" + name + ".dat";
      work.put(input, card_file_of(name));
      std::vector<std::string> single = {input, output};
      single.insert(single.end(), options.begin(), options.end());
      const Result alone = work.run(single);
      want_out += alone.out;
      want_err += alone.err;
      if (alone.status != 0) {
        want_out += failure_line(input, alone.status, output);
      }
      converted += alone.status == 0 ? 1 : 0;
      want_status = std::max(want_status, alone.status);
      if (work.has(output)) {
        want_files[output] = normalise(work.file(output));
        fs::remove(work.dir() / output);
      }
      args.push_back(input);
    }
    if (group.cases.size() > 1) {
      want_out += "total: " + std::to_string(group.cases.size()) + " inputs, " +
                  std::to_string(converted) + " converted" +
                  (converted < group.cases.size()
                       ? ", " + std::to_string(group.cases.size() - converted) + " failed"
                       : "") +
                  "\n";
    }
    args.insert(args.end(), {"-o", "out", "-j", "2"});
    args.insert(args.end(), options.begin(), options.end());
    const Result many = work.run(args);
    EXPECT_EQ(many.status, want_status);
    EXPECT_EQ(many.out, want_out);
    EXPECT_EQ(many.err, want_err);
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(work.dir() / "out")) {
      files["out/" + entry.path().filename().string()] = normalise(read_file(entry.path()));
    }
    EXPECT_EQ(files, want_files);
    inputs += group.cases.size();
  }
  EXPECT_GE(groups.size(), 3U);
  EXPECT_GE(inputs, 15U);
}

// "-" as INPUT and OUTPUT: through pipes the data file holds the bytes a run into a file
// writes; the console lines and the summary go to standard error; a stop ends the stream
// without its end line.
TEST(StandardStreams, RoundTripThroughPipes) {
  const Work work("streams");
  work.put("platform.inp", read_file(fs::path(QEL2BR_EXAMPLES_DIR) / "platform.inp"));
  ASSERT_EQ(work.shell("\"$QEL2BR\" - file.dat < platform.inp > file_out.txt 2> file_err.txt"), 0);
  ASSERT_EQ(work.shell("cat platform.inp | \"$QEL2BR\" - - 2> pipe_err.txt | cat > piped.dat"), 0);
  const std::string file = work.file("file.dat");
  EXPECT_TRUE(ends_normally(file));
  EXPECT_NE(file.find("'    Qelvo File      : standard input\r\n"), std::string::npos);
  EXPECT_EQ(normalise(work.file("piped.dat")), normalise(file));
  // The console lines and the summary of the file run, on standard error, the data file named
  // as standard output.
  const std::string console = work.file("file_out.txt");
  EXPECT_EQ(work.file("pipe_err.txt"),
            std::regex_replace(console, std::regex("^file\\.dat: ", std::regex::multiline),
                               "standard output: "));
  EXPECT_EQ(work.file("file_err.txt"), "");

  // A named input to standard output gives the bytes of the same run into a file.
  ASSERT_EQ(work.shell("\"$QEL2BR\" platform.inp named.dat --quiet"), 0);
  ASSERT_EQ(work.shell("\"$QEL2BR\" platform.inp - --quiet | cat > named_piped.dat"), 0);
  EXPECT_EQ(normalise(work.file("named_piped.dat")), normalise(work.file("named.dat")));

  // Warnings and stop reports name standard input; a stop cannot take back what was written.
  const Result stopped = work.run({"-", "-"}, kBadDepth);
  EXPECT_EQ(stopped.status, 2);
  EXPECT_FALSE(ends_normally(stopped.out));
  // The console lines go to standard error as well, before the stop report.
  EXPECT_NE(stopped.err.find("\nqel2br: standard input:1: DPTH card, columns 10-20: "),
            std::string::npos)
      << stopped.err;
  EXPECT_EQ(stopped.err.find("left as it was"), std::string::npos) << stopped.err;
  const Result checked = work.run({"--check", "-"}, kDepth);
  EXPECT_EQ(checked.status, 0) << checked.err;
  EXPECT_NE(checked.out.find("standard input: checked; "), std::string::npos) << checked.out;
}

TEST(ManyFiles, WrongUsageEndsWithStatus64) {
  struct Row {
    std::string name;
    std::vector<std::string> args;
    std::string first_line;
  };
  const std::vector<Row> rows = {
      {"three names",
       {"a.inp", "b.inp", "c.inp"},
       "qel2br: 3 file names and no output folder: to convert many files give the folder of "
       "their outputs, as in 'qel2br FILE... -o DIR'"},
      {"standard input alone",
       {"-"},
       "qel2br: standard input (-) needs an OUTPUT name, as in 'qel2br - OUTPUT': no name can "
       "be made after it"},
      {"standard input into a folder",
       {"a.inp", "-", "-o", "out"},
       "qel2br: standard input (-) needs an OUTPUT name, as in 'qel2br - OUTPUT': -o names "
       "each output after its input"},
      {"check into a folder",
       {"--check", "a.inp", "-o", "out"},
       "qel2br: --check writes no data file: -o is not used with it"},
      {"no jobs",
       {"a.inp", "-o", "out", "-j", "0"},
       "qel2br: -j takes the number of inputs "
       "converted at once, 1 to 32: 0"},
      {"too many jobs",
       {"a.inp", "-o", "out", "-j", "33"},
       "qel2br: -j takes the number of inputs converted at once, 1 to 32: 33"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Work work("usage");
    const Result result = work.run(row.args);
    EXPECT_EQ(result.status, 64);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.substr(0, result.err.find('\n')), row.first_line) << result.err;
    EXPECT_TRUE(fs::is_empty(work.dir())) << "a file was written";
  }
}

// One INPUT alone is converted beside it under the derived name; an existing file of that
// name is replaced only when it is empty or one of this tool's data files, or with --force.
TEST(DerivedNames, BesideTheInputAndReplacedOnlyWhenSafe) {
  const Work work("derived");
  struct Row {
    std::string input;
    std::string output;
  };
  for (const Row& row : std::vector<Row>{{"sub/a.inp", "sub/a.dat"},
                                         {"b.x.inp", "b.x.dat"},
                                         {"c", "c.dat"},
                                         {"sub/.d", "sub/.d.dat"}}) {
    SCOPED_TRACE(row.input);
    work.put(row.input, kDepth);
    const Result first = work.run({row.input});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_TRUE(ends_normally(work.file(row.output)));
    EXPECT_EQ(first.out.substr(first.out.rfind('\n', first.out.size() - 2) + 1),
              row.output +
                  ": 0 wave records, 0 current records, 0 depth profiles, 0 element "
                  "records\n");
    // A data file of this tool is replaced.
    EXPECT_EQ(work.run({row.input}).status, 0);
  }
  work.put("e.inp", kDepth);
  work.put("e.dat", "");
  EXPECT_EQ(work.run({"e.inp"}).status, 0) << "an empty file holds nothing to lose";

  work.put("sub/a.dat", "notes that are no data file\n");
  const Result refused = work.run({"sub/a.inp"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err,
            "qel2br: sub/a.dat is there and is no data file of qel2br (its run header is "
            "missing); give --force to replace it\n");
  EXPECT_EQ(work.file("sub/a.dat"), "notes that are no data file\n");
  // In an output folder the same rule holds for each input, and the others are converted.
  work.put("out/a.dat", "notes\n");
  const Result in_folder = work.run({"sub/a.inp", "b.x.inp", "-o", "out"});
  EXPECT_EQ(in_folder.status, 2);
  EXPECT_EQ(work.file("out/a.dat"), "notes\n");
  EXPECT_TRUE(ends_normally(work.file("out/b.x.dat")));
  EXPECT_EQ(work.run({"sub/a.inp", "--force", "--quiet"}).status, 0);
  EXPECT_TRUE(ends_normally(work.file("sub/a.dat")));

  // An input whose derived name is its own.
  work.put("f.dat", kDepth);
  const Result itself = work.run({"f.dat"});
  EXPECT_EQ(itself.status, 2);
  EXPECT_EQ(itself.err,
            "qel2br: the output named after the input card file \"f.dat\" is that file itself; "
            "give an OUTPUT name or an output folder (-o DIR)\n");
  EXPECT_EQ(work.file("f.dat"), kDepth);
}

// Inputs that would give one output name, a missing output folder, and an output of one input
// that is another input are refused before anything runs.
TEST(ManyFiles, ClashesAreRefusedBeforeAnythingRuns) {
  struct Row {
    std::string name;
    std::vector<std::string> args;
    std::string errors;
  };
  const std::vector<Row> rows = {
      {"one name twice",
       {"a.inp", "sub/a.inp", "-o", "out"},
       "qel2br: \"a.inp\" and \"sub/a.inp\" would both be written to the output data file "
       "\"out/a.dat\"; nothing is converted\n"},
      {"two extensions",
       {"a.inp", "b.inp", "a.txt", "-o", "out"},
       "qel2br: \"a.inp\" and \"a.txt\" would both be written to the output data file "
       "\"out/a.dat\"; nothing is converted\n"},
      {"reports",
       {"--check", "a.inp", "sub/a.inp", "--report", "out"},
       "qel2br: \"a.inp\" and \"sub/a.inp\" would both be written to the report \"out/a.html\"; "
       "nothing is converted\n"},
      {"an output that is another input",
       {"c.inp", "link.inp", "-o", "out", "--force"},
       "qel2br: the output data file \"out/link.dat\" of \"link.inp\" would overwrite the input "
       "card file \"c.inp\"; nothing is converted\n"},
      {"a folder that is a file",
       {"a.inp", "b.inp", "-o", "out/b.dat"},
       "qel2br: the output folder \"out/b.dat\" is no folder; nothing is converted\n"},
      {"no folder",
       {"a.inp", "b.inp", "-o", "nowhere"},
       "qel2br: the output folder \"nowhere\" is no folder (there is nothing of that name); "
       "nothing is converted\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Work work("clash");
    for (const char* name : {"a.inp", "sub/a.inp", "b.inp", "a.txt", "c.inp", "link.inp"}) {
      work.put(name, kDepth);
    }
    work.put("out/b.dat", "kept\n");
    fs::create_symlink("../c.inp", work.dir() / "out" / "link.dat");
    const auto before = qel2br::e2e::snapshot(work.dir());
    const Result result = work.run(row.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, row.errors);
    EXPECT_EQ(qel2br::e2e::snapshot(work.dir()), before);
  }
}

// --fail-fast starts no input once one has failed and names those not converted; without it
// every input is converted and the status is the worst.
TEST(ManyFiles, FailFastStartsNoFurtherInput) {
  const Work work("failfast");
  work.put("a.inp", kDepth);
  work.put("b.inp", kBadDepth);
  work.put("c.inp", kDepth);
  work.put("d.inp", kDepth);
  fs::create_directory(work.dir() / "out");
  const Result fast = work.run({"a.inp", "b.inp", "c.inp", "d.inp", "-o", "out", "-j", "1",
                                "--fail-fast", "--report", "out"});
  EXPECT_EQ(fast.status, 2);
  EXPECT_TRUE(work.has("out/a.dat"));
  EXPECT_TRUE(work.has("out/a.html"));
  EXPECT_TRUE(work.has("out/b.html"));
  EXPECT_FALSE(work.has("out/b.dat"));
  EXPECT_FALSE(work.has("out/c.dat"));
  EXPECT_FALSE(work.has("out/d.html"));
  EXPECT_NE(fast.out.find("b.inp: stopped (exit status 2)\n"
                          "c.inp: not converted (--fail-fast: an input before it failed)\n"
                          "d.inp: not converted (--fail-fast: an input before it failed)\n"
                          "total: 4 inputs, 1 converted, 1 failed, 2 not converted\n"),
            std::string::npos)
      << fast.out;
  EXPECT_EQ(fast.err.rfind("qel2br: b.inp:1: DPTH card", 0), 0U) << fast.err;

  const Result all = work.run({"a.inp", "b.inp", "c.inp", "d.inp", "-o", "out", "--quiet"});
  EXPECT_EQ(all.status, 2);
  EXPECT_EQ(all.out, "");
  for (const char* name : {"out/a.dat", "out/c.dat", "out/d.dat"}) {
    EXPECT_TRUE(ends_normally(work.file(name))) << name;
  }

  const Result checked = work.run({"--check", "a.inp", "c.inp", "-j", "2"});
  EXPECT_EQ(checked.status, 0);
  EXPECT_EQ(checked.out,
            "\n *** No Element ID checking *** \n\n"
            "a.inp: checked; the output data file would hold 0 wave records, 0 current records, "
            "0 depth profiles, 0 element records\n"
            "\n *** No Element ID checking *** \n\n"
            "c.inp: checked; the output data file would hold 0 wave records, 0 current records, "
            "0 depth profiles, 0 element records\n"
            "total: 2 inputs, 2 checked\n");
}

}  // namespace
