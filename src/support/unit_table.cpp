// Numbered units: files opened, read whole and written, and the console.
#include "support/unit_table.hpp"

#include <utility>

#include "support/fd_output.hpp"
#include "support/input_stop.hpp"
#include "support/text.hpp"

namespace qel2br::support {

namespace {

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
