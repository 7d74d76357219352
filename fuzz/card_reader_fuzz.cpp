// Fuzz target: the card reader. The first byte chooses what the rest feeds: the free-format
// reading of a field, SPLITL and DECITM on every line, or section scans over the whole file
// (and its index read in two parts against the index read in one).
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>

#include "cards/card_index.hpp"
#include "cards/card_reader.hpp"
#include "cards/free_format.hpp"
#include "cards/items.hpp"
#include "support/input_stop.hpp"
#include "support/line_source.hpp"

namespace {

using qel2br::cards::CardReader;
using qel2br::support::InputStop;
using qel2br::support::MemoryLines;

using qel2br::cards::CardIndex;
using qel2br::cards::kKeywords;

// The column ranges the sections read.
struct Columns {
  int first = 0;
  int last = 0;
};
constexpr std::array<Columns, 14> kFields = {{{10, 20},
                                              {21, 30},
                                              {31, 40},
                                              {6, 10},
                                              {11, 15},
                                              {16, 20},
                                              {41, 50},
                                              {51, 60},
                                              {61, 70},
                                              {71, 80},
                                              {11, 20},
                                              {61, 65},
                                              {71, 75},
                                              {1, 256}}};

void fail(const char* what) {
  std::fprintf(stderr, "card reader fuzz: %s\n", what);
  std::abort();
}

// Reads a field and checks the report of a bad one; returns whether a value was read.
bool read_field(const CardReader& reader, int first, int last) {
  try {
    const double value = reader.real_field(first, last);
    if (!std::isfinite(value)) {
      fail("a field gave a value that is not finite");
    }
    return true;
  } catch (const InputStop& stop) {
    if (stop.message.empty() || stop.line != reader.line_number()) {
      fail("a read error report without its message or line");
    }
    return false;
  }
}

void fuzz_field(std::string_view text) {
  const qel2br::cards::FieldValue field = qel2br::cards::read_real(text);
  if (field.error == qel2br::cards::FieldError::kNone && !std::isfinite(field.value)) {
    fail("read_real gave a value that is not finite");
  }
  if (field.error != qel2br::cards::FieldError::kNone && field.value != 0.0) {
    fail("read_real gave a value with an error");
  }
  if (field.error == qel2br::cards::FieldError::kNone) {
    // The double read is the one the library gives for the same number, written with E.
    const std::string_view first = qel2br::cards::first_value(text).text;
    std::string number(first.substr(first.find('*') + 1));
    if (!number.empty() && number.front() == '+') {
      number.erase(0, 1);
    }
    std::replace_if(
        number.begin(), number.end(), [](char c) { return c == 'D' || c == 'd'; }, 'E');
    double expected = 0.0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), expected);
    if (res.ec == std::errc{} &&
        std::bit_cast<std::uint64_t>(expected) != std::bit_cast<std::uint64_t>(field.value)) {
      fail("read_real gave another double than the library for the same number");
    }
  }
  if (text.size() < 2) {
    return;
  }
  // The same text as a card, read from columns chosen by its first two bytes.
  const auto a = static_cast<int>(static_cast<unsigned char>(text[0])) + 1;
  const auto b = static_cast<int>(static_cast<unsigned char>(text[1])) + 1;
  MemoryLines lines(std::string(text.substr(2)));
  CardReader reader;
  reader.attach(lines, "fuzz.inp");
  if (reader.read_line()) {
    read_field(reader, std::min(a, b), std::max(a, b));
  }
}

