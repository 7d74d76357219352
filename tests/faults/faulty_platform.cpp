// A platform that makes one chosen call on a named file go wrong, for the fault table: linked
// into qel2br_faults in place of the native platform() (everything else is passed through).
//
// QEL2BR_FAULT=CALL:N:EFFECT picks the Nth call of a kind (reads, writes and closes counted over
// the files the run opens by name, the standard streams passed through; creates of temporary
// files, renames and removes; allocations, over every thread) and what happens to it:
//   EIO, ENOSPC, EACCES, ...   the call fails with that error number (a close still releases
//                              the file; an allocation always fails as memory running out);
//   short                      the call moves fewer bytes than asked (at most 7 for a read,
//                              half for a write);
//   eintr                      the call is interrupted before it moves anything;
//   truncate                   (reads) another process cuts the file to half its size first;
//   SIGINT, SIGTERM, SIGHUP    (writes) the signal arrives just before the call.
// QEL2BR_FAULT_TALLY=PATH writes, at exit, how many calls of each kind the run made and the name
// of the file the fault hit.
#include <signal.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "support/platform.hpp"

namespace qel2br::support {

namespace {

enum class Call : std::uint8_t { kNone, kRead, kWrite, kClose, kCreate, kRename, kRemove, kNew };
enum class Effect : std::uint8_t { kError, kShort, kInterrupt, kTruncate, kSignal };

struct Fault {
  Call call = Call::kNone;
  std::int64_t number = 0;
  Effect effect = Effect::kError;
  int error = 0;
  int signal_number = 0;
};

// Allocations are counted once the platform is made (before that, the process is starting);
// the allocation numbered failing_allocation fails.
std::atomic<bool> g_counting{false};                // NOLINT: read by operator new
std::atomic<std::int64_t> g_allocations{0};         // NOLINT
std::atomic<std::int64_t> g_failing_allocation{0};  // NOLINT: 0 for none
std::atomic<bool> g_allocation_failed{false};       // NOLINT

int error_named(std::string_view name) {
  static const std::map<std::string_view, int> kErrors = {
      {"EIO", EIO},       {"ENOSPC", ENOSPC}, {"EACCES", EACCES}, {"EBADF", EBADF},
      {"EINVAL", EINVAL}, {"ENOMEM", ENOMEM}, {"EPIPE", EPIPE},   {"EROFS", EROFS}};
  const auto found = kErrors.find(name);
  return found == kErrors.end() ? EIO : found->second;
}

Fault fault_from_environment() {
  const char* text = std::getenv("QEL2BR_FAULT");  // NOLINT(concurrency-mt-unsafe): one thread
  if (text == nullptr) {
    return {};
  }
  const std::string request(text);
  const std::size_t first = request.find(':');
  const std::size_t second = request.find(':', first + 1);
  if (first == std::string::npos || second == std::string::npos) {
    return {};
  }
  Fault fault;
  const std::string call = request.substr(0, first);
  fault.call = call == "read"     ? Call::kRead
               : call == "write"  ? Call::kWrite
               : call == "close"  ? Call::kClose
               : call == "create" ? Call::kCreate
               : call == "rename" ? Call::kRename
               : call == "remove" ? Call::kRemove
               : call == "new"    ? Call::kNew
                                  : Call::kNone;
  fault.number = std::strtoll(request.c_str() + first + 1, nullptr, 10);
  const std::string effect = request.substr(second + 1);
  if (effect == "short") {
    fault.effect = Effect::kShort;
  } else if (effect == "eintr") {
    fault.effect = Effect::kInterrupt;
  } else if (effect == "truncate") {
    fault.effect = Effect::kTruncate;
  } else if (effect == "SIGINT" || effect == "SIGTERM" || effect == "SIGHUP") {
    fault.effect = Effect::kSignal;
    fault.signal_number = effect == "SIGINT" ? SIGINT : effect == "SIGTERM" ? SIGTERM : SIGHUP;
  } else {
    fault.effect = Effect::kError;
    fault.error = error_named(effect);
  }
  return fault;
}

class FaultyPlatform final : public Platform {
 public:
  explicit FaultyPlatform(Platform& real) : real_(real), fault_(fault_from_environment()) {
    const char* tally = std::getenv("QEL2BR_FAULT_TALLY");  // NOLINT(concurrency-mt-unsafe)
    if (tally != nullptr) {
      tally_path_ = tally;
    }
    if (fault_.call == Call::kNew) {
      g_failing_allocation = fault_.number;
    }
    g_counting = true;
  }
  FaultyPlatform(const FaultyPlatform&) = delete;
  FaultyPlatform& operator=(const FaultyPlatform&) = delete;
  ~FaultyPlatform() override {
    g_counting = false;
    if (!tally_path_.empty()) {
      std::ofstream out(tally_path_, std::ios::trunc);
      if (g_allocation_failed) {
        hit_ = "(memory)";
      }
      out << "reads " << reads_ << "\nwrites " << writes_ << "\ncloses " << closes_ << "\ncreates "
          << creates_ << "\nrenames " << renames_ << "\nremoves " << removes_ << "\nnews "
          << g_allocations << "\nfault " << hit_ << "\n";
    }
  }

