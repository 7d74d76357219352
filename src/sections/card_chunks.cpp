// The card loop of the readers that read many cards, with a second thread reading every second
// chunk of cards ahead of its turn.
#include "sections/card_chunks.hpp"

#include <array>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stop_token>
#include <system_error>
#include <thread>
#include <utility>

namespace qel2br::sections {

namespace {

using cards::CardIndex;

// The chunks read ahead and not yet taken, in order; the second thread keeps at most kWaiting
// of them, so that the records held stay within a few chunks.
class AheadQueue {
 public:
  static constexpr std::size_t kWaiting = 2;

  // Waits until there is room for a chunk; false when the thread is asked to stop.
  bool wait_for_room(const std::stop_token& stop) {
    std::unique_lock lock(mutex_);
    return changed_.wait(lock, stop, [&] { return count_ < kWaiting; }) && !stop.stop_requested();
  }
  void put(ChunkRecords chunk) {
    {
      const std::scoped_lock lock(mutex_);
      slots_[(first_ + count_) % kWaiting] = std::move(chunk);
      ++count_;
    }
    changed_.notify_all();
  }
  // The next chunk, once it is read.
  ChunkRecords take() {
    ChunkRecords chunk;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return count_ > 0; });
      chunk = std::move(slots_[first_]);
      first_ = (first_ + 1) % kWaiting;
      --count_;
    }
    changed_.notify_all();
    return chunk;
  }

 private:
  std::mutex mutex_;
  std::condition_variable_any changed_;
  std::array<ChunkRecords, kWaiting> slots_{};
  std::size_t first_ = 0;
  std::size_t count_ = 0;
};

}  // namespace

void ChunkRecords::collect(support::WarningKind kind, const support::WarningPlace& place,
                           std::string message) {
  events_.emplace_back(support::KeptWarning{.file = std::string(place.file),
                                            .line = place.line,
                                            .first_column = place.first_column,
                                            .last_column = place.last_column,
                                            .kind = kind,
                                            .message = std::move(message)});
}

void ChunkRecords::replay(records::RecordSink& sink, support::Warnings& warnings) const {
  for (const Event& event : events_) {
    if (const auto* state = std::get_if<records::SeaState>(&event)) {
      sink.sea_state(*state);
    } else if (const auto* current = std::get_if<records::Current>(&event)) {
      sink.current(*current);
    } else if (const auto* record = std::get_if<records::ElementRecord>(&event)) {
      sink.element_record(*record);
    } else {
      const auto& warning = std::get<support::KeptWarning>(event);
      warnings.warn(warning.kind,
                    {.file = warning.file,
                     .line = warning.line,
                     .first_column = warning.first_column,
                     .last_column = warning.last_column},
                    warning.message);
    }
  }
  if (end_) {
    std::rethrow_exception(end_);
  }
}

ChunkRecords read_chunk(const cards::CardReader& file, std::string_view keyword,
                        const CardIndex::Chunk& chunk, const records::RunValues& values,
                        CardRead read) {
  ChunkRecords done;
  try {
    cards::CardReader cards;
    cards.share(file);
    support::Warnings warnings;
    warnings.collect(&done);
    cards.set_warnings(&warnings);
    cards.start_scan(keyword);
    cards.seek(chunk.first, 0);
    cards.scan_chunk(chunk);
    Reading in{.cards = cards, .warnings = warnings, .values = values, .sink = done};
    while (cards.next_card()) {
      read(in);
    }
  } catch (...) {  // an input stop or any failure ends the chunk where it happened
    done.end_early(std::current_exception());
  }
  return done;
}

void read_cards(Reading& in, std::string_view keyword, CardRead read) {
  const std::vector<CardIndex::Chunk> chunks = in.threads == Threads::kOne
                                                   ? std::vector<CardIndex::Chunk>{}
                                                   : in.cards.index().chunks(keyword, kChunkCards);
  const auto one_thread = [&] {
    in.cards.start_scan(keyword);
    while (in.cards.next_card()) {
      read(in);
    }
  };
  if (in.threads == Threads::kOne || chunks.size() < kFewestChunks) {
    one_thread();
    return;
  }

  const cards::CardReader& file = in.cards;
  const records::RunValues& values = in.values;
  AheadQueue ahead;
  // Declared last, so that it is stopped and joined first when a stop unwinds the loop below.
  std::jthread second;
  try {
    second = std::jthread([&](const std::stop_token& stop) {
      for (std::size_t c = 1; c < chunks.size(); c += 2) {
        if (!ahead.wait_for_room(stop)) {
          return;
        }
        ahead.put(read_chunk(file, keyword, chunks[c], values, read));
      }
    });
  } catch (const std::system_error&) {
    // No second thread can be started: the run reads every card itself.
    one_thread();
    return;
  }
  for (std::size_t c = 0; c < chunks.size(); ++c) {
    const ChunkRecords done =
        c % 2 == 1 ? ahead.take() : read_chunk(file, keyword, chunks[c], values, read);
    done.replay(in.sink, in.warnings);
  }
}

}  // namespace qel2br::sections
