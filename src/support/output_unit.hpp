// Output units: where lines are written, each ended by the unit's own line end.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

namespace qel2br::support {

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

}  // namespace qel2br::support
