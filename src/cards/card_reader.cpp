// The card reader: section scans, continuation cards and fixed-column fields.
#include "cards/card_reader.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>
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
    cols.at(i) = upper(line[i]);
  }
  return cols;
}

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
}

void CardReader::rewind() {
  if (lines_ == nullptr) {
    throw std::logic_error("card reader not attached");
  }
  lines_->rewind();
}

void CardReader::start_scan(std::string_view keyword) {
  rewind();
  keyword_.assign(keyword);
}

bool CardReader::next_card() {
  const std::string_view key = keyword_.view();
  std::string_view line;
  while (lines_->read_line(line)) {
    // Only columns 1 to 4 decide; the whole card is upper-cased only when it is taken.
    const std::array<char, 4> cols = keyword_columns(line);
    const std::string_view head(cols.data(), cols.size());
    if (head == "C   " || head != key) {
      continue;
    }
    raw_ = line;
    card_.assign(line);
    UPCASE(std::span<char>(card_.data(), kCardLength));
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
  card_.assign(line);
  return true;
}

void CardReader::step_back() { lines_->step_back(); }

std::int64_t CardReader::line_number() const {
  return lines_ == nullptr ? 0 : lines_->line_number();
}

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

double CardReader::real_field(int first_col, int last_col) const {
  const std::string_view text = columns(first_col, last_col);
  const FieldValue field = read_real(text);
  if (field.error == FieldError::kNone) {
    return field.value;
  }
  const std::string_view key = keyword_.view();
  const std::size_t key_end = key.find_last_not_of(' ');
  std::string message(key.substr(0, key_end == std::string_view::npos ? 0 : key_end + 1));
  if (message.empty() || card_.view().substr(0, 4) != key) {
    message = message.empty() ? "continuation" : message + " continuation";
  }
  message += " card, columns " + std::to_string(first_col) + "-" + std::to_string(last_col) + ": " +
             describe(field.error);
  if (field.error != FieldError::kBlank) {
    const std::size_t from = text.find_first_not_of(' ');
    const std::size_t to = text.find_last_not_of(' ');
    message += ", found \"" + std::string(text.substr(from, to - from + 1)) + "\"";
  }
  const std::string_view shown = card_.head(static_cast<std::size_t>(ILSTNB(card_.view())));
  std::string detail = "  " + std::string(shown) + "\n  ";
  const int width = last_col - first_col + 1;
  detail.append(static_cast<std::size_t>(first_col) - 1, ' ');
  detail.append(static_cast<std::size_t>(width), '^');
  detail += '\n';
  support::stop_input(
      {.file = file_name_, .line = line_number(), .message = message, .detail = detail});
}

}  // namespace qel2br::cards
