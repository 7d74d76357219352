// The card loop of the readers that read many cards: on two cores, chunks of cards are read on
// two threads, each chunk by a pure function of its cards and the run values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cards/card_index.hpp"
#include "cards/card_reader.hpp"
#include "records/records.hpp"
#include "sections/reading.hpp"
#include "support/warnings.hpp"

namespace qel2br::sections {

// Reads one card, the one last read by in.cards, and what follows it. A plain function: it
// holds no state of its own, so it reads the same on any thread.
using CardRead = void (*)(Reading& in);

// The cards of a chunk.
inline constexpr std::size_t kChunkCards = 1024;
// A keyword of fewer chunks is read on one thread: starting the second one costs about what it
// would save (a file of 10,000 cards ran slower with it).
inline constexpr std::size_t kFewestChunks = 4;

// What reading a chunk gave, in card order: its records and warnings, and what ended it early
// (an input stop or any other failure), if anything did. The lists of its records are kept in
// two pools, so that a chunk holds a few blocks of memory however many records it has.
class ChunkRecords final : public records::RecordSink, public support::WarningCollector {
 public:
  // printer: prints each record's lines as it is taken (none when null).
  ChunkRecords() = default;
  explicit ChunkRecords(const LinePrinter* printer)
      : printer_(printer),
        lines_(std::make_unique<support::StringOutput>(
            printer != nullptr ? printer->line_end() : support::kFileLineEnd)) {}

  void sea_state(const records::SeaState& state) override;
  void current(const records::Current& current) override;
  void element_record(const records::ElementRecord& record) override;
  void collect(support::WarningKind kind, const support::WarningPlace& place,
               std::string message) override;
  void end_early(std::exception_ptr end) { end_ = std::move(end); }
  // Empties it for the next chunk, keeping its memory, with printer as its printer.
  void clear(const LinePrinter* printer);

  // Gives the records to sink and the warnings to warnings in their order, then ends as the
  // chunk ended (rethrows what ended it early). The records are given in scratch.
  void replay(records::RecordSink& sink, support::Warnings& warnings,
              records::Current& current_scratch, records::ElementRecord& element_scratch) const;

 private:
  // A part of a pool: its first entry and its count.
  struct Span {
    std::size_t first = 0;
    std::size_t count = 0;
  };
  // A current without its points, which are in points_.
  struct PooledCurrent {
    records::Current head;  // its points are empty
    Span points;
  };
  // An element record without its lists, which are in numbers_.
  struct PooledElements {
    records::ElementRecord head;  // its lists are empty
    Span positions;
    Span left_out;
  };
  using Record =
      std::variant<records::SeaState, PooledCurrent, PooledElements, support::KeptWarning>;
  // A record or a warning, and the part of lines_ that holds its printed lines.
  struct Event {
    Record record;
    Span lines;
  };
  // Notes record, with the lines print() prints of it.
  template <typename Print>
  void note(Record record, Print&& print);

  template <typename T>
  static Span pool(std::vector<T>& into, const std::vector<T>& items) {
    const Span span{.first = into.size(), .count = items.size()};
    into.insert(into.end(), items.begin(), items.end());
    return span;
  }
  template <typename T>
  static void take(const std::vector<T>& from, Span span, std::vector<T>& into) {
    const auto first = from.begin() + static_cast<std::ptrdiff_t>(span.first);
    into.assign(first, first + static_cast<std::ptrdiff_t>(span.count));
  }

  std::vector<Event> events_;
  std::vector<records::ProfilePoint> points_;
  std::vector<std::int32_t> numbers_;
  std::exception_ptr end_;
  const LinePrinter* printer_ = nullptr;
  // The printed lines (never null once printer_ is set).
  std::unique_ptr<support::StringOutput> lines_;
};

// read_chunk(file, keyword, chunk, values, read): the records and warnings of the cards of the
// chunk (of keyword), each read by read with values, on a reader of its own of file's lines.
// Nothing it can reach is changed: file and values are const, the rest is its own.
// Its records are printed by printer when it is not null. The records are put in recycled,
// emptied first (so that its memory is used again).
[[nodiscard]] ChunkRecords read_chunk(ChunkRecords recycled, const cards::CardReader& file,
                                      std::string_view keyword,
                                      const cards::CardIndex::Chunk& chunk, const RunValues& values,
                                      const LinePrinter* printer, CardRead read);

// read_cards(in, keyword, read): the cards of keyword (one of the tool's keywords) in file order,
// each read by read. When they make at least kFewestChunks chunks of kChunkCards, the chunks are
// read by read_chunk, every second one on a second thread ahead of its turn, and their records
// and warnings are given in chunk order: what a one-thread reading gives, and the same stop.
void read_cards(Reading& in, std::string_view keyword, CardRead read);

}  // namespace qel2br::sections
