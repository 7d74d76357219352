// The report file: its date, its heading from the run, and writing it.
#include "driver/report_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver/exit_status.hpp"
#include "testing/memory_units.hpp"

namespace qel2br::driver {
namespace {

TEST(ReportDate, FixedMomentOrTheRunsDate) {
  struct Row {
    const char* name;
    const char* epoch;
    const char* expected;
  };
  const std::vector<Row> rows = {
      {"no SOURCE_DATE_EPOCH", nullptr, "2026-12-10 05:30:41"},
      {"epoch 0", "0", "1970-01-01 00:00:00 UTC"},
      {"a fixed moment", "1767323045", "2026-01-02 03:04:05 UTC"},
      {"empty", "", "2026-12-10 05:30:41"},
      {"not a number", "12x", "2026-12-10 05:30:41"},
      {"negative", "-5", "2026-12-10 05:30:41"},
      {"beyond 64 bits", "99999999999999999999", "2026-12-10 05:30:41"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(report_date(" Date : 2026-12-10 05:30:41     ", row.epoch), row.expected);
  }
}

TEST(FillReportHeading, ModeCheckAndEnd) {
  testing::MemoryRun memory;
  driver::RunContext& run = memory.state();
  report::ReportData data;
  ReportFacts facts{.input = "in.inp",
                    .output = "out.txt",
                    .element_file = "elements.txt",
                    .version = "1.1",
                    .date = "2026-01-02 03:04:05 UTC"};
  // An element file without numbers checks nothing.
  fill_report_heading(run, facts, data);
  EXPECT_EQ(data.input_file, "in.inp");
  EXPECT_EQ(data.output_file, "out.txt");
  EXPECT_EQ(data.date, "2026-01-02 03:04:05 UTC");
  EXPECT_EQ(data.mode, report::SetMode::kElements);
  EXPECT_FALSE(data.element_check);
  EXPECT_EQ(data.end_note, "");

  memory.set_element_numbers({101});
  facts.status = kInputStop;
  facts.stop_text = "qel2br: in.inp:3: SEA card, columns 16-20: expected a number\n";
  fill_report_heading(run, facts, data);
  EXPECT_TRUE(data.element_check);
  EXPECT_EQ(data.end_note,
            "The input stopped the run (exit status 2); the report shows what was converted up "
            "to there.");
  EXPECT_EQ(data.stop_report, facts.stop_text);
  // The status box takes the end from the run: where it stopped and why.
  run.end = {.kind = EndKind::kStopped,
             .stop = support::InputStop{.file = "in.inp", .line = 3, .message = "SEA card"}};
  fill_report_heading(run, facts, data);
  EXPECT_EQ(data.status.ending, report::Ending::kStopped);
  EXPECT_EQ(data.status.exit_status, kInputStop);
  EXPECT_EQ(data.status.stop_file, "in.inp");
  EXPECT_EQ(data.status.stop_line, 3);
  EXPECT_EQ(data.status.reason, "SEA card");

  run.values.use_groups = true;
  facts.status = kErrorEnd;
  fill_report_heading(run, facts, data);
  EXPECT_EQ(data.mode, report::SetMode::kGroups);
  EXPECT_FALSE(data.element_check);
  EXPECT_EQ(data.end_note.rfind("The run took its error end", 0), 0U);
  run.end = {.kind = EndKind::kErrorBlock, .reason = "group LEGA1 has no number"};
  fill_report_heading(run, facts, data);
  EXPECT_EQ(data.status.ending, report::Ending::kErrorEnd);
  EXPECT_EQ(data.status.reason, "group LEGA1 has no number");
}

TEST(ReportFile, WritesThePageOrGivesTheReason) {
  const std::filesystem::path folder =
      std::filesystem::path(::testing::TempDir()) / "report_file_test";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);

  ReportFile file;
  ASSERT_EQ(file.open((folder / "report.html").string()), "");
  ASSERT_EQ(file.write("<p>page</p>\n"), "");
  std::ifstream in(folder / "report.html", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "<p>page</p>\n");

  ReportFile directory;
  EXPECT_EQ(directory.open(folder.string()), "Is a directory");
  EXPECT_EQ(directory.write("x"), "not open");
  ReportFile missing;
  EXPECT_EQ(missing.open((folder / "no" / "report.html").string()), "No such file or directory");
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace qel2br::driver
