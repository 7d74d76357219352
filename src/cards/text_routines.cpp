// The small text routines of the card reader: first and last non-blank column, upper-casing,
// and the digit test.
#include "cards/text_routines.hpp"

#include <cstddef>
#include <limits>

namespace qel2br::cards {

namespace {

// Texts longer than the largest int report their positions clamped; the texts the tool
// handles are at most 256 characters, so this never happens in a run.
int to_position(std::size_t index) {
  constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<int>::max());
  return index >= kMax ? std::numeric_limits<int>::max() : static_cast<int>(index + 1);
}

}  // namespace

int IFSTNB(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? 0 : to_position(first);
}

int ILSTNB(std::string_view text) {
  // A backward scan from the end; the library scan is already fast on long blank tails.
  const std::size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? 0 : to_position(last);
}

void UPCASE(std::span<char> text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
}

bool NONDIG(char c) { return c < '0' || c > '9'; }

}  // namespace qel2br::cards
