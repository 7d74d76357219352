// The sinks the driver connects to the readers.
#include "driver/record_sinks.hpp"

#include <string_view>

#include "layout/layout.hpp"

namespace qel2br::driver {

namespace {

constexpr std::string_view kDecodingError = " *** ERROR during decoding of: ";
constexpr std::string_view kUndefinedSet = "     Undefined Set           : ";
constexpr std::string_view kFloo = "FLOO";

}  // namespace

void ConsoleLines::group(const records::GroupRecord& group) {
  layout::write_record(console_, layout::kOneText, group.card);
}

void ConsoleLines::group_failure(const records::GroupFailure& failure) {
  if (failure.undefined) {
    layout::write_record(console_, layout::kTwoTexts, kDecodingError, kFloo);
    layout::write_record(console_, layout::kTwoTexts, kUndefinedSet, failure.name);
  }
}

void ConsoleLines::lookup_messages(const records::LookupMessages& messages) {
  std::string_view rest = messages.text;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    console_.write_line(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  }
}

void RecordCounter::profile(const records::DepthProfile& profile) {
  if (profile.written()) {
    counts_.profiles += profile.kind == records::ProfileKind::kCoefficients ? 2 : 1;
  }
}

void RecordCounter::element_record(const records::ElementRecord& record) {
  counts_.element_records += records::element_lines(record.positions);
}

void RecordCounter::element_set(const records::ElementSet& set) {
  counts_.element_records += records::element_lines(set.positions);
}

}  // namespace qel2br::driver
