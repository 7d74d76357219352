// In-memory units and a run state fixture for the unit tests.
#include "testing/memory_units.hpp"

namespace qel2br::testing {

MemoryRun::MemoryRun(std::string cards, std::string answers)
    : answers_(std::move(answers)),
      state_(std::make_unique<sections::RunState>(answers_, console_)) {
  state_->units.bind_lines(support::kCardUnit, "cards.inp", std::move(cards));
  state_->units.bind_output(support::kDataUnit, "out.txt", output_);
  state_->cards.attach(state_->units.lines(support::kCardUnit), "cards.inp");
}

void MemoryRun::set_element_numbers(std::initializer_list<std::int32_t> numbers) {
  sets::ElementList list;
  for (const std::int32_t number : numbers) {
    static_cast<void>(list.push(number));
  }
  state_->element_numbers = sets::SortedNumbers(list);
}

std::string card_text(std::string_view keyword,
                      std::initializer_list<std::pair<std::size_t, std::string_view>> fields) {
  std::string line(keyword);
  for (const auto& [last_column, text] : fields) {
    if (line.size() < last_column) {
      line.resize(last_column, ' ');
    }
    line.replace(last_column - text.size(), text.size(), text);
  }
  return line;
}

std::string file_lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (const std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace qel2br::testing
