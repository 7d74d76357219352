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

  // Waits until there is room for a chunk and returns a chunk taken before to be filled again
  // (an empty one at first); nullopt when the thread is asked to stop.
  std::optional<ChunkRecords> wait_for_room(const std::stop_token& stop) {
    std::unique_lock lock(mutex_);
    if (!changed_.wait(lock, stop, [&] { return count_ < kWaiting; }) || stop.stop_requested()) {
      return std::nullopt;
    }
    if (spares_ == 0) {
      return ChunkRecords();
    }
    return std::move(spare_[--spares_]);
  }
  // Gives back a chunk taken, to be filled again.
  void give_back(ChunkRecords chunk) {
    const std::scoped_lock lock(mutex_);
    if (spares_ < kWaiting) {
      spare_[spares_++] = std::move(chunk);
    }
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
  std::array<ChunkRecords, kWaiting> spare_{};
  std::size_t spares_ = 0;
  std::size_t first_ = 0;
  std::size_t count_ = 0;
};

}  // namespace

template <typename Print>
void ChunkRecords::note(Record record, Print&& print) {
  Span lines{};
  if (printer_ != nullptr) {
    lines.first = lines_->text().size();
    print(*printer_);
    lines.count = lines_->text().size() - lines.first;
  }
  events_.push_back({.record = std::move(record), .lines = lines});
}

void ChunkRecords::sea_state(const records::SeaState& state) {
  note(state, [&](const LinePrinter& printer) { printer.sea_state(state, *lines_); });
}

void ChunkRecords::current(const records::Current& current) {
  PooledCurrent pooled{.head = {.line = current.line,
                                .direction = current.direction,
                                .surface_level = current.surface_level,
                                .depth = current.depth},
                       .points = pool(points_, current.points)};
  note(std::move(pooled), [&](const LinePrinter& printer) { printer.current(current, *lines_); });
}

void ChunkRecords::element_record(const records::ElementRecord& record) {
  PooledElements pooled{
      .head = {.keyword = record.keyword, .line = record.line, .cd = record.cd, .cm = record.cm},
      .positions = pool(numbers_, record.positions),
      .left_out = pool(numbers_, record.left_out)};
  note(std::move(pooled),
       [&](const LinePrinter& printer) { printer.element_record(record, *lines_); });
}

void ChunkRecords::collect(support::WarningKind kind, const support::WarningPlace& place,
                           std::string message) {
  events_.push_back({.record = support::KeptWarning{.file = std::string(place.file),
                                                    .line = place.line,
                                                    .first_column = place.first_column,
                                                    .last_column = place.last_column,
                                                    .kind = kind,
                                                    .message = std::move(message)},
                     .lines = {}});
}

void ChunkRecords::replay(records::RecordSink& sink, support::Warnings& warnings,
                          records::Current& current_scratch,
                          records::ElementRecord& element_scratch) const {
  const std::string_view lines = printer_ != nullptr ? lines_->text() : std::string_view();
  for (const Event& event : events_) {
    if (printer_ != nullptr && !std::holds_alternative<support::KeptWarning>(event.record)) {
      sink.printed(lines.substr(event.lines.first, event.lines.count));
    }
    if (const auto* state = std::get_if<records::SeaState>(&event.record)) {
      sink.sea_state(*state);
    } else if (const auto* current = std::get_if<PooledCurrent>(&event.record)) {
      std::vector<records::ProfilePoint> points = std::move(current_scratch.points);
      current_scratch = current->head;
      take(points_, current->points, points);
      current_scratch.points = std::move(points);
      sink.current(current_scratch);
    } else if (const auto* record = std::get_if<PooledElements>(&event.record)) {
      std::vector<std::int32_t> positions = std::move(element_scratch.positions);
      std::vector<std::int32_t> left_out = std::move(element_scratch.left_out);
      element_scratch = record->head;
      take(numbers_, record->positions, positions);
      take(numbers_, record->left_out, left_out);
      element_scratch.positions = std::move(positions);
      element_scratch.left_out = std::move(left_out);
      sink.element_record(element_scratch);
    } else {
      const auto& warning = std::get<support::KeptWarning>(event.record);
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

void ChunkRecords::clear(const LinePrinter* printer) {
  events_.clear();
  points_.clear();
  numbers_.clear();
  end_ = nullptr;
  printer_ = printer;
  if (printer == nullptr) {
    return;
  }
  if (lines_ == nullptr || lines_->line_end() != printer->line_end()) {
    lines_ = std::make_unique<support::StringOutput>(printer->line_end());
  }
  lines_->pending().clear();
}

ChunkRecords read_chunk(ChunkRecords recycled, const cards::CardReader& file,
                        std::string_view keyword, const CardIndex::Chunk& chunk,
                        const RunValues& values, const LinePrinter* printer, CardRead read) {
  ChunkRecords done = std::move(recycled);
  done.clear(printer);
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
  const RunValues& values = in.values;
  const LinePrinter* const printer = in.printer;
  AheadQueue ahead;
  // Declared last, so that it is stopped and joined first when a stop unwinds the loop below.
  std::jthread second;
  try {
    second = std::jthread([&](const std::stop_token& stop) {
      for (std::size_t c = 1; c < chunks.size(); c += 2) {
        std::optional<ChunkRecords> recycled = ahead.wait_for_room(stop);
        if (!recycled) {
          return;
        }
        ahead.put(
            read_chunk(std::move(*recycled), file, keyword, chunks[c], values, printer, read));
      }
    });
  } catch (const std::system_error&) {
    // No second thread can be started: the run reads every card itself.
    one_thread();
    return;
  }
  // The run reads every second chunk itself, in its turn, straight to the sink.
  in.cards.start_scan(keyword);
  for (std::size_t c = 0; c < chunks.size(); ++c) {
    if (c % 2 == 1) {
      ChunkRecords done = ahead.take();
      done.replay(in.sink, in.warnings, in.scratch.current, in.scratch.element_record);
      ahead.give_back(std::move(done));
      continue;
    }
    in.cards.scan_chunk(chunks[c]);
    while (in.cards.next_card()) {
      read(in);
    }
  }
}

}  // namespace qel2br::sections
