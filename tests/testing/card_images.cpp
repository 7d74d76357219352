// Card images for the tests.
#include "testing/card_images.hpp"

#include <cstddef>
#include <stdexcept>

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

}  // namespace qel2br::testing
