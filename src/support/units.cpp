// Numbered units: console and file input and output, line by line.
#include "support/units.hpp"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

#include "support/input_stop.hpp"

namespace qel2br::support {

namespace {

constexpr std::size_t kReadBlock = 1U << 16U;
// Text gathered before it is written: to the console, and to a file (by the writer thread).
constexpr std::size_t kConsoleBlock = 1U << 16U;
constexpr std::size_t kFileBlock = 1U << 18U;

std::string error_text(int error) { return std::strerror(error); }

// The kind of a file that is neither a regular file, a directory nor a pipe, in words; empty for
// those three.
std::string_view refused_kind(mode_t mode) {
  if (S_ISCHR(mode)) {
    return "a character device";
  }
  if (S_ISBLK(mode)) {
    return "a block device";
  }
  if (S_ISSOCK(mode)) {
    return "a socket";
  }
  if (S_ISREG(mode) || S_ISDIR(mode) || S_ISFIFO(mode)) {
    return {};
  }
  return "a special file";
}

// Removes trailing blanks from a typed name.
std::string_view trim_name(std::string_view name) {
  const std::size_t last = name.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : name.substr(0, last + 1);
}

}  // namespace

void OutputUnit::write_rendered(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      pending_.append(text.substr(start));
      break;
    }
    pending_.append(text.substr(start, end - start));
    pending_.append(line_end_);
    start = end + 1;
  }
  wrote();
}

void OutputUnit::write_line(std::string_view text) {
  pending_.append(text);
  pending_.append(line_end_);
  wrote();
}

namespace {

// Writes all of bytes; false with errno set when a write fails.
bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

// The second thread of a file unit: it writes one block while the run renders the next.
struct FdOutput::Writer {
  explicit Writer(int fd) : thread([this, fd] { write_blocks(fd); }) {}
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

