// Runs from the command line: the dialogue's answers taken from the arguments, reasons for
// failed opens, and the one-line summary of what the output data file holds.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "results/record_counts.hpp"
#include "sections/run_state.hpp"
#include "support/units.hpp"

namespace qel2br::driver {

// In a batch run copies batch_answer into text (cut or blank padded) without a prompt;
// otherwise asks the question on the console.
void take_answer(sections::RunState& run, std::string_view question, std::span<char> text,
                 std::string_view batch_answer);

template <std::size_t N>
void take_answer(sections::RunState& run, std::string_view question, support::Text<N>& text,
                 std::string_view batch_answer) {
  take_answer(run, question, std::span<char>(text.data(), N), batch_answer);
}

// "cannot open the output data file "name": reason", with the reason the units give for the
// failed open (what: "input card file", ...).
[[nodiscard]] std::string failed_open_message(const sections::RunState& run, std::string_view what,
                                              std::string_view name);

// ask_file_name(run, question, name): asks the question on the console and reads the answer
// into name. An answer longer than a name holds is cut to it, with a warning that shows the
// shortened name that is used.
void ask_file_name(sections::RunState& run, std::string_view question, sections::FileName& name);

// take_answer for a file name: in a batch run the argument is copied into name (the command
// line refuses a name too long for it); the dialogue asks for it with ask_file_name.
void take_answer(sections::RunState& run, std::string_view question, sections::FileName& name,
                 std::string_view batch_answer);

// Reports on standard error that the file (what: "input card file", ...) named name could not
// be opened, with the reason the units give. A batch run stops there (an input stop).
void report_failed_open(sections::RunState& run, std::string_view what, std::string_view name);

// Whether the file just opened on unit is the output data file (any spelling or link). When
// it is, refusal is written to the console; the caller takes the error end.
[[nodiscard]] bool refuse_output_file(sections::RunState& run, int unit, std::string_view refusal);

// The records of an output data file, counted as its lines are written through this unit,
// which passes them on to target (to nothing when target is null).
class RecordCounter final : public support::OutputUnit {
 public:
  // Every record is counted and passed on as soon as it is written (a block of no bytes), with
  // the target's line end, so that it is passed on as it stands.
  explicit RecordCounter(support::OutputUnit* target)
      : OutputUnit(target != nullptr ? target->line_end() : support::kConsoleLineEnd, 0),
        target_(target) {}
  void flush() override;
  void close() override;
  // The counts so far.
  [[nodiscard]] results::RecordCounts counts() const {
    return {.waves = waves,
            .currents = currents,
            .profiles = profiles,
            .element_records = element_records,
            .group_records = group_records};
  }

  std::int64_t waves = 0;
  std::int64_t currents = 0;
  std::int64_t profiles = 0;
  std::int64_t element_records = 0;
  std::int64_t group_records = 0;

 protected:
  void pass_on() override;

 private:
  support::OutputUnit* target_;
  bool line_start_ = true;
};

// The summary of a normal end: "out.txt: 6 wave records, 2 current records, 3 depth profiles,
// 4 element records" (group records in group mode); for a check run the card file and what
// the output would hold.
[[nodiscard]] std::string summary_line(const sections::RunState& run, const RecordCounter& counts);

}  // namespace qel2br::driver
