// In-memory units, a run state fixture and the lines of an output data file, for the unit tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "datafile/data_file.hpp"
#include "driver/record_sinks.hpp"
#include "driver/run_context.hpp"
#include "records/records.hpp"
#include "sections/reading.hpp"
#include "support/line_source.hpp"
#include "support/output_unit.hpp"

namespace qel2br::testing {

// The records a reader gave, as values.
struct RecordLog final : records::RecordSink {
  void sea_state(const records::SeaState& state) override { sea_states.push_back(state); }
  void current(const records::Current& current) override { currents.push_back(current); }
  void profile(const records::DepthProfile& profile) override { profiles.push_back(profile); }
  void element_record(const records::ElementRecord& record) override {
    element_records.push_back(record);
  }
  void element_set(const records::ElementSet& set) override { element_sets.push_back(set); }
  void group(const records::GroupRecord& group) override { groups.push_back(group); }

  std::vector<records::SeaState> sea_states;
  std::vector<records::Current> currents;
  std::vector<records::DepthProfile> profiles;
  std::vector<records::ElementRecord> element_records;
  std::vector<records::ElementSet> element_sets;
  std::vector<records::GroupRecord> groups;
};

// A run context whose console, card file and output data file live in memory, and a reading of
// its card file whose records go to the data file writer, the console lines and a record log.
class MemoryRun {
 public:
  // cards: the text of the input card file; answers: the console input.
  explicit MemoryRun(std::string cards = "", std::string answers = "");

  driver::RunContext& state() { return *state_; }
  // The run values the readers read (those of the run context).
  sections::RunValues& values() { return state_->values; }
  // A reading of the card file with the run's warnings and values.
  sections::Reading& in() { return in_; }
  // Every record given in in().
  records::RecordSink& sinks() { return sinks_; }
  [[nodiscard]] const RecordLog& log() const { return log_; }
  // What prints the records as the data file writer of in() writes them.
  [[nodiscard]] const sections::LinePrinter& printer() const { return writer_.printer(); }
  // Gives the records of in() to sink too.
  void add_sink(records::RecordSink& sink) { sinks_.add(sink); }
  // Switches element ID checking on with the given element numbers.
  void set_element_numbers(std::initializer_list<std::int32_t> numbers);
  // What was written to the output data file and to the console so far.
  [[nodiscard]] const std::string& output() const { return output_.text(); }
  [[nodiscard]] const std::string& console() const { return console_.text(); }

 private:
  support::MemoryLines answers_;
  support::StringOutput console_{support::kConsoleLineEnd};
  support::StringOutput output_{support::kFileLineEnd};
  std::unique_ptr<driver::RunContext> state_;
  driver::SinkList sinks_;
  driver::ConsoleLines console_lines_{console_};
  datafile::DataFileWriter writer_{output_};
  RecordLog log_;
  sections::Reading in_{.cards = state_->cards,
                        .warnings = state_->warnings,
                        .values = state_->values,
                        .sink = sinks_};
};

// Joins lines with CR LF after each, as the output data file holds them.
[[nodiscard]] std::string file_lines(std::initializer_list<std::string_view> lines);

// The lines of a text whose lines end in CR LF, without their line ends.
[[nodiscard]] std::vector<std::string> lines_of(const std::string& text);

}  // namespace qel2br::testing