  void write_blocks(int fd) {
    std::unique_lock<std::mutex> lock(mutex);
    while (true) {
      changed.wait(lock, [this] { return busy || ending; });
      if (!busy) {
        return;
      }
      // After a failure nothing more is written.
      if (error == 0) {
        lock.unlock();
        const bool ok = write_all(fd, block);
        const int failure = ok ? 0 : errno;
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

FdOutput::FdOutput(int fd, std::string name, std::string_view line_end)
    : OutputUnit(line_end, fd != 1 && fd != 2 ? kFileBlock : kConsoleBlock),
      fd_(fd),
      name_(std::move(name)),
      report_failures_(fd != 1 && fd != 2) {
  pending().reserve(block_size() + block_size() / 4);
}

FdOutput::~FdOutput() {
  if (fd_ >= 0) {
    const int error = writer_ ? writer_->wait() : 0;
    writer_.reset();
    if (error == 0 && empty_before(pending())) {
      write_all(fd_, pending());
    }
    if (fd_ > 2) {
      ::close(fd_);
    }
  }
}

bool FdOutput::empty_before(std::string_view text) {
  if (empty_pending_ && !text.empty()) {
    empty_pending_ = false;
    struct stat info {};
    if (::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode) && ::ftruncate(fd_, 0) != 0) {
      return false;
    }
  }
  return true;
}

void FdOutput::write_failed(int error) {
  writer_.reset();
  pending().clear();
  const int fd = fd_;
  fd_ = -1;
  ::close(fd);
  stop_input({.file = name_, .message = "cannot write the output data file: " + error_text(error)});
}

void FdOutput::pass_on() {
  if (!report_failures_ || fd_ < 0) {
    flush();
    return;
  }
  if (!writer_) {
    writer_ = std::make_unique<Writer>(fd_);
  }
  if (const int error = writer_->wait(); error != 0) {
    write_failed(error);
  }
  if (!empty_before(pending())) {
    write_failed(errno);
  }
  writer_->write(pending());
}

void FdOutput::settle() {
  if (writer_ && fd_ >= 0) {
    if (const int error = writer_->wait(); error != 0) {
      write_failed(error);
    }
  }
}

void FdOutput::flush() {
  std::string& text = pending();
  if (fd_ < 0) {
    // Nothing is passed on after a failure or a close.
    text.clear();
    return;
  }
  settle();
  if (text.empty()) {
    return;
  }
  const bool ok = empty_before(text) && write_all(fd_, text);
  const int error = errno;
  text.clear();
  if (!ok && report_failures_) {
    write_failed(error);
  }
}

void FdOutput::close() {
  if (fd_ < 0) {
    return;
  }
  flush();
  writer_.reset();
  if (fd_ > 2) {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && report_failures_) {
      stop_input(
          {.file = name_, .message = "cannot close the output data file: " + error_text(errno)});
    }
  }
  fd_ = -1;
}

bool MemoryLines::read_line(std::string_view& line) {
  if (position_ >= contents_.size()) {
    return false;
  }
  last_start_ = position_;
  const std::string_view rest = contents_.substr(position_);
  const std::size_t end = rest.find('\n');
  if (end == std::string_view::npos) {
    line = rest;
    position_ = contents_.size();
  } else {
    line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    position_ += end + 1;
  }
  ++line_number_;
  return true;
}

void MemoryLines::rewind() {
  position_ = 0;
  last_start_ = 0;
  line_number_ = 0;
}

void MemoryLines::step_back() {
  if (line_number_ > 0) {
    position_ = last_start_;
    --line_number_;
  }
}

void MemoryLines::seek(std::size_t offset, std::int64_t lines_before) {
  position_ = std::min(offset, contents_.size());
  last_start_ = position_;
  line_number_ = lines_before;
}

bool FdLines::read_line(std::string_view& line) {
  // The bytes before from hold no line end: each block read is searched once, so a very long
  // line costs time in proportion to its length.
  std::size_t from = start_;
  while (true) {
    const std::size_t end = buffer_.find('\n', from);
    if (end != std::string::npos) {
      line_.assign(buffer_, start_, end - start_);
      start_ = end + 1;
      break;
    }
    if (at_end_) {
      if (start_ >= buffer_.size()) {
        return false;
      }
      line_.assign(buffer_, start_);
      start_ = buffer_.size();
      break;
    }
    if (start_ > 0) {
      buffer_.erase(0, start_);
      start_ = 0;
    }
    from = buffer_.size();
    std::array<char, 4096> block{};
    const ssize_t n = ::read(fd_, block.data(), block.size());
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      at_end_ = true;
    } else {
      buffer_.append(block.data(), static_cast<std::size_t>(n));
    }
  }
  if (!line_.empty() && line_.back() == '\r') {
    // Only the CR of a CR LF is dropped; at the end of input the line had no LF.
    if (start_ > 0 && buffer_[start_ - 1] == '\n') {
      line_.pop_back();
    }
  }
  ++line_number_;
  line = line_;
  return true;
}

FileBuffer::FileBuffer(FileBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

FileBuffer& FileBuffer::operator=(FileBuffer&& other) noexcept {
  if (this != &other) {
    release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

FileBuffer::~FileBuffer() { release(); }

void FileBuffer::release() {
  if (data_ != nullptr) {
    ::munmap(data_, capacity_);
  }
  data_ = nullptr;
  size_ = 0;
  capacity_ = 0;
}

bool FileBuffer::read_all(int fd, std::size_t size) {
  release();
  // One more block than the file's size, so that the end of the file is seen in one read.
  std::size_t capacity = size + kReadBlock;
  while (true) {
    if (capacity_ < capacity) {
      void* memory =
          ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
      if (memory == MAP_FAILED) {
        return false;
      }
      // Large pages, where the system offers them, spare most of the page faults.
      ::madvise(memory, capacity, MADV_HUGEPAGE);
      auto* bigger = static_cast<char*>(memory);
      if (data_ != nullptr) {
        std::copy_n(data_, size_, bigger);
        ::munmap(data_, capacity_);
      }
      data_ = bigger;
      capacity_ = capacity;
    }
    const ssize_t n = ::read(fd, data_ + size_, capacity_ - size_);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      return false;
    }
    if (n == 0) {
      return true;
    }
    size_ += static_cast<std::size_t>(n);
    if (size_ == capacity_) {
      // The file grew, or its size was not known: double the room.
      capacity = capacity_ * 2;
    }
  }
}

struct UnitTable::Slot {
  bool connected = false;
  std::string name;
  int fd = -1;
  bool owns_fd = false;
  std::unique_ptr<MemoryLines> lines;
  std::unique_ptr<FdOutput> file_output;
  OutputUnit* output = nullptr;
  bool empty_at_first_write = false;

  void reset() {
    if (file_output) {
      file_output->close();
      file_output.reset();
      fd = -1;
    }
    if (fd >= 0 && owns_fd) {
      ::close(fd);
    }
    connected = false;
    name.clear();
    fd = -1;
    owns_fd = false;
    lines.reset();
    output = nullptr;
    empty_at_first_write = false;
  }
};

UnitTable::UnitTable(OutputUnit& console) : console_(&console) {
  for (auto& s : slots_) {
    s = std::make_unique<Slot>();
  }
}

UnitTable::~UnitTable() {
  for (auto& s : slots_) {
    if (s->fd >= 0 && s->owns_fd && !s->file_output) {
      ::close(s->fd);
    }
  }
}

UnitTable::Slot& UnitTable::slot(int unit) { return *slots_.at(static_cast<std::size_t>(unit)); }
const UnitTable::Slot& UnitTable::slot(int unit) const {
  return *slots_.at(static_cast<std::size_t>(unit));
}

int UnitTable::open(int unit, std::string_view name, OpenMode mode) {
  Slot& s = slot(unit);
  s.reset();
  const std::string path(trim_name(name));
  int fd = -1;
  if (mode == OpenMode::kScratch) {
    std::FILE* f = std::tmpfile();
    if (f == nullptr) {
      return errno != 0 ? errno : EIO;
    }
    fd = ::dup(::fileno(f));
    std::fclose(f);
    if (fd < 0) {
      return errno;
    }
  } else {
    if (path.empty()) {
      open_failure_ = "the name is blank";
      return ENOENT;
    }
    struct stat info {};
    // A device or a socket is refused before it is opened: opening one may block or act.
    if (mode == OpenMode::kOld && ::stat(path.c_str(), &info) == 0) {
      if (const std::string_view kind = refused_kind(info.st_mode); !kind.empty()) {
        open_failure_ = "it is " + std::string(kind) + ", not a file";
        return ENODEV;
      }
    }
    int flags = O_CLOEXEC;
    if (mode == OpenMode::kOld) {
      flags |= O_RDONLY;
    } else if (mode == OpenMode::kNew) {
      flags |= O_WRONLY | O_CREAT | O_EXCL;
    } else {
      flags |= O_WRONLY | O_CREAT;
    }
    fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) {
      const int error = errno != 0 ? errno : EIO;
      open_failure_ = error_text(error);
      return error;
    }
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
      ::close(fd);
      open_failure_ = error_text(EISDIR);
      return EISDIR;
    }
    if (const std::string_view kind = refused_kind(info.st_mode);
        mode == OpenMode::kOld && !kind.empty()) {
      ::close(fd);
      open_failure_ = "it is " + std::string(kind) + ", not a file";
      return ENODEV;
    }
  }
  open_failure_.clear();
  s.connected = true;
  s.empty_at_first_write = mode == OpenMode::kUnknown;
  s.name = path;
  s.fd = fd;
  s.owns_fd = true;
  return 0;
}

void UnitTable::bind_lines(int unit, std::string name, std::string contents) {
  Slot& s = slot(unit);
  s.reset();
  s.connected = true;
  s.name = std::move(name);
  s.lines = std::make_unique<MemoryLines>(std::move(contents));
}

void UnitTable::bind_output(int unit, std::string name, OutputUnit& output) {
  Slot& s = slot(unit);
  s.reset();
  s.connected = true;
  s.name = std::move(name);
  s.output = &output;
}

bool UnitTable::connected(int unit) const { return slot(unit).connected; }

const std::string& UnitTable::name(int unit) const { return slot(unit).name; }

MemoryLines& UnitTable::lines(int unit) {
  Slot& s = slot(unit);
  if (!s.lines) {
    FileBuffer buffer;
    if (s.fd >= 0) {
      struct stat info {};
      const std::size_t size = ::fstat(s.fd, &info) == 0 && info.st_size > 0
                                   ? static_cast<std::size_t>(info.st_size)
                                   : 0;
      if (!buffer.read_all(s.fd, size)) {
        stop_input({.file = s.name, .message = "cannot read the file: " + error_text(errno)});
      }
    }
    s.lines = std::make_unique<MemoryLines>(std::move(buffer));
  }
  return *s.lines;
}

OutputUnit& UnitTable::output(int unit) {
  Slot& s = slot(unit);
  if (s.output == nullptr) {
    if (s.fd < 0) {
      internal_fault("output to unit " + std::to_string(unit) + ", which is not open");
    }
    s.file_output = std::make_unique<FdOutput>(s.fd, s.name, kFileLineEnd);
    if (s.empty_at_first_write) {
      s.file_output->empty_at_first_write();
    }
    s.owns_fd = false;
    s.output = s.file_output.get();
  }
  return *s.output;
}

void UnitTable::close(int unit) {
  Slot& s = slot(unit);
  if (!s.connected) {
    return;
  }
  if (s.file_output) {
    std::unique_ptr<FdOutput> out = std::move(s.file_output);
    s.fd = -1;
    s.reset();
    out->close();
    return;
  }
  if (s.output != nullptr) {
    s.output->close();
  }
  s.reset();
}

void UnitTable::settle() {
  for (const auto& s : slots_) {
    if (s->file_output) {
      s->file_output->settle();
    }
  }
}

OutputUnit& UnitTable::message_output(int unit) {
  if (unit > 0 && unit < 100 && unit != kConsoleOut && slot(unit).connected) {
    if (slot(unit).output != nullptr || slot(unit).fd >= 0) {
      return output(unit);
    }
  }
  return *console_;
}

bool UnitTable::same_file(int unit, std::string_view path) const {
  const Slot& s = slot(unit);
  if (s.fd < 0) {
    return false;
  }
  const std::string p(trim_name(path));
  struct stat a {};
  struct stat b {};
  if (p.empty() || ::fstat(s.fd, &a) != 0 || ::stat(p.c_str(), &b) != 0) {
    return false;
  }
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace qel2br::support
