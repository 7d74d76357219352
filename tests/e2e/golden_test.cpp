// Runs the built qel2br on a case directory and compares everything it leaves behind.
//
// A case holds input/ (copied into an empty working directory), answers.txt (standard input),
// an optional setup.sh (run in the working directory before qel2br, for links, directories and
// permissions) and expected/: console.txt, stderr.txt, status, and every file the run writes.
// Files that the run must leave untouched are checked byte for byte. Only the date in the
// header's Conversion line is normalised.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "run_case.hpp"

namespace fs = std::filesystem;

namespace {

using qel2br::e2e::normalise;
using qel2br::e2e::Outcome;
using qel2br::e2e::read_file;
using qel2br::e2e::run_binary;
using qel2br::e2e::snapshot;
using qel2br::e2e::timeout_seconds;

std::string g_binary;  // NOLINT: set once from the command line before the tests run

// Shows where two texts first differ, with the lines around it.
std::string first_difference(const std::string& expected, const std::string& actual) {
  std::size_t i = 0;
  while (i < expected.size() && i < actual.size() && expected[i] == actual[i]) {
    ++i;
  }
  const std::size_t line =
      static_cast<std::size_t>(
          std::count(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(i), '\n')) +
      1;
  const auto excerpt = [i](const std::string& s) {
    const std::size_t from = i > 60 ? i - 60 : 0;
    std::string part = s.substr(from, 120);
    std::string shown;
    for (char c : part) {
      if (c == '\r') {
        shown += "\\r";
      } else if (c == '\n') {
        shown += "\\n\n";
      } else {
        shown += c;
      }
    }
    return shown;
  };
  return "first difference at byte " + std::to_string(i) + " (line " + std::to_string(line) +
         ")\n--- expected ---\n" + excerpt(expected) + "\n--- actual ---\n" + excerpt(actual);
}

class Case : public ::testing::TestWithParam<std::string> {};

TEST_P(Case, Matches) {
  const fs::path dir = fs::path(QEL2BR_CASES_DIR) / GetParam();
  const fs::path expected = dir / "expected";
  const fs::path scratch =
      fs::temp_directory_path() / ("qel2br-e2e-" + GetParam() + "-" + std::to_string(::getpid()));
  fs::remove_all(scratch);
  const fs::path work = scratch / "work";
  fs::create_directories(work);
  ASSERT_TRUE(qel2br::e2e::lay_out_case(dir, work)) << "setup.sh failed";
  const std::map<std::string, std::string> before = snapshot(work);

  const Outcome outcome =
      run_binary(g_binary, work, dir / "answers.txt", scratch / "stdout", scratch / "stderr");
  ASSERT_FALSE(outcome.timed_out) << "qel2br did not finish within " << timeout_seconds() << " s";

  const std::string want_status =
      fs::exists(expected / "status") ? read_file(expected / "status") : "0\n";
  EXPECT_EQ(std::to_string(outcome.status) + "\n", want_status) << "exit status";
  const std::string console = read_file(scratch / "stdout");
  const std::string want_console = read_file(expected / "console.txt");
  EXPECT_EQ(console, want_console) << "console\n" << first_difference(want_console, console);
  const std::string errors = read_file(scratch / "stderr");
  const std::string want_errors =
      fs::exists(expected / "stderr.txt") ? read_file(expected / "stderr.txt") : "";
  EXPECT_EQ(errors, want_errors) << "standard error";

  const std::map<std::string, std::string> after = snapshot(work);
  for (const auto& [name, text] : after) {
    const fs::path want = expected / name;
    if (fs::exists(want)) {
      const std::string want_text = normalise(read_file(want));
      const std::string got = normalise(text);
      EXPECT_EQ(got, want_text) << name << "\n" << first_difference(want_text, got);
    } else if (before.count(name) != 0) {
      EXPECT_TRUE(before.at(name) == text) << name << " was changed by the run";
    } else {
      ADD_FAILURE() << "unexpected file left by the run: " << name;
    }
  }
  for (const auto& entry : fs::directory_iterator(expected)) {
    const std::string name = entry.path().filename().string();
    if (name != "console.txt" && name != "stderr.txt" && name != "status") {
      EXPECT_TRUE(after.count(name) != 0) << "expected file not written: " << name;
    }
  }
  fs::permissions(work, fs::perms::owner_all, fs::perm_options::add);
  std::error_code ec;
  fs::remove_all(scratch, ec);
}

INSTANTIATE_TEST_SUITE_P(Golden, Case,
                         ::testing::ValuesIn(qel2br::e2e::case_names(QEL2BR_CASES_DIR)),
                         [](const ::testing::TestParamInfo<std::string>& param_info) {
                           return param_info.param;
                         });

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: golden_test <qel2br binary> [gtest flags]\n");
    return 2;
  }
  g_binary = fs::absolute(argv[1]).string();
  return RUN_ALL_TESTS();
}
