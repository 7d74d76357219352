// The exit statuses of the program: every status it returns is named here. A stop signal ends
// the process the way that signal ends it (128 plus its number, as the shell shows it).
#pragma once

namespace qel2br::driver {

inline constexpr int kNormalEnd = 0;      // the end lines were written
inline constexpr int kErrorEnd = 1;       // the " Error " block was shown
inline constexpr int kInputStop = 2;      // stopped by an input problem, reported on standard error
inline constexpr int kInternalFault = 3;  // a fault of the program, reported on standard error
inline constexpr int kUsageError = 64;    // a command line that cannot be used (unknown option,
                                          // missing file name, ...), kept apart from input stops

}  // namespace qel2br::driver
