// The output unit of an open file or standard stream, written in blocks (by a second thread once
// a file has grown).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "support/output_unit.hpp"
#include "support/platform.hpp"

namespace qel2br::support {

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

}  // namespace qel2br::support