  // The name is held before the file is opened, so that an allocation failing there loses no
  // open file.
  Opened open_read(std::string_view path) override {
    std::string name(path);
    return named(real_.open_read(path), std::move(name));
  }
  Opened open_write(std::string_view path, WriteMode mode) override {
    // Only temporary files are created new.
    if (mode == WriteMode::kCreateNew && hits(Call::kCreate, ++creates_, std::string(path))) {
      return {.handle = {}, .error = fault_.error};
    }
    std::string name(path);
    return named(real_.open_write(path, mode), std::move(name), mode == WriteMode::kCreateNew);
  }
  int rename_over(std::string_view from, std::string_view to) override {
    if (hits(Call::kRename, ++renames_, std::string(to))) {
      return fault_.error;
    }
    return real_.rename_over(from, to);
  }
  int remove(std::string_view path) override {
    if (hits(Call::kRemove, ++removes_, std::string(path))) {
      return fault_.error;
    }
    return real_.remove(path);
  }
  int copy_permissions(FileHandle file, std::string_view from) override {
    return real_.copy_permissions(file, from);
  }
  std::optional<PathFacts> facts(std::string_view path) override { return real_.facts(path); }
  std::uint64_t process_number() override { return real_.process_number(); }
  Opened open_scratch() override {
    std::string name = "(scratch)";
    return named(real_.open_scratch(), std::move(name));
  }
  int empty(FileHandle file) override { return real_.empty(file); }

  Transfer read(FileHandle file, std::span<char> buffer) override {
    const auto name = names_.find(file.value);
    if (name == names_.end() || !hits(Call::kRead, ++reads_, name->second)) {
      return real_.read(file, buffer);
    }
    switch (fault_.effect) {
      case Effect::kShort:
        return real_.read(file, buffer.first(std::min<std::size_t>(buffer.size(), 7)));
      case Effect::kInterrupt:
        return {.bytes = 0, .error = kInterrupted};
      case Effect::kTruncate: {
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(name->second, ec);
        if (!ec) {
          std::filesystem::resize_file(name->second, size / 2, ec);
        }
        return real_.read(file, buffer);
      }
      case Effect::kSignal:
      case Effect::kError:
        break;
    }
    return {.bytes = 0, .error = fault_.error};
  }

  Transfer write(FileHandle file, std::string_view bytes) override {
    const auto name = names_.find(file.value);
    if (name == names_.end() || !hits(Call::kWrite, ++writes_, name->second)) {
      return real_.write(file, bytes);
    }
    switch (fault_.effect) {
      case Effect::kShort:
        return real_.write(file, bytes.substr(0, std::max<std::size_t>(1, bytes.size() / 2)));
      case Effect::kInterrupt:
        return {.bytes = 0, .error = kInterrupted};
      case Effect::kSignal:
        ::raise(fault_.signal_number);
        return real_.write(file, bytes);
      case Effect::kTruncate:
      case Effect::kError:
        break;
    }
    return {.bytes = 0, .error = fault_.error};
  }

