// RunState: everything a conversion run owns, from the first answer to the last line.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cards/card_reader.hpp"
#include "report/report_data.hpp"
#include "results/record_counts.hpp"
#include "sets/element_sets.hpp"
#include "sets/structure.hpp"
#include "support/fixed_list.hpp"
#include "support/input_stop.hpp"
#include "support/text.hpp"
#include "support/units.hpp"
#include "support/warnings.hpp"

namespace qel2br::sections {

// The answers and switches of a run from the command line.
struct BatchOptions {
  std::string input{};
  std::string output{};                   // not used in a check run
  std::optional<std::string> elements{};  // the element-number file
  std::optional<std::string> groups{};    // the group-name file
  std::optional<std::string> report{};    // the conversion report (HTML) to write
  bool check = false;                     // read and report everything, write no output file
  bool strict = false;                    // the first warning stops the run
  bool force = false;                     // replace an OUTPUT that looks like a card file
  support::WarningChoices warnings{};     // the kinds the -W options silence or make stop
  std::optional<std::string> json{};      // the results file to write ("-": standard output)
};

using FileName = support::Text<256>;

inline constexpr std::size_t kProfileRows = 100;
inline constexpr std::size_t kStructureWords = 30010;

// One row of the profile table: an elevation and two values, as read from the card.
using ProfileRow = std::array<double, 3>;

// The state of one run. main creates it once and passes it by reference; sections read and
// write the parts named for them.
struct RunState {
  RunState(support::LineSource& answers_in, support::OutputUnit& console_out)
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
  // When set, lines for the output data file go through it (it counts them for the summary).
  support::OutputUnit* data_tap = nullptr;

  FileName input_name;
  FileName output_name;
  support::Text<80> date_text;

  // Run values, lengths in metres once set. A run without a CONS card is taken as metres and
  // kilograms. The sections' second thread converts with a copy of them and of the set
  // options' results (card_chunks.cpp): a run value added here is added there too.
  double length_factor = 1.0;
  double mass_factor = 1.0;
  double mud_plane_z = 0.0;
  double water_depth = 0.0;
  double still_water_z = 0.0;

  // The profile table, refilled from row 1 by each current and each depth profile.
  support::FixedList<ProfileRow, kProfileRows> profile;
  // The elements of the set card being converted.
  sets::ElementList card_elements;

  // Results of the set options dialogue.
  bool use_groups = false;
  std::array<std::int32_t, kStructureWords> structure_words{};
  sets::StructureTable structure{structure_words};
  sets::SortedNumbers element_numbers;

  // Why the run takes its error end, for standard error: set where that end is chosen.
  std::string error_end_reason{};

  // How the run ended, for the results: why it did not end normally (standard error's line
  // without "qel2br: "; set at the error end and at an internal error) and what stopped it,
  // when its input did; the records converted up to the end; and the warnings, when keep()
  // was asked for them (the report and the results list them).
  std::string end_reason{};
  std::optional<support::InputStop> stop{};
  results::RecordCounts records{};
  std::vector<support::KeptWarning> kept_warnings{};

  // When set, the sections note here what they convert, for the conversion report.
  report::ReportData* report = nullptr;

  // The output data file (unit 90).
  [[nodiscard]] support::OutputUnit& output() {
    return data_tap != nullptr ? *data_tap : units.output(support::kDataUnit);
  }
};

}  // namespace qel2br::sections
