// The command line, parsed with CLI11.
#include "cli/options.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <optional>
#include <vector>

#include "cli/version.hpp"

namespace qel2br::cli {

namespace {

// File names longer than this are cut by the dialogue; from the command line they are refused.
constexpr std::size_t kLongestName = 256;

constexpr std::string_view kUsage =
    "usage: qel2br                       (the dialogue: asks for the files on the console)\n"
    "       qel2br INPUT OUTPUT [--elements FILE | --groups FILE] [--quiet] [--strict]\n"
    "              [-Wno-KIND] [-Werror=KIND] [--report FILE.html] [--json FILE] [--force]\n"
    "       qel2br --check INPUT [--elements FILE | --groups FILE] [--quiet] [--strict]\n"
    "              [-Wno-KIND] [-Werror=KIND] [--report FILE.html] [--json FILE]\n"
    "       qel2br --help | --version\n";

// The kinds of warnings, as the usage lists them.
std::string kind_list() {
  std::string text = "warning kinds:";
  std::size_t column = text.size();
  for (const std::string_view name : support::kWarningKindNames) {
    if (column + 1 + name.size() > 79) {
      text += "\n              ";
      column = 14;
    }
    text += ' ';
    text += name;
    column += 1 + name.size();
  }
  return text + "\n";
}

constexpr std::string_view kHelp =
    "\n"
    "Converts a wave and current load input card file (INPUT) into the hydrodynamic input data\n"
    "file of a nonlinear structural analysis program (OUTPUT). Without arguments it asks for\n"
    "the files on the console.\n"
    "\n"
    "Options:\n"
    "  --elements FILE  element-number file: element sets are converted element by element and\n"
    "                   checked against it (elements not in it are left out)\n"
    "  --groups FILE    group-name file: when a FLOO card names a group, element sets are\n"
    "                   converted by group, with the group numbers from FILE\n"
    "  --check          read INPUT and report everything; write no output data file\n"
    "  --quiet          leave out the console messages and the summary line\n"
    "  --strict         stop the run (exit 2) at the first warning\n"
    "  -Wno-KIND        leave out the warnings of KIND: not shown, not in the report or the\n"
    "                   results\n"
    "  -Werror=KIND     stop the run (exit 2) at the first warning of KIND, as --strict does\n"
    "                   at any warning (for a kind named twice, the last option counts)\n"
    "  --report FILE.html\n"
    "                   write a conversion report: one self-contained HTML page with the water\n"
    "                   levels, sea states, current and profile plots, element sets or groups,\n"
    "                   and every warning (in a check run: what would be written). Its date is\n"
    "                   SOURCE_DATE_EPOCH (seconds since 1970, UTC) when that is set\n"
    "  --json FILE      write the results as one JSON document to FILE (\"-\": standard\n"
    "                   output; the console messages and the summary then go to standard\n"
    "                   error): for each input its files, exit status and reason, record\n"
    "                   counts, warnings and stop\n"
    "  --force          replace OUTPUT even when it looks like a card file (a line that\n"
    "                   starts with one of the card keywords); without it such an OUTPUT\n"
    "                   is refused, so that swapped file names destroy no card file\n"
    "  -h, --help       show this help and exit\n"
    "  --version        show the version and exit\n"
    "\n"
    "Without --groups (or when no FLOO card names a group) element sets are converted element\n"
    "by element. Warnings go to standard error as \"FILE:LINE:COLUMN: warning: ... [-WKIND]\".\n"
    "\n"
    "Exit status:\n"
    "  0   normal end: the output data file ends with its end-of-file line\n"
    "  1   error end (\" Error \" on standard output, \"qel2br: error: ...\" on standard\n"
    "      error): the output data file has no end line\n"
    "  2   the input stopped the run: a card field that cannot be read, a file that cannot\n"
    "      be opened, a file the run writes that is another file of the run, an OUTPUT that\n"
    "      looks like a card file, a table limit, a warning under --strict; the reason is on\n"
    "      standard error\n"
    "  3   internal error: a fault of the program itself\n"
    "  64  wrong usage of the command line\n"
    "\n"
    "See qel2br(1) for the dialogue, the cards and columns read, the warnings and the\n"
    "results document.\n";

Options usage_error(const std::string& message) {
  Options options;
  options.action = Action::kUsage;
  options.text = "qel2br: " + message + "\n" + std::string(kUsage) + kind_list() +
                 "Try 'qel2br --help' for more information.\n";
  return options;
}

// Takes the -W options (-Wno-KIND, -Werror=KIND) out of args, as CLI11 does not read options of
// that form, into chosen; "--" ends the options, as for CLI11. Returns a usage error message,
// or nullopt.
std::optional<std::string> take_warning_options(std::vector<std::string>& args,
                                                support::WarningChoices& chosen) {
  constexpr std::string_view kSilence = "-Wno-";
  constexpr std::string_view kStop = "-Werror=";
  std::vector<std::string> rest;
  bool options_end = false;
  for (std::string& arg : args) {
    options_end = options_end || arg == "--";
    if (options_end || !arg.starts_with("-W")) {
      rest.push_back(std::move(arg));
      continue;
    }
    const bool silence = arg.starts_with(kSilence);
    const bool stop = arg.starts_with(kStop);
    if (!silence && !stop) {
      return "unknown option " + arg + ": the warning options are -Wno-KIND and -Werror=KIND" +
             (arg == "-Werror" ? " (--strict stops the run at any warning)" : "");
    }
    const std::string_view name = std::string_view(arg).substr((silence ? kSilence : kStop).size());
    const std::optional<support::WarningKind> kind = support::warning_kind_named(name);
    if (!kind.has_value()) {
      return "unknown warning kind \"" + std::string(name) + "\" in " + arg;
    }
    chosen[static_cast<std::size_t>(*kind)] =
        silence ? support::WarningAction::kSilence : support::WarningAction::kStop;
  }
  args = std::move(rest);
  return std::nullopt;
}

}  // namespace

Options parse_options(std::span<const char* const> args) {
  if (args.empty()) {
    return {};
  }
  CLI::App app{"", "qel2br"};
  app.set_help_flag();

  std::vector<std::string> files;
  std::string elements;
  std::string groups;
  std::string report;
  std::string json;
  bool check = false;
  bool quiet = false;
  bool strict = false;
  bool force = false;
  bool help = false;
  bool version = false;
  app.add_option("files", files);
  app.add_option("--elements", elements);
  app.add_option("--groups", groups);
  app.add_option("--report", report);
  app.add_option("--json", json);
  app.add_flag("--check", check);
  app.add_flag("--quiet", quiet);
  app.add_flag("--strict", strict);
  app.add_flag("--force", force);
  app.add_flag("-h,--help", help);
  app.add_flag("--version", version);

  std::vector<std::string> argv(args.begin(), args.end());
  support::WarningChoices chosen{};
  if (const auto message = take_warning_options(argv, chosen)) {
    return usage_error(*message);
  }
  // CLI11 takes the arguments last first.
  std::reverse(argv.begin(), argv.end());
  try {
    app.parse(argv);
  } catch (const CLI::ParseError& error) {
    return usage_error(error.what());
  }
  Options options;
  if (help) {
    options.action = Action::kHelp;
    options.text = std::string(kUsage) + std::string(kHelp);
    return options;
  }
  if (version) {
    options.action = Action::kVersion;
    options.text = "qel2br " + std::string(kVersion) + "\n";
    return options;
  }
  if (app.count("--elements") > 0 && app.count("--groups") > 0) {
    return usage_error(
        "--elements and --groups exclude each other: a run is either element by "
        "element or by group");
  }
  const std::size_t wanted = check ? 1 : 2;
  if (files.size() > wanted && !(check && files.size() == 2)) {
    return usage_error("too many file names: " + files[wanted]);
  }
  if (files.size() != wanted) {
    if (check) {
      return usage_error(files.empty() ? "--check needs the INPUT file"
                                       : "--check takes the INPUT file only, no OUTPUT");
    }
    return usage_error(files.empty() ? "the INPUT and OUTPUT files are missing"
                                     : "the OUTPUT file is missing");
  }
  for (const std::string& name :
       {files.front(), files.back(), std::string(elements), std::string(groups)}) {
    if (name.size() > kLongestName) {
      return usage_error("a file name holds at most 256 characters: " + name.substr(0, 40) + "...");
    }
  }
  options.action = Action::kBatch;
  options.quiet = quiet;
  options.batch.input = files.front();
  if (!check) {
    options.batch.output = files.back();
  }
  if (app.count("--elements") > 0) {
    options.batch.elements = elements;
  }
  if (app.count("--groups") > 0) {
    options.batch.groups = groups;
  }
  if (app.count("--report") > 0) {
    options.batch.report = report;
  }
  if (app.count("--json") > 0) {
    // Once OUTPUT may be "-" (standard output), "--json -" with it is wrong usage: both would
    // write to standard output. That check goes here.
    options.batch.json = json;
  }
  options.batch.warnings = chosen;
  options.batch.check = check;
  options.batch.strict = strict;
  options.batch.force = force;
  return options;
}

}  // namespace qel2br::cli
