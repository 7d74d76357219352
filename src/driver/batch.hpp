// Runs from the command line: the dialogue's answers taken from the arguments, reasons for
// failed opens, and the one-line summary of what the output data file holds.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "driver/run_context.hpp"
#include "results/record_counts.hpp"

namespace qel2br::driver {

// In a batch run copies batch_answer into text (cut or blank padded) without a prompt;
// otherwise asks the question on the console.
void take_answer(RunContext& run, std::string_view question, std::span<char> text,
                 std::string_view batch_answer);

template <std::size_t N>
void take_answer(RunContext& run, std::string_view question, support::Text<N>& text,
                 std::string_view batch_answer) {
  take_answer(run, question, std::span<char>(text.data(), N), batch_answer);
}

// "cannot open the output data file "name": reason", with the reason the units give for the
// failed open (what: "input card file", ...).
[[nodiscard]] std::string failed_open_message(const RunContext& run, std::string_view what,
                                              std::string_view name);

// ask_file_name(run, question, name): asks the question on the console and reads the answer
// into name. An answer longer than a name holds is cut to it, with a warning that shows the
// shortened name that is used.
void ask_file_name(RunContext& run, std::string_view question, FileName& name);

// take_answer for a file name: in a batch run the argument is copied into name (the command
// line refuses a name too long for it); the dialogue asks for it with ask_file_name.
void take_answer(RunContext& run, std::string_view question, FileName& name,
                 std::string_view batch_answer);

// Reports on standard error that the file (what: "input card file", ...) named name could not
// be opened, with the reason the units give. A batch run stops there (an input stop).
void report_failed_open(RunContext& run, std::string_view what, std::string_view name);

// Opens the file named name on unit (what: "input card file", ...), asking for it until it
// opens: each failed open is reported as report_failed_open does, " Nonexisting file :NAME" is
// shown and the question asked again. When passed_over is given and holds for the name before
// an attempt, nothing is opened and false is returned; otherwise true once the file is open.
bool open_asking(RunContext& run, std::string_view question, std::string_view what, FileName& name,
                 int unit, bool (*passed_over)(const FileName&) = nullptr);

// Whether the file just opened on unit is the output data file (any spelling or link). When
// it is, refusal is written to the console; the caller takes the error end.
[[nodiscard]] bool refuse_output_file(RunContext& run, int unit, std::string_view refusal);

// The summary of a normal end: "out.txt: 6 wave records, 2 current records, 3 depth profiles,
// 4 element records" (group records in group mode); for a check run the card file and what
// the output would hold.
[[nodiscard]] std::string summary_line(const RunContext& run, const results::RecordCounts& counts);

}  // namespace qel2br::driver
