// The card loop of the sections that convert many cards, with a second thread converting every
// second chunk of cards ahead of its turn.
#include "sections/card_chunks.hpp"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "cards/card_index.hpp"
#include "support/units.hpp"

namespace qel2br::sections {

namespace {

using cards::CardIndex;

// A chunk converted ahead of its turn.
struct AheadChunk {
  std::string lines;
  // False when the conversion gave a warning or stopped: the chunk is converted again in its turn.
  bool usable = false;
  // Where the conversion left the file: the offset of the next line and the lines before it.
  std::size_t position = 0;
  std::int64_t lines_before = 0;
};

// The run state of the second thread: the run values of the run it converts for, a reader of
// the same card file, and lines of its own in the run's line end. Its warnings are only counted.
class AheadRun {
 public:
  explicit AheadRun(RunState& run) : lines_(run.output().line_end()) {
    run_.cards.share(run.cards);
    run_.length_factor = run.length_factor;
    run_.mass_factor = run.mass_factor;
    run_.mud_plane_z = run.mud_plane_z;
    run_.water_depth = run.water_depth;
    run_.still_water_z = run.still_water_z;
    run_.use_groups = run.use_groups;
    run_.element_numbers = run.element_numbers;
    run_.data_tap = &lines_;
  }

  // Converts the cards of chunk (of the keyword being scanned) as if its heading was written,
  // into lines (an emptied text whose memory is used again).
  AheadChunk convert(const CardIndex::Chunk& chunk, const CardConverter& convert,
                     std::string lines) {
    AheadChunk done;
    lines.clear();
    lines_.pending().swap(lines);
    const std::int64_t warned = run_.warnings.total();
    try {
      run_.cards.seek(chunk.first, 0);
      run_.cards.scan_chunk(chunk);
      bool opened = true;
      while (run_.cards.next_card()) {
        convert(run_, opened);
      }
      done.usable = run_.warnings.total() == warned;
    } catch (...) {  // an input stop or any failure: the chunk is converted again in its turn
      done.usable = false;
    }
    done.lines.swap(lines_.pending());
    done.position = run_.cards.position();
    done.lines_before = run_.cards.line_number();
    return done;
  }

  void start_scan(std::string_view keyword) { run_.cards.start_scan(keyword); }

 private:
  support::MemoryLines no_answers_{std::string()};
  support::StringOutput console_{support::kConsoleLineEnd};
  support::StringOutput lines_;
  RunState run_{no_answers_, console_};
};

// The chunks converted ahead and not yet taken, in order; the second thread keeps at most
// kWaiting of them, so that the lines held stay within a few chunks. The texts of the chunks
// taken come back to be filled again.
class AheadQueue {
 public:
  static constexpr std::size_t kWaiting = 2;

  // Waits until there is room for a chunk and returns a text to fill; empty when the thread is
  // asked to stop.
  std::optional<std::string> wait_for_room(const std::stop_token& stop) {
    std::unique_lock lock(mutex_);
    if (!changed_.wait(lock, stop, [&] { return count_ < kWaiting; }) || stop.stop_requested()) {
      return std::nullopt;
    }
    std::string text;
    for (std::string& spare : spare_) {
      if (spare.capacity() > 0) {
        text.swap(spare);
        break;
      }
    }
    return text;
  }
  void put(AheadChunk chunk) {
    {
      const std::scoped_lock lock(mutex_);
      slots_[(first_ + count_) % kWaiting] = std::move(chunk);
      ++count_;
    }
    changed_.notify_all();
  }
  // Gives back the text of a chunk taken, to be filled again.
  void give_back(std::string text) {
    const std::scoped_lock lock(mutex_);
    for (std::string& spare : spare_) {
      if (spare.capacity() == 0) {
        spare.swap(text);
        return;
      }
    }
  }
  // The next chunk, once it is converted.
  AheadChunk take() {
    AheadChunk chunk;
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
  std::array<AheadChunk, kWaiting> slots_{};
  std::array<std::string, kWaiting> spare_{};
  std::size_t first_ = 0;
  std::size_t count_ = 0;
};

}  // namespace

void convert_cards(RunState& run, std::string_view keyword, bool& opened,
                   const CardConverter& convert) {
  run.cards.start_scan(keyword);
  // The conversion report notes the cards in order as they are converted: one thread only.
  const std::vector<CardIndex::Chunk> chunks = run.report == nullptr
                                                   ? run.cards.index().chunks(keyword, kChunkCards)
                                                   : std::vector<CardIndex::Chunk>{};
  if (chunks.size() < kFewestChunks) {
    while (run.cards.next_card()) {
      convert(run, opened);
    }
    return;
  }

  AheadRun ahead_run(run);
  ahead_run.start_scan(keyword);
  AheadQueue ahead;
  // Declared last, so that it is stopped and joined first when a stop unwinds the loop below.
  std::jthread second;
  try {
    second = std::jthread([&](const std::stop_token& stop) {
      for (std::size_t c = 1; c < chunks.size(); c += 2) {
        std::optional<std::string> lines = ahead.wait_for_room(stop);
        if (!lines) {
          return;
        }
        ahead.put(ahead_run.convert(chunks[c], convert, std::move(*lines)));
      }
    });
  } catch (const std::system_error&) {
    // No second thread can be started: the run converts every chunk itself.
    while (run.cards.next_card()) {
      convert(run, opened);
    }
    return;
  }

  for (std::size_t c = 0; c < chunks.size(); ++c) {
    const CardIndex::Chunk& chunk = chunks[c];
    if (c % 2 == 1) {
      AheadChunk done = ahead.take();
      // Usable only when the run reaches the chunk as the second thread took it: heading
      // written, and the file not read past the chunk's first card. The file is then left where
      // the second thread's reading left it (at the end of the file after the last chunk).
      const bool taken = done.usable && opened && run.cards.position() <= chunk.first;
      if (taken) {
        support::OutputUnit& out = run.output();
        out.pending().append(done.lines);
        out.wrote();
        run.cards.seek(done.position, done.lines_before);
      }
      ahead.give_back(std::move(done.lines));
      if (taken) {
        continue;
      }
    }
    run.cards.scan_chunk(chunk);
    while (run.cards.next_card()) {
      convert(run, opened);
    }
  }
}

}  // namespace qel2br::sections
