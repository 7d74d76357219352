// A file that a run writes whole: written under a temporary name beside the file it replaces,
// and renamed into place at the end, so that a run that stops leaves the old file as it was.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "support/platform.hpp"

namespace qel2br::support {

// The temporary file is created exclusively in the folder of the file it replaces (the file a
// link leads to, not the link), with that file's permission bits, or mode 0666 less the umask
// for a new file. Where a temporary file cannot serve, the file itself is written, as it is
// opened: an existing file that is not a regular file (a FIFO, a device), one with other hard
// links, or one in a folder where no file can be created. A stop signal removes the temporary
// file and says on standard error that the file was left as it was.
class ReplacedFile {
 public:
  explicit ReplacedFile(Platform& system) : system_(system) {}
  ReplacedFile(const ReplacedFile&) = delete;
  ReplacedFile& operator=(const ReplacedFile&) = delete;
  // A temporary file neither committed nor abandoned is removed.
  ~ReplacedFile();

  // Opens the file for writing under the name path (trailing blanks already removed); returns 0
  // or the error number. A directory is refused (kIsDirectory).
  [[nodiscard]] int open(std::string_view path);
  // The open file; the caller closes it before commit().
  [[nodiscard]] FileHandle handle() const { return handle_; }
  // Whether the file itself is written (no temporary file).
  [[nodiscard]] bool in_place() const { return temporary_.empty(); }
  // Whether a file of that name was there before the run.
  [[nodiscard]] bool existed() const { return existed_; }
  // Once the file is closed: renames the temporary file over the file it replaces; 0 or the
  // error number (the temporary file is then left for abandon()).
  [[nodiscard]] int commit();
  // What abandon() did.
  struct Abandoned {
    bool left = false;       // a temporary file was dropped: the file is as it was before
    std::string leftover{};  // the temporary file that could not be removed, if any
    int error = 0;           // and why
  };
  // Removes the temporary file (closed or not: the handle is the caller's).
  Abandoned abandon();

 private:
  void release();
  Platform& system_;
  FileHandle handle_{};
  std::string target_;     // the file replaced at the end
  std::string temporary_;  // empty: the file itself is written
  bool existed_ = false;
  std::size_t guard_ = kGuardedFiles;
};

// The line a stopped run gives for an output it left as it was.
[[nodiscard]] std::string left_as_it_was(std::string_view name);

}  // namespace qel2br::support
