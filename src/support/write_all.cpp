// Writing a whole text to an open file through the platform.
#include "support/write_all.hpp"

#include <algorithm>
#include <cerrno>

namespace qel2br::support {

int write_all(Platform& system, FileHandle file, std::string_view bytes) {
  int interruptions = 0;
  // Each pass moves at least one byte, or counts a call that moved nothing, or ends.
  while (!bytes.empty()) {
    const Transfer t = system.write(file, bytes);
    if (t.error == 0 && t.bytes > 0) {
      interruptions = 0;
      bytes.remove_prefix(std::min(t.bytes, bytes.size()));
      continue;
    }
    // An interrupted call, or one that moved nothing without an error, is asked again.
    if ((t.error == kInterrupted || t.error == 0) && ++interruptions < kInterruptionLimit) {
      continue;
    }
    return t.error != 0 ? t.error : EIO;
  }
  return 0;
}

}  // namespace qel2br::support
