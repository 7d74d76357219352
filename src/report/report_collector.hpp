// The report's sink: the records of a run noted as the conversion report shows them.
#pragma once

#include "records/records.hpp"
#include "report/report_data.hpp"

namespace qel2br::report {

// Notes the records it takes in data, and how far the run got in each of its parts (the block
// opened and closed, the heading and levels given).
class ReportCollector final : public records::RecordSink {
 public:
  explicit ReportCollector(ReportData& data) : data_(data) {}

  void open(records::Block block) override;
  void close(records::Block block) override;
  void heading(const records::Heading& heading) override;
  void units(const records::Units& units) override;
  void levels(const records::WaterLevels& levels) override;
  void sea_state(const records::SeaState& state) override;
  void current(const records::Current& current) override;
  void profile(const records::DepthProfile& profile) override;
  void element_record(const records::ElementRecord& record) override;
  void element_set(const records::ElementSet& set) override;
  void group(const records::GroupRecord& group) override;

 private:
  ReportData& data_;
};

}  // namespace qel2br::report
