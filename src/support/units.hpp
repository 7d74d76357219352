// Numbered units: the console and the files the run opens, read and written line by line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "support/platform.hpp"
#include "support/replaced_file.hpp"

namespace qel2br::support {

inline constexpr int kConsoleIn = 5;
inline constexpr int kConsoleOut = 6;
inline constexpr int kCardUnit = 88;
inline constexpr int kElementUnit = 89;
inline constexpr int kDataUnit = 90;
inline constexpr int kGroupUnit = 91;

inline constexpr std::string_view kFileLineEnd = "\r\n";
inline constexpr std::string_view kConsoleLineEnd = "\n";

// A unit lines are written to. The line end belongs to the unit: CR LF in files, LF on the
// console. Records are rendered straight onto the end of the unit's pending text, each line
// ended by the unit's line end; wrote() then passes the text on once a block has gathered.
class OutputUnit {
 public:
  OutputUnit(const OutputUnit&) = delete;
  OutputUnit& operator=(const OutputUnit&) = delete;
  virtual ~OutputUnit() = default;

  // Writes rendered text in which each '\n' stands for this unit's line end; text after the
  // last '\n' is left open on the line.
  void write_rendered(std::string_view text);
  // Writes one whole line.
  void write_line(std::string_view text);
  [[nodiscard]] std::string_view line_end() const { return line_end_; }
  // The text written and not yet passed on; lines are appended to it, then wrote() is called.
  [[nodiscard]] std::string& pending() { return pending_; }
  [[nodiscard]] const std::string& pending() const { return pending_; }
  // Passes the pending text on when a block or more has gathered.
  void wrote() {
    if (pending_.size() >= block_size_) {
      pass_on();
    }
  }
  // Passes the pending text on and waits until it is written; a file unit stops the run when
  // that fails.
  virtual void flush() {}
  // Flushes and closes; a file unit stops the run when that fails. Closing twice does nothing.
  virtual void close() { flush(); }

 protected:
  OutputUnit(std::string_view line_end, std::size_t block_size)
      : line_end_(line_end), block_size_(block_size) {}
  [[nodiscard]] std::size_t block_size() const { return block_size_; }
  // Passes a block of pending text on; it may be written while the next one is rendered.
  virtual void pass_on() { flush(); }

 private:
  std::string_view line_end_;
  std::size_t block_size_;
  std::string pending_;
};

// An output unit that collects what is written in a string (tests, in-process runs).
class StringOutput final : public OutputUnit {
 public:
  explicit StringOutput(std::string_view line_end) : OutputUnit(line_end, kNoBlocks) {}
  [[nodiscard]] const std::string& text() const { return pending(); }

 private:
  // The text is never passed on.
  static constexpr std::size_t kNoBlocks = std::numeric_limits<std::size_t>::max();
};

// An output unit that throws away what is written, a block at a time (the console of a quiet
// run): it holds at most one block, however much a run writes to it.
class DiscardedOutput final : public OutputUnit {
 public:
  explicit DiscardedOutput(std::string_view line_end) : OutputUnit(line_end, kBlock) {}
  void flush() override { pending().clear(); }

 protected:
  void pass_on() override { pending().clear(); }

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 16U;
};

// The bytes of a file that the run writes itself before a second thread takes over: starting
// the thread costs more than it saves on a short output.
inline constexpr std::size_t kFileBytesWrittenInline = std::size_t{1} << 22U;

// An output unit on an open file, written in large blocks (short writes and interrupted calls
// are completed). A failed write or close stops the run naming the file; the destructor
// flushes what is left and closes quietly. A file (not a standard stream) is written by a
// second thread once its first written_inline bytes are written, block by block, while the
// run renders the next block; a failed write there stops the run when the next block is
// passed on (or at the flush, the close or the end of the run that comes first), naming the
// file.
class FdOutput final : public OutputUnit {
 public:
  // A file opened for writing; it is owned and closed at close().
  FdOutput(FileHandle file, std::string name, std::string_view line_end,
           std::size_t written_inline = kFileBytesWrittenInline);
  // Standard output or standard error: never closed, and failures are not reported.
  FdOutput(StandardStream stream, std::string name, std::string_view line_end);
  ~FdOutput() override;
  FdOutput(const FdOutput&) = delete;
  FdOutput& operator=(const FdOutput&) = delete;
  void flush() override;
  void close() override;
  // The file is emptied just before the first bytes are written to it (a regular file only),
  // so that a run which ends before writing leaves it as it was.
  void empty_at_first_write() { empty_pending_ = true; }
  // Waits for the block being written; a failed write stops the run. Done before an input stop
  // is reported, so that the report is the one of the failure that came first.
  void settle();
  // Whether any text has been written to the file.
  [[nodiscard]] bool wrote_any() const { return wrote_any_; }
  // Drops the text not yet written and closes the file without a report (a run that stopped).
  void discard();

