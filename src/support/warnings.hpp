// Warnings: input the run reads in a way the user may not mean, reported on standard error.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/units.hpp"

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
  kCount,
};

inline constexpr std::int64_t kWarningsShown = 20;
// A conversion report lists this many warnings of one kind, then how many more there were.
inline constexpr std::int64_t kWarningsKept = 1000;

// A warning as the conversion report lists it (line 0: no line).
struct KeptWarning {
  std::string file{};
  std::int64_t line = 0;
  std::string message{};
};

// Collects the warnings of a run and writes them, one line each, in the compilers' form:
// "qel2br: FILE:LINE: warning: MESSAGE". Without an output nothing is written (counts still
// go on). In strict mode the first warning stops the run instead.
class Warnings {
 public:
  // Writes warnings to out from now on; strict turns the first warning into an input stop.
  void bind(OutputUnit& out, bool strict) {
    out_ = &out;
    strict_ = strict;
  }
  // Keeps the warnings from now on in kept too, at most kWarningsKept of a kind; finish() adds
  // how many more there were.
  void keep(std::vector<KeptWarning>* kept) { kept_ = kept; }
  // Reports a warning about file (may be empty) at line (0: no line).
  void warn(WarningKind kind, std::string_view file, std::int64_t line, std::string_view message);
  // warn with the message made by make_message() only when it is shown or kept: past the
  // limits of its kind a warning is only counted.
  template <typename MakeMessage>
  void warn_with(WarningKind kind, std::string_view file, std::int64_t line,
                 MakeMessage&& make_message) {
    std::int64_t& count = count_of(kind);
    if (!strict_ && count >= kWarningsShown && (kept_ == nullptr || count >= kWarningsKept)) {
      ++count;
      return;
    }
    warn(kind, file, line, std::forward<MakeMessage>(make_message)());
  }
  // Counts more warnings of kind that come after kWarningsKept of the kind: they are neither
  // shown nor kept (a caller that kept only that many of a kind counts the rest this way).
  void count_unlisted(WarningKind kind, std::int64_t more);
  // Writes, for each kind shown kWarningsShown times, how many more there were. Call once, at
  // the end of the run, whatever the end.
  void finish();
  // The number of warnings of all kinds, shown or not.
  [[nodiscard]] std::int64_t total() const;

 private:
  OutputUnit* out_ = nullptr;
  std::vector<KeptWarning>* kept_ = nullptr;
  bool strict_ = false;
  std::array<std::int64_t, static_cast<std::size_t>(WarningKind::kCount)> counts_{};

  // The count of warnings of kind; kCount, which names no kind, is an internal fault.
  std::int64_t& count_of(WarningKind kind);
};

// The line of a warning: "qel2br: FILE:LINE: warning: MESSAGE" (no "FILE:" part when file is
// empty, no "LINE:" part when line is 0). Control characters are shown as '?'.
[[nodiscard]] std::string warning_line(std::string_view file, std::int64_t line,
                                       std::string_view message);

}  // namespace qel2br::support
