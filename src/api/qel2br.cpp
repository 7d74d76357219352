// The library face: the first step (what the dialogue would ask), the conversion of a card text
// to records, and the data file writer.
#include <exception>
#include <memory>
#include <new>
#include <qel2br/qel2br.hpp>
#include <string>
#include <utility>

#include "cards/card_reader.hpp"
#include "datafile/data_file.hpp"
#include "driver/conversion.hpp"
#include "driver/header.hpp"
#include "driver/record_sinks.hpp"
#include "driver/run_context.hpp"
#include "driver/run_end.hpp"
#include "sets/element_sets.hpp"
#include "support/input_stop.hpp"
#include "support/line_source.hpp"
#include "support/output_unit.hpp"
#include "support/unit_table.hpp"
#include "support/warnings.hpp"

namespace qel2br {

namespace {

// A conversion's context whose files live in memory and whose console lines go nowhere.
struct MemoryContext {
  explicit MemoryContext(std::string_view card_text, const std::string& card_name)
      : run(std::make_unique<driver::RunContext>(answers, console)) {
    run->units.bind_lines(support::kCardUnit, card_name, std::string(card_text));
    run->cards.attach(run->units.lines(support::kCardUnit), card_name);
  }
  support::MemoryLines answers{std::string()};
  support::DiscardedOutput console{support::kConsoleLineEnd};
  std::unique_ptr<driver::RunContext> run;
};

// Chooses the set mode of options on run: the group table read from the group-name text, or
// the element numbers read from the element-number text. Returns why the conversion takes its
// error end, or "".
std::string choose_sets(driver::RunContext& run, const ConvertOptions& options) {
  std::int32_t status = 0;
  sets::STROPN(run.structure, 1, 1, support::kConsoleOut, run.units, status);
  if (status != 0) {
    return "the structure parameter table cannot be set up";
  }
  if (options.mode == SetMode::kGroups) {
    run.values.use_groups = true;
    run.units.bind_lines(support::kGroupUnit, options.set_name, options.set_text);
    std::int32_t groups = 0;
    sets::RDGRPS(run.structure, groups, run.units, support::kGroupUnit, support::kConsoleOut,
                 status);
    if (status != 0) {
      return "the group-name file \"" + options.set_name + "\" holds a group that cannot be stored";
    }
    if (groups <= 0) {
      return "no group is defined on the group-name file \"" + options.set_name + "\"";
    }
    return "";
  }
  if (!options.set_text.empty()) {
    run.units.bind_lines(support::kElementUnit, options.set_name, options.set_text);
    sets::ElementList numbers;
    sets::RDELMS(numbers, run.units, support::kElementUnit);
    run.values.elements = std::make_shared<const sections::ElementCheck>(
        sections::ElementCheck{.numbers = sets::SortedNumbers(numbers), .file = options.set_name});
  }
  return "";
}

}  // namespace

CardFacts inspect(std::string_view card_text) {
  cards::CardReader cards;
  support::MemoryLines lines{std::string(card_text)};
  cards.attach(lines, "cards.inp");
  return {.floo_sets = sets::CNTSET("FLOO", cards),
          .elim_sets = sets::CNTSET("ELIM", cards),
          .spec_sets = sets::CNTSET("SPEC", cards),
          .spex_sets = sets::CNTSET("SPEX", cards)};
}

ConvertResult convert(std::string_view card_text, const ConvertOptions& options,
                      std::initializer_list<std::reference_wrapper<records::RecordSink>> sinks) {
  driver::SinkList sink;
  for (records::RecordSink& each : sinks) {
    sink.add(each);
  }
  ConvertResult result;
  std::vector<support::KeptWarning> kept;
  const driver::RunEnd end = driver::run_to_end([&]() -> driver::RunEnd {
    MemoryContext memory(card_text, options.card_name);
    driver::RunContext& run = *memory.run;
    run.warnings.bind(memory.console, false);
    run.warnings.keep(&kept);
    run.cards.set_warnings(&run.warnings);
    run.input_name.assign(options.card_name);
    if (options.date.empty()) {
      driver::DATTXT(run.date_text, 6);
    } else {
      run.date_text.assign(options.date);
    }
    std::string reason = choose_sets(run, options);
    if (reason.empty()) {
      if (std::optional<std::string> error_end = driver::convert(run, sink, nullptr)) {
        reason = std::move(*error_end);
      }
    }
    if (!reason.empty()) {
      return {.kind = driver::EndKind::kErrorBlock, .reason = std::move(reason)};
    }
    return {};
  });
  switch (end.kind) {
    case driver::EndKind::kNormal:
      break;
    case driver::EndKind::kErrorBlock:
      result.end = End::kErrorEnd;
      result.reason = end.reason;
      break;
    case driver::EndKind::kStopped:
      result.end = End::kInputStop;
      result.reason = support::format_report(*end.stop);
      while (!result.reason.empty() && result.reason.back() == '\n') {
        result.reason.pop_back();
      }
      break;
    case driver::EndKind::kFault:
    case driver::EndKind::kOutOfMemory:
      result.end = End::kInputStop;
      result.reason = end.kind == driver::EndKind::kFault ? end.reason : "out of memory";
      break;
  }
  for (support::KeptWarning& warning : kept) {
    result.warnings.push_back({.file = std::move(warning.file),
                               .line = warning.line,
                               .first_column = warning.first_column,
                               .last_column = warning.last_column,
                               .kind = std::string(support::warning_kind_name(warning.kind)),
                               .message = std::move(warning.message)});
  }
  return result;
}

struct DataFileText::Writer {
  support::StringOutput out{support::kFileLineEnd};
  datafile::DataFileWriter writer{out};
};

DataFileText::DataFileText() : writer_(std::make_unique<Writer>()) {}
DataFileText::~DataFileText() = default;

records::RecordSink& DataFileText::sink() { return writer_->writer; }

const std::string& DataFileText::text() const { return writer_->out.text(); }

}  // namespace qel2br
