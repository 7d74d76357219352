// The checks of a converted load model: a record sink that warns about values that are
// physically wrong or that the data file cannot hold, never changing a record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "records/records.hpp"
#include "support/warnings.hpp"

namespace qel2br::checks {

// Takes the records of a run and warns, with the line of the card each value came from, about:
// values too wide for their fields of the data file (field-overflow); a depth profile of one
// card (profile-one-point); sea states with a period not above 0, a height below 0, a height
// above the breaking limits of their depth and wavelength, or Stokes' theory beyond its range
// (wave-*, stokes-ursell); waves and currents in water of depth 0 (no-water-depth, once);
// current speeds, profile points below the sea bed and elevations that are not monotonic
// (current-*); marine growth and drag and inertia coefficients outside their usual range; and
// elements both flooded and non-hydrodynamic. The limits are in checks/thresholds.hpp.
class LoadChecks final : public records::RecordSink {
 public:
  // file: the input card file's name, as the warnings give it.
  LoadChecks(support::Warnings& warnings, std::string file)
      : warnings_(warnings), file_(std::move(file)) {}

  void levels(const records::WaterLevels& levels) override;
  void sea_state(const records::SeaState& state) override;
  void current(const records::Current& current) override;
  void profile(const records::DepthProfile& profile) override;
  void element_record(const records::ElementRecord& record) override;
  void element_set(const records::ElementSet& set) override;
  void group(const records::GroupRecord& group) override;

 private:
  // Warns once that the water depth is 0, at the first sea state or current (line).
  void no_depth(std::int64_t line, std::string_view card);

  support::Warnings& warnings_;
  std::string file_;
  bool depth_warned_ = false;
  // The flooded elements of element mode, sorted, each with the line of its FLOO card.
  std::vector<std::pair<std::int32_t, std::int64_t>> flooded_;
};

}  // namespace qel2br::checks
