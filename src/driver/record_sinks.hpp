// The sinks the driver connects to the readers: all of them at once, the console lines, and the
// counts of the summary.
#pragma once

#include <string_view>
#include <vector>

#include "records/records.hpp"
#include "results/record_counts.hpp"
#include "support/output_unit.hpp"

namespace qel2br::driver {

// Gives every record to each of its sinks, in the order they were added.
class SinkList final : public records::RecordSink {
 public:
  void add(records::RecordSink& sink) { sinks_.push_back(&sink); }

  void run_header(const records::RunHeader& header) override {
    each(&RecordSink::run_header, header);
  }
  void heading(const records::Heading& heading) override { each(&RecordSink::heading, heading); }
  void units(const records::Units& units) override { each(&RecordSink::units, units); }
  void levels(const records::WaterLevels& levels) override { each(&RecordSink::levels, levels); }
  void preamble() override { each(&RecordSink::preamble); }
  void open(records::Block block) override { each(&RecordSink::open, block); }
  void close(records::Block block) override { each(&RecordSink::close, block); }
  void sea_state(const records::SeaState& state) override { each(&RecordSink::sea_state, state); }
  void current(const records::Current& current) override { each(&RecordSink::current, current); }
  void profile(const records::DepthProfile& profile) override {
    each(&RecordSink::profile, profile);
  }
  void element_record(const records::ElementRecord& record) override {
    each(&RecordSink::element_record, record);
  }
  void element_set(const records::ElementSet& set) override { each(&RecordSink::element_set, set); }
  void group(const records::GroupRecord& group) override { each(&RecordSink::group, group); }
  void group_failure(const records::GroupFailure& failure) override {
    each(&RecordSink::group_failure, failure);
  }
  void lookup_messages(const records::LookupMessages& messages) override {
    each(&RecordSink::lookup_messages, messages);
  }
  void printed(std::string_view lines) override { each(&RecordSink::printed, lines); }
  void end() override { each(&RecordSink::end); }

 private:
  // Calls take on each sink with the record.
  template <typename... Params, typename... Record>
  void each(void (records::RecordSink::*take)(Params...), const Record&... record) {
    for (records::RecordSink* sink : sinks_) {
      (sink->*take)(record...);
    }
  }

  std::vector<records::RecordSink*> sinks_;
};

// The console lines of group mode: each FLOO card taken, as it stands; the group that has no
// number; and what the group table's lookups report.
class ConsoleLines final : public records::RecordSink {
 public:
  explicit ConsoleLines(support::OutputUnit& console) : console_(console) {}

  void group(const records::GroupRecord& group) override;
  void group_failure(const records::GroupFailure& failure) override;
  void lookup_messages(const records::LookupMessages& messages) override;

 private:
  support::OutputUnit& console_;
};

// The records of the output data file counted by kind, as its lines count them: an element
// record is a line of the element lists, a coefficient profile two profiles (Cd and Cm).
class RecordCounter final : public records::RecordSink {
 public:
  void sea_state(const records::SeaState& /*state*/) override { ++counts_.waves; }
  void current(const records::Current& /*current*/) override { ++counts_.currents; }
  void profile(const records::DepthProfile& profile) override;
  void element_record(const records::ElementRecord& record) override;
  void element_set(const records::ElementSet& set) override;
  void group(const records::GroupRecord& /*group*/) override { ++counts_.group_records; }

  [[nodiscard]] const results::RecordCounts& counts() const { return counts_; }

 private:
  results::RecordCounts counts_{};
};

}  // namespace qel2br::driver
