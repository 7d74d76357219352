// The command line: no arguments for the dialogue, or the files and switches of a batch run.
#pragma once

#include <span>
#include <string>

#include "driver/batch_options.hpp"
#include "driver/exit_status.hpp"
#include "driver/many_files.hpp"

namespace qel2br::cli {

// What the command line asks for.
enum class Action : std::uint8_t {
  kDialogue,  // no arguments: the console dialogue
  kBatch,     // a run (or a check run) with the answers from the arguments
  kMany,      // many inputs (or an output folder): one run per input
  kHelp,      // --help: usage on standard output
  kVersion,   // --version
  kUsage,     // wrong usage: message on standard error, exit driver::kUsageError
};

struct Options {
  Action action = Action::kDialogue;
  driver::BatchOptions batch{};  // kBatch
  bool derived_output = false;   // kBatch: the OUTPUT is named after the INPUT, beside it
  driver::ManyFiles many{};      // kMany
  bool quiet = false;
  std::string text{};  // the help or version text, or the usage error message
};

// Parses the arguments (without the program name).
[[nodiscard]] Options parse_options(std::span<const char* const> args);

}  // namespace qel2br::cli
