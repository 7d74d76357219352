// The output unit of an open file or standard stream, written in blocks.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "support/output_unit.hpp"
#include "support/platform.hpp"

namespace qel2br::support {

// An output unit on an open file, written in large blocks (short writes and interrupted calls
// are completed). A failed write or close stops the run naming the file; the destructor
// flushes what is left and closes quietly.
class FdOutput final : public OutputUnit {
 public:
  // A file opened for writing; it is owned and closed at close().
  FdOutput(FileHandle file, std::string name, std::string_view line_end);
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
  // Whether any text has been written to the file.
  [[nodiscard]] bool wrote_any() const { return wrote_any_; }
  // Drops the text not yet written and closes the file without a report (a run that stopped).
  void discard();

 protected:
  void pass_on() override;

 private:
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
};

}  // namespace qel2br::support
