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
  // The file is gone through once as a whole: most cards hold no tab and start in column 1, so
  // a line costs only the search for its end.
  const std::string_view all = run.units.lines(support::kCardUnit).contents();
  const std::string& file = run.cards.file_name();
  std::size_t next_tab = all.find('\t');
  std::int64_t line_number = 0;
  for (std::size_t start = 0; start < all.size();) {
    const std::size_t end = std::min(all.find('\n', start), all.size());
    ++line_number;
    std::string_view line = all.substr(start, end - start);
    start = end + 1;
    const bool has_tab = next_tab < end;
    if (has_tab) {
      next_tab = all.find('\t', end);
    }
    if (!has_tab && (line.empty() || line.front() != ' ')) {
      continue;
    }
    if (line.back() == '\r') {
      line.remove_suffix(1);
    }
    line = line.substr(0, std::min(line.size(), cards::kCardLength));
    if (line.size() >= 1 && upper(line[0]) == 'C' &&
        line.substr(1, 3).find_first_not_of(' ') == std::string_view::npos) {
      continue;  // a comment card
    }
    if (const std::size_t tab = line.find('\t'); tab != std::string_view::npos) {
      run.warnings.warn_with(support::WarningKind::kTabCharacter, file, line_number, [tab] {
        return "card holds a tab character in column " + std::to_string(tab + 1) +
               "; each character is one column, so its fields may be misread";
      });
    }
    const auto first = static_cast<std::size_t>(
        std::find_if_not(line.begin(), line.end(), is_space) - line.begin());
    if (first == 0 || first >= line.size()) {
      continue;
    }
    const std::string_view keyword = keyword_at(line.substr(first));
    if (keyword.empty() || sets::group_reference(line.substr(first), keyword).has_value()) {
      continue;
    }
    const std::string_view shown = keyword.substr(0, keyword.find_last_not_of(' ') + 1);
    run.warnings.warn_with(support::WarningKind::kKeywordMisplaced, file, line_number, [&] {
      return "keyword " + std::string(shown) + " starts in column " + std::to_string(first + 1) +
             "; cards are read only with their keyword in columns 1-4, so this card is passed "
             "over";
    });
  }
}

}  // namespace qel2br::driver
