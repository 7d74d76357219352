// The one reading of the input card file: where the cards of each keyword stand, the group
// references of the set keywords, and the cards the whole-file checks warn of.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "support/text.hpp"

namespace qel2br::cards {

inline constexpr std::size_t kCardLength = 256;

// The keywords this tool reads, as they stand in columns 1-4.
inline constexpr std::array<std::string_view, 12> kKeywords{
    "TITL", "CONS", "MUDP", "DPTH", "SEA ", "CRNT", "MGRW", "COEF", "SPEC", "SPEX", "FLOO", "ELIM"};

// The keywords whose cards may name a group instead of an element range.
inline constexpr std::array<std::string_view, 4> kSetKeywords{"FLOO", "ELIM", "SPEC", "SPEX"};

// group_reference(line, keyword): the group that a line of the input card file refers to under
// the keyword (four characters): the first 80 characters of its second item, blank padded,
// when the line is not skipped, columns 1 and 2 are not "C ", its first item is a text
// beginning with the keyword as written and its second item is a text; nullopt otherwise.
// Only the first 256 columns of the line count, as on a card.
[[nodiscard]] std::optional<support::Text<80>> group_reference(std::string_view line,
                                                               std::string_view keyword);
// The first and last columns of the item that group_reference reads the group from, or
// nullopt when it finds none.
[[nodiscard]] std::optional<std::pair<int, int>> group_reference_columns(std::string_view line,
                                                                         std::string_view keyword);

// Where a card stands: the offset of its line in the file and its 1-based line number.
struct CardPlace {
  std::size_t offset = 0;
  std::int64_t line = 0;
};

// What the whole-file checks find on a card: a tab character within its 256 columns, or a
// keyword of this tool standing after leading blanks.
enum class FindingKind : std::uint8_t { kTabCharacter, kKeywordMisplaced };

struct CardFinding {
  FindingKind kind = FindingKind::kTabCharacter;
  std::int64_t line = 0;
  // 1-based: the column of the first tab, or the column where the keyword starts.
  std::size_t column = 0;
  // The keyword found after blanks (one of kKeywords); for a tab within columns 1-4, the
  // keyword the card would have with a blank for it (empty when none).
  std::string_view keyword{};
};

// The places the index keeps of each kind of finding, in file order; the rest are only counted.
// A bound on the index's memory: what is shown or listed of them is the warnings' choice.
inline constexpr std::size_t kFindingsKept = 1000;

// Reads the text of an input card file once, line by line (a line ends at LF; the CR of a CR LF
// is not part of it), and keeps what the run asks of the whole file afterwards:
// - the places of the cards of each keyword of kKeywords: the cards whose columns 1-4 hold the
//   keyword once upper-cased (comment cards "C   " never do), noted compactly, about two bytes
//   a card;
// - for each keyword of kSetKeywords, the number of lines that group_reference finds a group on;
// - the findings of the whole-file checks, in file order: a card (not a comment card) holding
//   a tab character within its 256 columns, and a card whose first non-blank text after
//   leading blanks or tabs is a keyword of kKeywords (a keyword ending in a blank also ends at
//   a tab or at the end of the card), unless the card refers to a group under that keyword.
class CardIndex {
 public:
  using Bytes = std::deque<std::uint8_t>;

  // The places of one keyword's cards, handed out one after another in file order.
  class Places {
   public:
    Places() = default;
    // Takes the next place; false when none is left.
    [[nodiscard]] bool next(CardPlace& place);

   private:
    friend class CardIndex;
    Places(const CardIndex& index, std::size_t keyword) : index_(&index), keyword_(keyword) {}
    [[nodiscard]] std::uint64_t number();
    const CardIndex* index_ = nullptr;
    std::size_t keyword_ = 0;
    // The part whose places are being handed out (parts_.size() before the first).
    std::size_t part_ = 0;
    bool started_ = false;
    Bytes::const_iterator at_{};
    Bytes::const_iterator end_{};
    CardPlace last_{};
  };

