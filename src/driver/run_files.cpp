// The files of a run from the command line: clashes of their names, and an OUTPUT that holds
// cards.
#include "driver/run_files.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "cards/card_index.hpp"
#include "datafile/data_file.hpp"
#include "driver/exit_status.hpp"
#include "driver/header.hpp"
#include "driver/standard_streams.hpp"
#include "support/file_names.hpp"
#include "support/input_stop.hpp"
#include "support/output_unit.hpp"
#include "support/text.hpp"
#include "support/unit_table.hpp"

namespace qel2br::driver {

namespace {

// What the run does with one of its files.
enum class Use : std::uint8_t { kRead, kOutput, kReport };

// One file of the run: what it is, its name as given and as it will be opened, what the run
// does with it, and where it is.
struct RunFile {
  std::string_view what{};
  std::string_view given{};
  Use use = Use::kRead;
  std::string_view opened{};
  std::optional<support::FileIdentity> file{};    // the file, when it exists
  std::optional<support::FileIdentity> folder{};  // its folder, when the file does not exist
  std::string_view last{};                        // its last name component then
};

RunFile locate(std::string_view what, std::string_view given, Use use, support::Platform& system) {
  RunFile f{.what = what,
            .given = given,
            .use = use,
            // The files on units are opened without their trailing blanks, the report as named.
            .opened = use == Use::kReport ? given : support::without_trailing_blanks(given)};
  f.file = system.identity(f.opened);
  if (!f.file.has_value()) {
    const std::size_t split = support::folder_part(f.opened);
    const std::string_view last = f.opened.substr(split);
    if (!last.empty() && last != "." && last != "..") {
      f.folder = system.identity(split == 0 ? std::string_view(".") : f.opened.substr(0, split));
      f.last = last;
    }
  }
  return f;
}

// Whether two files of the run are one file: two existing files by identity, two names that
// name nothing yet by folder and last component. An existing file is never a name that names
// nothing.
bool same_file(const RunFile& a, const RunFile& b) {
  if (a.file.has_value() || b.file.has_value()) {
    return a.file.has_value() && b.file.has_value() && *a.file == *b.file;
  }
  return a.folder.has_value() && b.folder.has_value() && *a.folder == *b.folder &&
         support::same_entry_name(a.last, b.last);
}

// The name with a line break in it shown as '?', so that a reason stays one line.
std::string one_line(std::string_view name) {
  std::string text(name);
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, '?');
  return text;
}

std::string quoted(std::string_view name) {
  // Appended, not added up: GCC 12 at -O3 takes "\"" + text for an overlapping copy.
  std::string text = "\"";
  text += one_line(name);
  text += '"';
  return text;
}

// At most kCardLookLength bytes from the start of the file; none when it cannot be read.
std::optional<std::string> file_start(std::string_view path, support::Platform& system) {
  const support::Opened opened = system.open_read(path);
  if (opened.error != 0) {
    return std::nullopt;
  }
  std::string text(kCardLookLength, '\0');
  std::size_t filled = 0;
  // Each pass fills at least one byte or ends; an interrupted read is asked again a bounded
  // number of times.
  int interruptions = 0;
  while (filled < text.size()) {
    const support::Transfer t =
        system.read(opened.handle, std::span<char>(text.data() + filled, text.size() - filled));
    if (t.error == support::kInterrupted && ++interruptions < support::kInterruptionLimit) {
      continue;
    }
    if (t.error != 0 || t.bytes == 0) {
      break;
    }
    filled += std::min(t.bytes, text.size() - filled);
  }
  static_cast<void>(system.close(opened.handle));
  text.resize(filled);
  // The last line of a full look may be cut short: only whole lines count.
  if (filled == kCardLookLength) {
    const std::size_t end = text.find_last_of("\r\n");
    text.resize(end == std::string::npos ? filled : end + 1);
  }
  return text;
}

// Whether the line is a card of this tool: columns 1-4 one of its keywords, then a blank or
// the line end.
bool is_card(std::string_view line) {
  std::array<char, 5> head{' ', ' ', ' ', ' ', ' '};
  std::copy_n(line.begin(), std::min(line.size(), head.size()), head.begin());
  const std::string_view keyword(head.data(), 4);
  return head[4] == ' ' && std::find(cards::kKeywords.begin(), cards::kKeywords.end(), keyword) !=
                               cards::kKeywords.end();
}

}  // namespace

bool looks_like_card_file(std::string_view text) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(kByteOrderMark)) {
    text.remove_prefix(kByteOrderMark.size());
  }
  if (datafile::begins_with_run_header(text)) {
    return false;
  }
  // Each pass takes at least one byte off the text.
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    if (is_card(text.substr(0, end))) {
      return true;
    }
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return false;
}

