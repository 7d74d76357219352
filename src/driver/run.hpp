// The run sequence: banner, file dialogue, header, readers, and the normal or error end.
#pragma once

#include <string>
#include <string_view>

#include "driver/run_context.hpp"
#include "driver/run_end.hpp"
#include "support/output_unit.hpp"
#include "support/text.hpp"

namespace qel2br::driver {

// Runs the whole conversion on the run context's console and units. Returns the normal end after
// the end lines or the error end after the " Error " block; an input problem throws InputStop.
[[nodiscard]] RunEnd run(RunContext& run);

// Runs the conversion to its end (run_to_end), notes the end in run.end, reports it on errors (an
// input stop's report, "internal error: ...", "out of memory", the output left as it was) and
// returns its exit status. This is what main calls; in-process callers (fuzzing) use it the
// same way. When stop_report is set it receives the report of an input stop as well.
[[nodiscard]] int run_and_report(RunContext& run, support::OutputUnit& errors,
                                 std::string* stop_report = nullptr);

}  // namespace qel2br::driver
