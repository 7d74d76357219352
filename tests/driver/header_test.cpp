// The date text at every precision and the eleven header lines.
#include "driver/header.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/memory_units.hpp"

namespace qel2br::driver {
namespace {

constexpr DateTime kMoment{.year = 2011, .month = 3, .day = 7, .hour = 9, .minute = 5, .second = 3};

std::string text_of(const DateTime& moment, std::size_t length, std::int32_t precision) {
  std::string text(length, '#');
  date_text(moment, std::span<char>(text.data(), text.size()), precision);
  return text;
}

TEST(DATTXT, EveryPrecision) {
  struct Row {
    std::int32_t precision;
    std::string visible;
  };
  const std::vector<Row> rows = {
      {1, " Date : 2011"},
      {2, " Date : 2011-03"},
      {3, " Date : 2011-03-07"},
      {4, " Date : 2011-03-07 09"},
      {5, " Date : 2011-03-07 09:05"},
      {6, " Date : 2011-03-07 09:05:03"},
      {0, " Date : 2011-03-07 09:05:03"},
      {7, " Date : 2011-03-07 09:05:03"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.precision);
    const std::string text = text_of(kMoment, 80, row.precision);
    EXPECT_EQ(text, row.visible + std::string(80 - row.visible.size(), ' '));
  }
}

TEST(DATTXT, CutsAndCorrectsTheYear) {
  EXPECT_EQ(text_of(kMoment, 15, 6), " Date : 2011-03");
  DateTime early = kMoment;
  early.year = 111;
  EXPECT_EQ(text_of(early, 27, 6), " Date : 2011-03-07 09:05:03");
  DateTime late = kMoment;
  late.year = 12345;
  EXPECT_EQ(text_of(late, 27, 1), " Date : ****" + std::string(15, ' '));
}

TEST(RunHeader, ElevenLines) {
  testing::MemoryRun memory;
  driver::RunContext& run = memory.state();
  date_text(kMoment, std::span<char>(run.date_text.data(), 80), 6);
  run.input_name.assign("  platform.inp");
  memory.sinks().run_header(run_header(run));
  const std::string equals = "' " + std::string(62, '=');
  EXPECT_EQ(memory.output(), testing::file_lines({
                                 "'         ",
                                 "'         ",
                                 equals,
                                 "'         ",
                                 "'    Qel2Br Version 0.9, 2007_10_31 ",
                                 "'         ",
                                 "'    Conversion Date : 2011-03-07 09:05:03",
                                 "'    Qelvo File      :   platform.inp",
                                 equals,
                                 "'         ",
                                 "'         ",
                             }));
}

}  // namespace
}  // namespace qel2br::driver
