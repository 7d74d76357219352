// Files written whole: a temporary file beside the target, renamed into place at the end.
#include "support/replaced_file.hpp"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <utility>

namespace qel2br::support {

namespace {

// Names tried for the temporary file before the folder is taken to have no room for one.
constexpr int kNameTries = 100;

// Errors of creating the temporary file after which the file itself is written instead: the
// folder cannot be written while the file may be, or the longer name does not fit.
bool write_in_place_after(int error) {
  return error == EACCES || error == EPERM || error == EROFS || error == ENAMETOOLONG;
}

std::uint64_t next_number() {
  static std::atomic<std::uint64_t> number{0};
  return ++number;
}

}  // namespace

std::string left_as_it_was(std::string_view name) {
  std::string line = "qel2br: ";
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    line += byte < 0x20U || byte == 0x7fU ? '?' : c;
  }
  line += " left as it was\n";
  return line;
}

ReplacedFile::~ReplacedFile() { static_cast<void>(abandon()); }

int ReplacedFile::open(std::string_view path) {
  const std::optional<PathFacts> facts = system_.facts(path);
  existed_ = facts.has_value();
  if (facts && facts->kind == FileKind::kDirectory) {
    return kIsDirectory;
  }
  target_ = facts && !facts->resolved.empty() ? facts->resolved : std::string(path);
  const bool replaceable = !facts || (facts->kind == FileKind::kRegular && facts->links <= 1);
  if (replaceable) {
    const std::string stem = target_ + ".qel2br-" + std::to_string(system_.process_number()) + "-";
    int error = EEXIST;
    for (int tries = 0; tries < kNameTries && error == EEXIST; ++tries) {
      std::string name = stem + std::to_string(next_number()) + ".tmp";
      const Opened opened = system_.open_write(name, WriteMode::kCreateNew);
      error = opened.error;
      if (error == 0) {
        handle_ = opened.handle;
        temporary_ = std::move(name);
      }
    }
    if (error == 0) {
      if (existed_) {
        // Permissions that cannot be copied leave the new file with the usual ones.
        static_cast<void>(system_.copy_permissions(handle_, target_));
      }
      guard_ = guard_file(temporary_, left_as_it_was(path));
      return 0;
    }
    // A new file that cannot be made there has the same reason as the temporary file.
    if (!write_in_place_after(error) || (!existed_ && error != ENAMETOOLONG)) {
      return error;
    }
  }
  const Opened opened = system_.open_write(path, WriteMode::kCreateOrOpen);
  if (opened.error != 0) {
    return opened.error;
  }
  handle_ = opened.handle;
  return 0;
}

int ReplacedFile::commit() {
  if (temporary_.empty()) {
    return 0;
  }
  const int error = system_.rename_over(temporary_, target_);
  if (error != 0) {
    return error;
  }
  temporary_.clear();
  release();
  return 0;
}

ReplacedFile::Abandoned ReplacedFile::abandon() {
  Abandoned done;
  if (temporary_.empty()) {
    return done;
  }
  done.left = true;
  done.error = system_.remove(temporary_);
  if (done.error != 0) {
    done.leftover = temporary_;
  }
  temporary_.clear();
  release();
  return done;
}

void ReplacedFile::release() { release_guard(std::exchange(guard_, kGuardedFiles)); }

}  // namespace qel2br::support
