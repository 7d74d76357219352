// Output units on files: every block written in order, by the run itself and by the writer
// thread that takes over after the first bytes, and a failed write stopping the run with the
// file's name.
#include "support/output_unit.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/fd_output.hpp"
#include "support/input_stop.hpp"

namespace qel2br::support {
namespace {

// Many blocks of lines of varying length, so that blocks end in the middle of lines.
std::string many_lines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += std::string(static_cast<std::size_t>(i % 97), static_cast<char>('A' + i % 26)) +
            std::to_string(i) + "\r\n";
  }
  return text;
}

TEST(FileOutput, WritesEveryBlockInOrder) {
  {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("qel2br-output-" + std::to_string(::getpid()) + ".txt");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    ASSERT_GE(fd, 0);
    {
      FdOutput out(FileHandle{.value = fd}, path.string(), kFileLineEnd);
      for (int i = 0; i < 60000; ++i) {
        out.write_line(
            std::string(static_cast<std::size_t>(i % 97), static_cast<char>('A' + i % 26)) +
            std::to_string(i));
        if (i == 30000) {
          out.flush();  // a flush in the middle writes what has gathered
        }
      }
      out.close();
    }
    std::ifstream in(path, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    EXPECT_EQ(written, many_lines(60000));
  }
}

// /dev/full takes no byte: the failure of a block stops the run at the latest when the unit is
// closed, with the file's name and the system's reason.
TEST(FileOutput, FailedWriteStopsTheRun) {
  {
    const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
      GTEST_SKIP() << "no /dev/full";
    }
    FdOutput out(FileHandle{.value = fd}, "/dev/full", kFileLineEnd);
    std::string message;
    try {
      for (int i = 0; i < 60000; ++i) {
        out.write_line(std::string(80, 'X'));
      }
      out.close();
    } catch (const InputStop& stop) {
      message = stop.file + ": " + stop.message;
    }
    EXPECT_EQ(message, "/dev/full: cannot write the output data file: No space left on device");
  }
}

// A quiet run's console throws its lines away as they gather: what it holds stays under two
// blocks of 64 KiB however much is written.
TEST(DiscardedOutput, HoldsAtMostABlock) {
  DiscardedOutput out(kConsoleLineEnd);
  for (int i = 0; i < 100000; ++i) {
    out.write_line(std::string(80, 'X'));
    ASSERT_LT(out.pending().size(), std::size_t{1} << 17U) << "line " << i;
  }
  out.flush();
  EXPECT_TRUE(out.pending().empty());
}

}  // namespace
}  // namespace qel2br::support
