// The card lines of the report: one reading of the card file's text after the run.
#include "report/card_lines.hpp"

#include <algorithm>
#include <array>
#include <map>
#include <string>

#include "support/text.hpp"

namespace qel2br::report {

namespace {

// The lines of the records of a section that the page shows (take_points: the points of each).
void add_profile(std::vector<std::int64_t>& lines, const Profile& profile, std::size_t most) {
  for (std::size_t i = 0; i < profile.points.size() && i < most; ++i) {
    lines.push_back(profile.points[i].line);
  }
}

// The lines of the records, the first most of each section.
std::vector<std::int64_t> record_lines(const ReportData& data, std::size_t most,
                                       std::size_t most_currents) {
  std::vector<std::int64_t> lines;
  for (std::size_t i = 0; i < data.sea_states.size() && i < most; ++i) {
    lines.push_back(data.sea_states[i].line);
  }
  for (std::size_t c = 0; c < data.currents.size() && c < most_currents; ++c) {
    const Current& current = data.currents[c];
    lines.push_back(current.line);
    for (std::size_t i = 0; i < current.points.size() && i < most; ++i) {
      lines.push_back(current.points[i].line);
    }
  }
  add_profile(lines, data.marine_growth, most);
  add_profile(lines, data.coefficients, most);
  for (std::size_t i = 0; i < data.element_records.size() && i < most; ++i) {
    lines.push_back(data.element_records[i].line);
  }
  for (const ElementSet* set : {&data.flooded, &data.non_hydro}) {
    for (std::size_t i = 0; i < set->lines.size() && i < most; ++i) {
      lines.push_back(set->lines[i]);
    }
  }
  for (std::size_t i = 0; i < data.groups.size() && i < most; ++i) {
    lines.push_back(data.groups[i].line);
  }
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  return lines;
}

// The keywords read once, from their first card.
constexpr std::array<std::string_view, 3> kFirstCardOnly{"CONS", "MUDP", "DPTH"};

// The name a line is listed under among the cards passed over.
std::string listed_keyword(std::string_view line) {
  if (line.starts_with("C ") || line == "C") {
    return "C";
  }
  if (support::without_blanks(line).empty()) {
    return "(blank line)";
  }
  const std::string_view columns = line.substr(0, 4);
  if (support::without_blanks(columns).empty()) {
    return "(blank in columns 1-4)";
  }
  std::string keyword;
  std::string_view from = columns;
  if (columns.front() == ' ' || columns.front() == '\t') {
    // A keyword after leading blanks: its first four characters.
    keyword = "(after blanks) ";
    const std::size_t first = line.find_first_not_of(" \t");
    from = line.substr(first, 4);
  }
  // A tab is shown by name, not as the blank it looks like.
  for (const char c : support::without_trailing_blanks(from)) {
    keyword += c == '\t' ? std::string("<tab>") : std::string(1, c);
  }
  return keyword;
}

// Columns 1-4 of a line upper-cased, blank padded.
std::string upper_keyword(std::string_view line) {
  std::string keyword(line.substr(0, 4));
  keyword.resize(4, ' ');
  for (char& c : keyword) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return keyword;
}

}  // namespace

std::vector<std::int64_t> lines_shown(const ReportData& data) {
  return record_lines(data, kRecordsShown, kCurrentsShown);
}

std::vector<std::int64_t> lines_used(const ReportData& data) {
  std::vector<std::int64_t> lines;
  for (const SeaState& sea : data.sea_states) {
    lines.push_back(sea.line);
  }
  for (const Current& current : data.currents) {
    lines.push_back(current.line);
    for (const ProfilePoint& point : current.points) {
      lines.push_back(point.line);
    }
  }
  for (const Profile* profile : {&data.marine_growth, &data.coefficients}) {
    for (const ProfilePoint& point : profile->points) {
      lines.push_back(point.line);
    }
  }
  for (const ElementRecord& record : data.element_records) {
    lines.push_back(record.line);
  }
  for (const ElementSet* set : {&data.flooded, &data.non_hydro}) {
    lines.insert(lines.end(), set->lines.begin(), set->lines.end());
  }
  for (const GroupRecord& group : data.groups) {
    lines.push_back(group.line);
  }
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  return lines;
}

void read_card_lines(std::string_view contents, ReportData& data) {
  const std::vector<std::int64_t> shown = lines_shown(data);
  const std::vector<std::int64_t> used = lines_used(data);
  auto next_shown = shown.begin();
  auto next_used = used.begin();
  std::array<bool, kFirstCardOnly.size()> first_seen{};
  std::map<std::string, std::size_t, std::less<>> keyword_rows;
  std::int64_t other_keywords = 0;
  std::vector<std::int64_t> other_lines;
  data.passed_over.clear();

  std::int64_t number = 0;
  std::size_t start = 0;
  while (start < contents.size()) {
    std::size_t end = contents.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? contents.size() : end + 1;
    if (end == std::string_view::npos) {
      end = contents.size();
    }
    std::string_view line = contents.substr(start, end - start);
    if (line.ends_with('\r') && next > end) {
      line.remove_suffix(1);
    }
    start = next;
    ++number;

    if (next_shown != shown.end() && *next_shown == number) {
      data.card_text.emplace(number, std::string(line));
      ++next_shown;
    }
    while (next_used != used.end() && *next_used < number) {
      ++next_used;
    }
    if (next_used != used.end() && *next_used == number) {
      continue;
    }
    const std::string keyword = upper_keyword(line);
    if (keyword == "TITL") {
      continue;
    }
    const auto first = std::find(kFirstCardOnly.begin(), kFirstCardOnly.end(), keyword);
    if (first != kFirstCardOnly.end()) {
      bool& seen = first_seen[static_cast<std::size_t>(first - kFirstCardOnly.begin())];
      if (!seen) {
        seen = true;
        continue;
      }
    }
    std::string listed = listed_keyword(line);
    auto row = keyword_rows.find(listed);
    if (row == keyword_rows.end()) {
      if (keyword_rows.size() >= kKeywordsListed) {
        ++other_keywords;
        if (other_lines.size() < kFirstLinesListed) {
          other_lines.push_back(number);
        }
        continue;
      }
      row = keyword_rows.emplace(listed, data.passed_over.size()).first;
      data.passed_over.push_back({.keyword = std::move(listed), .count = 0, .first_lines = {}});
    }
    ReportData::PassedOver& passed = data.passed_over[row->second];
    ++passed.count;
    if (passed.first_lines.size() < kFirstLinesListed) {
      passed.first_lines.push_back(number);
    }
  }
  if (other_keywords > 0) {
    data.passed_over.push_back(
        {.keyword = "(other keywords)", .count = other_keywords, .first_lines = other_lines});
  }
  data.passed_over_listed = true;
}

}  // namespace qel2br::report
