// Many inputs in one command: the conversions run on worker threads, each into its own
// transcript; the main thread writes the transcripts in the order of the command line.
#include "driver/many_files.hpp"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "driver/exit_status.hpp"
#include "driver/file_run.hpp"
#include "driver/run_files.hpp"
#include "driver/standard_streams.hpp"
#include "support/input_stop.hpp"

namespace qel2br::driver {

namespace {

// What one conversion wrote to standard output and standard error, in the order written.
struct Transcript {
  struct Piece {
    bool error = false;
    std::string text{};
  };
  std::vector<Piece> pieces{};

  void add(bool error, std::string_view text) {
    if (text.empty()) {
      return;
    }
    if (pieces.empty() || pieces.back().error != error) {
      pieces.push_back({.error = error, .text = {}});
    }
    pieces.back().text.append(text);
  }
};

// A console or error unit of one conversion: each text is added to its transcript as it is
// written (a block of no bytes), so that the order of the two streams is kept.
class CapturedOutput final : public support::OutputUnit {
 public:
  CapturedOutput(Transcript& transcript, bool error)
      : OutputUnit(support::kConsoleLineEnd, 0), transcript_(transcript), error_(error) {}
  void flush() override { pass_on(); }

 protected:
  void pass_on() override {
    transcript_.add(error_, pending());
    pending().clear();
  }

 private:
  Transcript& transcript_;
  bool error_;
};

// One input: its transcript and how its run ended.
struct Slot {
  Transcript transcript{};
  int status = kNormalEnd;
  bool started = false;
  bool done = false;  // guarded by the mutex of the run
  results::InputResult result{};
};

int convert(const BatchOptions& batch, const ManyFiles& many, Transcript& transcript,
            results::InputResult* result) {
  try {
    CapturedOutput console(transcript, false);
    CapturedOutput errors(transcript, true);
    support::DiscardedOutput discarded(support::kConsoleLineEnd);
    support::OutputUnit& shown =
        many.quiet ? static_cast<support::OutputUnit&>(discarded) : console;
    const int status = run_file(
        batch, {.derived_output = many.derived_outputs, .version = many.version, .result = result},
        shown, errors);
    console.flush();
    errors.flush();
    return status;
  } catch (const std::bad_alloc&) {
    transcript.add(true, "qel2br: out of memory\n");
    return kInputStop;
  }
}

// The line of an input that did not end normally.
std::string failure_line(const BatchOptions& batch, const Slot& slot) {
  const std::string name(shown_input(batch.input));
  if (!slot.started) {
    return name + (batch.check ? ": not checked" : ": not converted") +
           " (--fail-fast: an input before it failed)";
  }
  switch (slot.status) {
    case kErrorEnd:
      return name + ": error end (exit status 1)" +
             (batch.check ? std::string() : "; " + batch.output + " has no end line");
    case kInputStop:
      return name + ": stopped (exit status 2)";
    default:
      return name + ": internal error (exit status " + std::to_string(slot.status) + ")";
  }
}

std::string counted(std::size_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

}  // namespace

std::size_t default_jobs() {
  return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMostJobs);
}

int run_many_files(const ManyFiles& many, support::OutputUnit& out, support::OutputUnit& errors,
                   ResultsFile* results) {
  support::Platform& system = support::platform();
  std::string refusal;
  for (const auto& [folder, what] : {std::pair{&many.output_folder, "output folder"},
                                     std::pair{&many.report_folder, "report folder"}}) {
    if (refusal.empty() && folder->has_value() &&
        system.kind(**folder) != support::FileKind::kDirectory) {
      refusal = "the " + std::string(what) + " \"" + **folder + "\" is no folder" +
                (system.kind(**folder).has_value() ? "" : " (there is nothing of that name)") +
                "; nothing is converted";
    }
  }
  if (refusal.empty()) {
    refusal = many_files_refusal(many.runs, system);
  }
  if (!refusal.empty()) {
    errors.write_rendered(support::format_report({.message = refusal}));
    errors.flush();
    return kInputStop;
  }
  const std::size_t n = many.runs.size();
  std::vector<Slot> slots(n);
  std::mutex mutex;
  std::condition_variable finished;
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  // Each pass takes the next input; the inputs are counted.
  const auto work = [&] {
    while (true) {
      const std::size_t i = next.fetch_add(1);
      if (i >= n) {
        return;
      }
      Slot& slot = slots[i];
      if (!many.fail_fast || !failed.load()) {
        slot.started = true;
        slot.status = convert(many.runs[i], many, slot.transcript,
                              results != nullptr ? &slot.result : nullptr);
        if (slot.status != kNormalEnd) {
          failed.store(true);
        }
      }
      {
        const std::lock_guard<std::mutex> lock(mutex);
        slot.done = true;
      }
      finished.notify_all();
    }
  };

  std::vector<std::thread> workers;
  const std::size_t wanted = std::clamp<std::size_t>(many.jobs, 1, std::min(n, kMostJobs));
  for (std::size_t w = 0; w < wanted; ++w) {
    try {
      workers.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // fewer threads than asked; the ones started take all the inputs
    }
  }
  if (workers.empty()) {
    work();  // no thread at all: the inputs are converted here, one after the other
  }

  int worst = kNormalEnd;
  std::size_t good = 0;
  std::size_t not_started = 0;
  for (std::size_t i = 0; i < n; ++i) {
    Slot& slot = slots[i];
    {
      std::unique_lock<std::mutex> lock(mutex);
      finished.wait(lock, [&slot] { return slot.done; });
    }
    for (const Transcript::Piece& piece : slot.transcript.pieces) {
      support::OutputUnit& stream = piece.error ? errors : out;
      stream.pending().append(piece.text);
      stream.flush();
    }
    slot.transcript.pieces.clear();
    slot.transcript.pieces.shrink_to_fit();
    if (slot.started) {
      worst = std::max(worst, slot.status);
      if (results != nullptr) {
        results->add(std::move(slot.result));
      }
    }
    good += slot.started && slot.status == kNormalEnd ? 1 : 0;
    not_started += slot.started ? 0 : 1;
    if (!many.quiet && (!slot.started || slot.status != kNormalEnd)) {
      out.write_line(failure_line(many.runs[i], slot));
      out.flush();
    }
  }
  for (std::thread& worker : workers) {
    worker.join();
  }
  if (!many.quiet && n > 1) {
    const bool check = many.runs.front().check;
    std::string total = "total: " + counted(n, "input", "inputs") + ", " + std::to_string(good) +
                        (check ? " checked" : " converted");
    if (const std::size_t bad = n - good - not_started; bad > 0) {
      total += ", " + std::to_string(bad) + " failed";
    }
    if (not_started > 0) {
      total += ", " + std::to_string(not_started) + (check ? " not checked" : " not converted");
    }
    out.write_line(total);
    out.flush();
  }
  return worst;
}

}  // namespace qel2br::driver
