// The command line, parsed with CLI11.
#include "cli/options.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/version.hpp"
#include "driver/run_files.hpp"
#include "driver/standard_streams.hpp"

namespace qel2br::cli {

namespace {

// File names longer than this are cut by the dialogue; from the command line they are refused.
constexpr std::size_t kLongestName = 256;

constexpr std::string_view kUsage =
    "usage: qel2br                       (the dialogue: asks for the files on the console)\n"
    "       qel2br INPUT OUTPUT [--elements FILE | --groups FILE] [--quiet] [--strict]\n"
    "              [-Wno-KIND] [-Werror=KIND] [--report FILE.html] [--json FILE] [--force]\n"
    "       qel2br INPUT [options]       (OUTPUT named after INPUT, beside it)\n"
    "       qel2br INPUT... -o DIR [-j N] [--fail-fast] [--report DIR] [options]\n"
    "       qel2br --check INPUT... [-j N] [--fail-fast] [--report DIR|FILE.html] [options]\n"
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
    "Files:\n"
    "  INPUT OUTPUT     converts INPUT into OUTPUT. \"-\" as INPUT reads the card file from\n"
    "                   standard input; \"-\" as OUTPUT writes the data file to standard output,\n"
    "                   and the console lines and the summary then go to standard error\n"
    "  INPUT            converts INPUT into the file named after it, beside it: the last\n"
    "                   name component with its last extension replaced by .dat, or .dat\n"
    "                   added (dir/a.inp gives dir/a.dat, b gives b.dat). An existing file\n"
    "                   of that name is replaced only when it is empty or a data file this\n"
    "                   tool wrote (its run header first); any other needs --force\n"
    "  INPUT... -o DIR  converts each INPUT into DIR, named by the same rule (a.inp gives\n"
    "                   DIR/a.dat), with the same rule for existing files. Two inputs that\n"
    "                   would give one name are refused before anything runs (exit 2).\n"
    "                   Three or more names need -o\n"
    "\n"
    "Options:\n"
    "  --elements FILE  element-number file: element sets are converted element by element and\n"
    "                   checked against it (elements not in it are left out); for every INPUT\n"
    "  --groups FILE    group-name file: when a FLOO card names a group, element sets are\n"
    "                   converted by group, with the group numbers from FILE; for every INPUT\n"
    "  --check          read each INPUT and report everything; write no output data file\n"
    "  -o, --output-dir DIR\n"
    "                   the folder (it must exist) that the outputs of the INPUTs go to\n"
    "  -j N             convert N inputs at once (1 to 32; default: one per core). Each input\n"
    "                   gives the output, warnings and exit status of a run on it alone; its\n"
    "                   console lines and warnings are written whole, in the order given\n"
    "  --fail-fast      start no further input once one has failed (those not started are\n"
    "                   named as not converted)\n"
    "  --quiet          leave out the console messages and the summary lines\n"
    "  --strict         stop the run (exit 2) at the first warning\n"
    "  -Wno-KIND        leave out the warnings of KIND: not shown, not in the report or the\n"
    "                   results\n"
    "  -Werror=KIND     stop the run (exit 2) at the first warning of KIND, as --strict does\n"
    "                   at any warning (for a kind named twice, the last option counts)\n"
    "  --report FILE.html\n"
    "                   write a conversion report: one self-contained HTML page with the water\n"
    "                   levels, sea states, current and profile plots, element sets or groups,\n"
    "                   and every warning (in a check run: what would be written). Its date is\n"
    "                   SOURCE_DATE_EPOCH (seconds since 1970, UTC) when that is set. With -o\n"
    "                   or many checked INPUTs it names a folder (it must exist): one page per\n"
    "                   INPUT, named by the rule above with .html (DIR/a.html)\n"
    "  --json FILE      write the results as one JSON document to FILE (\"-\": standard\n"
    "                   output; the console messages and the summary then go to standard\n"
    "                   error): for each input its files, exit status and reason, record\n"
    "                   counts, warnings and stop\n"
    "  --force          replace OUTPUT even when it looks like a card file (a line that\n"
    "                   starts with one of the card keywords), or, when it is named after\n"
    "                   INPUT, when it is no data file of this tool; without it such an OUTPUT\n"
    "                   is refused, so that swapped file names destroy no card file\n"
    "  -h, --help       show this help and exit\n"
    "  --version        show the version and exit\n"
    "\n"
    "Without --groups (or when no FLOO card names a group) element sets are converted element\n"
    "by element. Warnings go to standard error as \"FILE:LINE:COLUMN: warning: ... [-WKIND]\".\n"
    "With many INPUTs a line for each input that did not end normally and a total line follow\n"
    "the summaries, on standard output.\n"
    "\n"
    "Exit status:\n"
    "  0   normal end: the output data file ends with its end-of-file line\n"
    "  1   error end (\" Error \" on standard output, \"qel2br: error: ...\" on standard\n"
    "      error): the output data file has no end line\n"
    "  2   the input stopped the run: a card field that cannot be read, a file that cannot\n"
    "      be opened, a file the run writes that is another file of the run, an OUTPUT that\n"
    "      looks like a card file, a table limit, a warning under --strict; the reason is on\n"
    "      standard error. With OUTPUT \"-\" what was written stays written: the data on\n"
    "      standard output ends without its end line\n"
    "  3   internal error: a fault of the program itself\n"
    "  64  wrong usage of the command line\n"
    "With many INPUTs it is the worst of theirs; inputs that would give one output name\n"
    "give 2 before any is converted.\n"
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
  std::string output_dir;
  std::string jobs_text;
  bool fail_fast = false;
  app.add_option("-o,--output-dir", output_dir);
  app.add_option("-j,--jobs", jobs_text);
  app.add_flag("--fail-fast", fail_fast);
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
  if (files.empty()) {
    return usage_error(check ? "--check needs the INPUT file"
                             : "the INPUT and OUTPUT files are missing");
  }
  std::vector<std::string> names = files;
  names.insert(names.end(), {elements, groups, report, output_dir});
  for (const std::string& name : names) {
    if (name.size() > kLongestName) {
      return usage_error("a file name holds at most 256 characters: " + name.substr(0, 40) + "...");
    }
  }
  std::size_t jobs = driver::default_jobs();
  if (app.count("-j") > 0) {
    std::size_t value = 0;
    const char* const end = jobs_text.data() + jobs_text.size();
    const auto [stop, error] = std::from_chars(jobs_text.data(), end, value);
    if (error != std::errc() || stop != end || value < 1 || value > driver::kMostJobs) {
      return usage_error("-j takes the number of inputs converted at once, 1 to " +
                         std::to_string(driver::kMostJobs) + ": " + jobs_text);
    }
    jobs = value;
  }
  const bool to_folder = app.count("--output-dir") > 0;
  const auto standard_inputs = std::count(files.begin(), files.end(), driver::kStandardStream);
  if (check && to_folder) {
    return usage_error("--check writes no data file: -o is not used with it");
  }
  if (!check && !to_folder && files.size() > 2) {
    return usage_error(std::to_string(files.size()) +
                       " file names and no output folder: to convert many files give the folder "
                       "of their outputs, as in 'qel2br FILE... -o DIR'");
  }

