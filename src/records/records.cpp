// Records: the count of element lines.
#include "records/records.hpp"

#include <algorithm>

namespace qel2br::records {

std::int64_t element_lines(std::span<const std::int32_t> positions) {
  std::int64_t lines = 0;
  for (std::size_t start = 0; start < positions.size(); start += 5) {
    const std::span<const std::int32_t> five =
        positions.subspan(start, std::min<std::size_t>(5, positions.size() - start));
    if (std::any_of(five.begin(), five.end(), [](std::int32_t e) { return e > 0; })) {
      ++lines;
    }
  }
  return lines;
}

}  // namespace qel2br::records
