// qel2br: asks for the input card file and the output file, converts, and exits with its status.
#include <memory>

#include "driver/run.hpp"
#include "sections/run_state.hpp"
#include "support/units.hpp"

int main() {
  using qel2br::support::FdLines;
  using qel2br::support::FdOutput;
  FdLines answers(0);
  FdOutput console(1, "standard output", qel2br::support::kConsoleLineEnd);
  FdOutput errors(2, "standard error", qel2br::support::kConsoleLineEnd);
  int status = 0;
  {
    auto state = std::make_unique<qel2br::sections::RunState>(answers, console);
    status = qel2br::driver::run_and_report(*state, errors);
  }
  console.flush();
  errors.flush();
  return status;
}
