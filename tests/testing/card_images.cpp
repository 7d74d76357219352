// Card images for the tests.
#include "testing/card_images.hpp"

#include <cstddef>
#include <stdexcept>
#include <utility>

namespace qel2br::testing {

std::string card(std::string_view start, const std::vector<Field>& fields) {
  std::string image(start);
  for (const Field& field : fields) {
    const std::string columns =
        "columns " + std::to_string(field.first) + "-" + std::to_string(field.last);
    if (field.first < 1 || field.last < field.first) {
      throw std::invalid_argument("card image: " + columns + " are not a field");
    }
    const auto first = static_cast<std::size_t>(field.first - 1);
    const auto width = static_cast<std::size_t>(field.last - field.first + 1);
    if (field.text.size() > width) {
      throw std::invalid_argument("card image: \"" + field.text + "\" does not fit " + columns);
    }
    if (image.size() < first + width) {
      image.resize(first + width, ' ');
    }
    image.replace(first, width, std::string(width - field.text.size(), ' ') + field.text);
  }
  return image;
}

std::string card_file(const std::vector<std::string>& cards, std::string_view end) {
  std::string text;
  for (const std::string& image : cards) {
    text += image;
    text += end;
  }
  return text;
}

namespace {

// The fields whose text is given, in the order listed.
std::vector<Field> given(std::vector<Field> fields) {
  std::erase_if(fields, [](const Field& field) { return field.text.empty(); });
  return fields;
}

}  // namespace

std::vector<Field> sea_fields(const SeaCard& sea) {
  return given({{6, 10, sea.type},
                {16, 20, sea.height},
                {21, 30, sea.period},
                {31, 40, sea.phase},
                {71, 80, sea.direction}});
}

std::string sea_card(const SeaCard& sea) { return card("SEA ", sea_fields(sea)); }

std::vector<Field> current_fields(const CurrentCard& current) {
  return given({{41, 50, current.elevation}, {51, 60, current.speed}, {61, 70, current.direction}});
}

std::string current_card(const CurrentCard& current) {
  return card("CRNT", current_fields(current));
}

std::string current_continuation(const CurrentCard& current) {
  return card("    ", current_fields(current));
}

std::string depth_card(std::string_view depth) {
  return card("DPTH", {{10, 20, std::string(depth)}});
}

std::vector<Field> growth_fields(const GrowthCard& growth) {
  return given({growth.first ? Field{11, 20, growth.elevation} : Field{21, 30, growth.elevation},
                {31, 40, growth.thickness}});
}

std::string growth_card(const GrowthCard& growth) { return card("MGRW", growth_fields(growth)); }

std::vector<Field> coefficient_fields(const CoefficientCard& coefficients) {
  return given({coefficients.first ? Field{11, 20, coefficients.elevation}
                                   : Field{21, 30, coefficients.elevation},
                {31, 40, coefficients.cd},
                {51, 60, coefficients.cm}});
}

std::string coefficient_card(const CoefficientCard& coefficients) {
  return card("COEF", coefficient_fields(coefficients));
}

std::vector<Field> element_fields(const ElementCard& element) {
  return given({{6, 10, element.first},
                {11, 15, element.last},
                {16, 20, element.step},
                {31, 40, element.unused},
                {41, 50, element.cd},
                {61, 70, element.cm}});
}

std::string element_card(const ElementCard& element) {
  return card("SPEC", element_fields(element));
}

std::vector<Field> wide_element_fields(const ElementCard& element) {
  return given({{11, 20, element.first},
                {21, 30, element.last},
                {31, 40, element.step},
                {51, 60, element.unused},
                {61, 65, element.cd},
                {71, 75, element.cm}});
}

std::string wide_element_card(const ElementCard& element) {
  return card("SPEX", wide_element_fields(element));
}

std::vector<Field> range_fields(const RangeCard& range) {
  return given({{11, 20, range.first}, {21, 30, range.last}, {31, 40, range.step}});
}

std::string flooded_card(const RangeCard& range) { return card("FLOO", range_fields(range)); }

std::string non_hydro_card(const RangeCard& range) { return card("ELIM", range_fields(range)); }

std::vector<Field> constants_fields(const ConstantsCard& constants) {
  return given(
      {{10, 20, constants.flag}, {21, 30, constants.gravity}, {31, 40, constants.density}});
}

std::string constants_card(const ConstantsCard& constants) {
  return card("CONS", constants_fields(constants));
}

}  // namespace qel2br::testing