std::string run_files_refusal(const BatchOptions& batch, support::Platform& system) {
  std::vector<RunFile> files;
  if (batch.report.has_value()) {
    files.push_back(locate("report", *batch.report, Use::kReport, system));
  }
  // "-" names standard output, which no file of the run is.
  if (batch.json.has_value() && *batch.json != "-") {
    files.push_back(locate("results file", *batch.json, Use::kReport, system));
  }
  // "-" is a standard stream, no file.
  const bool to_standard_output = !batch.check && is_standard_stream(batch.output);
  if (!batch.check && !to_standard_output) {
    files.push_back(locate("output data file", batch.output, Use::kOutput, system));
  }
  if (!is_standard_stream(batch.input)) {
    files.push_back(locate("input card file", batch.input, Use::kRead, system));
  }
  // An element-number file whose first three characters are blank is no file: no checking.
  if (batch.elements.has_value() && !support::without_trailing_blanks(*batch.elements).empty() &&
      !batch.elements->starts_with("   ")) {
    files.push_back(locate("element-number file", *batch.elements, Use::kRead, system));
  }
  if (batch.groups.has_value()) {
    files.push_back(locate("group-name file", *batch.groups, Use::kRead, system));
  }

  for (std::size_t i = 0; i < files.size(); ++i) {
    const RunFile& w = files[i];
    for (std::size_t j = 0; j < files.size() && w.use != Use::kRead; ++j) {
      const RunFile& other = files[j];
      // A pair of written files is seen once; the output data file on an existing file the
      // run reads is the run's own refusal (the error end).
      if (j == i || (other.use != Use::kRead && j < i) || !same_file(w, other) ||
          (w.use == Use::kOutput && other.use == Use::kRead && other.file.has_value())) {
        continue;
      }
      if (other.use != Use::kRead) {
        return "the " + std::string(w.what) + " " + quoted(w.given) + " and the " +
               std::string(other.what) + " " + quoted(other.given) +
               " are the same file; nothing is converted";
      }
      return "the " + std::string(w.what) + " " + quoted(w.given) + " would overwrite the " +
             std::string(other.what) + " " + quoted(other.given) + "; nothing is converted";
    }
  }

  // Console lines written to the same file would spoil the page.
  const auto written_by_console = [&](std::string_view what, const std::string& name) {
    const auto stream = support::written_by_console(system, name);
    return stream.has_value()
               ? "the " + std::string(what) + " " + quoted(name) + " is the file standard " +
                     (*stream == support::StandardStream::kOutput ? "output" : "error") +
                     " writes to; nothing is converted"
               : std::string();
  };
  if (batch.report.has_value()) {
    if (std::string refusal = written_by_console("report", *batch.report); !refusal.empty()) {
      return refusal;
    }
  }
  if (batch.json.has_value() && *batch.json != "-") {
    if (std::string refusal = written_by_console("results file", *batch.json); !refusal.empty()) {
      return refusal;
    }
  }

  if (batch.check || batch.force || to_standard_output) {
    return "";
  }
  const auto output = std::find_if(files.begin(), files.end(),
                                   [](const RunFile& f) { return f.use == Use::kOutput; });
  const bool read_by_the_run = std::any_of(files.begin(), files.end(), [&](const RunFile& f) {
    return f.use == Use::kRead && same_file(f, *output);
  });
  if (output->file.has_value() && !read_by_the_run &&
      system.kind(output->opened) == support::FileKind::kRegular) {
    const std::optional<std::string> start = file_start(output->opened, system);
    if (start.has_value() && looks_like_card_file(*start)) {
      return one_line(output->given) + " looks like a card file; give --force to replace it";
    }
  }
  return "";
}

std::string derived_name(std::string_view input, std::string_view folder,
                         std::string_view extension) {
  const std::string_view name = support::without_trailing_blanks(input);
  const std::size_t split = support::folder_part(name);
  std::string_view last = name.substr(split);
  // A dot that begins the component (".profile") begins no extension.
  if (const std::size_t dot = last.rfind('.'); dot != std::string_view::npos && dot > 0) {
    last = last.substr(0, dot);
  }
  std::string path(folder.empty() ? name.substr(0, split) : folder);
  if (!folder.empty() && support::folder_part(path) != path.size()) {
    path += '/';
  }
  return path + std::string(last) + std::string(extension);
}

std::string derived_output_refusal(const BatchOptions& batch, support::Platform& system) {
  if (batch.check || is_standard_stream(batch.output)) {
    return "";
  }
  const std::string_view output = support::without_trailing_blanks(batch.output);
  const std::optional<support::FileIdentity> existing = system.identity(output);
  if (!existing.has_value()) {
    return "";
  }
  if (!is_standard_stream(batch.input) &&
      system.identity(support::without_trailing_blanks(batch.input)) == existing) {
    return "the output named after the input card file " + quoted(batch.input) +
           " is that file itself; give an OUTPUT name or an output folder (-o DIR)";
  }
  if (batch.force || system.kind(output) != support::FileKind::kRegular) {
    return "";
  }
  const std::optional<std::string> start = file_start(output, system);
  if (!start.has_value() || start->empty() || datafile::begins_with_run_header(*start)) {
    return "";
  }
  return one_line(output) +
         " is there and is no data file of qel2br (its run header is missing); give --force to "
         "replace it";
}

