// The exit statuses of a run.
#pragma once

namespace qel2br::driver {

inline constexpr int kNormalEnd = 0;      // the end lines were written
inline constexpr int kErrorEnd = 1;       // the " Error " block was shown
inline constexpr int kInputStop = 2;      // stopped by an input problem, reported on standard error
inline constexpr int kInternalFault = 3;  // a fault of the program, reported on standard error

}  // namespace qel2br::driver
