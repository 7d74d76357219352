// FILOPN: unit and record length checks, failed openings, and the listing.
#include "driver/file_open.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace qel2br::driver {
namespace {

using support::kConsoleLineEnd;
using support::StringOutput;
using support::UnitTable;

class FileOpen : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("qel2br-filopn-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string path(const char* name) const { return (dir_ / name).string(); }

  std::filesystem::path dir_;
  StringOutput console_{kConsoleLineEnd};
  UnitTable units_{console_};
};

TEST_F(FileOpen, IllegalUnitsAndRecordLengths) {
  const OpenCodes loud{.status_code = 1, .message_unit = 6};
  EXPECT_EQ(FILOPN(units_, path("a"), 0, loud), kIllegalUnit);
  EXPECT_EQ(FILOPN(units_, path("a"), 100, loud), kIllegalUnit);
  EXPECT_EQ(console_.text(),
            "\n\n\n *** ERROR DURING OPENING OF FILE UNIT    0\n     ILLEGAL FILE UNIT\n"
            "\n\n\n *** ERROR DURING OPENING OF FILE UNIT  100\n     ILLEGAL FILE UNIT\n");
  EXPECT_FALSE(std::filesystem::exists(path("a")));
  EXPECT_EQ(FILOPN(units_, path("a"), 1, {.status_code = 1}), kOpened);
  EXPECT_EQ(FILOPN(units_, path("b"), 99, {.status_code = 1}), kOpened);

  const OpenCodes direct{.access_code = 20, .record_length = 0, .message_unit = 6};
  EXPECT_EQ(FILOPN(units_, path("c"), 10, direct), kIllegalRecordLength);
  EXPECT_TRUE(console_.text().ends_with(
      " *** ERROR DURING OPENING OF FILE UNIT   10\n     ILLEGAL RECORD LENGTH =    0\n"));
}

TEST_F(FileOpen, MissingOldFileLeavesTheUnitFree) {
  const std::int32_t status = FILOPN(units_, path("missing") + "   ", 88, kQuietOld);
  EXPECT_LT(status, 0);
  EXPECT_FALSE(units_.connected(88));
  EXPECT_EQ(console_.text(), "");
  EXPECT_EQ(FILOPN(units_, dir_.string(), 88, kQuietOld), -EISDIR) << "a directory";
  EXPECT_LT(FILOPN(units_, "    ", 88, kQuietOld), 0) << "a blank name";
  std::ofstream(path("there")) << "x\n";
  EXPECT_EQ(FILOPN(units_, path("there"), 88, kQuietOld), kOpened);
  EXPECT_EQ(units_.lines(88).contents(), "x\n");
  EXPECT_LT(FILOPN(units_, path("there"), 89, {.status_code = 3, .message_unit = 6}), 0)
      << "NEW on an existing file";
  EXPECT_TRUE(console_.text().ends_with("ERROR CODE =   17  (SYSTEM PARAMETER)\n"));
}

TEST_F(FileOpen, Listing) {
  const std::string name = path("list.dat");
  ASSERT_EQ(FILOPN(units_, name, 12,
                   {.status_code = 1,
                    .access_code = 20,
                    .form_code = 1,
                    .record_length = 32,
                    .listing = 1,
                    .message_unit = 6}),
            kOpened);
  EXPECT_EQ(console_.text(), "\n\n\n     FILE  " + name +
                                 "\n     IS OPENED ON UNIT NO.  12\n"
                                 "     FILE CHARACTERISTICS :\n"
                                 "          STATUS =UNKNOWN\n"
                                 "          ACCESS =DIRECT    \n"
                                 "          FORM   =FORMATTED  \n"
                                 "          LENGTH =  128 WORDS/BYTES PER RECORD (SECTOR)\n"
                                 "          BLANK  =NULL\n");
  StringOutput second(kConsoleLineEnd);
  units_.bind_console(second);
  ASSERT_EQ(FILOPN(units_, "ignored", 13,
                   {.status_code = 4,
                    .access_code = 20,
                    .form_code = 2,
                    .record_length = 32,
                    .listing = 1,
                    .message_unit = 6}),
            kOpened);
  EXPECT_EQ(second.text(),
            "\n\n\n     A SCRATCH FILE IS OPENED ON UNIT NO.  13\n"
            "     FILE CHARACTERISTICS :\n"
            "          STATUS =SCRATCH\n"
            "          ACCESS =DIRECT    \n"
            "          FORM   =UNFORMATTED\n"
            "          LENGTH =   32 WORDS/BYTES PER RECORD (SECTOR)\n");
  StringOutput third(kConsoleLineEnd);
  units_.bind_console(third);
  ASSERT_EQ(FILOPN(units_, path("quiet"), 14, {.status_code = 1, .listing = 1, .message_unit = -6}),
            kOpened);
  EXPECT_EQ(third.text(), "") << "no message with a negative message unit";
}

TEST_F(FileOpen, UnknownRewritesFromTheStart) {
  std::ofstream(path("out")) << "old line one\nold line two\n";
  ASSERT_EQ(FILOPN(units_, path("out"), 90, kQuietUnknown), kOpened);
  units_.output(90).write_line("new");
  units_.close(90);
  std::ifstream in(path("out"), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "new\r\n");
}

}  // namespace
}  // namespace qel2br::driver
