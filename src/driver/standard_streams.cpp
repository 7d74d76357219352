// The card file read whole from standard input.
#include "driver/standard_streams.hpp"

#include <array>
#include <span>

#include "support/input_stop.hpp"
#include "support/platform.hpp"

namespace qel2br::driver {

std::string read_standard_input() {
  support::Platform& system = support::platform();
  const support::FileHandle file = system.standard(support::StandardStream::kInput);
  constexpr std::size_t kBlock = std::size_t{1} << 16U;
  // An interrupted read is asked again a bounded number of times in a row.
  std::string text;
  std::array<char, kBlock> block{};
  int interruptions = 0;
  // Each pass adds at least one byte or ends: the input ends at its end or at a failed read.
  while (true) {
    const support::Transfer t = system.read(file, std::span<char>(block));
    if (t.error == support::kInterrupted && ++interruptions < support::kInterruptionLimit) {
      continue;
    }
    if (t.error != 0) {
      support::stop_input(
          {.file = std::string(kStandardInputName),
           .message = "cannot read the input card file: " + system.reason(t.error)});
    }
    if (t.bytes == 0) {
      return text;
    }
    interruptions = 0;
    text.append(block.data(), std::min(t.bytes, block.size()));
  }
}

}  // namespace qel2br::driver
