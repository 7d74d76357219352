// The one reading of the input card file: card places per keyword, group references and the
// findings of the whole-file checks.
#include "cards/card_index.hpp"

#include <algorithm>
#include <exception>
#include <limits>
#include <string>
#include <system_error>
#include <thread>

#include "cards/items.hpp"
#include "cards/text_routines.hpp"
#include "support/input_stop.hpp"

namespace qel2br::cards {

namespace {

constexpr char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool is_space(char c) { return c == ' ' || c == '\t'; }

// A place is noted as one number: the distance in bytes from the place before, times 16, plus
// the distance in lines when it is below 15; 15 says that the distance in lines minus 15
// follows as a number of its own. Numbers are written 7 bits a byte, low bits first, the high
// bit set on every byte but the last.
constexpr std::uint64_t kLineBits = 4;
constexpr std::uint64_t kLinesInline = (std::uint64_t{1} << kLineBits) - 1;

void put_number(std::deque<std::uint8_t>& bytes, std::uint64_t number) {
  while (number >= 0x80U) {
    bytes.push_back(static_cast<std::uint8_t>(number | 0x80U));
    number >>= 7U;
  }
  bytes.push_back(static_cast<std::uint8_t>(number));
}

// Four keyword columns as one word, for comparing keywords.
constexpr std::uint32_t keyword_key(std::string_view four_columns) {
  std::uint32_t key = 0;
  for (const char c : four_columns.substr(0, 4)) {
    key = key << 8U | static_cast<unsigned char>(c);
  }
  return key;
}

constexpr std::array<std::uint32_t, kKeywords.size()> kKeywordKeys = [] {
  std::array<std::uint32_t, kKeywords.size()> keys{};
  for (std::size_t k = 0; k < kKeywords.size(); ++k) {
    keys[k] = keyword_key(kKeywords[k]);
  }
  return keys;
}();

// The entry of the keyword whose key is key in kKeywords, or kKeywords.size().
std::size_t keyword_entry(std::uint32_t key) {
  return static_cast<std::size_t>(std::find(kKeywordKeys.begin(), kKeywordKeys.end(), key) -
                                  kKeywordKeys.begin());
}

// The keyword of kKeywords that starts text (upper-cased, so "sea " is SEA), or an empty view.
// A keyword ending in a blank also ends at a tab or at the end of the text: the first four
// characters are compared as one word, a tab and the end of the text taken for blanks (no
// keyword holds a blank elsewhere).
std::string_view keyword_at(std::string_view text) {
  std::uint32_t key = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const char c = i < text.size() ? upper(text[i]) : ' ';
    key = key << 8U | static_cast<unsigned char>(c == '\t' ? ' ' : c);
  }
  const std::size_t k = keyword_entry(key);
  return k < kKeywords.size() ? kKeywords[k] : std::string_view{};
}

}  // namespace

namespace {

// The item of line that names a group under keyword (a view into line), or nullopt.
std::optional<std::string_view> group_item(std::string_view line, std::string_view keyword) {
  // Only the first two items count; the keyword is compared first, so most lines are passed
  // over without looking further or typing anything. A line that does not start with a blank
  // has its first item in column 1, and the item's first character is compared at once.
  line = line.substr(0, kCardLength);
  if (line.empty() || keyword.empty() || (line[0] != ' ' && line[0] != keyword[0])) {
    return std::nullopt;
  }
  std::size_t pos = 0;
  const std::string_view first = next_item(line, pos);
  if (support::Text<4>(first).view() != keyword.substr(0, 4)) {
    return std::nullopt;
  }
  const bool comment_card = line[0] == 'C' && (line.size() == 1 || line[1] == ' ');
  if (skipped_line(line) || comment_card) {
    return std::nullopt;
  }
  // Both items must be texts; the second is typed first, as on most cards it is a number.
  const std::string_view second = next_item(line, pos);
  if (second.empty()) {
    return std::nullopt;
  }
  if (make_item(second).type != kTextItem || make_item(first).type != kTextItem) {
    return std::nullopt;
  }
  return second;
}

}  // namespace

