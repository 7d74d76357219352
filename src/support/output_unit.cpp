// Output units: rendered text and whole lines appended with the unit's line end.
#include "support/output_unit.hpp"

namespace qel2br::support {

void OutputUnit::write_rendered(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      pending_.append(text.substr(start));
      break;
    }
    pending_.append(text.substr(start, end - start));
    pending_.append(line_end_);
    start = end + 1;
  }
  wrote();
}

void OutputUnit::write_line(std::string_view text) {
  pending_.append(text);
  pending_.append(line_end_);
  wrote();
}

}  // namespace qel2br::support