  int close(FileHandle file) override {
    const auto name = names_.find(file.value);
    if (name == names_.end()) {
      return real_.close(file);
    }
    const std::string path = name->second;
    names_.erase(name);
    const int error = real_.close(file);
    if (hits(Call::kClose, ++closes_, path) && fault_.effect == Effect::kError) {
      return fault_.error;
    }
    return error;
  }

  std::size_t size_hint(FileHandle file) override { return real_.size_hint(file); }
  FileKind kind(FileHandle file) override { return real_.kind(file); }
  std::optional<FileKind> kind(std::string_view path) override { return real_.kind(path); }
  std::vector<std::string> arguments(int argc, char** argv) override {
    return real_.arguments(argc, argv);
  }
  std::optional<FileIdentity> identity(FileHandle file) override { return real_.identity(file); }
  std::optional<FileIdentity> identity(std::string_view path) override {
    return real_.identity(path);
  }
  FileHandle standard(StandardStream stream) override { return real_.standard(stream); }
  std::string reason(int error) override { return real_.reason(error); }
  LocalTime local_time() override { return real_.local_time(); }
  std::span<char> reserve_memory(std::size_t size) override { return real_.reserve_memory(size); }
  void release_memory(std::span<char> memory) override { real_.release_memory(memory); }

 private:
  // Notes the name of a file opened. When memory for that runs out (the test's own memory, not
  // the program's), the file is closed, and a file just created is removed: the program never
  // saw it.
  Opened named(Opened opened, std::string name, bool created = false) {
    if (opened.error == 0) {
      try {
        names_[opened.handle.value] = name;
      } catch (const std::bad_alloc&) {
        // The real platform asks for no memory once a file is open: as if it had failed.
        static_cast<void>(real_.close(opened.handle));
        if (created) {
          static_cast<void>(real_.remove(name));
        }
        throw;
      }
    }
    return opened;
  }

  // Whether this call is the one chosen; notes the file it hits.
  bool hits(Call call, std::int64_t number, const std::string& path) {
    if (call != fault_.call || number != fault_.number) {
      return false;
    }
    hit_ = path;
    return true;
  }

  Platform& real_;
  Fault fault_;
  std::string tally_path_;
  std::map<std::intptr_t, std::string> names_;
  std::int64_t reads_ = 0;
  std::int64_t writes_ = 0;
  std::int64_t closes_ = 0;
  std::int64_t creates_ = 0;
  std::int64_t renames_ = 0;
  std::int64_t removes_ = 0;
  std::string hit_;
};

}  // namespace

Platform& platform() {
  static FaultyPlatform faulty(native_platform());
  return faulty;
}

}  // namespace qel2br::support

// Every allocation of the program goes through here, so that the chosen one fails.
void* operator new(std::size_t size) {
  using qel2br::support::g_allocations;
  if (qel2br::support::g_counting && ++g_allocations == qel2br::support::g_failing_allocation) {
    qel2br::support::g_allocation_failed = true;
    throw std::bad_alloc();
  }
  void* memory = std::malloc(size == 0 ? 1 : size);  // NOLINT(cppcoreguidelines-no-malloc)
  if (memory == nullptr) {
    throw std::bad_alloc();
  }
  return memory;
}
void* operator new[](std::size_t size) { return operator new(size); }

// GCC, seeing free() inside an operator delete, takes it for a mismatch with new; here both
// ends are this file's own, malloc and free.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* memory) noexcept { std::free(memory); }                        // NOLINT
void operator delete[](void* memory) noexcept { std::free(memory); }                      // NOLINT
void operator delete(void* memory, std::size_t /*size*/) noexcept { std::free(memory); }  // NOLINT
void operator delete[](void* memory, std::size_t /*size*/) noexcept {                     // NOLINT
  std::free(memory);                                                                      // NOLINT
}
#pragma GCC diagnostic pop
