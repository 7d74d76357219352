// The report of a stopped run and the one way to stop it.
#include "support/input_stop.hpp"

#include <utility>

namespace qel2br::support {

namespace {

// Control characters from a file (NUL, escape sequences) would reach the terminal as they are:
// each becomes '?', so the report stays one character per column and the caret line still fits.
std::string printable(std::string text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20U && c != '\n') || byte == 0x7fU) {
      c = '?';
    }
  }
  return text;
}

}  // namespace

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
  return printable(std::move(text));
}

void stop_input(InputStop stop) { throw std::move(stop); }

void internal_fault(std::string what) { throw InternalFault{std::move(what)}; }

}  // namespace qel2br::support
