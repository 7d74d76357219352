// Sources of lines: a whole file held in memory, and lines read from a stream as they arrive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "support/platform.hpp"

namespace qel2br::support {

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

}  // namespace qel2br::support
