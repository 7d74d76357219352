// The card reader: section scans over the input card file, card text, continuation cards and
// fixed-column fields.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "cards/card_index.hpp"
#include "cards/free_format.hpp"
#include "support/line_source.hpp"
#include "support/text.hpp"
#include "support/warnings.hpp"

namespace qel2br::cards {

using CardText = support::Text<kCardLength>;

// Reads the input card file for the sections. A section scan rewinds the file, then hands over,
// in file order, every card whose columns 1 to 4 equal the current keyword once upper-cased;
// comment cards ("C   ") and all other cards are passed over. The card handed over is
// upper-cased whole. Lines longer than 256 columns are cut; shorter ones are blank padded.
// The file is read once, when it is attached, into an index (CardIndex) that notes where the
// cards of each keyword stand, so that scans go straight from one card of their keyword to the
// next, and that holds what the run asks of the whole file (group references, check findings).
class CardReader {
 public:
  // A reader attached to no lines: every scan finds nothing until attach().
  CardReader() = default;
  CardReader(const CardReader&) = delete;
  CardReader& operator=(const CardReader&) = delete;
  ~CardReader() = default;

  // Binds the reader to the lines of the input card file and reads them once into the index;
  // file_name is used in reports.
  void attach(support::MemoryLines& lines, std::string file_name);
  // Binds the reader to the lines and the index of another reader's file, so that both can
  // read it at once (each from threads of its own); the other reader must outlive this one.
  void share(const CardReader& other);
  // What the one reading of the file found.
  [[nodiscard]] const CardIndex& index() const { return *index_; }

  // Warnings about fields found from now on go to warnings (none when it is null).
  void set_warnings(support::Warnings* warnings) { warnings_ = warnings; }

  // Rewinds the file and sets the current keyword: one of kKeywords (scanning for another is a
  // fault of the program).
  void start_scan(std::string_view keyword);
  // Reads on to the next card of the current keyword; false at the end of the file.
  [[nodiscard]] bool next_card();
  // Goes on scanning from the first card of chunk (of the current keyword) without rewinding:
  // next_card() hands over its cards, passing over any that lie before the reading position,
  // and is false at the chunk's end.
  void scan_chunk(const CardIndex::Chunk& chunk);
  // The offset in the file of the line the next read returns, and the number of lines before it.
  [[nodiscard]] std::size_t position() const { return lines_->position(); }
  // Repositions the file to the line at offset, lines_before lines from the top (the place of
  // a reading done by another reader).
  void seek(std::size_t offset, std::int64_t lines_before);
  // Reads the next line as it is (not upper-cased) into the card text; false at the end.
  [[nodiscard]] bool read_line();
  // Reads the next line as it stands in the file into line, leaving the card text as it was;
  // false at the end.
  [[nodiscard]] bool read_raw(std::string_view& line);
  // Repositions the file to the line last read, so that the next read returns it again.
  void step_back();
  // Rewinds the file to its first line.
  void rewind();

  [[nodiscard]] const CardText& card() const { return card_; }
  // The text of columns first_col to last_col (1-based, inclusive) of the card text.
  [[nodiscard]] std::string_view columns(int first_col, int last_col) const;
  // Whether columns first_col to last_col are all blank.
  [[nodiscard]] bool blank(int first_col, int last_col) const;
  // The real read from columns first_col to last_col; a blank field or one that holds no
  // number stops the run with the file, line, keyword, columns and the text found, shown as it
  // stands in the file. A field holding more than its first value gives a warning.
  [[nodiscard]] double real_field(int first_col, int last_col) const;

  [[nodiscard]] const std::string& file_name() const { return file_name_; }
  // The line number of the card last read.
  [[nodiscard]] std::int64_t line_number() const;
  [[nodiscard]] std::string_view keyword() const { return keyword_.view(); }
  // The line last read exactly as it stands in the file (whole, not cut to 256 columns).
  [[nodiscard]] std::string_view raw_line() const { return raw_; }

 private:
  // Copies line into the card text, cut to 256 columns, blank padded.
  void set_card(std::string_view line);
  // Takes line as the card: the card text is line upper-cased.
  void take_card(std::string_view line);
  // Ends a scan at the end of the file: the file is left read to its last line, as reading
  // every line leaves it.
  void end_scan();

  // The label of the card last read in reports: "SEA card", "CRNT continuation card".
  [[nodiscard]] std::string card_label() const;
  // Columns first_col to last_col of the line last read as it stands in the file, blank padded.
  [[nodiscard]] std::string raw_columns(int first_col, int last_col) const;
  // The warning that columns first_col to last_col hold more than the value read, and the stop
  // for a field that gives no number; kept out of real_field, which reads fields by the million.
  void warn_holds_more(int first_col, int last_col) const;
  [[noreturn]] void stop_at_field(int first_col, int last_col, FieldError error) const;

  support::MemoryLines no_lines_{std::string()};
  support::MemoryLines* lines_ = &no_lines_;            // never null
  std::unique_ptr<support::MemoryLines> shared_lines_;  // the lines of a shared file
  support::Warnings* warnings_ = nullptr;
  std::string file_name_;
  support::Text<4> keyword_;
  CardText card_;
  std::size_t card_used_ = 0;  // columns of the card text that may hold non-blanks
  std::string_view raw_{};

  std::shared_ptr<const CardIndex> index_ = std::make_shared<const CardIndex>();
  // The places of the current keyword's cards, and the place last taken from them
  // (place_taken_); a place at the end of the file says that none is left.
  CardIndex::Places places_;
  CardPlace place_{};
  bool place_taken_ = false;
  // The offset where the scan ends (the next chunk's first card), or none.
  std::size_t scan_end_ = CardIndex::kNoEnd;
};

}  // namespace qel2br::cards
