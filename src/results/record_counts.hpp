// The records a conversion gives, counted by kind: what the summary line and the results say.
#pragma once

#include <cstdint>

namespace qel2br::results {

// The records of an output data file by kind (in a check run: those it would hold).
struct RecordCounts {
  std::int64_t waves = 0;            // "#WaveData" records
  std::int64_t currents = 0;         // "Current" records
  std::int64_t profiles = 0;         // depth profiles: marine growth, Cd, Cm
  std::int64_t element_records = 0;  // element records of element mode
  std::int64_t group_records = 0;    // flooded group records of group mode
};

}  // namespace qel2br::results
