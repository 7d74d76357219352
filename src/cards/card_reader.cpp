// The card reader: section scans, continuation cards and fixed-column fields.
#include "cards/card_reader.hpp"

#include <algorithm>
#include <utility>

#include "cards/free_format.hpp"
#include "cards/text_routines.hpp"
#include "support/input_stop.hpp"
#include "support/text.hpp"

namespace qel2br::cards {

namespace {

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
  index_ = std::make_shared<const CardIndex>(lines.contents());
  places_ = {};
  place_taken_ = false;
  scan_end_ = CardIndex::kNoEnd;
}

void CardReader::share(const CardReader& other) {
  shared_lines_ = std::make_unique<support::MemoryLines>(support::MemoryLines::Borrowed{},
                                                         other.lines_->contents());
  lines_ = shared_lines_.get();
  file_name_ = other.file_name_;
  index_ = other.index_;
  places_ = {};
  place_taken_ = false;
  scan_end_ = CardIndex::kNoEnd;
}

void CardReader::rewind() { lines_->rewind(); }

void CardReader::start_scan(std::string_view keyword) {
  rewind();
  keyword_.assign(keyword);
  places_ = index_->places(keyword_.view());
  place_taken_ = false;
  scan_end_ = CardIndex::kNoEnd;
}

void CardReader::scan_chunk(const CardIndex::Chunk& chunk) {
  places_ = chunk.from;
  place_taken_ = false;
  scan_end_ = chunk.end;
}

void CardReader::end_scan() {
  std::string_view line;
  if (index_->line_count() > 0) {
    lines_->seek(index_->last_line_start(), index_->line_count() - 1);
    [[maybe_unused]] const bool read = lines_->read_line(line);
  }
}

void CardReader::seek(std::size_t offset, std::int64_t lines_before) {
  lines_->seek(offset, lines_before);
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
  // The next card is the first of the keyword at or after the reading position.
  const std::size_t end = lines_->contents().size();
  const std::size_t position = lines_->position();
  if (place_taken_ && place_.offset > position) {
    // The file was rewound, or stepped back before the card last handed over.
    places_ = index_->places(keyword_.view());
    place_taken_ = false;
  }
  while (!place_taken_ || place_.offset < position) {
    place_taken_ = true;
    if (!places_.next(place_)) {
      place_ = {.offset = end, .line = 0};
      break;
    }
  }
  if (place_.offset >= scan_end_) {
    return false;  // the chunk ends here
  }
  if (place_.offset >= end) {
    end_scan();  // no card is left
    return false;
  }
  std::string_view line;
  lines_->seek(place_.offset, place_.line - 1);
  if (!lines_->read_line(line)) {
    return false;
  }
  take_card(line);
  return true;
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
  std::string label(support::without_trailing_blanks(key));
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
  const FieldValue field = read_real(columns(first_col, last_col));
  if (field.error != FieldError::kNone) {
    stop_at_field(first_col, last_col, field.error);
  }
  if (warnings_ != nullptr && field.holds_more) {
    warn_holds_more(first_col, last_col);
  }
  return field.value;
}

// Reports show the field and the card as they stand in the file, not upper-cased.
void CardReader::warn_holds_more(int first_col, int last_col) const {
  warnings_->warn_with(support::WarningKind::kFieldHoldsMore,
                       {.file = file_name_,
                        .line = line_number(),
                        .first_column = first_col,
                        .last_column = last_col},
                       [&] {
                         const std::string raw = raw_columns(first_col, last_col);
                         return card_label() + ", columns " + std::to_string(first_col) + "-" +
                                std::to_string(last_col) + ": \"" +
                                std::string(support::without_blanks(raw)) +
                                "\" holds more than one value; only " +
                                std::string(first_value(raw).text) + " is read";
                       });
}

void CardReader::stop_at_field(int first_col, int last_col, FieldError error) const {
  const std::string raw = raw_columns(first_col, last_col);
  std::string message = card_label() + ", columns " + std::to_string(first_col) + "-" +
                        std::to_string(last_col) + ": " + describe(error);
  if (error != FieldError::kBlank) {
    message += ", found \"" + std::string(support::without_blanks(raw)) + "\"";
  }
  const std::string_view line = raw_.substr(0, std::min(raw_.size(), kCardLength));
  std::string detail = "  " + std::string(support::without_trailing_blanks(line)) + "\n  ";
  const int width = last_col - first_col + 1;
  detail.append(static_cast<std::size_t>(first_col) - 1, ' ');
  detail.append(static_cast<std::size_t>(width), '^');
  detail += '\n';
  support::stop_input({.file = file_name_,
                       .line = line_number(),
                       .first_column = first_col,
                       .last_column = last_col,
                       .message = message,
                       .detail = detail});
}

}  // namespace qel2br::cards
