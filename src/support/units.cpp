// Numbered units: console and file input and output, line by line.
#include "support/units.hpp"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

#include "support/input_stop.hpp"
#include "support/text.hpp"
#include "support/write_all.hpp"

namespace qel2br::support {

namespace {

constexpr std::size_t kReadBlock = 1U << 16U;
// Text gathered before it is written: to the console, and to a file (by the writer thread).
constexpr std::size_t kConsoleBlock = 1U << 16U;
constexpr std::size_t kFileBlock = 1U << 18U;

// Only a regular file, a directory (refused on its own) and a pipe are read.
bool refused(FileKind kind) {
  return kind != FileKind::kRegular && kind != FileKind::kDirectory && kind != FileKind::kPipe;
}

// A kind that is refused, in words.
std::string_view kind_text(FileKind kind) {
  switch (kind) {
    case FileKind::kCharacterDevice:
      return "a character device";
    case FileKind::kBlockDevice:
      return "a block device";
    case FileKind::kSocket:
      return "a socket";
    default:
      return "a special file";
  }
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

FdLines::FdLines(StandardStream stream) : system_(platform()), file_(system_.standard(stream)) {}

FdLines::FdLines() : system_(platform()), at_end_(true) {}

bool FdLines::read_line(std::string_view& line) {
  // The bytes before from hold no line end: each block read is searched once, so a very long
  // line costs time in proportion to its length.
  std::size_t from = start_;
  int interruptions = 0;
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
    const Transfer t =
        file_.open() ? system_.read(file_, block) : Transfer{.bytes = 0, .error = kNoSuchFile};
    if (t.error == kInterrupted && ++interruptions < kInterruptionLimit) {
      continue;
    }
    if (t.error != 0 || t.bytes == 0) {
      at_end_ = true;
    } else {
      buffer_.append(block.data(), std::min(t.bytes, block.size()));
    }
  }
  if (!line_.empty() && line_.back() == '\r') {
    // Only the CR of a CR LF is dropped; at the end of input the line had no LF.
    if (start_ > 0 && buffer_[start_ - 1] == '\n') {
      line_.pop_back();
    }
  }
  line_ = system_.answer_text(std::move(line_));
  ++line_number_;
  line = line_;
  return true;
}

FileBuffer::FileBuffer(FileBuffer&& other) noexcept
    : system_(std::exchange(other.system_, nullptr)),
      memory_(std::exchange(other.memory_, {})),
      size_(std::exchange(other.size_, 0)) {}

FileBuffer& FileBuffer::operator=(FileBuffer&& other) noexcept {
  if (this != &other) {
    release();
    system_ = std::exchange(other.system_, nullptr);
    memory_ = std::exchange(other.memory_, {});
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

FileBuffer::~FileBuffer() { release(); }

void FileBuffer::release() {
  if (system_ != nullptr) {
    system_->release_memory(memory_);
  }
  memory_ = {};
  size_ = 0;
}

int FileBuffer::read_all(Platform& system, FileHandle file, std::size_t size) {
  release();
  system_ = &system;
  // One more block than the file's size, so that the end of the file is seen in one read.
  std::size_t capacity = size + kReadBlock;
  int interruptions = 0;
  while (true) {
    if (memory_.size() < capacity) {
      const std::span<char> bigger = system.reserve_memory(capacity);
      if (bigger.empty()) {
        return ENOMEM;
      }
      std::copy_n(memory_.data(), size_, bigger.data());
      system.release_memory(memory_);
      memory_ = bigger;
    }
    const Transfer t = system.read(file, memory_.subspan(size_));
    if (t.error == kInterrupted && ++interruptions < kInterruptionLimit) {
      continue;
    }
    if (t.error != 0) {
      return t.error;
    }
    if (t.bytes == 0) {
      return 0;
    }
    interruptions = 0;
    size_ += std::min(t.bytes, memory_.size() - size_);
    if (size_ == memory_.size()) {
      // The file grew, or its size was not known: double the room.
      capacity = memory_.size() * 2;
    }
  }
}

std::optional<StandardStream> written_by_console(Platform& system, std::string_view path) {
  const std::string_view name = without_trailing_blanks(path);
  const std::optional<FileIdentity> file = name.empty() ? std::nullopt : system.identity(name);
  if (!file || system.kind(name) == FileKind::kCharacterDevice) {
    return std::nullopt;
  }
  for (const StandardStream stream : {StandardStream::kOutput, StandardStream::kError}) {
    const FileHandle handle = system.standard(stream);
    if (handle.open() && system.identity(handle) == file) {
      return stream;
    }
  }
  return std::nullopt;
}

struct UnitTable::Slot {
  bool connected = false;
  std::string name;
  FileHandle file{};
  bool writable = false;
  std::optional<FileIdentity> identity;
  std::unique_ptr<MemoryLines> lines;
  // Before the output unit, so that the file is closed before its temporary name is removed.
  std::unique_ptr<ReplacedFile> replaced;
  std::unique_ptr<FdOutput> file_output;
  OutputUnit* output = nullptr;
  bool empty_at_first_write = false;

  // Disconnects the unit; the file is closed without a report (a file that was written is
  // closed by its output unit, which reports).
  void reset(Platform& system) {
    if (file_output) {
      file_output->close();
      file_output.reset();
      file = {};
    }
    if (file.open()) {
      static_cast<void>(system.close(file));
    }
    replaced.reset();
    connected = false;
    name.clear();
    file = {};
    writable = false;
    identity.reset();
    lines.reset();
    output = nullptr;
    empty_at_first_write = false;
  }
};

UnitTable::UnitTable(OutputUnit& console, Platform& system) : system_(system), console_(&console) {
  for (auto& s : slots_) {
    s = std::make_unique<Slot>();
  }
}

UnitTable::~UnitTable() {
  for (auto& s : slots_) {
    if (s->file.open() && !s->file_output) {
      static_cast<void>(system_.close(s->file));
    }
  }
}

namespace {

// The index of unit in a table of size units; a unit beyond it is an internal fault.
std::size_t unit_index(int unit, std::size_t size) {
  if (unit < 0 || static_cast<std::size_t>(unit) >= size) {
    internal_fault("unit " + std::to_string(unit) + ", which the unit table does not hold");
  }
  return static_cast<std::size_t>(unit);
}

}  // namespace

UnitTable::Slot& UnitTable::slot(int unit) { return *slots_[unit_index(unit, slots_.size())]; }
const UnitTable::Slot& UnitTable::slot(int unit) const {
  return *slots_[unit_index(unit, slots_.size())];
}

int UnitTable::open(int unit, std::string_view name, OpenMode mode) {
  Slot& s = slot(unit);
  s.reset(system_);
  const std::string path(without_trailing_blanks(name));
  Opened opened;
  if (mode == OpenMode::kScratch) {
    opened = system_.open_scratch();
  } else if (path.empty()) {
    open_failure_ = "the name is blank";
    return kNoSuchFile;
  } else if (mode == OpenMode::kOld) {
    // A device or a socket is refused before it is opened: opening one may block or act.
    if (const std::optional<FileKind> kind = system_.kind(path); kind && refused(*kind)) {
      open_failure_ = "it is " + std::string(kind_text(*kind)) + ", not a file";
      return kNotAFile;
    }
    opened = system_.open_read(path);
  } else if (mode == OpenMode::kUnknown) {
    auto replaced = std::make_unique<ReplacedFile>(system_);
    if (const int error = replaced->open(path); error != 0) {
      open_failure_ = system_.reason(error);
      return error;
    }
    opened = {.handle = replaced->handle(), .error = 0};
    s.replaced = std::move(replaced);
  } else {
    opened = system_.open_write(path, WriteMode::kCreateNew);
  }
  if (opened.error != 0) {
    open_failure_ = system_.reason(opened.error);
    return opened.error;
  }
  if (mode != OpenMode::kScratch) {
    const FileKind kind = system_.kind(opened.handle);
    if (kind == FileKind::kDirectory) {
      static_cast<void>(system_.close(opened.handle));
      s.replaced.reset();
      open_failure_ = system_.reason(kIsDirectory);
      return kIsDirectory;
    }
    if (mode == OpenMode::kOld && refused(kind)) {
      static_cast<void>(system_.close(opened.handle));
      open_failure_ = "it is " + std::string(kind_text(kind)) + ", not a file";
      return kNotAFile;
    }
  }
  open_failure_.clear();
  s.connected = true;
  s.empty_at_first_write = s.replaced && s.replaced->in_place();
  s.name = path;
  s.file = opened.handle;
  s.writable = mode != OpenMode::kOld;
  // A file written under a temporary name is known by the file it replaces.
  s.identity = s.replaced && !s.replaced->in_place() ? system_.identity(path)
                                                     : system_.identity(opened.handle);
  return 0;
}

void UnitTable::bind_lines(int unit, std::string name, std::string contents) {
  Slot& s = slot(unit);
  s.reset(system_);
  s.connected = true;
  s.name = std::move(name);
  s.lines = std::make_unique<MemoryLines>(std::move(contents));
}

void UnitTable::bind_output(int unit, std::string name, OutputUnit& output) {
  Slot& s = slot(unit);
  s.reset(system_);
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
    if (s.file.open() && !s.writable) {
      if (const int error = buffer.read_all(system_, s.file, system_.size_hint(s.file));
          error != 0) {
        stop_input({.file = s.name, .message = "cannot read the file: " + system_.reason(error)});
      }
      // The whole text is held: the file is not needed any more.
      if (const int error = system_.close(std::exchange(s.file, FileHandle{})); error != 0) {
        stop_input({.file = s.name, .message = "cannot close the file: " + system_.reason(error)});
      }
    }
    s.lines = std::make_unique<MemoryLines>(std::move(buffer));
  }
  return *s.lines;
}

OutputUnit& UnitTable::output(int unit) {
  Slot& s = slot(unit);
  if (s.output == nullptr) {
    if (!s.file.open() || !s.writable) {
      internal_fault("output to unit " + std::to_string(unit) + ", which is not open for writing");
    }
    s.file_output = std::make_unique<FdOutput>(s.file, s.name, kFileLineEnd);
    if (s.empty_at_first_write) {
      s.file_output->empty_at_first_write();
    }
    s.output = s.file_output.get();
  }
  return *s.output;
}

void UnitTable::close(int unit) {
  Slot& s = slot(unit);
  if (!s.connected) {
    return;
  }
  // A failure stops the run with the slot still holding its temporary file, for abandon().
  bool wrote = false;
  if (s.file_output) {
    s.file_output->close();
    wrote = s.file_output->wrote_any();
    s.file = {};
  } else if (s.output != nullptr) {
    s.output->close();
  }
  if (const FileHandle file = std::exchange(s.file, FileHandle{}); file.open()) {
    if (const int error = system_.close(file); error != 0) {
      stop_input({.file = s.name, .message = "cannot close the file: " + system_.reason(error)});
    }
  }
  if (s.replaced && (wrote || !s.replaced->existed())) {
    if (hold_) {
      held_ = std::move(s.replaced);
      held_name_ = s.name;
    } else if (const int error = s.replaced->commit(); error != 0) {
      stop_input({.file = s.name,
                  .message = "cannot replace the output data file: " + system_.reason(error)});
    }
  }
  s.reset(system_);
}

int UnitTable::commit_held() {
  if (!held_) {
    return 0;
  }
  if (const int error = held_->commit(); error != 0) {
    return error;
  }
  held_.reset();
  held_name_.clear();
  return 0;
}

ReplacedFile::Abandoned UnitTable::abandon_held() {
  ReplacedFile::Abandoned done = held_ ? held_->abandon() : ReplacedFile::Abandoned{};
  held_.reset();
  held_name_.clear();
  return done;
}

ReplacedFile::Abandoned UnitTable::abandon(int unit) {
  Slot& s = slot(unit);
  if (!s.connected) {
    return {};
  }
  if (s.file_output) {
    s.file_output->discard();
    s.file = {};
  }
  ReplacedFile::Abandoned done = s.replaced ? s.replaced->abandon() : ReplacedFile::Abandoned{};
  s.reset(system_);
  return done;
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
    if (slot(unit).output != nullptr || (slot(unit).file.open() && slot(unit).writable)) {
      return output(unit);
    }
  }
  return *console_;
}

bool UnitTable::same_file(int unit, std::string_view path) const {
  const Slot& s = slot(unit);
  const std::string_view p = without_trailing_blanks(path);
  if (!s.identity || p.empty()) {
    return false;
  }
  return system_.identity(p) == s.identity;
}

}  // namespace qel2br::support
