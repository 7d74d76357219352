// The profile table shared by the currents and the depth profiles.
#include "sections/profile_table.hpp"

#include <string>

#include "support/input_stop.hpp"

namespace qel2br::sections {

ProfileRow& next_profile_row(RunState& run, std::string_view keyword, std::string_view what) {
  if (!run.profile.push(ProfileRow{})) {
    const std::string rows = std::to_string(kProfileRows);
    support::stop_input({.file = run.cards.file_name(),
                         .line = run.cards.line_number(),
                         .message = std::string(keyword) + " card: more than " + rows + " " +
                                    std::string(what) + " (the profile table holds " + rows + ")",
                         .detail = ""});
  }
  return run.profile.items().back();
}

}  // namespace qel2br::sections
