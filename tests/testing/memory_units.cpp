// In-memory units and a run state fixture for the unit tests.
#include "testing/memory_units.hpp"

#include <cstddef>
#include <utility>

namespace qel2br::testing {

MemoryRun::MemoryRun(std::string cards, std::string answers)
    : answers_(std::move(answers)),
      state_(std::make_unique<driver::RunContext>(answers_, console_)) {
  state_->units.bind_lines(support::kCardUnit, "cards.inp", std::move(cards));
  state_->units.bind_output(support::kDataUnit, "out.txt", output_);
  state_->cards.attach(state_->units.lines(support::kCardUnit), "cards.inp");
  state_->values.groups = &state_->structure;
  sinks_.add(console_lines_);
  sinks_.add(writer_);
  sinks_.add(log_);
}

void MemoryRun::set_element_numbers(std::initializer_list<std::int32_t> numbers) {
  sets::ElementList list;
  for (const std::int32_t number : numbers) {
    static_cast<void>(list.push(number));
  }
  state_->values.elements = std::make_shared<const sections::ElementCheck>(
      sections::ElementCheck{.numbers = sets::SortedNumbers(list), .file = "elements.txt"});
}

std::string file_lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (const std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t end = text.find("\r\n", from);
    if (end == std::string::npos) {
      lines.push_back(text.substr(from));
      break;
    }
    lines.push_back(text.substr(from, end - from));
    from = end + 2;
  }
  return lines;
}

}  // namespace qel2br::testing