 protected:
  void pass_on() override;

 private:
  struct Writer;
  // Stops the run with the failed write's error number.
  [[noreturn]] void write_failed(int error);
  // Empties the file when that is still to be done and text is about to be written; 0 or the
  // error number.
  [[nodiscard]] int empty_before(std::string_view text);
  Platform& system_;
  FileHandle file_;
  bool empty_pending_ = false;
  bool wrote_any_ = false;
  std::string name_;
  bool report_failures_;
  std::size_t inline_left_;         // bytes still to be written before the writer starts
  std::unique_ptr<Writer> writer_;  // started with the first block passed on after those
};

// A source of lines. A line is read up to LF; the CR of a CR LF is not part of it; a last line
// without a line end is still a line.
class LineSource {
 public:
  LineSource() = default;
  LineSource(const LineSource&) = delete;
  LineSource& operator=(const LineSource&) = delete;
  virtual ~LineSource() = default;
  // Reads the next line; false at the end of the input. The view stays valid until the next
  // call.
  [[nodiscard]] virtual bool read_line(std::string_view& line) = 0;
  // The 1-based number of the line last read (0 before the first).
  [[nodiscard]] virtual std::int64_t line_number() const = 0;
};

// Memory for a whole file, mapped in one piece so that reading it does not fault page by page.
class FileBuffer {
 public:
  FileBuffer() = default;
  // Reads the whole file (size bytes expected, more or fewer are handled; short reads and
  // interrupted calls are completed); returns 0 or the error number.
  [[nodiscard]] int read_all(Platform& system, FileHandle file, std::size_t size);
  FileBuffer(FileBuffer&& other) noexcept;
  FileBuffer& operator=(FileBuffer&& other) noexcept;
  FileBuffer(const FileBuffer&) = delete;
  FileBuffer& operator=(const FileBuffer&) = delete;
  ~FileBuffer();
  [[nodiscard]] std::string_view view() const { return {memory_.data(), size_}; }

 private:
  void release();
  Platform* system_ = nullptr;
  std::span<char> memory_;
  std::size_t size_ = 0;
};

// text without the UTF-8 byte order mark (EF BB BF) that some editors write at its start; the
// text as it is when it has none.
[[nodiscard]] constexpr std::string_view without_byte_order_mark(std::string_view text) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  return text.substr(0, kByteOrderMark.size()) == kByteOrderMark
             ? text.substr(kByteOrderMark.size())
             : text;
}

// The whole text of a file held in memory: read once, then rewound and re-read line by line.
// A byte order mark at the start of the file is not part of its text (see contents()).
class MemoryLines final : public LineSource {
 public:
  explicit MemoryLines(std::string contents)
      : owned_(std::move(contents)), contents_(without_byte_order_mark(owned_)) {}
  explicit MemoryLines(FileBuffer buffer)
      : buffer_(std::move(buffer)), contents_(without_byte_order_mark(buffer_.view())) {}
  // Lines of a text held elsewhere, which must outlive them (a second reader of the same file).
  struct Borrowed {};
  MemoryLines(Borrowed /*unused*/, std::string_view contents) : contents_(contents) {}
  [[nodiscard]] bool read_line(std::string_view& line) override;
  [[nodiscard]] std::int64_t line_number() const override { return line_number_; }
  // Back to the first line.
  void rewind();
  // Repositions to the line last read, so that the next read returns it again.
  void step_back();
  // Repositions to the line that starts at offset in the contents, lines_before lines from the
  // top, so that the next read returns it. offset must be the start of a line.
  void seek(std::size_t offset, std::int64_t lines_before);
  // The text the lines are read from: the file's bytes after any byte order mark, so that
  // offsets and lines are the same as those of the file without it.
  [[nodiscard]] std::string_view contents() const { return contents_; }
  // The offset in the contents of the line the next read returns.
  [[nodiscard]] std::size_t position() const { return position_; }

 private:
  std::string owned_;
  FileBuffer buffer_;
  std::string_view contents_;
  std::size_t position_ = 0;
  std::size_t last_start_ = 0;
  std::int64_t line_number_ = 0;
};

