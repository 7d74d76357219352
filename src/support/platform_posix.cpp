// The platform on POSIX systems: descriptors, stat, mmap, strerror and localtime_r.
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "support/platform.hpp"

namespace qel2br::support {

namespace {

int last_error() { return errno != 0 ? errno : EIO; }

int descriptor(FileHandle file) { return static_cast<int>(file.value); }

Opened opened(int fd) {
  if (fd < 0) {
    return {.handle = {}, .error = last_error()};
  }
  return {.handle = {.value = fd}, .error = 0};
}

FileIdentity identity_of(const struct stat& info) {
  return {.volume = static_cast<std::uint64_t>(info.st_dev),
          .index = static_cast<std::uint64_t>(info.st_ino)};
}

FileKind kind_of(mode_t mode) {
  if (S_ISREG(mode)) {
    return FileKind::kRegular;
  }
  if (S_ISDIR(mode)) {
    return FileKind::kDirectory;
  }
  if (S_ISFIFO(mode)) {
    return FileKind::kPipe;
  }
  if (S_ISCHR(mode)) {
    return FileKind::kCharacterDevice;
  }
  if (S_ISBLK(mode)) {
    return FileKind::kBlockDevice;
  }
  if (S_ISSOCK(mode)) {
    return FileKind::kSocket;
  }
  return FileKind::kOther;
}

class PosixPlatform final : public Platform {
 public:
  Opened open_read(std::string_view path) override {
    const std::string name(path);
    return opened(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
  }

  Opened open_write(std::string_view path, WriteMode mode) override {
    const std::string name(path);
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (mode == WriteMode::kCreateNew ? O_EXCL : 0);
    return opened(::open(name.c_str(), flags, 0666));
  }

  Opened open_scratch() override {
    std::FILE* f = std::tmpfile();
    if (f == nullptr) {
      return {.handle = {}, .error = last_error()};
    }
    const int fd = ::fcntl(::fileno(f), F_DUPFD_CLOEXEC, 3);
    const int error = errno;
    std::fclose(f);
    errno = error;
    return opened(fd);
  }

  int copy_permissions(FileHandle file, std::string_view from) override {
    const std::string name(from);
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) {
      return last_error();
    }
    constexpr mode_t kPermissionBits = 07777;
    return ::fchmod(descriptor(file), info.st_mode & kPermissionBits) == 0 ? 0 : last_error();
  }

  int rename_over(std::string_view from, std::string_view to) override {
    const std::string old_name(from);
    const std::string new_name(to);
    return ::rename(old_name.c_str(), new_name.c_str()) == 0 ? 0 : last_error();
  }

  int remove(std::string_view path) override {
    const std::string name(path);
    return ::unlink(name.c_str()) == 0 ? 0 : last_error();
  }