void fuzz_items(std::string_view text) {
  MemoryLines lines{std::string(text)};
  std::string_view line;
  qel2br::cards::ItemList items;
  while (lines.read_line(line)) {
    // As the free-format readers see it: the 256-column card text.
    const qel2br::cards::CardText card(line);
    qel2br::cards::SPLITL(card.view(), items);
    std::int32_t seen = 0;
    qel2br::cards::for_each_item(card.view(), [&](const qel2br::cards::Item& item) {
      ++seen;
      if (item.type < qel2br::cards::kIntegerItem || item.type > qel2br::cards::kTextItem) {
        fail("an item without a type");
      }
      if (item.type != qel2br::cards::kTextItem && !std::isfinite(item.value)) {
        fail("a number item that is not finite");
      }
    });
    if (items.count != seen || items.count < 0 ||
        items.count > static_cast<std::int32_t>(qel2br::cards::kMaxItems)) {
      fail("SPLITL and for_each_item disagree on the items of a card");
    }
    // The whole line, of any length, and DECITM on the raw line with a length of its own.
    qel2br::cards::SPLITL(line, items);
    std::int32_t type = 0;
    double value = 0.0;
    const auto length = static_cast<std::int32_t>(line.size() % 200) - 10;
    qel2br::cards::DECITM(line.substr(0, 80), length, type, value);
    if (type < qel2br::cards::kNoItem || type > qel2br::cards::kTextItem) {
      fail("DECITM gave an unknown type");
    }
  }
}

// The index read in two parts (at the middle of the text) holds what the one read in one part
// holds.
void check_two_parts(std::string_view text) {
  const CardIndex one(text, text.size() + 1);
  const CardIndex two(text, 1);
  for (const std::string_view keyword : kKeywords) {
    CardIndex::Places a = one.places(keyword);
    CardIndex::Places b = two.places(keyword);
    qel2br::cards::CardPlace pa{};
    qel2br::cards::CardPlace pb{};
    bool more = true;
    while (more) {
      more = a.next(pa);
      if (more != b.next(pb) || (more && (pa.offset != pb.offset || pa.line != pb.line))) {
        fail("the index read in two parts places a card elsewhere");
      }
    }
  }
  const auto& fa = one.findings();
  const auto& fb = two.findings();
  bool same = fa.size() == fb.size() && one.line_count() == two.line_count() &&
              one.last_line_start() == two.last_line_start();
  for (std::size_t i = 0; same && i < fa.size(); ++i) {
    same = fa[i].kind == fb[i].kind && fa[i].line == fb[i].line && fa[i].column == fb[i].column &&
           fa[i].keyword == fb[i].keyword;
  }
  for (const auto kind :
       {qel2br::cards::FindingKind::kTabCharacter, qel2br::cards::FindingKind::kKeywordMisplaced}) {
    same = same && one.finding_count(kind) == two.finding_count(kind);
  }
  for (const std::string_view keyword : qel2br::cards::kSetKeywords) {
    same = same && one.group_references(keyword) == two.group_references(keyword);
  }
  if (!same) {
    fail("the index read in two parts differs from the one read in one part");
  }
}

void fuzz_scan(std::string_view text) {
  check_two_parts(text);
  MemoryLines lines{std::string(text)};
  CardReader reader;
  reader.attach(lines, "fuzz.inp");
  for (const std::string_view keyword : kKeywords) {
    reader.start_scan(keyword);
    std::size_t field = keyword.size();
    while (reader.next_card()) {
      if (reader.card().view().substr(0, 4) != keyword) {
        fail("a card of another keyword was handed over");
      }
      const Columns cols = kFields.at(field++ % kFields.size());
      read_field(reader, cols.first, cols.last);
      if (keyword == "CRNT") {
        // Continuation cards, then the first other line is read again by the scan.
        while (reader.read_line()) {
          if (!reader.blank(1, 4)) {
            reader.step_back();
            break;
          }
          read_field(reader, 41, 50);
        }
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const std::string_view text(reinterpret_cast<const char*>(data) + 1,  // NOLINT: bytes as text
                              size - 1);
  switch (data[0] % 3) {
    case 0:
      fuzz_field(text);
      break;
    case 1:
      fuzz_items(text);
      break;
    default:
      fuzz_scan(text);
      break;
  }
  return 0;
}
