// Qel2Br as a library: the card text of a wave and current load program in, the records of the
// hydrodynamic data file, its warnings and how the conversion ended out, and a writer of the
// data file's text.
//
// Two steps, as the console dialogue takes them:
//   1. inspect(card_text) tells what the dialogue would ask: whether FLOO cards name groups (then
//      it asks whether to convert in group mode, with a group-name file) and the number of sets
//      of each set keyword that name a group.
//   2. convert(card_text, options, sink) converts in the mode chosen, with the group-name or
//      element-number text given, and gives every record to sink in data-file order.
//
// A records::RecordSink takes the records (see records/records.hpp); DataFileText holds the sink
// that writes the data file (lines ended by CR LF).
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "records/records.hpp"

namespace qel2br {

// What the dialogue would ask of a card text.
struct CardFacts {
  // The FLOO, ELIM, SPEC and SPEX cards that name a group (the dialogue shows these counts).
  std::int32_t floo_sets = 0;
  std::int32_t elim_sets = 0;
  std::int32_t spec_sets = 0;
  std::int32_t spex_sets = 0;
  // Whether the dialogue asks for group mode: some FLOO card names a group.
  [[nodiscard]] bool asks_for_groups() const { return floo_sets > 0; }
};

// The first step: what the dialogue would ask of card_text.
[[nodiscard]] CardFacts inspect(std::string_view card_text);

enum class SetMode : std::uint8_t {
  kElements,  // element sets element by element, optionally checked against element numbers
  kGroups,    // flooded groups from a group-name file
};

struct ConvertOptions {
  // The card file's name, as warnings and the data file's run header show it.
  std::string card_name = "cards.inp";
  SetMode mode = SetMode::kElements;
  // Group mode: the text of the group-name file. Element mode: the text of the element-number
  // file, or empty for no element ID check.
  std::string set_text{};
  // The set file's name, as messages show it.
  std::string set_name = "sets.txt";
  // The run header's date text (" Date : 2026-12-10 20:15:00"); empty: the present moment.
  std::string date{};
};

enum class End : std::uint8_t {
  kNormal,     // every record and the end were given
  kErrorEnd,   // the conversion took its error end (a FLOO card names an undefined group)
  kInputStop,  // the input stopped the conversion (a field that holds no number, a full table)
};

// A warning: the file and line it is about (0: the file as a whole), the columns (0: none), its
// kind (as -Wno-KIND names it) and its text.
struct Warning {
  std::string file{};
  std::int64_t line = 0;
  int first_column = 0;
  int last_column = 0;
  std::string kind{};
  std::string message{};
};

struct ConvertResult {
  End end = End::kNormal;
  // Why it did not end normally, in the words of the command line's report; empty otherwise.
  std::string reason{};
  // The warnings, at most 1,000 of a kind.
  std::vector<Warning> warnings{};
};

// The second step: converts card_text with options, giving each record to every sink, in
// data-file order (a sink of your own beside the data file writer: {mine, file.sink()}). Records
// given before a stop or an error end stay given.
[[nodiscard]] ConvertResult convert(
    std::string_view card_text, const ConvertOptions& options,
    std::initializer_list<std::reference_wrapper<records::RecordSink>> sinks);

// The data file writer: the records its sink takes as the lines of the data file, each ended by
// CR LF.
class DataFileText {
 public:
  DataFileText();
  DataFileText(const DataFileText&) = delete;
  DataFileText& operator=(const DataFileText&) = delete;
  DataFileText(DataFileText&&) = delete;
  DataFileText& operator=(DataFileText&&) = delete;
  ~DataFileText();

  // The sink that writes the lines.
  [[nodiscard]] records::RecordSink& sink();
  // The lines written so far.
  [[nodiscard]] const std::string& text() const;

 private:
  struct Writer;
  std::unique_ptr<Writer> writer_;
};

}  // namespace qel2br
