// The data file writer: the records of a run as the lines of the output data file, with every
// layout, heading and comment block of the file.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "records/records.hpp"
#include "support/text.hpp"
#include "support/units.hpp"

namespace qel2br::datafile {

// Writes the records it takes onto out, line by line, in out's line end.
class DataFileWriter final : public records::RecordSink {
 public:
  explicit DataFileWriter(support::OutputUnit& out) : out_(out) {}

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
  void end() override;

 private:
  support::OutputUnit& out_;
  // Whether the block being written has its heading (the first record writes it).
  bool opened_ = false;
};

// WRELST(record, elements, out): writes the element numbers five list positions to a line, each
// line the record text up to its last non-blank character followed by the numbers of its five
// positions that are greater than 0, in 10 columns each. A group of five without such a number
// writes no line.
void WRELST(const support::Text<80>& record, std::span<const std::int32_t> elements,
            support::OutputUnit& out);

}  // namespace qel2br::datafile
