// The operating system as the tool uses it: files, standard streams, memory, the clock and the
// texts of the system's errors. Every call to the system goes through here.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qel2br::support {

// An open file as the system knows it (a descriptor or a handle); -1 is no file.
struct FileHandle {
  std::intptr_t value = -1;
  [[nodiscard]] bool open() const { return value != -1; }
  friend bool operator==(const FileHandle&, const FileHandle&) = default;
};

// The standard streams of the process.
enum class StandardStream : std::uint8_t { kInput, kOutput, kError };

// What a name or an open file is.
enum class FileKind : std::uint8_t {
  kRegular,
  kDirectory,
  kPipe,
  kCharacterDevice,
  kBlockDevice,
  kSocket,
  kOther
};

// The same file has the same identity whatever the spelling of its name or the link it is
// reached through: device and file number, or volume serial number and file index.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// An opened file, or the error number of the failed opening (error 0: opened).
struct Opened {
  FileHandle handle{};
  int error = 0;
};

// The bytes a read or a write moved, or its error number (error 0: no error). A read that
// moves 0 bytes without an error is at the end of the file. Fewer bytes than asked are not an
// error; the caller asks again for the rest. kInterrupted means nothing moved: ask again.
struct Transfer {
  std::size_t bytes = 0;
  int error = 0;
};

// How a file is opened for writing. Neither empties an existing file: see empty().
enum class WriteMode : std::uint8_t { kCreateOrOpen, kCreateNew };

// What a name leads to, links followed: the kind of file, how many names (hard links) it has,
// and the name of the file itself (the name given when it is no link, or when the system
// cannot tell).
struct PathFacts {
  FileKind kind = FileKind::kOther;
  std::uint64_t links = 1;
  std::string resolved{};
};

// The local date and time to the second.
struct LocalTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The error number of an interrupted call (the call may be repeated).
inline constexpr int kInterrupted = EINTR;
// A call that the system interrupts this many times in a row has failed.
inline constexpr int kInterruptionLimit = 1000;
// The error numbers of a directory where a file is wanted and of a name that names nothing.
inline constexpr int kIsDirectory = EISDIR;
inline constexpr int kNoSuchFile = ENOENT;
// The error number the tool gives itself for a name that is not a file it reads (a device).
inline constexpr int kNotAFile = ENODEV;

// The operations of the system. File names are UTF-8 texts. Error numbers are the system's
// (on Windows, its common failures are given the C library's numbers so that their texts are
// the same as elsewhere).
class Platform {
 public:
  Platform() = default;
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;
  virtual ~Platform() = default;