std::string many_files_refusal(std::span<const BatchOptions> runs, support::Platform& system) {
  // Two runs that would write one name: told by their inputs.
  const auto same_name = [&](std::string_view what, auto name_of) -> std::string {
    for (std::size_t i = 0; i < runs.size(); ++i) {
      for (std::size_t j = i + 1; j < runs.size(); ++j) {
        const std::optional<std::string_view> a = name_of(runs[i]);
        const std::optional<std::string_view> b = name_of(runs[j]);
        if (!a.has_value() || !b.has_value()) {
          continue;
        }
        const std::string_view sa = support::without_trailing_blanks(*a);
        const std::string_view sb = support::without_trailing_blanks(*b);
        if (sa.substr(0, support::folder_part(sa)) == sb.substr(0, support::folder_part(sb)) &&
            support::same_entry_name(sa.substr(support::folder_part(sa)),
                                     sb.substr(support::folder_part(sb)))) {
          return quoted(runs[i].input) + " and " + quoted(runs[j].input) +
                 " would both be written to the " + std::string(what) + " " + quoted(sa) +
                 "; nothing is converted";
        }
      }
    }
    return "";
  };
  if (std::string refusal = same_name("output data file",
                                      [](const BatchOptions& b) {
                                        return b.check ? std::nullopt
                                                       : std::optional<std::string_view>(b.output);
                                      });
      !refusal.empty()) {
    return refusal;
  }
  if (std::string refusal = same_name("report",
                                      [](const BatchOptions& b) {
                                        return b.report.has_value()
                                                   ? std::optional<std::string_view>(*b.report)
                                                   : std::nullopt;
                                      });
      !refusal.empty()) {
    return refusal;
  }

  // Then by identity (links, other spellings): what one run writes is no file of another run.
  struct Files {
    std::vector<RunFile> written;
    std::optional<RunFile> input;
  };
  std::vector<Files> all(runs.size());
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const BatchOptions& b = runs[i];
    if (!b.check && !is_standard_stream(b.output)) {
      all[i].written.push_back(locate("output data file", b.output, Use::kOutput, system));
    }
    if (b.report.has_value()) {
      all[i].written.push_back(locate("report", *b.report, Use::kReport, system));
    }
    if (!is_standard_stream(b.input)) {
      all[i].input = locate("input card file", b.input, Use::kRead, system);
    }
  }
  for (std::size_t i = 0; i < runs.size(); ++i) {
    for (const RunFile& w : all[i].written) {
      for (std::size_t j = 0; j < runs.size(); ++j) {
        if (j == i) {
          continue;
        }
        if (all[j].input.has_value() && same_file(w, *all[j].input)) {
          return "the " + std::string(w.what) + " " + quoted(w.given) + " of " +
                 quoted(runs[i].input) + " would overwrite the input card file " +
                 quoted(all[j].input->given) + "; nothing is converted";
        }
        for (const RunFile& other : all[j].written) {
          if (j > i && same_file(w, other)) {
            return "the " + std::string(w.what) + " " + quoted(w.given) + " of " +
                   quoted(runs[i].input) + " and the " + std::string(other.what) + " " +
                   quoted(other.given) + " of " + quoted(runs[j].input) +
                   " are the same file; nothing is converted";
          }
        }
      }
    }
  }
  return "";
}

std::string results_file_refusal(std::string_view json, std::span<const BatchOptions> runs,
                                 support::Platform& system) {
  if (is_standard_stream(json)) {
    return "";
  }
  const RunFile results = locate("results file", json, Use::kReport, system);
  for (const BatchOptions& b : runs) {
    std::vector<RunFile> files;
    if (!is_standard_stream(b.input)) {
      files.push_back(locate("input card file", b.input, Use::kRead, system));
    }
    if (!b.check && !is_standard_stream(b.output)) {
      files.push_back(locate("output data file", b.output, Use::kOutput, system));
    }
    if (b.report.has_value()) {
      files.push_back(locate("report", *b.report, Use::kReport, system));
    }
    if (b.elements.has_value() && !support::without_trailing_blanks(*b.elements).empty() &&
        !b.elements->starts_with("   ")) {
      files.push_back(locate("element-number file", *b.elements, Use::kRead, system));
    }
    if (b.groups.has_value()) {
      files.push_back(locate("group-name file", *b.groups, Use::kRead, system));
    }
    for (const RunFile& other : files) {
      if (!same_file(results, other)) {
        continue;
      }
      if (other.use != Use::kRead) {
        return "the results file " + quoted(json) + " and the " + std::string(other.what) + " " +
               quoted(other.given) + " are the same file; nothing is converted";
      }
      return "the results file " + quoted(json) + " would overwrite the " +
             std::string(other.what) + " " + quoted(other.given) + "; nothing is converted";
    }
  }
  return "";
}

int check_run_files(const BatchOptions& batch, support::OutputUnit& errors,
                    support::Platform& system) {
  const std::string refusal = run_files_refusal(batch, system);
  if (refusal.empty()) {
    return kNormalEnd;
  }
  errors.write_rendered(support::format_report({.message = refusal}));
  errors.flush();
  return kInputStop;
}

}  // namespace qel2br::driver
