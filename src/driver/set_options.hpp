// The set options dialogue: group mode or element mode, and the file that goes with it.
#pragma once

#include <optional>
#include <string>

#include "driver/run_context.hpp"

namespace qel2br::driver {

// Sets up the structure parameter table, counts the group references of the FLOO, ELIM, SPEC
// and SPEX cards, asks the group question when there is a FLOO group reference, and reads the
// group-name file (group mode) or the element-number file (element mode, when one is named).
// Sets run.values.use_groups, the group table in run.structure and the element numbers in
// run.values. Returns why the run is to take its error end (the group-name file failed or gave
// no group, a set file is the output), nullopt otherwise.
using Reason = std::optional<std::string>;
[[nodiscard]] Reason set_options(RunContext& run);

}  // namespace qel2br::driver
