// The platform layer on this system: opening without emptying, identity through links, kinds,
// reasons.
#include "support/platform.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace qel2br::support {
namespace {

namespace fs = std::filesystem;

class NativePlatform : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("qel2br-platform-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  [[nodiscard]] std::string path(const char* name) const { return (dir_ / name).string(); }
  [[nodiscard]] static std::string contents(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  Platform& system_ = native_platform();
  fs::path dir_;
};

TEST_F(NativePlatform, WritingEmptiesOnlyWhenAsked) {
  std::ofstream(path("out.txt")) << "old contents\n";
  const Opened opened = system_.open_write(path("out.txt"), WriteMode::kCreateOrOpen);
  ASSERT_EQ(opened.error, 0);
  EXPECT_EQ(contents(path("out.txt")), "old contents\n") << "opening empties nothing";
  ASSERT_EQ(system_.empty(opened.handle), 0);
  const Transfer written = system_.write(opened.handle, "new\r\n");
  EXPECT_EQ(written.error, 0);
  EXPECT_EQ(written.bytes, 5U);
  ASSERT_EQ(system_.close(opened.handle), 0);
  EXPECT_EQ(contents(path("out.txt")), "new\r\n");

  EXPECT_EQ(system_.open_write(path("out.txt"), WriteMode::kCreateNew).error, EEXIST);
  EXPECT_EQ(contents(path("out.txt")), "new\r\n");
  const Opened created = system_.open_write(path("fresh.txt"), WriteMode::kCreateNew);
  ASSERT_EQ(created.error, 0);
  ASSERT_EQ(system_.close(created.handle), 0);
  EXPECT_TRUE(fs::exists(path("fresh.txt")));

  const Opened reading = system_.open_read(path("out.txt"));
  ASSERT_EQ(reading.error, 0);
  std::array<char, 16> buffer{};
  const Transfer first = system_.read(reading.handle, buffer);
  EXPECT_EQ(std::string(buffer.data(), first.bytes), "new\r\n");
  EXPECT_EQ(system_.read(reading.handle, buffer).bytes, 0U) << "the end of the file";
  EXPECT_NE(system_.write(reading.handle, "x").error, 0) << "opened for reading only";
  EXPECT_EQ(system_.close(reading.handle), 0);
  EXPECT_EQ(contents(path("out.txt")), "new\r\n");
}

TEST_F(NativePlatform, OneFileWhateverTheSpellingOrLink) {
  std::ofstream(path("cards.inp")) << "TITL\n";
  std::ofstream(path("other.inp")) << "TITL\n";
  fs::create_directory(dir_ / "sub");
  fs::create_symlink("cards.inp", dir_ / "link.inp");
  fs::create_hard_link(dir_ / "cards.inp", dir_ / "hard.inp");
  const Opened opened = system_.open_read(path("cards.inp"));
  ASSERT_EQ(opened.error, 0);
  const std::optional<FileIdentity> id = system_.identity(opened.handle);
  ASSERT_TRUE(id.has_value());
  for (const char* same :
       {"cards.inp", "link.inp", "hard.inp", "sub/../cards.inp", "./cards.inp"}) {
    EXPECT_EQ(system_.identity(path(same)), id) << same;
  }
  EXPECT_NE(system_.identity(path("other.inp")), id);
  EXPECT_FALSE(system_.identity(path("missing.inp")).has_value());
  EXPECT_FALSE(system_.identity("").has_value());
  EXPECT_EQ(system_.close(opened.handle), 0);
}

TEST_F(NativePlatform, KindsAndReasons) {
  std::ofstream(path("cards.inp")) << "TITL\n";
  ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
  EXPECT_EQ(system_.kind(path("cards.inp")), FileKind::kRegular);
  EXPECT_EQ(system_.kind(dir_.string()), FileKind::kDirectory);
  EXPECT_EQ(system_.kind(path("pipe")), FileKind::kPipe);
  EXPECT_EQ(system_.kind("/dev/null"), FileKind::kCharacterDevice);
  EXPECT_FALSE(system_.kind(path("missing")).has_value());

  const Opened directory = system_.open_read(dir_.string());
  ASSERT_EQ(directory.error, 0) << "a directory opens; its kind tells it apart";
  EXPECT_EQ(system_.kind(directory.handle), FileKind::kDirectory);
  EXPECT_EQ(system_.close(directory.handle), 0);

  const Opened missing = system_.open_read(path("missing"));
  EXPECT_EQ(missing.error, kNoSuchFile);
  EXPECT_FALSE(missing.handle.open());
  EXPECT_EQ(system_.reason(kNoSuchFile), "No such file or directory");
  EXPECT_EQ(system_.reason(kIsDirectory), "Is a directory");

  const LocalTime now = system_.local_time();
  EXPECT_GE(now.year, 2024);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12 && now.day >= 1 && now.day <= 31);
}

}  // namespace
}  // namespace qel2br::support
