// The conversion: the readers in the order of the data file.
#include "driver/conversion.hpp"

#include "checks/load_checks.hpp"
#include "driver/card_checks.hpp"
#include "driver/header.hpp"
#include "driver/record_sinks.hpp"
#include "sections/sections.hpp"

namespace qel2br::driver {

std::optional<std::string> convert(RunContext& run, records::RecordSink& given,
                                   const sections::LinePrinter* printer) {
  // Every run checks the load model it converts, after the given sinks have taken each record.
  checks::LoadChecks load_checks(run.warnings, run.cards.file_name());
  SinkList sink;
  sink.add(given);
  sink.add(load_checks);
  // What the readers read besides the cards.
  run.values.groups = &run.structure;
  run.values.group_file =
      run.units.connected(support::kGroupUnit) ? run.units.name(support::kGroupUnit) : "";

  check_cards(run);
  sink.run_header(run_header(run));
  run.values.units = sections::WRHEAD(run.cards, sink);
  run.values.levels = sections::WRLEVL(run.cards, run.values.units, sink);
  sink.preamble();
  sections::Reading in{.cards = run.cards,
                       .warnings = run.warnings,
                       .values = run.values,
                       .sink = sink,
                       .printer = printer};
  sections::WRWAVE(in);
  sections::WRCURR(in);
  sections::WRPROF(in);
  if (run.values.use_groups) {
    if (std::optional<std::string> reason = sections::WRGRPP(in)) {
      return reason;
    }
  } else {
    sections::WRELMP(in);
    sections::WRFLEL(in);
  }
  sink.end();
  return std::nullopt;
}

}  // namespace qel2br::driver
