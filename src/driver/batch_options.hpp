// The answers and switches of a run from the command line.
#pragma once

#include <optional>
#include <string>

#include "support/warnings.hpp"

namespace qel2br::driver {

struct BatchOptions {
  std::string input{};
  std::string output{};                   // not used in a check run
  std::optional<std::string> elements{};  // the element-number file
  std::optional<std::string> groups{};    // the group-name file
  std::optional<std::string> report{};    // the conversion report (HTML) to write
  bool check = false;                     // read and report everything, write no output file
  bool strict = false;                    // the first warning stops the run
  bool force = false;                     // replace an OUTPUT that looks like a card file
  support::WarningChoices warnings{};     // the kinds the -W options silence or make stop
  std::optional<std::string> json{};      // the results file to write ("-": standard output)
};

}  // namespace qel2br::driver
