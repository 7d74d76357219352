// The element-by-element properties: one element record per usable SPEC and SPEX card.
#include <string>
#include <string_view>

#include "sections/card_chunks.hpp"
#include "sections/sections.hpp"
#include "sections/set_warnings.hpp"
#include "sets/element_sets.hpp"
#include "support/text.hpp"
#include "support/warnings.hpp"

namespace qel2br::sections {

namespace {

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

// Reads the coefficient card of kind last read: a usable card whose range gives elements gives
// its element record.
template <const CoefficientCard& kind>
void read_coefficients(Reading& in) {
  cards::CardReader& cards = in.cards;
  [[maybe_unused]] const double ignored = cards.real_field(kind.ignored.first, kind.ignored.last);
  const double cd = cards.real_field(kind.cd.first, kind.cd.last);
  const double cm = cards.real_field(kind.cm.first, kind.cm.last);
  if (cd < kLowestCoefficient || cm < kLowestCoefficient) {
    const bool drag = cd < kLowestCoefficient;
    const Columns columns = drag ? kind.cd : kind.cm;
    in.warnings.warn_with(
        drag ? support::WarningKind::kDragCoefficient : support::WarningKind::kInertiaCoefficient,
        {.file = cards.file_name(),
         .line = cards.line_number(),
         .first_column = columns.first,
         .last_column = columns.last},
        [&] {
          return std::string(kind.keyword) + " card, columns " + std::to_string(columns.first) +
                 "-" + std::to_string(columns.last) + ": " + (drag ? "Cd " : "Cm ") + "\"" +
                 std::string(support::without_blanks(cards.columns(columns.first, columns.last))) +
                 "\" is below -0.1, which makes the card unusable: it is passed over";
        });
    return;
  }
  sets::ElementList elements;
  const sets::ElementRange range = sets::RNGELM(cards, kind.range_width, elements);
  warn_range(in, range, elements);
  if (elements.empty()) {
    return;
  }
  records::ElementRecord record{
      .keyword = support::Text<4>(kind.keyword), .line = cards.line_number(), .cd = cd, .cm = cm};
  check_elements(in, elements, record.positions, record.left_out);
  in.sink.element_record(record);
}

}  // namespace

void WRELMP(Reading& in) {
  in.sink.open(records::Block::kElementProperties);
  in.sink.open(records::Block::kSpec);
  read_cards(in, kSpec.keyword, read_coefficients<kSpec>);
  in.sink.close(records::Block::kSpec);
  in.sink.open(records::Block::kSpex);
  read_cards(in, kSpex.keyword, read_coefficients<kSpex>);
  in.sink.close(records::Block::kSpex);
  in.sink.close(records::Block::kElementProperties);
}

}  // namespace qel2br::sections
