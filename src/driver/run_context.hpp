// RunContext: what the driver keeps for one run: the dialogue's answers and console, the
// command line's answers, the units and file names, the date, the set options' results, the run
// values the readers read, and how the run ended.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cards/card_reader.hpp"
#include "driver/batch_options.hpp"
#include "driver/run_end.hpp"
#include "records/records.hpp"
#include "results/record_counts.hpp"
#include "sections/run_values.hpp"
#include "sets/element_sets.hpp"
#include "sets/structure.hpp"
#include "support/input_stop.hpp"
#include "support/line_source.hpp"
#include "support/output_unit.hpp"
#include "support/text.hpp"
#include "support/unit_table.hpp"
#include "support/warnings.hpp"

namespace qel2br::driver {

using FileName = support::Text<256>;

inline constexpr std::size_t kStructureWords = 30010;

// The context of one run. main creates it once and passes it by reference.
struct RunContext {
  RunContext(support::LineSource& answers_in, support::OutputUnit& console_out)
      : answers(answers_in), console(console_out), units(console_out) {}

  support::LineSource& answers;  // unit 5
  support::OutputUnit& console;  // unit 6
  support::UnitTable units;      // units 88 to 91
  cards::CardReader cards;       // the input card file, once it is open

  // Standard error (failed opens, warnings); set by run_and_report.
  support::OutputUnit* errors = nullptr;
  support::Warnings warnings;
  // The answers of a run from the command line; null for the dialogue.
  const BatchOptions* batch = nullptr;

  FileName input_name;
  FileName output_name;
  support::Text<80> date_text;

  // Results of the set options dialogue: the group table of group mode, the element numbers of
  // element mode (no checking when empty).
  std::array<std::int32_t, kStructureWords> structure_words{};
  sets::StructureTable structure{structure_words};
  // What the readers read: factors and levels once read, the set mode, the element check and
  // the group table.
  sections::RunValues values{};

  // How the run ended (set by run_and_report), the records converted up to the end, and the
  // warnings, when keep() was asked for them (the report and the results list them).
  RunEnd end{};
  results::RecordCounts records{};
  std::vector<support::KeptWarning> kept_warnings{};

  // When set, the records go here too (the conversion report).
  records::RecordSink* report = nullptr;
};

}  // namespace qel2br::driver
