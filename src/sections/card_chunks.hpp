// The card loop of the readers that read many cards: on two cores, chunks of cards are read on
// two threads, each chunk by a pure function of its cards and the run values.
#pragma once

#include <cstddef>
#include <exception>
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
// (an input stop or any other failure), if anything did.
class ChunkRecords final : public records::RecordSink, public support::WarningCollector {
 public:
  using Event = std::variant<records::SeaState, records::Current, records::ElementRecord,
                             support::KeptWarning>;

  void sea_state(const records::SeaState& state) override { events_.emplace_back(state); }
  void current(const records::Current& current) override { events_.emplace_back(current); }
  void element_record(const records::ElementRecord& record) override {
    events_.emplace_back(record);
  }
  void collect(support::WarningKind kind, const support::WarningPlace& place,
               std::string message) override;
  void end_early(std::exception_ptr end) { end_ = std::move(end); }

  // Gives the records to sink and the warnings to warnings in their order, then ends as the
  // chunk ended (rethrows what ended it early).
  void replay(records::RecordSink& sink, support::Warnings& warnings) const;

 private:
  std::vector<Event> events_;
  std::exception_ptr end_;
};

// read_chunk(file, keyword, chunk, values, read): the records and warnings of the cards of the
// chunk (of keyword), each read by read with values, on a reader of its own of file's lines.
// Nothing it can reach is changed: file and values are const, the rest is its own.
[[nodiscard]] ChunkRecords read_chunk(const cards::CardReader& file, std::string_view keyword,
                                      const cards::CardIndex::Chunk& chunk,
                                      const records::RunValues& values, CardRead read);

// read_cards(in, keyword, read): the cards of keyword (one of the tool's keywords) in file order,
// each read by read. When they make at least kFewestChunks chunks of kChunkCards, the chunks are
// read by read_chunk, every second one on a second thread ahead of its turn, and their records
// and warnings are given in chunk order: what a one-thread reading gives, and the same stop.
void read_cards(Reading& in, std::string_view keyword, CardRead read);

}  // namespace qel2br::sections
