// The conversion: the whole-file card checks, then the readers in the order of the data file,
// their records given to a sink.
#pragma once

#include <optional>
#include <string>

#include "driver/run_context.hpp"
#include "records/records.hpp"
#include "sections/line_printer.hpp"

namespace qel2br::driver {

// convert(run, sink, printer): checks the card file (warnings), then gives sink the run header
// and the records of every block in order, and the end. The run's card file is attached and its
// set options are chosen. printer, when set, prints the records of cards read ahead of their
// turn (the data file writer's). Returns why the run takes its error end (a FLOO card names a
// group without a number; the end is not given), nullopt otherwise. An input problem throws
// InputStop.
[[nodiscard]] std::optional<std::string> convert(RunContext& run, records::RecordSink& sink,
                                                 const sections::LinePrinter* printer);

}  // namespace qel2br::driver
