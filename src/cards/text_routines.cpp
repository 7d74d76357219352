// The small text routines of the card reader: first and last non-blank column, upper-casing,
// and the digit test.
#include "cards/text_routines.hpp"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

namespace qel2br::cards {

namespace {

// Texts longer than the largest int report their positions clamped; the texts the tool
// handles are at most 256 characters, so this never happens in a run.
int to_position(std::size_t index) {
  constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<int>::max());
  return index >= kMax ? std::numeric_limits<int>::max() : static_cast<int>(index + 1);
}

// Eight blanks as one word: card texts are mostly blank, so they are passed over a word at a time.
constexpr std::uint64_t kEightBlanks = 0x2020202020202020U;
constexpr std::size_t kWord = sizeof(std::uint64_t);

bool eight_blanks(const char* at) {
  std::uint64_t chars = 0;
  std::memcpy(&chars, at, kWord);
  return chars == kEightBlanks;
}

}  // namespace

int IFSTNB(std::string_view text) {
  std::size_t first = 0;
  while (first + kWord <= text.size() && eight_blanks(text.data() + first)) {
    first += kWord;
  }
  while (first < text.size() && text[first] == ' ') {
    ++first;
  }
  return first == text.size() ? 0 : to_position(first);
}

int ILSTNB(std::string_view text) {
  // end is one past the last character still to be looked at.
  std::size_t end = text.size();
  while (end >= kWord && eight_blanks(text.data() + end - kWord)) {
    end -= kWord;
  }
  while (end > 0 && text[end - 1] == ' ') {
    --end;
  }
  return end == 0 ? 0 : to_position(end - 1);
}

void UPCASE(std::span<char> text) {
  // Without a branch per character, so that the compiler treats many characters at once.
  for (char& c : text) {
    const auto code = static_cast<unsigned char>(c);
    const bool lower = static_cast<unsigned char>(code - 'a') < 26U;
    c = static_cast<char>(code - (lower ? 'a' - 'A' : 0));
  }
}

}  // namespace qel2br::cards
