// The card lines of the report: the text of the lines shown beside the records, and the cards
// that no record came from, by keyword.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "report/report_data.hpp"

namespace qel2br::report {

// The page shows this many records of a section in full (sea states, currents, profile
// points, element records, lines of a set, element ranges, warnings of one kind); beyond it, a
// summary of them all (count, minimum, maximum) and these first ones.
inline constexpr std::size_t kRecordsShown = 50;
// The page shows this many currents with their plots; the others are summarised.
inline constexpr std::size_t kCurrentsShown = 20;
// The cards passed over: at most this many keywords are listed, each with its first lines.
inline constexpr std::size_t kKeywordsListed = 100;
inline constexpr std::size_t kFirstLinesListed = 5;

// lines_shown(data): the card lines the page shows beside its records, in ascending order
// without repeats.
[[nodiscard]] std::vector<std::int64_t> lines_shown(const ReportData& data);

// lines_used(data): the card lines that records came from, in ascending order without repeats.
[[nodiscard]] std::vector<std::int64_t> lines_used(const ReportData& data);

// read_card_lines(contents, data): reads the card file's text once (a line ends at LF; the CR
// of a CR LF is not part of it) and fills data.card_text with the lines_shown(data), and
// data.passed_over with the cards no record came from, by keyword: every card but those of
// lines_used(data), the TITL cards (the heading) and the first CONS, MUDP and DPTH cards (the
// units and levels), keywords compared upper-cased. Comment cards ("C " in columns 1-2) are
// listed as "C"; lines blank in columns 1-4 as "(blank in columns 1-4)", blank lines as
// "(blank line)", a card whose text starts after blanks by its first four characters after
// "(after blanks) "; a tab is shown as "<tab>".
void read_card_lines(std::string_view contents, ReportData& data);

}  // namespace qel2br::report