  std::optional<PathFacts> facts(std::string_view path) override {
    const std::string name(path);
    struct stat info {};
    if (name.empty() || ::stat(name.c_str(), &info) != 0) {
      return std::nullopt;
    }
    PathFacts facts{.kind = kind_of(info.st_mode),
                    .links = static_cast<std::uint64_t>(info.st_nlink),
                    .resolved = name};
    struct stat link {};
    if (::lstat(name.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
      // The file a link leads to is the one replaced, not the link.
      if (char* real = ::realpath(name.c_str(), nullptr); real != nullptr) {
        facts.resolved = real;
        std::free(real);  // NOLINT(cppcoreguidelines-no-malloc): realpath's own allocation
      }
    }
    return facts;
  }

  std::uint64_t process_number() override { return static_cast<std::uint64_t>(::getpid()); }

  int empty(FileHandle file) override {
    // Only a regular file holds anything to remove; a device or a pipe is written as it is.
    struct stat info {};
    if (::fstat(descriptor(file), &info) == 0 && !S_ISREG(info.st_mode)) {
      return 0;
    }
    if (::ftruncate(descriptor(file), 0) != 0 || ::lseek(descriptor(file), 0, SEEK_SET) < 0) {
      return last_error();
    }
    return 0;
  }

  Transfer read(FileHandle file, std::span<char> buffer) override {
    const ssize_t n = ::read(descriptor(file), buffer.data(), buffer.size());
    if (n < 0) {
      return {.bytes = 0, .error = last_error()};
    }
    return {.bytes = static_cast<std::size_t>(n), .error = 0};
  }

  Transfer write(FileHandle file, std::string_view bytes) override {
    const ssize_t n = ::write(descriptor(file), bytes.data(), bytes.size());
    if (n < 0) {
      return {.bytes = 0, .error = last_error()};
    }
    return {.bytes = static_cast<std::size_t>(n), .error = 0};
  }

  int close(FileHandle file) override {
    // The descriptor is released even when close reports an error; it is never closed twice.
    return ::close(descriptor(file)) == 0 ? 0 : last_error();
  }

  std::size_t size_hint(FileHandle file) override {
    struct stat info {};
    if (::fstat(descriptor(file), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) {
      return 0;
    }
    return static_cast<std::size_t>(info.st_size);
  }

  FileKind kind(FileHandle file) override {
    struct stat info {};
    if (::fstat(descriptor(file), &info) != 0) {
      return FileKind::kOther;
    }
    return kind_of(info.st_mode);
  }

  std::optional<FileKind> kind(std::string_view path) override {
    const std::string name(path);
    struct stat info {};
    if (name.empty() || ::stat(name.c_str(), &info) != 0) {
      return std::nullopt;
    }
    return kind_of(info.st_mode);
  }

  std::optional<FileIdentity> identity(FileHandle file) override {
    struct stat info {};
    if (::fstat(descriptor(file), &info) != 0) {
      return std::nullopt;
    }
    return identity_of(info);
  }

  std::optional<FileIdentity> identity(std::string_view path) override {
    const std::string name(path);
    struct stat info {};
    if (name.empty() || ::stat(name.c_str(), &info) != 0) {
      return std::nullopt;
    }
    return identity_of(info);
  }

  FileHandle standard(StandardStream stream) override {
    switch (stream) {
      case StandardStream::kInput:
        return {.value = STDIN_FILENO};
      case StandardStream::kOutput:
        return {.value = STDOUT_FILENO};
      case StandardStream::kError:
        return {.value = STDERR_FILENO};
    }
    return {};
  }

  std::vector<std::string> arguments(int argc, char** argv) override {
    // The system passes the bytes as typed; names are taken as they are.
    return {argv, argv + (argc > 0 ? argc : 0)};
  }

  std::string reason(int error) override { return std::strerror(error); }

  LocalTime local_time() override {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    if (t == static_cast<std::time_t>(-1) || ::localtime_r(&t, &local) == nullptr) {
      return {};
    }
    return {.year = local.tm_year + 1900,
            .month = local.tm_mon + 1,
            .day = local.tm_mday,
            .hour = local.tm_hour,
            .minute = local.tm_min,
            .second = local.tm_sec};
  }

  std::span<char> reserve_memory(std::size_t size) override {
    void* memory =
        ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
      return {};
    }
    // Large pages, where the system offers them, spare most of the page faults.
    ::madvise(memory, size, MADV_HUGEPAGE);
    return {static_cast<char*>(memory), size};
  }

  void release_memory(std::span<char> memory) override {
    if (!memory.empty()) {
      ::munmap(memory.data(), memory.size());
    }
  }
};

// A guarded temporary file: its name and the line written when a signal removes it.
struct Guard {
  std::atomic<bool> armed{false};
  std::atomic<bool> taken{false};
  std::array<char, 4096> path{};
  std::array<char, 4096> line{};
  std::size_t line_size = 0;
};
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler reads the guards");

std::array<Guard, kGuardedFiles>& guards() {
  static std::array<Guard, kGuardedFiles> all;
  return all;
}

constexpr std::array<int, 3> kStopSignals = {SIGINT, SIGTERM, SIGHUP};

// Only calls that are safe in a signal handler: unlink, write, signal, raise.
extern "C" void on_stop_signal(int signal_number) {
  const int saved = errno;
  for (Guard& guard : guards()) {
    if (guard.armed.exchange(false)) {
      ::unlink(guard.path.data());
      const char* next = guard.line.data();
      std::size_t left = guard.line_size;
      // A bounded number of tries: a write to standard error that keeps failing is given up.
      for (int tries = 0; left > 0 && tries < 100; ++tries) {
        const ssize_t n = ::write(STDERR_FILENO, next, left);
        if (n > 0) {
          next += n;
          left -= static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EINTR) {
          break;
        }
      }
    }
  }
  errno = saved;
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

}  // namespace

void prepare_process() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
      // The lowest free descriptor is this one.
      const int null = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
      if (null >= 0 && null != fd) {
        ::dup2(null, fd);
        ::close(null);
      }
    }
  }
  for (const int signal_number : kStopSignals) {
    struct sigaction old {};
    // A signal the process was started to ignore (a job run in the background) stays ignored.
    if (::sigaction(signal_number, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) {  // NOLINT
      continue;
    }
    struct sigaction action {};
    action.sa_handler = on_stop_signal;  // NOLINT(cppcoreguidelines-pro-type-union-access)
    ::sigemptyset(&action.sa_mask);
    ::sigaction(signal_number, &action, nullptr);
  }
  ::signal(SIGXFSZ, SIG_IGN);
}

std::size_t guard_file(std::string_view path, std::string_view line) {
  std::array<Guard, kGuardedFiles>& all = guards();
  for (std::size_t slot = 0; slot < all.size(); ++slot) {
    Guard& guard = all[slot];
    if (path.size() >= guard.path.size() || line.size() > guard.line.size() ||
        guard.taken.exchange(true)) {
      continue;
    }
    std::copy(path.begin(), path.end(), guard.path.begin());
    guard.path[path.size()] = '\0';
    std::copy(line.begin(), line.end(), guard.line.begin());
    guard.line_size = line.size();
    guard.armed.store(true);
    return slot;
  }
  return kGuardedFiles;
}

void release_guard(std::size_t slot) {
  if (slot < kGuardedFiles) {
    guards()[slot].armed.store(false);
    guards()[slot].taken.store(false);
  }
}

// A terminal window outlives the process it runs.
void hold_own_console() {}

Platform& native_platform() {
  static PosixPlatform system;
  return system;
}

}  // namespace qel2br::support
