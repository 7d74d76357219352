// File output units: text written in large blocks.
#include "support/fd_output.hpp"

#include <algorithm>
#include <utility>

#include "support/input_stop.hpp"
#include "support/write_all.hpp"

namespace qel2br::support {

namespace {

// Text gathered before it is written: to the console, and to a file.
constexpr std::size_t kConsoleBlock = 1U << 16U;
constexpr std::size_t kFileBlock = 1U << 18U;

}  // namespace

FdOutput::FdOutput(FileHandle file, std::string name, std::string_view line_end)
    : OutputUnit(line_end, kFileBlock),
      system_(platform()),
      file_(file),
      name_(std::move(name)),
      report_failures_(true) {
  pending().reserve(block_size() + block_size() / 4);
}

FdOutput::FdOutput(StandardStream stream, std::string name, std::string_view line_end)
    : OutputUnit(line_end, kConsoleBlock),
      system_(platform()),
      file_(system_.standard(stream)),
      name_(std::move(name)),
      report_failures_(false) {
  pending().reserve(block_size() + block_size() / 4);
}

FdOutput::~FdOutput() {
  if (file_.open()) {
    if (empty_before(pending()) == 0) {
      static_cast<void>(write_all(system_, file_, pending()));
    }
    if (report_failures_) {
      static_cast<void>(system_.close(file_));
    }
  }
}

int FdOutput::empty_before(std::string_view text) {
  wrote_any_ = wrote_any_ || !text.empty();
  if (empty_pending_ && !text.empty()) {
    empty_pending_ = false;
    return system_.empty(file_);
  }
  return 0;
}

void FdOutput::write_failed(int error) {
  pending().clear();
  const FileHandle file = std::exchange(file_, FileHandle{});
  static_cast<void>(system_.close(file));
  stop_input(
      {.file = name_, .message = "cannot write the output data file: " + system_.reason(error)});
}

void FdOutput::pass_on() { flush(); }

void FdOutput::flush() {
  std::string& text = pending();
  if (!file_.open()) {
    // Nothing is passed on after a failure or a close.
    text.clear();
    return;
  }
  if (text.empty()) {
    return;
  }
  int error = empty_before(text);
  if (error == 0) {
    error = write_all(system_, file_, text);
  }
  text.clear();
  if (error != 0 && report_failures_) {
    write_failed(error);
  }
}

void FdOutput::discard() {
  pending().clear();
  const FileHandle file = std::exchange(file_, FileHandle{});
  if (report_failures_ && file.open()) {
    static_cast<void>(system_.close(file));
  }
}

void FdOutput::close() {
  if (!file_.open()) {
    return;
  }
  flush();
  const FileHandle file = std::exchange(file_, FileHandle{});
  if (report_failures_ && file.open()) {
    if (const int error = system_.close(file); error != 0) {
      stop_input({.file = name_,
                  .message = "cannot close the output data file: " + system_.reason(error)});
    }
  }
}

}  // namespace qel2br::support
