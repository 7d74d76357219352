// The fault table: each golden case (and one long case made here) run once per fault point with
// qel2br_faults, whose platform makes one call go wrong (see faulty_platform.cpp).
//
// A run without a fault counts the calls. Then, for every call (or an even spread of at most
// kMostPoints of each kind), a run where that call
//   fails with an error number (a read, write or close of a file, the rename of the temporary
//     output into place): it ends with status 2, with a report on standard error naming the file
//     and the system's reason, and leaves every file of the folder as it was, with no temporary
//     file left;
//   moves fewer bytes, or is interrupted: everything is as in the run without a fault;
//   reads a file that another process has just cut to half its size: the run ends normally, or
//     with the error end, or with a report (status 2), never through a signal;
//   meets a stop signal at a write: the process ends by that signal, saying that the output was
//     left as it was, and leaves every file as it was, with no temporary file left;
//   creates the temporary output file and fails: the output cannot be opened (the dialogue's
//     error end), and the folder is as it was;
//   removes the temporary file of a stopped run and fails: the run says which file is left;
//   allocates memory and fails: "out of memory" and status 2, with every file as it was, or a
//     run as without the fault where the tool could do without that memory.
// No run may crash or hang.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../e2e/run_case.hpp"

namespace fs = std::filesystem;

