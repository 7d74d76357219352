// File output units: blocks written by the run, then by a second thread while the run renders.
#include "support/fd_output.hpp"

#include <algorithm>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "support/input_stop.hpp"
#include "support/write_all.hpp"

namespace qel2br::support {

namespace {

// Text gathered before it is written: to the console, and to a file (by the writer thread).
constexpr std::size_t kConsoleBlock = 1U << 16U;
constexpr std::size_t kFileBlock = 1U << 18U;

}  // namespace

// The second thread of a file unit: it writes one block while the run renders the next.
struct FdOutput::Writer {
  Writer(Platform& system, FileHandle file)
      : thread([this, &system, file] { write_blocks(system, file); }) {}
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;
  ~Writer() {
    {
      const std::lock_guard<std::mutex> lock(mutex);
      ending = true;
    }
    changed.notify_all();
    thread.join();
  }

  // Waits until no block is being written; the error number of the first failed write, or 0.
  int wait() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return !busy; });
    return error;
  }

  // Takes text as the next block to write (text is left empty); the writer must be idle.
  void write(std::string& text) {
    {
      const std::lock_guard<std::mutex> lock(mutex);
      block.swap(text);
      busy = true;
    }
    changed.notify_all();
    text.clear();
  }

  void write_blocks(Platform& system, FileHandle file) {
    std::unique_lock<std::mutex> lock(mutex);
    while (true) {
      changed.wait(lock, [this] { return busy || ending; });
      if (!busy) {
        return;
      }
      // After a failure nothing more is written.
      if (error == 0) {
        lock.unlock();
        const int failure = write_all(system, file, block);
        lock.lock();
        error = failure;
      }
      block.clear();
      busy = false;
      changed.notify_all();
    }
  }

  std::mutex mutex;
  std::condition_variable changed;
  std::string block;
  bool busy = false;
  bool ending = false;
  int error = 0;
  std::thread thread;  // last: started once the members above are made
};

FdOutput::FdOutput(FileHandle file, std::string name, std::string_view line_end,
                   std::size_t written_inline)
    : OutputUnit(line_end, kFileBlock),
      system_(platform()),
      file_(file),
      name_(std::move(name)),
      report_failures_(true),
      inline_left_(written_inline) {
  pending().reserve(block_size() + block_size() / 4);
}

FdOutput::FdOutput(StandardStream stream, std::string name, std::string_view line_end)
    : OutputUnit(line_end, kConsoleBlock),
      system_(platform()),
      file_(system_.standard(stream)),
      name_(std::move(name)),
      report_failures_(false),
      inline_left_(0) {
  pending().reserve(block_size() + block_size() / 4);
}

FdOutput::~FdOutput() {
  if (file_.open()) {
    const int error = writer_ ? writer_->wait() : 0;
    writer_.reset();
    if (error == 0 && empty_before(pending()) == 0) {
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
  writer_.reset();
  pending().clear();
  const FileHandle file = std::exchange(file_, FileHandle{});
  static_cast<void>(system_.close(file));
  stop_input(
      {.file = name_, .message = "cannot write the output data file: " + system_.reason(error)});
}

void FdOutput::pass_on() {
  // A standard stream, and the first bytes of a file, are written here; after those a second
  // thread writes each block while the run renders the next.
  if (!report_failures_ || !file_.open() || inline_left_ > 0) {
    inline_left_ -= std::min(inline_left_, pending().size());
    flush();
    return;
  }
  if (!writer_) {
    try {
      writer_ = std::make_unique<Writer>(system_, file_);
    } catch (const std::system_error&) {
      // No second thread can be started: the run writes every block itself.
      inline_left_ = std::numeric_limits<std::size_t>::max();
      flush();
      return;
    }
  }
  if (const int error = writer_->wait(); error != 0) {
    write_failed(error);
  }
  if (const int error = empty_before(pending()); error != 0) {
    write_failed(error);
  }
  writer_->write(pending());
}

void FdOutput::settle() {
  if (writer_ && file_.open()) {
    if (const int error = writer_->wait(); error != 0) {
      write_failed(error);
    }
  }
}

void FdOutput::flush() {
  std::string& text = pending();
  if (!file_.open()) {
    // Nothing is passed on after a failure or a close.
    text.clear();
    return;
  }
  settle();
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
  writer_.reset();
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
  writer_.reset();
  const FileHandle file = std::exchange(file_, FileHandle{});
  if (report_failures_ && file.open()) {
    if (const int error = system_.close(file); error != 0) {
      stop_input({.file = name_,
                  .message = "cannot close the output data file: " + system_.reason(error)});
    }
  }
}

}  // namespace qel2br::support
