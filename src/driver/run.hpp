// The run sequence: banner, file dialogue, header, sections, and the normal or error end.
#pragma once

#include <string>
#include <string_view>

#include "driver/run_context.hpp"
#include "support/output_unit.hpp"
#include "support/text.hpp"

namespace qel2br::driver {

// Runs the whole conversion on the run state's console and units. Returns kNormalEnd after the
// end lines or kErrorEnd after the " Error " block; an input problem throws InputStop.
[[nodiscard]] int run(RunContext& run);

// Runs the conversion and turns an InputStop into its report on errors and kInputStop, an
// InternalFault into "internal error" and kInternalFault. This is what main calls; in-process
// callers (fuzzing) use it the same way. When stop_report is set it receives the report of an
// input stop as well.
[[nodiscard]] int run_and_report(RunContext& run, support::OutputUnit& errors,
                                 std::string* stop_report = nullptr);

}  // namespace qel2br::driver
