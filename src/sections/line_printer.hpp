// The printer of the records that many cards give, for reading them ahead of their turn.
#pragma once

#include <string_view>

#include "records/records.hpp"
#include "support/output_unit.hpp"

namespace qel2br::sections {

// Prints the lines of the records that many cards give, as the data file holds them but without
// the block headings that come before the first of a block. Const and without state, so it
// prints the same on any thread.
class LinePrinter {
 public:
  virtual void sea_state(const records::SeaState& state, support::OutputUnit& out) const = 0;
  virtual void current(const records::Current& current, support::OutputUnit& out) const = 0;
  virtual void element_record(const records::ElementRecord& record,
                              support::OutputUnit& out) const = 0;
  // The line end of the data file.
  [[nodiscard]] virtual std::string_view line_end() const = 0;

 protected:
  LinePrinter() = default;
  LinePrinter(const LinePrinter&) = default;
  LinePrinter& operator=(const LinePrinter&) = default;
  LinePrinter(LinePrinter&&) = default;
  LinePrinter& operator=(LinePrinter&&) = default;
  ~LinePrinter() = default;
};

}  // namespace qel2br::sections
