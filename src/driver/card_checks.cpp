// Checks of the whole input card file: tab characters, and keywords standing after blanks.
#include "driver/card_checks.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "cards/card_reader.hpp"
#include "sets/element_sets.hpp"
#include "support/warnings.hpp"

namespace qel2br::driver {

namespace {

// The keywords the section scans look for, as they stand in columns 1-4.
constexpr std::array<std::string_view, 12> kKeywords{
    "TITL", "CONS", "MUDP", "DPTH", "SEA ", "CRNT", "MGRW", "COEF", "SPEC", "SPEX", "FLOO", "ELIM"};

constexpr char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool is_space(char c) { return c == ' ' || c == '\t'; }

// The keyword that starts text (upper-cased, so "sea " is SEA), or an empty view. A keyword
// ending in a blank also ends at a tab or at the end of the text.
std::string_view keyword_at(std::string_view text) {
  for (const std::string_view keyword : kKeywords) {
    bool match = true;
    for (std::size_t i = 0; i < keyword.size() && match; ++i) {
      if (i >= text.size()) {
        match = keyword[i] == ' ';
      } else if (keyword[i] == ' ') {
        match = is_space(text[i]);
      } else {
        match = upper(text[i]) == keyword[i];
      }
    }
    if (match) {
      return keyword;
    }
  }
  return {};
}

}  // namespace

void check_cards(sections::RunState& run) {
  cards::CardReader& cards = run.cards;
  cards.rewind();
  std::string_view line;
  while (cards.read_raw(line)) {
    line = line.substr(0, std::min(line.size(), cards::kCardLength));
    const std::array<char, 4> head{upper(line.size() > 0 ? line[0] : ' '),
                                   line.size() > 1 ? line[1] : ' ', line.size() > 2 ? line[2] : ' ',
                                   line.size() > 3 ? line[3] : ' '};
    if (std::string_view(head.data(), head.size()) == "C   ") {
      continue;
    }
    if (const std::size_t tab = line.find('\t'); tab != std::string_view::npos) {
      run.warnings.warn(support::WarningKind::kTabCharacter, cards.file_name(), cards.line_number(),
                        "card holds a tab character in column " + std::to_string(tab + 1) +
                            "; each character is one column, so its fields may be misread");
    }
    const auto start = static_cast<std::size_t>(
        std::find_if_not(line.begin(), line.end(), is_space) - line.begin());
    if (start == 0 || start >= line.size()) {
      continue;
    }
    const std::string_view keyword = keyword_at(line.substr(start));
    if (keyword.empty()) {
      continue;
    }
    const std::string_view shown = keyword.substr(0, keyword.find_last_not_of(' ') + 1);
    if (sets::group_reference(line.substr(start), keyword).has_value()) {
      continue;
    }
    run.warnings.warn(
        support::WarningKind::kKeywordMisplaced, cards.file_name(), cards.line_number(),
        "keyword " + std::string(shown) + " starts in column " + std::to_string(start + 1) +
            "; cards are read only with their keyword in columns 1-4, so this card "
            "is passed over");
  }
  cards.rewind();
}

}  // namespace qel2br::driver
