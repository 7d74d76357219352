// Fixed-length, blank-padded texts: file names, card text, answers, item texts.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace qel2br::support {

// copy_text(s, text): copies s into text, cut to its length or padded with blanks.
constexpr void copy_text(std::string_view s, std::span<char> text) {
  const std::size_t n = std::min(s.size(), text.size());
  std::copy_n(s.begin(), n, text.begin());
  std::fill(text.begin() + static_cast<std::ptrdiff_t>(n), text.end(), ' ');
}

// text without its trailing blanks.
[[nodiscard]] constexpr std::string_view without_trailing_blanks(std::string_view text) {
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

// text without its leading and trailing blanks.
[[nodiscard]] constexpr std::string_view without_blanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view{}
                                         : without_trailing_blanks(text.substr(first));
}

// A text of exactly N characters, blank padded on the right. view() is the whole declared
// length (trailing blanks included), head(n) is the leading part text(1:n).
template <std::size_t N>
class Text {
 public:
  static constexpr std::size_t kLength = N;

  constexpr Text() { chars_.fill(' '); }
  constexpr explicit Text(std::string_view s) { assign(s); }

  // Copies s in, cut to N characters or padded with blanks.
  constexpr void assign(std::string_view s) { copy_text(s, chars_); }
  constexpr void blank() { chars_.fill(' '); }

  [[nodiscard]] constexpr std::string_view view() const { return {chars_.data(), N}; }
  // text(1:n); n is clamped to 0..N.
  [[nodiscard]] constexpr std::string_view head(std::size_t n) const {
    return {chars_.data(), std::min(n, N)};
  }
  [[nodiscard]] constexpr char* data() { return chars_.data(); }
  [[nodiscard]] constexpr const char* data() const { return chars_.data(); }

 private:
  std::array<char, N> chars_{};
};

}  // namespace qel2br::support
