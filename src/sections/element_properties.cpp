// The element-by-element property block: one Cd/Cm record per usable SPEC and SPEX card.
#include "sections/element_properties.hpp"

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "cards/text_routines.hpp"
#include "layout/layout.hpp"
#include "sections/card_chunks.hpp"
#include "sections/headings.hpp"
#include "sections/sections.hpp"
#include "sections/set_warnings.hpp"
#include "sets/element_sets.hpp"

namespace qel2br::sections {

namespace {

constexpr layout::Layout kElementLine = "(A, 5I10)";
constexpr layout::Layout kCdCmText = "(A, 2F7.3)";

constexpr std::string_view kEquals = "' ============================================";
constexpr std::string_view kProperties = "' ==  Specification of Properties          ===";
constexpr std::string_view kElementByElement = "' ==  E l e m e n t   by   E l e m e n t   ===";
constexpr std::string_view kOverride = "' ==  (Override profile definitions)       ===";

constexpr std::string_view kDashes = "' --------------------------------";
constexpr std::string_view kCdCmTitle = "' Specification of Cd/Cm  ";
constexpr std::string_view kHydCdCm = " Hyd_CdCm ";

// A coefficient below the single-precision -0.1 makes the card unusable.
constexpr double kLowestCoefficient = static_cast<double>(-0.1F);

// The first and last column of a field.
struct Columns {
  int first = 0;
  int last = 0;
};

// The columns of one kind of coefficient card.
struct CoefficientCard {
  std::string_view keyword{};
  std::int32_t range_width = 0;
  Columns ignored{};
  Columns cd{};
  Columns cm{};
};

constexpr CoefficientCard kSpec{
    .keyword = "SPEC", .range_width = 5, .ignored = {31, 40}, .cd = {41, 50}, .cm = {61, 70}};
constexpr CoefficientCard kSpex{
    .keyword = "SPEX", .range_width = 10, .ignored = {51, 60}, .cd = {61, 65}, .cm = {71, 75}};

// Converts the coefficient card of kind last read: a usable card with elements left after the
// element ID check gives its Cd/Cm records.
void convert_coefficients(RunState& run, const CoefficientCard& kind, bool& opened) {
  [[maybe_unused]] const double ignored =
      run.cards.real_field(kind.ignored.first, kind.ignored.last);
  const double cd = run.cards.real_field(kind.cd.first, kind.cd.last);
  const double cm = run.cards.real_field(kind.cm.first, kind.cm.last);
  if (cd < kLowestCoefficient || cm < kLowestCoefficient) {
    return;
  }
  sets::ElementList& elements = run.card_elements;
  sets::RNGELM(run.cards, kind.range_width, elements);
  warn_left_out(run, elements, run.element_numbers);
  std::vector<std::int32_t> before;
  if (run.report != nullptr) {
    before.assign(elements.items().begin(), elements.items().end());
  }
  sets::KEEPID(elements, run.element_numbers);
  if (elements.empty()) {
    return;
  }
  if (run.report != nullptr) {
    report::ElementRecord& noted = run.report->element_records.emplace_back();
    noted.keyword = std::string(kind.keyword);
    noted.line = run.cards.line_number();
    noted.cd = cd;
    noted.cm = cm;
    note_kept(before, elements.items(), noted.elements, noted.left_out);
  }
  // The first usable card opens the block with its heading.
  if (!opened) {
    write_heading(run.output(), kDashes, {kCdCmTitle});
    opened = true;
  }
  const std::array<layout::Item, 3> items{kHydCdCm, cd, cm};
  support::Text<80> record;
  layout::render_text(kCdCmText, items, record);
  WRELST(record, elements.items(), run.output());
}

void write_cards(RunState& run, const CoefficientCard& kind) {
  bool opened = false;
  convert_cards(run, kind.keyword, opened,
                [&kind](RunState& on, bool& heading) { convert_coefficients(on, kind, heading); });
}

}  // namespace

void WRELST(const support::Text<80>& record, std::span<const std::int32_t> elements,
            support::OutputUnit& out) {
  const auto n = static_cast<std::size_t>(cards::ILSTNB(record.view()));
  for (std::size_t start = 0; start < elements.size(); start += 5) {
    std::array<layout::Item, 6> items{record.head(n), 0, 0, 0, 0, 0};
    std::size_t used = 1;
    for (std::size_t i = start; i < start + 5 && i < elements.size(); ++i) {
      if (elements[i] > 0) {
        items[used++] = elements[i];
      }
    }
    if (used > 1) {
      layout::write_record(out, kElementLine, std::span<const layout::Item>(items.data(), used));
    }
  }
}

void note_kept(std::span<const std::int32_t> before, std::span<const std::int32_t> after,
               std::vector<std::int32_t>& written, std::vector<std::int32_t>& left_out) {
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i] > 0) {
      written.push_back(after[i]);
    } else if (i < before.size() && before[i] > 0) {
      left_out.push_back(before[i]);
    }
  }
}

void WRELMP(RunState& run) {
  layout::write_record(run.output(), layout::kOneText, kMark);
  layout::write_record(run.output(), layout::kOneText, kMark);
  write_heading(run.output(), kEquals, {kProperties, kElementByElement, kOverride});
  write_cards(run, kSpec);
  write_cards(run, kSpex);
}

}  // namespace qel2br::sections
