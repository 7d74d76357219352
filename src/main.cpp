// qel2br: asks for the input card file and the output file, converts, and exits with its status.
#include <memory>

#include "driver/run.hpp"
#include "driver/run_state.hpp"
#include "support/units.hpp"

int main() {
  using qel2br::support::FdLines;
  using qel2br::support::FdOutput;
  using qel2br::support::StandardStream;
  FdLines answers(StandardStream::kInput);
  FdOutput console(StandardStream::kOutput, "standard output", qel2br::support::kConsoleLineEnd);
  FdOutput errors(StandardStream::kError, "standard error", qel2br::support::kConsoleLineEnd);
  int status = 0;
  {
    auto state = std::make_unique<qel2br::driver::RunState>(answers, console);
    status = qel2br::driver::run_and_report(*state, errors);
  }
  console.flush();
  errors.flush();
  return status;
}