std::optional<support::Text<80>> group_reference(std::string_view line, std::string_view keyword) {
  const std::optional<std::string_view> item = group_item(line, keyword);
  if (!item.has_value()) {
    return std::nullopt;
  }
  return make_item(*item).text;
}

std::optional<std::pair<int, int>> group_reference_columns(std::string_view line,
                                                           std::string_view keyword) {
  const std::optional<std::string_view> item = group_item(line, keyword);
  if (!item.has_value()) {
    return std::nullopt;
  }
  // The item is a view into the first kCardLength characters of line.
  const auto first = static_cast<int>(item->data() - line.data()) + 1;
  return std::pair<int, int>{first, first + static_cast<int>(item->size()) - 1};
}

bool CardIndex::Places::next(CardPlace& place) {
  if (index_ == nullptr) {
    return false;
  }
  const std::vector<Part>& parts = index_->parts_;
  while (!started_ || at_ == end_) {
    const std::size_t part = started_ ? part_ + 1 : 0;
    if (part >= parts.size()) {
      return false;
    }
    started_ = true;
    part_ = part;
    at_ = parts[part].places[keyword_].begin();
    end_ = parts[part].places[keyword_].end();
    last_ = {.offset = parts[part].from, .line = parts[part].lines_before};
  }
  const std::uint64_t step = number();
  std::uint64_t lines = step & kLinesInline;
  if (lines == kLinesInline) {
    lines += number();
  }
  last_.offset += static_cast<std::size_t>(step >> kLineBits);
  last_.line += static_cast<std::int64_t>(lines);
  place = last_;
  return true;
}

std::uint64_t CardIndex::Places::number() {
  // The numbers were written by put_number, so a byte without the high bit ends each one.
  std::uint64_t value = 0;
  for (unsigned shift = 0; shift < 64 && at_ != end_; shift += 7) {
    const std::uint8_t byte = *at_;
    ++at_;
    value |= std::uint64_t{byte & 0x7FU} << shift;
    if ((byte & 0x80U) == 0) {
      break;
    }
  }
  return value;
}

CardIndex::CardIndex(std::string_view contents, std::size_t split_size)
    : cr_line_ends_only_(contents.find('\n') == std::string_view::npos &&
                         contents.find('\r') != std::string_view::npos) {
  const std::size_t half = contents.size() / 2;
  const std::size_t split = contents.size() < split_size || half == 0
                                ? contents.size()
                                : std::min(contents.find('\n', half - 1), contents.size() - 1) + 1;
  // Room for both parts at once: a part that had to be moved to make room would be copied
  // (a deque may throw when it is moved).
  parts_.reserve(2);
  if (split >= contents.size()) {
    read_lines(contents, 0, contents.size());
    return;
  }
  // The two halves share nothing but the contents, which neither changes. When no second
  // thread can be started, the file is read in one part.
  CardIndex second;
  std::exception_ptr failure;
  std::thread reader;
  try {
    reader = std::thread([&] {
      try {
        second.read_lines(contents, split, contents.size());
      } catch (...) {
        failure = std::current_exception();
      }
    });
  } catch (const std::system_error&) {
    read_lines(contents, 0, contents.size());
    return;
  }
  try {
    read_lines(contents, 0, split);
  } catch (...) {
    reader.join();
    throw;
  }
  reader.join();
  if (failure) {
    std::rethrow_exception(failure);
  }
  append(second);
}