  driver::BatchOptions common;
  if (app.count("--elements") > 0) {
    common.elements = elements;
  }
  if (app.count("--groups") > 0) {
    common.groups = groups;
  }
  common.check = check;
  common.strict = strict;
  common.force = force;
  common.warnings = chosen;
  if (app.count("--json") > 0) {
    common.json = json;
  }

  options.quiet = quiet;
  // One INPUT and OUTPUT, or one INPUT alone: a run as before, its report a file.
  if (!check && !to_folder && files.size() <= 2) {
    if (files.size() == 1 && standard_inputs > 0) {
      return usage_error(
          "standard input (-) needs an OUTPUT name, as in 'qel2br - OUTPUT': no name can be "
          "made after it");
    }
    options.action = Action::kBatch;
    options.batch = common;
    options.batch.input = files.front();
    options.batch.output =
        files.size() == 2 ? files.back() : driver::derived_name(files.front(), "", ".dat");
    options.derived_output = files.size() == 1;
    if (app.count("--report") > 0) {
      options.batch.report = report;
    }
    // The data file on standard output leaves room there for nothing else.
    if (driver::is_standard_stream(options.batch.output) && options.batch.json.has_value() &&
        driver::is_standard_stream(*options.batch.json)) {
      return usage_error(
          "--json - and OUTPUT - would both write to standard output: name a file for one");
    }
    return options;
  }
  if (files.size() == 1 && check) {
    options.action = Action::kBatch;
    options.batch = common;
    options.batch.input = files.front();
    if (app.count("--report") > 0) {
      options.batch.report = report;
    }
    return options;
  }

  // Many inputs (or one into a folder): one run each, the report a folder.
  if (to_folder && standard_inputs > 0) {
    return usage_error(
        "standard input (-) needs an OUTPUT name, as in 'qel2br - OUTPUT': -o names each output "
        "after its input");
  }
  if (standard_inputs > 1) {
    return usage_error("standard input (-) can be read once only");
  }
  options.action = Action::kMany;
  options.many.derived_outputs = !check;
  options.many.quiet = quiet;
  options.many.fail_fast = fail_fast;
  options.many.jobs = jobs;
  options.many.version = kVersion;
  if (to_folder) {
    options.many.output_folder = output_dir;
  }
  if (app.count("--report") > 0) {
    options.many.report_folder = report;
  }
  for (const std::string& file : files) {
    driver::BatchOptions& run = options.many.runs.emplace_back(common);
    run.input = file;
    if (!check) {
      run.output = driver::derived_name(file, output_dir, ".dat");
    }
    if (app.count("--report") > 0) {
      run.report = driver::derived_name(driver::shown_input(file), report, ".html");
    }
  }
  return options;
}

}  // namespace qel2br::cli
