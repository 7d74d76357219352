// Fuzz target: the whole conversion, in process, through run_and_report as main calls it.
//
// The input holds up to three files separated by kSeparator: the card file, the group-name file
// and the element-number file. They are written to a temporary directory of this process, and
// the run is made with fixed answers through the dialogue (once choosing groups, once element
// by element) and from the command line (by group, checked element by element, and as a check
// run that writes no output).
// Checked after each run: the status is one of the three, the input files are unchanged, a
// normal end leaves the end line, an input stop reports on standard error, and otherwise
// standard error holds only warnings and the reasons of failed opens. The runs from the command
// line also gather the conversion report and render it, whatever the cards hold: the page must
// be complete and hold only well-formed UTF-8 text that a page may carry.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <system_error>

#include "driver/batch.hpp"
#include "driver/exit_status.hpp"
#include "driver/run.hpp"
#include "driver/run_context.hpp"
#include "report/html_report.hpp"
#include "report/markup.hpp"
#include "report/report_collector.hpp"
#include "report/report_data.hpp"
#include "support/line_source.hpp"
#include "support/output_unit.hpp"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSeparator = "\n~~~~\n";
constexpr std::string_view kEndLine = "' ------------ e o f -------------\r\n";

void fail(const char* what, const std::string& console, const std::string& errors) {
  std::fprintf(stderr, "whole run fuzz: %s\n--- console ---\n%s\n--- errors ---\n%s\n", what,
               console.c_str(), errors.c_str());
  std::abort();
}

// The per-process directory the files are written to; removed when the process ends.
class Scratch {
 public:
  Scratch() {
    std::error_code ec;
    const fs::path base =
        fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    dir_ = base / ("qel2br-fuzz-" + std::to_string(::getpid()));
    fs::remove_all(dir_, ec);
    fs::create_directories(dir_);
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  [[nodiscard]] std::string path(std::string_view name) const { return (dir_ / name).string(); }

 private:
  fs::path dir_;
};

void write_file(const std::string& path, std::string_view contents) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Whether every line of text is a warning or the reason of a failed open.
bool only_warnings(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    if (line.find(": warning: ") == std::string_view::npos &&
        !line.starts_with("qel2br: cannot open the ")) {
      return false;
    }
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return true;
}

void run_once(const std::string& answers, const Scratch& scratch,
              const std::array<std::string_view, 3>& files, const std::array<std::string, 3>& paths,
              const qel2br::driver::BatchOptions* batch = nullptr) {
  qel2br::support::MemoryLines answer_lines(answers);
  qel2br::support::StringOutput console(qel2br::support::kConsoleLineEnd);
  qel2br::support::StringOutput errors(qel2br::support::kConsoleLineEnd);
  // The run state is built afresh for every run, in storage kept for the process: a new
  // allocation of its size each time costs more than the run itself.
  alignas(
      qel2br::driver::RunContext) static std::array<std::byte, sizeof(qel2br::driver::RunContext)>
      storage;
  auto* state = new (storage.data()) qel2br::driver::RunContext(answer_lines, console);
  state->batch = batch;
  qel2br::report::ReportData report;
  qel2br::report::ReportCollector collector(report);
  if (batch != nullptr) {
    state->report = &collector;
  }
  std::error_code ec;
  fs::remove(scratch.path("out.txt"), ec);
  const int status = qel2br::driver::run_and_report(*state, errors);
  state->~RunContext();
  if (batch != nullptr) {
    // Escaping a page that holds only well-formed text adds no replacement character.
    const std::string page = qel2br::report::render_report(report);
    const auto replacements = [](std::string_view text) {
      std::size_t count = 0;
      for (std::size_t at = text.find("\xEF\xBF\xBD"); at != std::string_view::npos;
           at = text.find("\xEF\xBF\xBD", at + 1)) {
        ++count;
      }
      return count;
    };
    if (!page.ends_with("</body>\n</html>\n") ||
        replacements(qel2br::report::escape(page)) != replacements(page)) {
      fail("a report page that is incomplete or holds text a page may not carry", page, "");
    }
  }
  const std::string& shown = console.text();
  const std::string& reported = errors.text();
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (read_file(paths.at(i)) != files.at(i)) {
      fail("an input file was changed by the run", shown, reported);
    }
  }
  switch (status) {
    case qel2br::driver::kNormalEnd: {
      const bool check = batch != nullptr && batch->check;
      const std::string output = read_file(scratch.path("out.txt"));
      if (check
              ? fs::exists(scratch.path("out.txt"))
              : output.size() < kEndLine.size() || output.compare(output.size() - kEndLine.size(),
                                                                  kEndLine.size(), kEndLine) != 0) {
        fail("a normal end without the end line, or a check run with output", shown, reported);
      }
      if (!only_warnings(reported)) {
        fail("a normal end with a report on standard error", shown, reported);
      }
      break;
    }
    case qel2br::driver::kErrorEnd: {
      // Its reason is one line on standard error among any warnings.
      std::string others = reported;
      const std::size_t reason = others.find("qel2br: error: ");
      if (reason != std::string::npos) {
        others.erase(reason, others.find('\n', reason) - reason + 1);
      }
      if (shown.find("\n Error \n") == std::string::npos || reason == std::string::npos ||
          others.find("qel2br: error: ") != std::string::npos || !only_warnings(others)) {
        fail("an error end without \" Error \" or without its one reason", shown, reported);
      }
      break;
    }
    case qel2br::driver::kInputStop: {
      // The report follows the warnings given before the stop.
      std::string_view rest = reported;
      while (rest.substr(0, rest.find('\n')).find(": warning: ") != std::string_view::npos) {
        rest.remove_prefix(std::min(rest.find('\n') + 1, rest.size()));
      }
      if (!rest.starts_with("qel2br: ")) {
        fail("an input stop without its report", shown, reported);
      }
      break;
    }
    case qel2br::driver::kInternalFault:
      fail("an internal fault", shown, reported);
      break;
    default:
      fail("an unknown exit status", shown, reported);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Scratch scratch;
  const std::string_view input(reinterpret_cast<const char*>(data), size);  // NOLINT: bytes
  std::array<std::string_view, 3> files{};
  std::string_view rest = input;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::size_t end = i + 1 < files.size() ? rest.find(kSeparator) : std::string_view::npos;
    files.at(i) = rest.substr(0, end);
    rest =
        end == std::string_view::npos ? std::string_view{} : rest.substr(end + kSeparator.size());
  }
  const std::array<std::string, 3> paths = {scratch.path("cards.inp"), scratch.path("groups.txt"),
                                            scratch.path("elements.txt")};
  for (std::size_t i = 0; i < files.size(); ++i) {
    write_file(paths.at(i), files.at(i));
  }
  const std::string out = scratch.path("out.txt");
  // Group mode: the group question is answered Y (and, when it is not asked, Y is taken as a
  // missing element file and the next answer names the group file instead).
  run_once(paths[0] + "\n" + out + "\nY\n" + paths[1] + "\n", scratch, files, paths);
  // Element mode: the element file answers the group question too, when it is asked.
  run_once(paths[0] + "\n" + out + "\n" + paths[2] + "\n" + paths[2] + "\n", scratch, files, paths);
  // The same runs from the command line.
  qel2br::driver::BatchOptions batch{.input = paths[0], .output = out, .groups = paths[1]};
  run_once("", scratch, files, paths, &batch);
  batch.groups.reset();
  batch.elements = paths[2];
  run_once("", scratch, files, paths, &batch);
  batch.check = true;
  run_once("", scratch, files, paths, &batch);
  return 0;
}
