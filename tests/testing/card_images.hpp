// Card images for the tests: the keyword from column 1 and each field in its columns, as the card
// layouts give them ("columns 16-20"), and card files made of such images.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qel2br::testing {

// A field of a card: columns first to last (1-based, both included) and the text punched in them,
// right-aligned; a text as long as the field fills it.
struct Field {
  int first = 0;
  int last = 0;
  std::string text{};
};

// A card image without a line end: start from column 1 (the keyword, or all the card holds from
// column 1 on; blanks or nothing for a continuation card), then each field in its columns, in any
// order; columns in between are blanks. The image ends with the last column given. A text longer
// than its field, or a field whose columns are not 1 <= first <= last, throws
// std::invalid_argument: the test is wrong.
[[nodiscard]] std::string card(std::string_view start, const std::vector<Field>& fields = {});

// A card file: each card followed by end (a line feed, or CR LF).
[[nodiscard]] std::string card_file(const std::vector<std::string>& cards,
                                    std::string_view end = "\n");

// Named cards: each field's text in its columns, as the section writers read them. A field
// left empty is not punched (its columns stay blank, and the image ends with the last field
// given), so the images equal card() with the same fields.

// SEA: wave type 6-10, height 16-20, period 21-30, phase 31-40, direction 71-80.
struct SeaCard {
  std::string type{};
  std::string height{};
  std::string period{};
  std::string phase{};
  std::string direction{};
};
[[nodiscard]] std::vector<Field> sea_fields(const SeaCard& sea);
[[nodiscard]] std::string sea_card(const SeaCard& sea);

// CRNT and its continuation cards: elevation 41-50, speed 51-60, direction 61-70 (first card).
struct CurrentCard {
  std::string elevation{};
  std::string speed{};
  std::string direction{};
};
[[nodiscard]] std::vector<Field> current_fields(const CurrentCard& current);
[[nodiscard]] std::string current_card(const CurrentCard& current);
// A continuation card (blank columns 1-4) of the current before it.
[[nodiscard]] std::string current_continuation(const CurrentCard& current);

// DPTH: the water depth in columns 10-20.
[[nodiscard]] std::string depth_card(std::string_view depth);

// MGRW and COEF: the first card of a profile gives its elevation in columns 11-20, a later
// card in 21-30; MGRW's thickness 31-40, COEF's Cd 31-40 and Cm 51-60.
struct GrowthCard {
  bool first = true;
  std::string elevation{};
  std::string thickness{};
};
[[nodiscard]] std::vector<Field> growth_fields(const GrowthCard& growth);
[[nodiscard]] std::string growth_card(const GrowthCard& growth);
struct CoefficientCard {
  bool first = true;
  std::string elevation{};
  std::string cd{};
  std::string cm{};
};
[[nodiscard]] std::vector<Field> coefficient_fields(const CoefficientCard& coefficients);
[[nodiscard]] std::string coefficient_card(const CoefficientCard& coefficients);

// SPEC and SPEX: an element range (first, last, step), a value that is read and not used, and
// the coefficients Cd and Cm. SPEC: range 6-10, 11-15, 16-20, unused 31-40, Cd 41-50, Cm 61-70.
// SPEX: range 11-20, 21-30, 31-40, unused 51-60, Cd 61-65, Cm 71-75.
struct ElementCard {
  std::string first{};
  std::string last{};
  std::string step{};
  std::string unused{};
  std::string cd{};
  std::string cm{};
};
[[nodiscard]] std::vector<Field> element_fields(const ElementCard& element);
[[nodiscard]] std::string element_card(const ElementCard& element);
[[nodiscard]] std::vector<Field> wide_element_fields(const ElementCard& element);
[[nodiscard]] std::string wide_element_card(const ElementCard& element);

// FLOO and ELIM: an element range, first 11-20, last 21-30, step 31-40.
struct RangeCard {
  std::string first{};
  std::string last{};
  std::string step{};
};
[[nodiscard]] std::vector<Field> range_fields(const RangeCard& range);
[[nodiscard]] std::string flooded_card(const RangeCard& range);
[[nodiscard]] std::string non_hydro_card(const RangeCard& range);

// CONS: the unit flag 10-20, gravity 21-30, water density 31-40.
struct ConstantsCard {
  std::string flag{};
  std::string gravity{};
  std::string density{};
};
[[nodiscard]] std::vector<Field> constants_fields(const ConstantsCard& constants);
[[nodiscard]] std::string constants_card(const ConstantsCard& constants);

}  // namespace qel2br::testing
