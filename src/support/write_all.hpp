// Writing a whole text to an open file through the platform.
#pragma once

#include <string_view>

#include "support/platform.hpp"

namespace qel2br::support {

// Writes all of bytes to file: short writes are completed, and an interrupted call is asked
// again, at most kInterruptionLimit times in a row (the count starts again after each write
// that moved bytes; a write that moves nothing without an error counts as one, and the last
// of a row of them fails with EIO). Returns 0, or the error number of the write that failed.
[[nodiscard]] int write_all(Platform& system, FileHandle file, std::string_view bytes);

}  // namespace qel2br::support
