// Warnings: input the run reads in a way the user may not mean, reported on standard error.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/output_unit.hpp"

namespace qel2br::support {

// The kinds of warnings; each kind is shown at most kWarningsShown times in a run.
enum class WarningKind : std::uint8_t {
  kFieldHoldsMore,    // a numeric card field holds more than the value that is read
  kKeywordMisplaced,  // a keyword of this tool stands elsewhere than in columns 1-4
  kTabCharacter,      // a card holds tab characters
  kUnknownTheory,     // a wave type code gives the theory "Unknown"
  kElementsLeftOut,   // elements left out by the element ID check
  kGroupPassedOver,   // a FLOO or ELIM card names a group, which element mode passes over
  kOptionNotUsed,     // a command-line option the run had no use for
  kCrLineEnds,        // the lines of the input card file end in CR alone
  kNoCards,           // the input card file holds no card this tool converts
  kAnswerCut,         // a dialogue answer longer than the file name it gives
  // What the conversion passes over or cannot write.
  kElementsPassedOver,  // group mode passes over the element numbers of a set card
  kFieldOverflow,       // a value too wide for its field of the data file (asterisks)
  kProfileOnePoint,     // a depth profile of one card: no profile is written
  kLinesPassedOver,     // blank-started lines after a comment card that ended a current
  // The checks of the converted load model (checks/thresholds.hpp holds their limits).
  kWavePeriod,          // a wave period not above 0
  kWaveHeight,          // a wave height below 0
  kWaveBreaking,        // a wave higher than depth-limited breaking allows
  kWaveSteepness,       // a wave steeper than the breaking limit
  kStokesUrsell,        // a Stokes wave beyond its Ursell number range
  kNoWaterDepth,        // waves or currents in water of depth 0
  kCurrentSpeed,        // a current speed above the plausible
  kCurrentBelowSeabed,  // a current profile point below the sea bed
  kCurrentOrder,        // current profile elevations that go up and down
  kGrowthThickness,     // a marine growth thickness outside the plausible
  kDragCoefficient,     // a drag coefficient outside the usual range
  kInertiaCoefficient,  // an inertia coefficient outside the usual range
  kFloodedNonHydro,     // an element both flooded and non-hydrodynamic
  kRangeOneElement,     // an element range without step that gives its first element alone
  kRangeNoElement,      // an element range that gives no element
  kCount,
};

inline constexpr std::size_t kWarningKinds = static_cast<std::size_t>(WarningKind::kCount);

// The name of each kind, as -Wno-NAME and -Werror=NAME take it and "[-WNAME]" ends its lines.
inline constexpr std::array<std::string_view, kWarningKinds> kWarningKindNames{
    "field-holds-more",  "keyword-misplaced",    "tab-character",        "unknown-theory",
    "elements-left-out", "group-passed-over",    "option-not-used",      "cr-line-ends",
    "no-cards",          "answer-cut",           "elements-passed-over", "field-overflow",
    "profile-one-point", "lines-passed-over",    "wave-period",          "wave-height",
    "wave-breaking",     "wave-steepness",       "stokes-ursell",        "no-water-depth",
    "current-speed",     "current-below-seabed", "current-order",        "growth-thickness",
    "drag-coefficient",  "inertia-coefficient",  "flooded-nonhydro",     "range-one-element",
    "range-no-element"};

// Every kind has its name.
static_assert(std::none_of(kWarningKindNames.begin(), kWarningKindNames.end(),
                           [](std::string_view name) { return name.empty(); }));

// Whether kind is one of the checks of the converted load model (a failed check).
[[nodiscard]] constexpr bool is_check(WarningKind kind) {
  return kind >= WarningKind::kWavePeriod && kind < WarningKind::kCount;
}

// The name of kind ("" for kCount, which names no kind).
[[nodiscard]] std::string_view warning_kind_name(WarningKind kind);
// The kind named name, or nullopt when no kind has that name.
[[nodiscard]] std::optional<WarningKind> warning_kind_named(std::string_view name);

// What a run does with the warnings of a kind.
enum class WarningAction : std::uint8_t {
  kShow,     // shown on standard error and kept (the default)
  kSilence,  // neither shown, kept nor counted (-Wno-KIND)
  kStop,     // the first one stops the run (-Werror=KIND, or --strict for every kind)
};
using WarningActions = std::array<WarningAction, kWarningKinds>;
// The actions the -W options chose, kind by kind (the last option for a kind counts).
using WarningChoices = std::array<std::optional<WarningAction>, kWarningKinds>;

// Where a warning is: file (empty: no file), line (0: no line) and the columns of the field or
// card part concerned (0: no column; a warning about a whole card gives column 1).
struct WarningPlace {
  std::string_view file{};
  std::int64_t line = 0;
  int first_column = 0;
  int last_column = 0;
};

inline constexpr std::int64_t kWarningsShown = 20;
// A conversion report lists this many warnings of one kind, then how many more there were.
inline constexpr std::int64_t kWarningsKept = 1000;

// A warning as the conversion report and the results list it (line 0: no line; column 0: no
// column). A line that counts the warnings of a kind not listed has no file.
struct KeptWarning {
  std::string file{};
  std::int64_t line = 0;
  int first_column = 0;
  int last_column = 0;
  WarningKind kind = WarningKind::kCount;
  std::string message{};
};

// Takes warnings as they are given, unfiltered, to be given again later in their place among
// other results (a reader working ahead of its turn).
class WarningCollector {
 public:
  virtual void collect(WarningKind kind, const WarningPlace& place, std::string message) = 0;