  // The index of an empty file.
  CardIndex() = default;
  // Reads contents once. Contents of at least split_size bytes are read in two parts at once,
  // on two threads, the second starting at the first line that starts in the second half; the
  // index is the same as that of a reading in one part.
  explicit CardIndex(std::string_view contents, std::size_t split_size = kSplitSize);

  // Contents this large are read in two parts.
  static constexpr std::size_t kSplitSize = std::size_t{4} << 20U;

  // The places of the cards of keyword, which must be one of kKeywords (any other is a fault
  // of the program).
  [[nodiscard]] Places places(std::string_view keyword) const;
  // A run of consecutive cards of one keyword: from hands out its first card first, then the
  // cards after it; end is the offset of the next run's first card (kNoEnd for the last run).
  struct Chunk {
    Places from;
    std::size_t first = 0;  // the offset of its first card
    std::size_t end = 0;
  };
  static constexpr std::size_t kNoEnd = static_cast<std::size_t>(-1);
  // The cards of keyword (one of kKeywords) in runs of cards_per_chunk cards (at least 1), the
  // last run holding the rest.
  [[nodiscard]] std::vector<Chunk> chunks(std::string_view keyword,
                                          std::size_t cards_per_chunk) const;
  // The number of group references of keyword, one of kSetKeywords (0 for any other), at most
  // the largest 32-bit integer.
  [[nodiscard]] std::int32_t group_references(std::string_view keyword) const;
  // The findings of the checks in file order, at most kFindingsKept of each kind.
  [[nodiscard]] const std::vector<CardFinding>& findings() const { return findings_; }
  // The number of findings of the kind, kept or not.
  [[nodiscard]] std::int64_t finding_count(FindingKind kind) const {
    return finding_counts_[static_cast<std::size_t>(kind)];
  }
  // Whether any line is a card of one of kKeywords or a group reference of one of
  // kSetKeywords: false for a file that holds nothing this tool converts (an empty file too).
  [[nodiscard]] bool holds_cards() const;
  // Whether the file holds a CR but no LF: its lines end in CR alone, which does not end a
  // line here, so the whole file is read as one line.
  [[nodiscard]] bool cr_line_ends_only() const { return cr_line_ends_only_; }
  // The number of lines of the file and the offset of its last line (0 for an empty file).
  [[nodiscard]] std::int64_t line_count() const { return line_count_; }
  [[nodiscard]] std::size_t last_line_start() const { return last_line_start_; }

 private:
  // The places of the cards of the lines read by one thread. Each place is noted as its
  // distance from the place before; the first from the part's first line, whose offset is from
  // and which follows lines_before lines.
  struct Part {
    std::array<Bytes, kKeywords.size()> places{};
    std::size_t from = 0;
    std::int64_t lines_before = 0;
  };

  // Reads the lines of contents that start in [from, to) into a part of its own: offsets are
  // offsets in contents, line numbers count from the line that starts at from, which is line 1.
  void read_lines(std::string_view contents, std::size_t from, std::size_t to);
  // Appends the index next of the lines that follow the ones read here (its part is moved).
  void append(CardIndex& next);
  // Notes the card line (read as the reader reads it) at offset, line number, under its
  // keyword when it has one of kKeywords.
  void note_card(std::string_view line, std::size_t offset, std::int64_t number);
  // Notes a place of the cards of kKeywords[k].
  void note_place(std::size_t k, std::size_t offset, std::int64_t number);
  // Counts a group reference of a set keyword on line.
  void note_group_reference(std::string_view line);
  // The checks of one line as it stands between two LFs, a CR at its end dropped; tab is the
  // place of its first tab (npos when it holds none).
  void check(std::string_view line, std::int64_t number, std::size_t tab);
  void add_finding(const CardFinding& finding);

  std::vector<Part> parts_;
  // While a part is read: the last place noted of each keyword.
  std::array<CardPlace, kKeywords.size()> last_places_{};
  std::array<std::int64_t, kSetKeywords.size()> group_references_{};
  std::vector<CardFinding> findings_;
  std::array<std::int64_t, 2> finding_counts_{};
  std::int64_t line_count_ = 0;
  std::size_t last_line_start_ = 0;
  bool cr_line_ends_only_ = false;
};

}  // namespace qel2br::cards
