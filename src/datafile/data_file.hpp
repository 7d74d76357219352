// The data file writer: the records of a run as the lines of the output data file, with every
// layout, heading and comment block of the file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "layout/layout.hpp"
#include "records/records.hpp"
#include "sections/line_printer.hpp"
#include "support/output_unit.hpp"
#include "support/text.hpp"

namespace qel2br::datafile {

// The lines of the records of many cards (sections::LinePrinter) in a line end.
class DataFileLines final : public sections::LinePrinter {
 public:
  explicit DataFileLines(std::string_view line_end) : line_end_(line_end) {}

  void sea_state(const records::SeaState& state, support::OutputUnit& out) const override;
  // The column legend, the record and the points, last point first.
  void current(const records::Current& current, support::OutputUnit& out) const override;
  void element_record(const records::ElementRecord& record,
                      support::OutputUnit& out) const override;
  [[nodiscard]] std::string_view line_end() const override { return line_end_; }

 private:
  std::string_view line_end_;
};

// Writes the records it takes onto out, line by line, in out's line end. The lines of a record
// printed ahead (printed()) are written as they were printed.
class DataFileWriter final : public records::RecordSink {
 public:
  explicit DataFileWriter(support::OutputUnit& out) : out_(out), lines_(out.line_end()) {}

  // What prints the lines of records read ahead of their turn, as this writer writes them.
  [[nodiscard]] const sections::LinePrinter& printer() const { return lines_; }

  // The eleven header lines (a line feed or carriage return in the name written as '?', so that
  // the name stays on its line).
  void run_header(const records::RunHeader& header) override;
  void heading(const records::Heading& heading) override;
  void units(const records::Units& units) override;
  void levels(const records::WaterLevels& levels) override;
  void preamble() override;
  void open(records::Block block) override;
  void close(records::Block block) override;
  void sea_state(const records::SeaState& state) override;
  void current(const records::Current& current) override;
  void profile(const records::DepthProfile& profile) override;
  void element_record(const records::ElementRecord& record) override;
  void element_set(const records::ElementSet& set) override;
  void group(const records::GroupRecord& group) override;
  void printed(std::string_view lines) override { printed_ = lines; }
  void end() override;

 private:
  // Writes the lines printed ahead for the record being written, or prints them with print.
  template <typename Print>
  void write_lines(Print&& print);

  support::OutputUnit& out_;
  DataFileLines lines_;
  std::optional<std::string_view> printed_;
  // Whether the block being written has its heading (the first record writes it).
  bool opened_ = false;
};

// A value that a record's line writes as asterisks, too wide for its field: what it is (as the
// data file's column legend names it), the value and the field.
struct WideValue {
  std::string_view what{};
  double value = 0.0;
  layout::Descriptor field{};
};

// wide_values(record): the values of record, as its lines write them, that are too wide for
// their fields, in the order of the lines. A profile of fewer than two points writes none.
[[nodiscard]] std::vector<WideValue> wide_values(const records::WaterLevels& levels);
[[nodiscard]] std::vector<WideValue> wide_values(const records::SeaState& state);
[[nodiscard]] std::vector<WideValue> wide_values(const records::Current& current);
[[nodiscard]] std::vector<WideValue> wide_values(const records::DepthProfile& profile);
[[nodiscard]] std::vector<WideValue> wide_values(const records::ElementRecord& record);
[[nodiscard]] std::vector<WideValue> wide_values(const records::ElementSet& set);
[[nodiscard]] std::vector<WideValue> wide_values(const records::GroupRecord& group);

// Whether text begins with the first five lines of the run header (the version line last), each
// ending in CR LF or LF: the start of a data file this tool wrote.
[[nodiscard]] bool begins_with_run_header(std::string_view text);

// WRELST(record, elements, out): writes the element numbers five list positions to a line, each
// line the record text up to its last non-blank character followed by the numbers of its five
// positions that are greater than 0, in 10 columns each. A group of five without such a number
// writes no line.
void WRELST(const support::Text<80>& record, std::span<const std::int32_t> elements,
            support::OutputUnit& out);

}  // namespace qel2br::datafile
