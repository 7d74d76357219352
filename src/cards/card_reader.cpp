// The card reader: section scans, continuation cards and fixed-column fields.
#include "cards/card_reader.hpp"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include "cards/free_format.hpp"
#include "cards/text_routines.hpp"
#include "support/input_stop.hpp"

namespace qel2br::cards {

namespace {

constexpr char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Columns 1 to 4 of a line as the card text would hold them, upper-cased.
std::array<char, 4> keyword_columns(std::string_view line) {
  std::array<char, 4> cols{' ', ' ', ' ', ' '};
  for (std::size_t i = 0; i < 4 && i < line.size(); ++i) {
    cols[i] = upper(line[i]);
  }
  return cols;
}

// Four keyword columns as one word, for comparing and indexing keywords.
constexpr std::uint32_t keyword_key(std::string_view four_columns) {
  std::uint32_t key = 0;
  for (const char c : four_columns.substr(0, 4)) {
    key = key << 8U | static_cast<unsigned char>(c);
  }
  return key;
}

std::uint32_t line_key(std::string_view line) {
  const std::array<char, 4> cols = keyword_columns(line);
  return keyword_key(std::string_view(cols.data(), cols.size()));
}

// Comment cards are never handed over and no section reads cards with a blank keyword, so
// neither is indexed (a scan for them reads line by line).
constexpr std::uint32_t kCommentKey = keyword_key("C   ");
constexpr std::uint32_t kBlankKey = keyword_key("    ");

// The index holds the places of at most this many keywords and this many cards (8 MiB); the
// cards of other keywords are found by reading line by line.
constexpr std::size_t kMaxIndexedKeywords = 64;
constexpr std::size_t kMaxIndexedCards = std::size_t{1} << 20U;

std::string describe(FieldError error) {
  switch (error) {
    case FieldError::kBlank:
      return "expected a number, found a blank field";
    case FieldError::kNullValue:
      return "expected a number, found a null value";
    case FieldError::kOutOfRange:
      return "the number is out of range";
    case FieldError::kNotANumber:
    case FieldError::kNone:
      break;
  }
  return "expected a number";
}

}  // namespace

void CardReader::attach(support::MemoryLines& lines, std::string file_name) {
  lines_ = &lines;
  file_name_ = std::move(file_name);
  index_built_ = false;
  scan_indexed_ = false;
}

void CardReader::rewind() { lines_->rewind(); }

void CardReader::start_scan(std::string_view keyword) {
  rewind();
  keyword_.assign(keyword);
  if (!index_built_) {
    build_index();
  }
  const std::size_t k = find_keyword(keyword_key(keyword_.view()));
  scan_indexed_ = k < index_.size() && index_[k].indexed;
  scan_places_ = {};
  if (scan_indexed_) {
    scan_places_ = std::span<const CardPlace>(places_).subspan(index_[k].first, index_[k].count);
  }
  next_place_ = 0;
}

std::size_t CardReader::find_keyword(std::uint32_t key) {
  if (last_found_ < index_.size() && index_[last_found_].key == key) {
    return last_found_;
  }
  for (std::size_t k = 0; k < index_.size(); ++k) {
    if (index_[k].key == key) {
      last_found_ = k;
      return k;
    }
  }
  return index_.size();
}

void CardReader::build_index() {
  index_built_ = true;
  index_.clear();
  places_.clear();
  last_found_ = 0;
  line_count_ = 0;
  last_line_start_ = 0;
  if (lines_->contents().size() > std::numeric_limits<std::uint32_t>::max()) {
    // Places would not fit their 32-bit words: every scan reads line by line.
    return;
  }
  // First pass: the number of cards of each keyword.
  lines_->rewind();
  std::string_view line;
  std::size_t start = lines_->position();
  while (lines_->read_line(line)) {
    last_line_start_ = start;
    start = lines_->position();
    const std::uint32_t key = line_key(line);
    if (key == kCommentKey || key == kBlankKey) {
      continue;
    }
    std::size_t k = find_keyword(key);
    if (k == index_.size()) {
      if (index_.size() == kMaxIndexedKeywords) {
        continue;
      }
      index_.push_back({.key = key, .first = 0, .count = 0, .indexed = false});
    }
    ++index_[k].count;
  }
  line_count_ = lines_->line_number();

  // Keywords are indexed in the order they first appear, as long as their cards fit.
  std::size_t total = 0;
  for (KeywordCards& keyword : index_) {
    keyword.indexed = total + keyword.count <= kMaxIndexedCards;
    if (keyword.indexed) {
      keyword.first = total;
      total += keyword.count;
    }
    keyword.count = 0;
  }
  places_.resize(total);

  // Second pass: the places of the cards of the indexed keywords, in file order.
  lines_->rewind();
  start = lines_->position();
  while (lines_->read_line(line)) {
    const std::size_t offset = start;
    start = lines_->position();
    const std::uint32_t key = line_key(line);
    if (key == kCommentKey || key == kBlankKey) {
      continue;
    }
    const std::size_t k = find_keyword(key);
    if (k == index_.size() || !index_[k].indexed) {
      continue;
    }
    KeywordCards& keyword = index_[k];
    places_[keyword.first + keyword.count] = {
        .offset = static_cast<std::uint32_t>(offset),
        .line = static_cast<std::uint32_t>(lines_->line_number())};
    ++keyword.count;
  }
  lines_->rewind();
}

void CardReader::set_card(std::string_view line) {
  // Columns behind the previous card's length are blank already; only those it used are
  // blanked again.
  const std::size_t length = std::min(line.size(), kCardLength);
  std::copy_n(line.data(), length, card_.data());
  if (card_used_ > length) {
    std::fill(card_.data() + length, card_.data() + card_used_, ' ');
  }
  card_used_ = length;
}

void CardReader::take_card(std::string_view line) {
  raw_ = line;
  set_card(line);
  // The padding is blank already: only the characters of the line are upper-cased.
  UPCASE(std::span<char>(card_.data(), std::min(line.size(), kCardLength)));
}

bool CardReader::next_card() {
  if (!scan_indexed_) {
    return next_card_by_lines();
  }
  // Find the first card of the keyword at or after the reading position.
  const std::size_t position = lines_->position();
  if (next_place_ > 0 && scan_places_[next_place_ - 1].offset >= position) {
    // The file was rewound or stepped back over a card already handed over.
    next_place_ = static_cast<std::size_t>(
        std::partition_point(scan_places_.begin(), scan_places_.end(),
                             [position](const CardPlace& p) { return p.offset < position; }) -
        scan_places_.begin());
  }
  while (next_place_ < scan_places_.size() && scan_places_[next_place_].offset < position) {
    ++next_place_;
  }
  std::string_view line;
  if (next_place_ == scan_places_.size()) {
    // No card is left: the file ends up read to its last line, as a scan line by line leaves it.
    if (line_count_ > 0) {
      lines_->seek(last_line_start_, line_count_ - 1);
      [[maybe_unused]] const bool read = lines_->read_line(line);
    }
    return false;
  }
  const CardPlace place = scan_places_[next_place_];
  ++next_place_;
  lines_->seek(place.offset, std::int64_t{place.line} - 1);
  if (!lines_->read_line(line)) {
    return false;
  }
  take_card(line);
  return true;
}

bool CardReader::next_card_by_lines() {
  const std::string_view key = keyword_.view();
  std::string_view line;
  while (lines_->read_line(line)) {
    // Only columns 1 to 4 decide; the whole card is upper-cased only when it is taken.
    const std::array<char, 4> cols = keyword_columns(line);
    const std::string_view head(cols.data(), cols.size());
    if (head == "C   " || head != key) {
      continue;
    }
    take_card(line);
    return true;
  }
  return false;
}

bool CardReader::read_line() {
  std::string_view line;
  if (!lines_->read_line(line)) {
    return false;
  }
  raw_ = line;
  set_card(line);
  return true;
}

bool CardReader::read_raw(std::string_view& line) {
  if (!lines_->read_line(line)) {
    return false;
  }
  raw_ = line;
  return true;
}

void CardReader::step_back() { lines_->step_back(); }

std::int64_t CardReader::line_number() const { return lines_->line_number(); }

std::string_view CardReader::columns(int first_col, int last_col) const {
  if (last_col < first_col) {
    return {};
  }
  const int first = std::clamp(first_col, 1, static_cast<int>(kCardLength));
  const int last = std::clamp(last_col, first, static_cast<int>(kCardLength));
  return card_.view().substr(static_cast<std::size_t>(first - 1),
                             static_cast<std::size_t>(last - first + 1));
}

bool CardReader::blank(int first_col, int last_col) const {
  return columns(first_col, last_col).find_first_not_of(' ') == std::string_view::npos;
}

std::string CardReader::card_label() const {
  const std::string_view key = keyword_.view();
  const std::size_t key_end = key.find_last_not_of(' ');
  std::string label(key.substr(0, key_end == std::string_view::npos ? 0 : key_end + 1));
  if (label.empty() || card_.view().substr(0, 4) != key) {
    label = label.empty() ? "continuation" : label + " continuation";
  }
  return label + " card";
}

std::string CardReader::raw_columns(int first_col, int last_col) const {
  const std::string_view text = columns(first_col, last_col);
  std::string shown(text.size(), ' ');
  const auto first = static_cast<std::size_t>(std::clamp(first_col, 1, 256) - 1);
  if (first < raw_.size()) {
    const std::string_view raw = raw_.substr(first, std::min(text.size(), raw_.size() - first));
    std::copy(raw.begin(), raw.end(), shown.begin());
  }
  return shown;
}

double CardReader::real_field(int first_col, int last_col) const {
  const std::string_view text = columns(first_col, last_col);
  const FieldValue field = read_real(text);
  // Reports show the field and the card as they stand in the file, not upper-cased.
  const auto trimmed = [](std::string_view t) {
    const std::size_t from = t.find_first_not_of(' ');
    return from == std::string_view::npos ? std::string_view{}
                                          : t.substr(from, t.find_last_not_of(' ') - from + 1);
  };
  const auto range = [&] { return std::to_string(first_col) + "-" + std::to_string(last_col); };
  if (field.error == FieldError::kNone) {
    // Upper-casing moves no separator, so the card text tells whether the field holds more.
    if (warnings_ != nullptr && first_value(text).holds_more) {
      warnings_->warn_with(support::WarningKind::kFieldHoldsMore, file_name_, line_number(), [&] {
        const std::string raw = raw_columns(first_col, last_col);
        return card_label() + ", columns " + range() + ": \"" + std::string(trimmed(raw)) +
               "\" holds more than one value; only " + std::string(first_value(raw).text) +
               " is read";
      });
    }
    return field.value;
  }
  const std::string raw = raw_columns(first_col, last_col);
  std::string message = card_label() + ", columns " + range() + ": " + describe(field.error);
  if (field.error != FieldError::kBlank) {
    message += ", found \"" + std::string(trimmed(raw)) + "\"";
  }
  const std::string_view line = raw_.substr(0, std::min(raw_.size(), kCardLength));
  std::string detail = "  " + std::string(line.substr(0, line.find_last_not_of(' ') + 1)) + "\n  ";
  const int width = last_col - first_col + 1;
  detail.append(static_cast<std::size_t>(first_col) - 1, ' ');
  detail.append(static_cast<std::size_t>(width), '^');
  detail += '\n';
  support::stop_input(
      {.file = file_name_, .line = line_number(), .message = message, .detail = detail});
}

}  // namespace qel2br::cards
