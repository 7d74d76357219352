// The report of a stopped run and the one way to stop it.
#include "support/input_stop.hpp"

#include <utility>

namespace qel2br::support {

std::string format_report(const InputStop& stop) {
  std::string text = "qel2br: ";
  if (!stop.file.empty()) {
    text += stop.file;
    if (stop.line > 0) {
      text += ':';
      text += std::to_string(stop.line);
    }
    text += ": ";
  }
  text += stop.message;
  text += '\n';
  text += stop.detail;
  return text;
}

void stop_input(InputStop stop) { throw std::move(stop); }

}  // namespace qel2br::support
