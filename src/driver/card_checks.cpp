// Checks of the whole input card file: CR line ends, no cards, tabs, keywords after blanks.
#include "driver/card_checks.hpp"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "cards/card_index.hpp"
#include "cards/card_reader.hpp"
#include "support/text.hpp"
#include "support/warnings.hpp"

namespace qel2br::driver {

namespace {

support::WarningKind warning_kind(cards::FindingKind kind) {
  return kind == cards::FindingKind::kTabCharacter ? support::WarningKind::kTabCharacter
                                                   : support::WarningKind::kKeywordMisplaced;
}

// The keywords of the cards this tool converts, as a list for a message: "TITL, CONS, ...".
std::string keyword_list() {
  std::string list;
  for (const std::string_view keyword : cards::kKeywords) {
    if (!list.empty()) {
      list += ", ";
    }
    list += support::without_trailing_blanks(keyword);
  }
  return list;
}

}  // namespace

// The warnings keep at most kWarningsKept of a kind: the index must keep the places of as many.
static_assert(cards::kFindingsKept >= static_cast<std::size_t>(support::kWarningsKept));

void check_cards(RunContext& run) {
  const cards::CardIndex& index = run.cards.index();
  const std::string& file = run.cards.file_name();
  // What is wrong with the file as a whole comes first.
  if (index.cr_line_ends_only()) {
    run.warnings.warn(support::WarningKind::kCrLineEnds, {.file = file},
                      "the lines end in CR alone; a line ends at LF (or CR LF), so the whole "
                      "file is read as one line");
  }
  if (!index.holds_cards()) {
    run.warnings.warn(
        support::WarningKind::kNoCards, {.file = file},
        index.line_count() == 0
            ? std::string("the file is empty: it holds no card to convert")
            : "the file holds no card this tool converts: no line has one of the keywords " +
                  keyword_list() + " in columns 1-4 or refers to a group");
  }
  // The card reader found the cards when it read the file; they are reported here, in file
  // order, and those it only counted are counted.
  for (const cards::CardFinding& finding : index.findings()) {
    // The tab itself, or the keyword where it stands.
    const auto first = static_cast<int>(std::min<std::size_t>(finding.column, cards::kCardLength));
    const auto width = static_cast<int>(
        finding.kind == cards::FindingKind::kTabCharacter
            ? 1
            : std::max<std::size_t>(support::without_trailing_blanks(finding.keyword).size(), 1));
    const support::WarningPlace place{.file = file,
                                      .line = finding.line,
                                      .first_column = first,
                                      .last_column = first + width - 1};
    run.warnings.warn_with(warning_kind(finding.kind), place, [&] {
      if (finding.kind == cards::FindingKind::kTabCharacter && !finding.keyword.empty()) {
        const std::string keyword(support::without_trailing_blanks(finding.keyword));
        return "card holds a tab character in column " + std::to_string(finding.column) +
               ", within its keyword: the card is not read as a " + keyword +
               " card and is passed over (a keyword needs blanks, not a tab, after it)";
      }
      if (finding.kind == cards::FindingKind::kTabCharacter) {
        return "card holds a tab character in column " + std::to_string(finding.column) +
               "; each character is one column, so its fields may be misread";
      }
      return "keyword " + std::string(support::without_trailing_blanks(finding.keyword)) +
             " starts in column " + std::to_string(finding.column) +
             "; cards are read only with their keyword in columns 1-4, so this card is passed "
             "over";
    });
  }
  for (const cards::FindingKind kind :
       {cards::FindingKind::kTabCharacter, cards::FindingKind::kKeywordMisplaced}) {
    const std::int64_t kept = std::min<std::int64_t>(
        index.finding_count(kind), static_cast<std::int64_t>(cards::kFindingsKept));
    run.warnings.count_unlisted(warning_kind(kind), file, index.finding_count(kind) - kept);
  }
}

}  // namespace qel2br::driver