void CardIndex::read_lines(std::string_view contents, std::size_t from, std::size_t to) {
  // Most cards hold no tab: the text is searched for tabs as it is gone through, so a line
  // without one costs no search of its own.
  const std::string_view text = contents.substr(0, to);
  parts_.push_back({.places = {}, .from = from, .lines_before = 0});
  for (CardPlace& last : last_places_) {
    last = {.offset = from, .line = 0};
  }
  std::size_t next_tab = text.find('\t', from);
  std::int64_t number = 0;
  for (std::size_t start = from; start < text.size();) {
    const std::size_t line_end = contents.find('\n', start);
    const std::size_t end = std::min(line_end, contents.size());
    ++number;
    last_line_start_ = start;
    const std::string_view whole = contents.substr(start, end - start);
    // The line as the reader reads it: the CR of a CR LF is dropped.
    std::string_view line = whole;
    if (line_end != std::string_view::npos && !line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    note_card(line, start, number);
    note_group_reference(line);
    const std::size_t tab = next_tab < end ? next_tab - start : std::string_view::npos;
    if (tab != std::string_view::npos) {
      next_tab = text.find('\t', end);
    }
    if (tab != std::string_view::npos || (!whole.empty() && whole.front() == ' ')) {
      check(whole.back() == '\r' ? whole.substr(0, whole.size() - 1) : whole, number, tab);
    }
    start = end + 1;
  }
  line_count_ = number;
}

bool CardIndex::holds_cards() const {
  if (std::any_of(group_references_.begin(), group_references_.end(),
                  [](std::int64_t count) { return count > 0; })) {
    return true;
  }
  return std::any_of(parts_.begin(), parts_.end(), [](const Part& part) {
    return std::any_of(part.places.begin(), part.places.end(),
                       [](const Bytes& places) { return !places.empty(); });
  });
}

void CardIndex::append(CardIndex& next) {
  const std::int64_t lines_before = line_count_;
  for (Part& part : next.parts_) {
    part.lines_before += lines_before;
    parts_.push_back(std::move(part));
  }
  std::array<std::int64_t, 2> kept{};
  for (std::size_t kind = 0; kind < kept.size(); ++kind) {
    kept[kind] = std::min(finding_counts_[kind], static_cast<std::int64_t>(kFindingsKept));
    finding_counts_[kind] += next.finding_counts_[kind];
  }
  for (CardFinding finding : next.findings_) {
    std::int64_t& count = kept[static_cast<std::size_t>(finding.kind)];
    if (count < static_cast<std::int64_t>(kFindingsKept)) {
      finding.line += lines_before;
      findings_.push_back(finding);
      ++count;
    }
  }
  for (std::size_t k = 0; k < group_references_.size(); ++k) {
    group_references_[k] += next.group_references_[k];
  }
  if (next.line_count_ > 0) {
    last_line_start_ = next.last_line_start_;
    line_count_ += next.line_count_;
  }
}

void CardIndex::note_card(std::string_view line, std::size_t offset, std::int64_t number) {
  // Columns 1-4 upper-cased, a short line blank padded.
  std::uint32_t key = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    key = key << 8U | static_cast<unsigned char>(i < line.size() ? upper(line[i]) : ' ');
  }
  const std::size_t k = keyword_entry(key);
  if (k < kKeywords.size()) {
    note_place(k, offset, number);
  }
}

void CardIndex::note_place(std::size_t k, std::size_t offset, std::int64_t number) {
  CardPlace& last = last_places_[k];
  const auto lines = static_cast<std::uint64_t>(number - last.line);
  Bytes& bytes = parts_.back().places[k];
  put_number(bytes, (offset - last.offset) << kLineBits | std::min(lines, kLinesInline));
  if (lines >= kLinesInline) {
    put_number(bytes, lines - kLinesInline);
  }
  last = {.offset = offset, .line = number};
}

void CardIndex::note_group_reference(std::string_view line) {
  // A group reference starts with its keyword's first letter or with blanks.
  if (line.empty() || (line[0] != ' ' && line[0] != 'F' && line[0] != 'E' && line[0] != 'S')) {
    return;
  }
  // The first item begins at the first non-blank and runs to the next blank. A keyword has no
  // blank in it, so the item's first four characters are the keyword exactly when the four
  // characters standing there are: most lines are passed over without splitting them.
  const std::string_view card = line.substr(0, kCardLength);
  const int first = IFSTNB(card);
  if (first == 0) {
    return;
  }
  const std::string_view head = card.substr(static_cast<std::size_t>(first - 1), 4);
  for (std::size_t k = 0; k < kSetKeywords.size(); ++k) {
    if (head == kSetKeywords[k]) {
      if (group_reference(line, kSetKeywords[k]).has_value()) {
        ++group_references_[k];
      }
      return;
    }
  }
}

