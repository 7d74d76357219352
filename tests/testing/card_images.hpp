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

}  // namespace qel2br::testing
