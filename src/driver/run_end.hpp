// How a run ended: the one value that every end of a run becomes, and the one place where the
// ends that unwind (an input stop, a fault of the program, memory that runs out) are caught.
#pragma once

#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "driver/exit_status.hpp"
#include "support/input_stop.hpp"

namespace qel2br::driver {

enum class EndKind : std::uint8_t {
  kNormal,       // the end lines were written
  kErrorBlock,   // the " Error " block was shown; reason says why
  kStopped,      // the input stopped the run; stop is what stopped it
  kFault,        // a fault of the program; reason says what
  kOutOfMemory,  // memory ran out
};

struct RunEnd {
  EndKind kind = EndKind::kNormal;
  // Why the run did not end normally, in the words of standard error's line without
  // "qel2br: " (an error end, a fault, memory); empty for an input stop, whose stop says it.
  std::string reason{};
  std::optional<support::InputStop> stop{};

  // The exit status of this end.
  [[nodiscard]] int status() const {
    switch (kind) {
      case EndKind::kNormal:
        return kNormalEnd;
      case EndKind::kErrorBlock:
        return kErrorEnd;
      case EndKind::kFault:
        return kInternalFault;
      case EndKind::kStopped:
      case EndKind::kOutOfMemory:
        break;
    }
    return kInputStop;
  }
};

// run_to_end(body): body() (which returns the RunEnd of an end it takes itself), or the RunEnd
// of the input stop, internal fault or exhausted memory that unwound it. When memory runs out
// while the end is noted, the end is noted as memory run out.
template <typename Body>
[[nodiscard]] RunEnd run_to_end(Body&& body) {
  try {
    try {
      return std::forward<Body>(body)();
    } catch (const support::InputStop& stop) {
      return {.kind = EndKind::kStopped, .reason = "", .stop = stop};
    } catch (const support::InternalFault& fault) {
      return {.kind = EndKind::kFault, .reason = "internal error: " + fault.what};
    }
  } catch (const std::bad_alloc&) {
    return {.kind = EndKind::kOutOfMemory};
  }
}

}  // namespace qel2br::driver
