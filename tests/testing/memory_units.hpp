// In-memory units, a run state fixture and the lines of an output data file, for the unit tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sections/run_state.hpp"
#include "support/units.hpp"

namespace qel2br::testing {

// A run state whose console, card file and output data file live in memory.
class MemoryRun {
 public:
  // cards: the text of the input card file; answers: the console input.
  explicit MemoryRun(std::string cards = "", std::string answers = "");

  sections::RunState& state() { return *state_; }
  // Switches element ID checking on with the given element numbers.
  void set_element_numbers(std::initializer_list<std::int32_t> numbers);
  // What was written to the output data file and to the console so far.
  [[nodiscard]] const std::string& output() const { return output_.text(); }
  [[nodiscard]] const std::string& console() const { return console_.text(); }

 private:
  support::MemoryLines answers_;
  support::StringOutput console_{support::kConsoleLineEnd};
  support::StringOutput output_{support::kFileLineEnd};
  std::unique_ptr<sections::RunState> state_;
};

// Joins lines with CR LF after each, as the output data file holds them.
[[nodiscard]] std::string file_lines(std::initializer_list<std::string_view> lines);

// The lines of a text whose lines end in CR LF, without their line ends.
[[nodiscard]] std::vector<std::string> lines_of(const std::string& text);

}  // namespace qel2br::testing