// Lines read from an open file as they arrive (the console input). A failed read is the end of
// the input.
class FdLines final : public LineSource {
 public:
  explicit FdLines(StandardStream stream);
  // No input: the first read is at the end.
  FdLines();
  [[nodiscard]] bool read_line(std::string_view& line) override;
  [[nodiscard]] std::int64_t line_number() const override { return line_number_; }

 private:
  Platform& system_;
  FileHandle file_;
  std::string buffer_;
  std::size_t start_ = 0;
  std::string line_;
  bool at_end_ = false;
  std::int64_t line_number_ = 0;
};

// The standard stream (output or error) that writes to the file path names, when one does; a
// terminal or the null device is no file that console lines could spoil.
[[nodiscard]] std::optional<StandardStream> written_by_console(Platform& system,
                                                               std::string_view path);

// How a file is opened on a unit.
enum class OpenMode : std::uint8_t { kOld, kNew, kUnknown, kScratch };

// The units 1 to 99 that files are connected to. Tests bind in-memory files instead.
class UnitTable {
 public:
  // The units with the console output (unit 6) on console; files are opened on the platform.
  explicit UnitTable(OutputUnit& console, Platform& system = platform());
  ~UnitTable();
  UnitTable(const UnitTable&) = delete;
  UnitTable& operator=(const UnitTable&) = delete;

  // Opens the named file on the unit; returns 0 or the platform's error number. A directory
  // and an all-blank name cannot be opened. An earlier connection of the unit is closed first.
  // A file opened OLD is opened for reading only, and only a regular file or a pipe is taken (a
  // device or a socket is refused). A file opened UNKNOWN is written under a temporary name
  // beside it and replaces it at close() (see ReplacedFile); where a temporary file cannot
  // serve, the file itself is opened, created when missing and emptied only when its first line
  // is written.
  [[nodiscard]] int open(int unit, std::string_view name, OpenMode mode);
  // Why the last open failed, in words ("No such file or directory", "it is a character
  // device"); empty after a successful open.
  [[nodiscard]] const std::string& open_failure() const { return open_failure_; }
  // Connects the unit to lines held in memory (tests and in-process runs).
  void bind_lines(int unit, std::string name, std::string contents);
  // Connects the unit to an output unit owned by the caller.
  void bind_output(int unit, std::string name, OutputUnit& output);

  [[nodiscard]] bool connected(int unit) const;
  // The name the unit was opened with (trailing blanks removed).
  [[nodiscard]] const std::string& name(int unit) const;
  // The unit's whole text, read from the file on first use, after which the file is closed; a
  // failed read or close stops the run.
  [[nodiscard]] MemoryLines& lines(int unit);
  // The unit opened for writing lines ending in CR LF; a unit that is not open is a fault of
  // the program.
  [[nodiscard]] OutputUnit& output(int unit);
  // Closes the unit (flushing it); a unit that is not connected is left alone. A failed write
  // or close stops the run naming the file. The output data file written under a temporary name
  // then replaces the file of its name; when nothing was written to it, a file that was there
  // is left as it was (and a new one is made empty).
  void close(int unit);
  // Disconnects the unit of a run that stopped, without a report: the text not yet written is
  // dropped and a temporary file removed (see ReplacedFile::abandon).
  ReplacedFile::Abandoned abandon(int unit);
  // While held, close() leaves a file written under a temporary name ready but not in place
  // (a run whose report is still to be written): commit_held() then puts it in place (0 or the
  // error number; on an error it stays held), abandon_held() drops it.
  void hold_replacements() { hold_ = true; }
  [[nodiscard]] int commit_held();
  ReplacedFile::Abandoned abandon_held();
  // The name of the file held ("" for none).
  [[nodiscard]] const std::string& held_name() const { return held_name_; }
  // Waits for the blocks of the files being written; a failed write stops the run.
  void settle();
  // Whether path names the same file as the one connected to the unit (any spelling or link).
  [[nodiscard]] bool same_file(int unit, std::string_view path) const;

  // Connects unit 6 to another console output.
  void bind_console(OutputUnit& console) { console_ = &console; }
  // Where a message for the given unit goes: the console for unit 6 (and for 0 or less), the
  // connected file otherwise; a unit that is not connected falls back to the console.
  [[nodiscard]] OutputUnit& message_output(int unit);

 private:
  struct Slot;
  Slot& slot(int unit);
  [[nodiscard]] const Slot& slot(int unit) const;
  Platform& system_;
  std::array<std::unique_ptr<Slot>, 100> slots_;
  OutputUnit* console_;  // never null
  std::string open_failure_;
  bool hold_ = false;
  std::unique_ptr<ReplacedFile> held_;
  std::string held_name_;
};

}  // namespace qel2br::support
