// The set options dialogue: group mode or element mode, and the file that goes with it.
#include "driver/set_options.hpp"

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "cards/text_routines.hpp"
#include "driver/batch.hpp"
#include "layout/layout.hpp"
#include "sets/element_sets.hpp"
#include "sets/structure.hpp"
#include "support/text.hpp"
#include "support/warnings.hpp"

namespace qel2br::driver {

namespace {

using layout::Layout;
using layout::write_record;

constexpr Layout kFirstCount = "(/, A, I4)";
constexpr Layout kCount = "(A, I4)";
constexpr Layout kBlockMessage = "(/, A, /)";
constexpr Layout kNoGroupsMessage = "(/, A, A, /)";

constexpr std::string_view kUseGroups = "Use Groups instead of ElemID /No/ ?  ";
constexpr std::string_view kGroupFile = "File containing Group Names       :  ";
constexpr std::string_view kElementFile = "File containing element IDs       :  ";
static_assert(kUseGroups.size() == 37 && kGroupFile.size() == 37 && kElementFile.size() == 37);

constexpr std::string_view kFlooSets = " Number of FLOO sets:";
constexpr std::string_view kElimSets = " Number of ELIM sets:";
constexpr std::string_view kSpecSets = " Number of SPEC sets:";
constexpr std::string_view kSpexSets = " Number of SPEX sets:";
constexpr std::string_view kNamesRequired = " **  Brakt Group Names required **";
constexpr std::string_view kNoGroups = "** No Groups Found on file: ";
constexpr std::string_view kNoChecking = " *** No Element ID checking *** ";
constexpr std::string_view kCheckingOn = " *** Element ID checking is ON *** ";

constexpr std::string_view kGroupFileIsOutput = " Group name file is the output file: not read";
constexpr std::string_view kElementFileIsOutput = " Element ID file is the output file: not read";

// Why a set file that is the output data file is not read.
std::string is_output_reason(const RunContext& run, std::string_view what, std::string_view name) {
  return "the " + std::string(what) + " \"" + std::string(support::without_trailing_blanks(name)) +
         "\" is the output data file \"" + run.units.name(support::kDataUnit) +
         "\"; it is not read";
}

// Why the group-name file's line last read could not be stored: the structure table is full,
// or its group name is not a legal name.
std::string unstored_group_reason(RunContext& run, std::string_view name) {
  support::MemoryLines& lines = run.units.lines(support::kGroupUnit);
  std::string reason = "the group-name file \"" +
                       std::string(support::without_trailing_blanks(name)) + "\", line " +
                       std::to_string(lines.line_number());
  lines.step_back();
  if (std::string_view line; lines.read_line(line)) {
    reason += " (\"" + std::string(support::without_trailing_blanks(line.substr(0, 80))) + "\")";
  }
  reason += ": ";
  const sets::IdentifierTable* ids = run.structure.identifiers();
  if (ids != nullptr && ids->word(sets::kIdCount) >= ids->word(sets::kIdCapacity)) {
    return reason + "more groups than the structure parameter table holds (" +
           std::to_string(ids->word(sets::kIdCapacity)) + " names)";
  }
  return reason + "the group name is not a legal name (at most 8 printable ASCII characters)";
}

Reason group_mode(RunContext& run, std::int32_t floo_sets, std::int32_t elim_sets,
                  std::int32_t spec_sets, std::int32_t spex_sets) {
  write_record(run.console, kFirstCount, kFlooSets, floo_sets);
  write_record(run.console, kCount, kElimSets, elim_sets);
  write_record(run.console, kCount, kSpecSets, spec_sets);
  write_record(run.console, kCount, kSpexSets, spex_sets);
  write_record(run.console, kBlockMessage, kNamesRequired);

  FileName group_file;
  take_answer(run, kGroupFile, group_file, run.batch != nullptr ? *run.batch->groups : "");
  open_asking(run, kGroupFile, "group-name file", group_file, support::kGroupUnit);
  if (refuse_output_file(run, support::kGroupUnit, kGroupFileIsOutput)) {
    return is_output_reason(run, "group-name file", group_file.view());
  }

  std::int32_t group_count = 0;
  std::int32_t status = 0;
  sets::RDGRPS(run.structure, group_count, run.units, support::kGroupUnit, support::kConsoleOut,
               status);
  if (status != 0) {
    return unstored_group_reason(run, group_file.view());
  }
  if (group_count <= 0) {
    write_record(run.console, kNoGroupsMessage, kNoGroups, group_file);
    return "no group is defined on the group-name file \"" +
           std::string(support::without_trailing_blanks(group_file.view())) + "\"";
  }
  return std::nullopt;
}

Reason element_mode(RunContext& run) {
  FileName element_file;
  take_answer(run, kElementFile, element_file,
              run.batch != nullptr ? run.batch->elements.value_or("") : "");
  // An answer whose first three characters are blanks switches checking off.
  const auto checking_off = [](const FileName& name) { return name.view().substr(0, 3) == "   "; };
  if (!open_asking(run, kElementFile, "element-number file", element_file, support::kElementUnit,
                   checking_off)) {
    write_record(run.console, kBlockMessage, kNoChecking);
    run.values.elements = std::make_shared<const sections::ElementCheck>();
    return std::nullopt;
  }
  if (refuse_output_file(run, support::kElementUnit, kElementFileIsOutput)) {
    return is_output_reason(run, "element-number file", element_file.view());
  }
  write_record(run.console, kBlockMessage, kCheckingOn);
  sets::ElementList numbers;
  sets::RDELMS(numbers, run.units, support::kElementUnit);
  run.values.elements = std::make_shared<const sections::ElementCheck>(sections::ElementCheck{
      .numbers = sets::SortedNumbers(numbers), .file = run.units.name(support::kElementUnit)});
  return std::nullopt;
}

}  // namespace

Reason set_options(RunContext& run) {
  std::int32_t status = 0;
  sets::STROPN(run.structure, 1, 1, support::kConsoleOut, run.units, status);
  if (status != 0) {
    return "the structure parameter table cannot be set up";
  }

  const std::int32_t floo_sets = sets::CNTSET("FLOO", run.cards);
  const std::int32_t elim_sets = sets::CNTSET("ELIM", run.cards);
  const std::int32_t spec_sets = sets::CNTSET("SPEC", run.cards);
  const std::int32_t spex_sets = sets::CNTSET("SPEX", run.cards);

  run.values.use_groups = false;
  if (floo_sets > 0) {
    // From the command line, group mode is chosen by naming the group-name file.
    support::Text<80> answer;
    take_answer(run, kUseGroups, answer,
                run.batch != nullptr && run.batch->groups.has_value() ? "Y" : "N");
    cards::UPCASE(std::span<char>(answer.data(), 80));
    run.values.use_groups = answer.view().front() == 'Y';
  } else if (run.batch != nullptr && run.batch->groups.has_value()) {
    run.warnings.warn(support::WarningKind::kOptionNotUsed, {},
                      "--groups " + *run.batch->groups + " is not used: no FLOO card of " +
                          run.cards.file_name() +
                          " names a group, so the element sets are converted element by "
                          "element");
    // A group-name file that is the output is refused even when it is not read: the output
    // would replace it.
    if (run.units.connected(support::kDataUnit) &&
        run.units.same_file(support::kDataUnit, *run.batch->groups)) {
      write_record(run.console, layout::kOneText, kGroupFileIsOutput);
      return is_output_reason(run, "group-name file", *run.batch->groups);
    }
  }
  if (run.values.use_groups) {
    return group_mode(run, floo_sets, elim_sets, spec_sets, spex_sets);
  }
  return element_mode(run);
}

}  // namespace qel2br::driver
