// Card lines for the section tests, built from texts placed at their columns, and the lines
// of an output data file.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace qel2br::testing {

// A text that starts in a given 1-based column of a card.
struct Field {
  int column = 1;
  std::string_view text{};
};

// One card line (ending in a line feed) with each text at its column; gaps are blanks.
inline std::string card(std::initializer_list<Field> fields) {
  std::string line;
  for (const Field& field : fields) {
    const auto start = static_cast<std::size_t>(field.column - 1);
    if (line.size() < start + field.text.size()) {
      line.resize(start + field.text.size(), ' ');
    }
    line.replace(start, field.text.size(), field.text);
  }
  return line + "\n";
}

// The lines of a text whose lines end in CR LF.
inline std::vector<std::string> lines_of(const std::string& text) {
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