void CardIndex::check(std::string_view line, std::int64_t number, std::size_t tab) {
  line = line.substr(0, std::min(line.size(), kCardLength));
  if (!line.empty() && upper(line[0]) == 'C' &&
      line.substr(1, 3).find_first_not_of(' ') == std::string_view::npos) {
    return;  // a comment card
  }
  if (tab < line.size()) {
    // A tab within columns 1-4 of what would be a keyword (a tab read as a blank) keeps the
    // card from being read at all.
    add_finding({.kind = FindingKind::kTabCharacter,
                 .line = number,
                 .column = tab + 1,
                 .keyword = tab < 4 ? keyword_at(line) : std::string_view{}});
  }
  // The first character that is not a blank or a tab; on a card without a tab, the blanks are
  // passed over a word at a time.
  std::size_t first = line.size();
  if (tab < line.size()) {
    first = static_cast<std::size_t>(std::find_if_not(line.begin(), line.end(), is_space) -
                                     line.begin());
  } else if (const int position = IFSTNB(line); position > 0) {
    first = static_cast<std::size_t>(position - 1);
  }
  if (first == 0 || first >= line.size()) {
    return;
  }
  const std::string_view keyword = keyword_at(line.substr(first));
  // A set keyword followed by a name is a group reference, which may stand after blanks.
  const bool set_keyword =
      std::find(kSetKeywords.begin(), kSetKeywords.end(), keyword) != kSetKeywords.end();
  if (keyword.empty() ||
      (set_keyword && group_reference(line.substr(first), keyword).has_value())) {
    return;
  }
  add_finding({.kind = FindingKind::kKeywordMisplaced,
               .line = number,
               .column = first + 1,
               .keyword = keyword});
}

void CardIndex::add_finding(const CardFinding& finding) {
  std::int64_t& count = finding_counts_[static_cast<std::size_t>(finding.kind)];
  if (count < static_cast<std::int64_t>(kFindingsKept)) {
    findings_.push_back(finding);
  }
  ++count;
}

CardIndex::Places CardIndex::places(std::string_view keyword) const {
  const std::size_t k =
      keyword.size() == 4 ? keyword_entry(keyword_key(keyword)) : kKeywords.size();
  if (k == kKeywords.size()) {
    support::internal_fault("the card file is scanned for \"" + std::string(keyword) +
                            "\", which is not a keyword of this tool");
  }
  return {*this, k};
}

std::vector<CardIndex::Chunk> CardIndex::chunks(std::string_view keyword,
                                                std::size_t cards_per_chunk) const {
  std::vector<Chunk> chunks;
  const std::size_t size = std::max<std::size_t>(cards_per_chunk, 1);
  Places places = this->places(keyword);
  Places before = places;  // the places as they stand before the next chunk's first card
  CardPlace place;
  for (std::size_t count = 0; places.next(place); ++count) {
    if (count % size == 0) {
      if (!chunks.empty()) {
        chunks.back().end = place.offset;
      }
      chunks.push_back({.from = before, .first = place.offset, .end = kNoEnd});
    }
    if ((count + 1) % size == 0) {
      before = places;
    }
  }
  return chunks;
}

std::int32_t CardIndex::group_references(std::string_view keyword) const {
  const auto k = static_cast<std::size_t>(
      std::find(kSetKeywords.begin(), kSetKeywords.end(), keyword) - kSetKeywords.begin());
  if (k == kSetKeywords.size()) {
    return 0;
  }
  return static_cast<std::int32_t>(
      std::min<std::int64_t>(group_references_[k], std::numeric_limits<std::int32_t>::max()));
}

}  // namespace qel2br::cards
