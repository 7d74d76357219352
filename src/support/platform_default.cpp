// The platform the run uses: the system it runs on. This file holds nothing else, so that a
// test build can link its own definition of platform() in its place.
#include "support/platform.hpp"

namespace qel2br::support {

Platform& platform() { return native_platform(); }

}  // namespace qel2br::support