namespace {

using qel2br::e2e::lay_out_case;
using qel2br::e2e::normalise;
using qel2br::e2e::Outcome;
using qel2br::e2e::read_file;
using qel2br::e2e::run_binary;
using qel2br::e2e::snapshot;

// Long runs make many calls of one kind: an even spread of this many of them is tried.
constexpr std::size_t kMostPoints = 200;
// Allocations are many: fewer of them are tried.
constexpr std::size_t kMostAllocationPoints = 40;

// The temporary output file's name holds this.
constexpr std::string_view kTemporaryMark = ".qel2br-";

struct FaultRun {
  Outcome outcome;
  std::string console;
  std::string errors;
  std::map<std::string, std::string> before;  // the working folder before the run
  std::map<std::string, std::string> after;   // and after it, dates normalised
  std::map<std::string, std::int64_t> tally;  // reads, writes, closes
  std::string hit;                            // the file the fault hit
};

struct Point {
  std::string call;
  std::int64_t number = 0;
  std::string effect;
};

std::int64_t g_points_run = 0;  // NOLINT: counted over the whole table, printed at the end

// A long case made here: thousands of title cards, so that the output data file is written in
// many blocks and a fault can strike in the middle of it.
constexpr std::string_view kLongCase = "generated_long_titles";

fs::path long_case_dir() {
  const fs::path dir =
      fs::temp_directory_path() / ("qel2br-faults-long-" + std::to_string(::getpid()));
  if (!fs::exists(dir / "answers.txt")) {
    fs::create_directories(dir / "input");
    std::ofstream cards(dir / "input" / "cards.inp", std::ios::binary);
    for (int i = 0; i < 1500; ++i) {
      cards << "TITL " << std::string(200, static_cast<char>('A' + i % 26)) << i << "\n";
    }
    cards << "DPTH     100\n";
    std::ofstream(dir / "answers.txt", std::ios::binary) << "cards.inp\nout.txt\n\n";
  }
  return dir;
}

class FaultTable : public ::testing::TestWithParam<std::string> {
 protected:
  // Runs the case with the fault (none when empty) in a fresh folder.
  FaultRun run(const std::string& fault) {
    const fs::path dir =
        GetParam() == kLongCase ? long_case_dir() : fs::path(QEL2BR_CASES_DIR) / GetParam();
    const fs::path scratch = fs::temp_directory_path() /
                             ("qel2br-faults-" + GetParam() + "-" + std::to_string(::getpid()));
    fs::remove_all(scratch);
    const fs::path work = scratch / "work";
    fs::create_directories(work);
    FaultRun r;
    if (!lay_out_case(dir, work)) {
      ADD_FAILURE() << "setup.sh failed";
      return r;
    }
    r.before = snapshot(work);
    const fs::path tally = scratch / "tally";
    ::setenv("QEL2BR_FAULT", fault.c_str(), 1);        // NOLINT(concurrency-mt-unsafe): one thread
    ::setenv("QEL2BR_FAULT_TALLY", tally.c_str(), 1);  // NOLINT(concurrency-mt-unsafe)
    r.outcome = run_binary(QEL2BR_FAULTS_BINARY, work, dir / "answers.txt", scratch / "stdout",
                           scratch / "stderr");
    r.console = read_file(scratch / "stdout");
    r.errors = read_file(scratch / "stderr");
    for (const auto& [name, text] : snapshot(work)) {
      r.after[name] = normalise(text);
    }
    std::istringstream lines(read_file(tally));
    std::string word;
    while (lines >> word) {
      if (word == "fault") {
        lines >> r.hit;
      } else {
        lines >> r.tally[word];
      }
    }
    fs::permissions(work, fs::perms::owner_all, fs::perm_options::add);
    std::error_code ec;
    fs::remove_all(scratch, ec);
    return r;
  }
};

// 1 to count, or most of them spread evenly from the first to the last.
std::vector<std::int64_t> spread(std::int64_t count, std::size_t most = kMostPoints) {
  std::vector<std::int64_t> numbers;
  if (count <= static_cast<std::int64_t>(most)) {
    for (std::int64_t n = 1; n <= count; ++n) {
      numbers.push_back(n);
    }
    return numbers;
  }
  for (std::size_t i = 0; i < most; ++i) {
    numbers.push_back(1 + static_cast<std::int64_t>(i) * (count - 1) /
                              static_cast<std::int64_t>(most - 1));
  }
  return numbers;
}

// Every file of the folder is as it was before the run, and no temporary file is left.
void expect_folder_as_before(const FaultRun& r) {
  std::map<std::string, std::string> before;
  for (const auto& [name, text] : r.before) {
    before[name] = normalise(text);
  }
  EXPECT_EQ(r.after, before) << "the files differ from those before the run";
}

bool temporary_left(const FaultRun& r) {
  return std::any_of(r.after.begin(), r.after.end(), [](const auto& file) {
    return file.first.find(kTemporaryMark) != std::string::npos;
  });
}

// The input files (present before the run, not written by it) are left as they were.
void expect_inputs_unchanged(const FaultRun& r, const FaultRun& clean,
                             const std::string& except = "") {
  for (const auto& [name, text] : r.before) {
    const auto clean_after = clean.after.find(name);
    const bool written = clean_after == clean.after.end() || clean_after->second != normalise(text);
    if (written || name == except) {
      continue;
    }
    const auto found = r.after.find(name);
    EXPECT_TRUE(found != r.after.end() && found->second == normalise(text))
        << name << " was changed or removed";
  }
}

TEST_P(FaultTable, EveryCallFailsSoundly) {
  const FaultRun clean = run("");
  ASSERT_FALSE(clean.outcome.timed_out);
  ASSERT_EQ(clean.tally.size(), 7U) << "the run without a fault left no tally";
  EXPECT_FALSE(temporary_left(clean));

  std::vector<Point> points;
  const std::map<std::string, std::vector<std::string>> effects = {
      {"read", {"EIO", "short", "eintr", "truncate"}},
      {"write", {"ENOSPC", "short", "eintr", "SIGTERM"}},
      {"close", {"EIO"}},
      {"create", {"EIO"}},
      {"rename", {"EIO"}},
      {"remove", {"EIO"}}};
  for (const auto& [call, kinds] : effects) {
    for (const std::int64_t n : spread(clean.tally.at(call + "s"))) {
      for (const std::string& effect : kinds) {
        points.push_back({.call = call, .number = n, .effect = effect});
      }
    }
  }
  // The other stop signals at the first write; allocations, fewer of them.
  if (clean.tally.at("writes") > 0) {
    points.push_back({.call = "write", .number = 1, .effect = "SIGINT"});
    points.push_back({.call = "write", .number = 1, .effect = "SIGHUP"});
  }
  for (const std::int64_t n : spread(clean.tally.at("news"), kMostAllocationPoints)) {
    points.push_back({.call = "new", .number = n, .effect = "ENOMEM"});
  }

  for (const Point& p : points) {
    const std::string fault = p.call + ":" + std::to_string(p.number) + ":" + p.effect;
    SCOPED_TRACE(fault);
    const FaultRun r = run(fault);
    ++g_points_run;
    ASSERT_FALSE(r.outcome.timed_out) << "the run hung";
    // A process ended by a signal writes no tally; the count of allocations varies a little
    // from run to run (names hold the process number), so the last ones may not be reached.
    if (!p.effect.starts_with("SIG") && p.call != "new") {
      EXPECT_FALSE(r.hit.empty()) << "the fault was not reached";
    }
    if (p.effect.starts_with("SIG")) {
      const int number = p.effect == "SIGINT" ? SIGINT : p.effect == "SIGTERM" ? SIGTERM : SIGHUP;
      EXPECT_EQ(r.outcome.status, 128 + number) << r.errors;
      // An output written in place (a device) has no temporary file to speak of.
      const bool output_file =
          std::any_of(clean.after.begin(), clean.after.end(),
                      [&](const auto& f) { return !clean.before.contains(f.first); });
      EXPECT_EQ(r.errors.find(" left as it was\n") != std::string::npos, output_file) << r.errors;
      expect_folder_as_before(r);
      continue;
    }
    EXPECT_LT(r.outcome.status, 128) << "the run ended through a signal";
    if (p.call == "remove") {
      // Only a stopped run removes its temporary file; that it cannot is said.
      EXPECT_EQ(r.outcome.status, clean.outcome.status);
      EXPECT_NE(r.errors.find("cannot remove this temporary file"), std::string::npos) << r.errors;
      expect_inputs_unchanged(r, clean);
      continue;
    }
    EXPECT_FALSE(temporary_left(r)) << "a temporary file was left";
    if (p.call == "new") {
      if (r.outcome.status == 2 && r.errors.find("qel2br: out of memory\n") != std::string::npos) {
        expect_folder_as_before(r);
      } else {
        EXPECT_EQ(r.outcome.status, clean.outcome.status) << r.errors;
        EXPECT_EQ(r.after, clean.after) << "the files differ from the run without a fault";
      }
    } else if (p.call == "create") {
      EXPECT_EQ(r.outcome.status, 1) << r.errors;
      EXPECT_NE(r.errors.find("cannot open the output data file"), std::string::npos) << r.errors;
      expect_folder_as_before(r);
    } else if (p.effect == "short" || p.effect == "eintr") {
      EXPECT_EQ(r.outcome.status, clean.outcome.status);
      EXPECT_EQ(r.console, clean.console);
      EXPECT_EQ(r.errors, clean.errors);
      EXPECT_EQ(r.after, clean.after) << "the files differ from the run without a fault";
    } else if (p.effect == "truncate") {
      EXPECT_TRUE(r.outcome.status == 0 || r.outcome.status == 1 || r.outcome.status == 2)
          << r.outcome.status;
      if (r.outcome.status == 2) {
        EXPECT_TRUE(r.errors.starts_with("qel2br: ") ||
                    r.errors.find("\nqel2br: ") != std::string::npos)
            << r.errors;
      }
      expect_inputs_unchanged(r, clean, r.hit);
    } else {
      // A file whose failure the run reports anyway (a write that fails before the close) is
      // reported once, with that failure's reason. The temporary output is named by its own
      // name.
      const bool temporary = r.hit.find(kTemporaryMark) != std::string::npos;
      const std::string named = temporary ? "qel2br: out" : "qel2br: " + r.hit + ": ";
      const bool reported_anyway = clean.errors.find(named) != std::string::npos;
      const std::string reason = std::strerror(p.effect == "EIO" ? EIO : ENOSPC);
      EXPECT_EQ(r.outcome.status, 2) << r.errors;
      EXPECT_NE(r.errors.find(named), std::string::npos) << r.errors;
      EXPECT_TRUE(reported_anyway || r.errors.find(reason) != std::string::npos) << r.errors;
      expect_folder_as_before(r);
    }
  }
  std::cout << GetParam() << ": " << points.size() << " fault points (" << clean.tally.at("reads")
            << " reads, " << clean.tally.at("writes") << " writes, " << clean.tally.at("closes")
            << " closes, " << clean.tally.at("creates") << " creates, " << clean.tally.at("renames")
            << " renames, " << clean.tally.at("news") << " allocations)\n";
}

// The golden cases and the long one.
std::vector<std::string> fault_cases() {
  std::vector<std::string> names = qel2br::e2e::case_names(QEL2BR_CASES_DIR);
  names.emplace_back(kLongCase);
  return names;
}

INSTANTIATE_TEST_SUITE_P(Golden, FaultTable, ::testing::ValuesIn(fault_cases()),
                         [](const ::testing::TestParamInfo<std::string>& param_info) {
                           return param_info.param;
                         });

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const int status = RUN_ALL_TESTS();
  std::error_code ec;
  fs::remove_all(fs::temp_directory_path() / ("qel2br-faults-long-" + std::to_string(::getpid())),
                 ec);
  std::cout << "fault table: " << g_points_run << " fault points run\n";
  return status;
}