 protected:
  WarningCollector() = default;
  WarningCollector(const WarningCollector&) = default;
  WarningCollector& operator=(const WarningCollector&) = default;
  WarningCollector(WarningCollector&&) = default;
  WarningCollector& operator=(WarningCollector&&) = default;
  ~WarningCollector() = default;
};

// Collects the warnings of a run and writes them, one line each, in the form editors read:
// "FILE:LINE:COLUMN: warning: MESSAGE [-WKIND]". Without an output nothing is written (counts
// still go on). A kind silenced is passed over; a kind that stops turns its first warning into
// an input stop.
class Warnings {
 public:
  // Writes warnings to out from now on: every kind shown, or stopping the run when strict, but
  // the kinds chosen by the -W options.
  void bind(OutputUnit& out, bool strict, const WarningChoices& chosen = {});
  // Keeps the warnings from now on in kept too, at most kWarningsKept of a kind; finish() adds
  // how many more there were.
  void keep(std::vector<KeptWarning>* kept) { kept_ = kept; }
  // Gives every warning from now on to collector alone, whatever its kind: nothing is counted,
  // shown, kept or stopped for here.
  void collect(WarningCollector* collector) { collector_ = collector; }
  // Reports a warning of kind at place.
  void warn(WarningKind kind, const WarningPlace& place, std::string_view message);
  // warn with the message made by make_message() only when it is shown or kept: past the
  // limits of its kind a warning is only counted, and a silenced kind is passed over.
  template <typename MakeMessage>
  void warn_with(WarningKind kind, const WarningPlace& place, MakeMessage&& make_message) {
    if (collector_ != nullptr) {
      collector_->collect(kind, place, std::forward<MakeMessage>(make_message)());
      return;
    }
    std::int64_t& count = count_of(kind);
    const WarningAction action = actions_[static_cast<std::size_t>(kind)];
    if (action == WarningAction::kSilence) {
      return;
    }
    if (action == WarningAction::kShow && count >= kWarningsShown &&
        (kept_ == nullptr || count >= kWarningsKept)) {
      ++count;
      note_file(kind, place.file);
      return;
    }
    warn(kind, place, std::forward<MakeMessage>(make_message)());
  }
  // Counts more warnings of kind about file that come after kWarningsKept of the kind: they are
  // neither shown nor kept (a caller that kept only that many of a kind counts the rest this
  // way).
  void count_unlisted(WarningKind kind, std::string_view file, std::int64_t more);
  // Writes, for each kind shown kWarningsShown times, how many more there were. Call once, at
  // the end of the run, whatever the end.
  void finish();
  // The number of warnings of kind, shown or not (0 for a silenced kind).
  [[nodiscard]] std::int64_t count(WarningKind kind) const;
  // The number of warnings of all kinds, shown or not (silenced kinds are not counted).
  [[nodiscard]] std::int64_t total() const;
  // Whether the warnings are kept (keep() was given a list).
  [[nodiscard]] bool keeping() const { return kept_ != nullptr; }

 private:
  OutputUnit* out_ = nullptr;
  std::vector<KeptWarning>* kept_ = nullptr;
  WarningCollector* collector_ = nullptr;
  WarningActions actions_{};
  WarningChoices chosen_{};
  std::array<std::int64_t, kWarningKinds> counts_{};
  // The file the warnings of each kind are about: "" before the first, and also when they are
  // about no file or about several.
  std::array<std::string, kWarningKinds> files_{};
  std::array<bool, kWarningKinds> several_files_{};

  // The count of warnings of kind; kCount, which names no kind, is an internal fault.
  std::int64_t& count_of(WarningKind kind);
  // Notes that a warning of kind is about file.
  void note_file(WarningKind kind, std::string_view file);
};

// The line of a warning: "FILE:LINE:COLUMN: warning: MESSAGE [-WKIND]"; "FILE:LINE: ..." when
// column is 0, "FILE: warning: ..." when line is 0 and "qel2br: warning: ..." when file is
// empty. Control characters are shown as '?'.
[[nodiscard]] std::string warning_line(WarningKind kind, const WarningPlace& place,
                                       std::string_view message);

}  // namespace qel2br::support