  // Opens an existing file for reading only, shared with every other reader and writer.
  [[nodiscard]] virtual Opened open_read(std::string_view path) = 0;
  // Opens a file for writing at its start, creating it when mode allows; never empties it.
  [[nodiscard]] virtual Opened open_write(std::string_view path, WriteMode mode) = 0;
  // Opens an unnamed file for reading and writing that the system removes when it is closed.
  [[nodiscard]] virtual Opened open_scratch() = 0;
  // Gives a file opened for writing the permission bits of the file named from (where the
  // system has them); returns 0 or the error number.
  [[nodiscard]] virtual int copy_permissions(FileHandle file, std::string_view from) = 0;
  // Renames from to to, replacing the file named to in one step; returns 0 or the error number.
  [[nodiscard]] virtual int rename_over(std::string_view from, std::string_view to) = 0;
  // Removes the name; returns 0 or the error number.
  [[nodiscard]] virtual int remove(std::string_view path) = 0;
  // What the name leads to; none when it names nothing (or cannot be examined).
  [[nodiscard]] virtual std::optional<PathFacts> facts(std::string_view path) = 0;
  // A number that no other running process has (for names of temporary files).
  [[nodiscard]] virtual std::uint64_t process_number() = 0;
  // Empties a file opened for writing (a device or a pipe is left as it is); returns 0 or the
  // error number.
  [[nodiscard]] virtual int empty(FileHandle file) = 0;
  // Reads at most buffer.size() bytes.
  [[nodiscard]] virtual Transfer read(FileHandle file, std::span<char> buffer) = 0;
  // Writes at most bytes.size() bytes.
  [[nodiscard]] virtual Transfer write(FileHandle file, std::string_view bytes) = 0;
  // Closes the file; returns 0 or the error number (the handle is gone either way).
  [[nodiscard]] virtual int close(FileHandle file) = 0;
  // The file's size in bytes, or 0 when the system does not know it (pipes, devices).
  [[nodiscard]] virtual std::size_t size_hint(FileHandle file) = 0;
  // What the open file is, and what a name names (none when the name cannot be examined);
  // links are followed.
  [[nodiscard]] virtual FileKind kind(FileHandle file) = 0;
  [[nodiscard]] virtual std::optional<FileKind> kind(std::string_view path) = 0;
  // The identity of an open file and of a name; none when the system cannot tell.
  [[nodiscard]] virtual std::optional<FileIdentity> identity(FileHandle file) = 0;
  [[nodiscard]] virtual std::optional<FileIdentity> identity(std::string_view path) = 0;
  // The standard stream's handle (never closed by the tool).
  [[nodiscard]] virtual FileHandle standard(StandardStream stream) = 0;
  // A line of answers read from standard input, as UTF-8. On Windows a line that is not valid
  // UTF-8 was written in the system's code page and is converted from it; elsewhere the bytes
  // are the name's bytes and the line is kept as it is.
  [[nodiscard]] virtual std::string answer_text(std::string line) { return line; }
  // The program's arguments (argv[0] first) as UTF-8 texts.
  [[nodiscard]] virtual std::vector<std::string> arguments(int argc, char** argv) = 0;
  // The system's text for an error number, such as "No such file or directory".
  [[nodiscard]] virtual std::string reason(int error) = 0;
  // The local date and time now; all zero when the clock cannot be read.
  [[nodiscard]] virtual LocalTime local_time() = 0;
  // Memory for a whole file: size bytes, not cleared, or an empty span when there is none.
  // Large blocks come in large pages where the system offers them.
  [[nodiscard]] virtual std::span<char> reserve_memory(std::size_t size) = 0;
  // Gives back memory from reserve_memory.
  virtual void release_memory(std::span<char> memory) = 0;
};

// The end of a run by a signal or the console (interrupt, terminate, hang-up; on Windows Ctrl+C,
// Ctrl+Break and closing the console): a guarded file is removed and its line written to
// standard error before the process ends the way that signal ends it. The handler does only
// what is safe there; the names and lines are prepared when a file is guarded.
inline constexpr std::size_t kGuardedFiles = 64;
// Prepares the process for a run: the standard streams that are closed are opened on the null
// device (so that no file of the run takes their place), the stop signals are watched, and a
// file-size limit makes a write fail ("File too large") instead of ending the process.
void prepare_process();
// Guards a temporary file: returns its slot, or kGuardedFiles when no slot is free or the name
// or line is too long to be held (the file is then not removed by a signal).
[[nodiscard]] std::size_t guard_file(std::string_view path, std::string_view line);
// Ends the guard of the slot (nothing for kGuardedFiles).
void release_guard(std::size_t slot);

// Before the process ends: when its console window was opened for this process alone (a card
// file dropped on the program in Windows Explorer) and standard input and output are that
// console, asks on standard error for Enter and waits for it, so that the messages can be read
// before the window closes. Never when standard input or output is redirected; nothing on
// systems without such windows.
void hold_own_console();

// The system the tool runs on.
[[nodiscard]] Platform& native_platform();

// The platform the run uses: the native one, unless the program is linked with another
// definition (the fault-injecting build of the tests).
[[nodiscard]] Platform& platform();

}  // namespace qel2br::support
