// Markup text for the report: escaping with UTF-8 repair, and number texts.
#include "report/markup.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <system_error>

namespace qel2br::report {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The byte as an unsigned value.
std::uint32_t byte_at(std::string_view text, std::size_t i) {
  return static_cast<unsigned char>(text[i]);
}

bool continuation(std::string_view text, std::size_t i, std::uint32_t low = 0x80,
                  std::uint32_t high = 0xBF) {
  if (i >= text.size()) {
    return false;
  }
  const std::uint32_t b = byte_at(text, i);
  return b >= low && b <= high;
}

// The length of the well-formed UTF-8 sequence at i and its code point; 0 when the bytes there
// are not one.
std::size_t sequence_at(std::string_view text, std::size_t i, std::uint32_t& code) {
  const std::uint32_t b0 = byte_at(text, i);
  if (b0 < 0x80) {
    code = b0;
    return 1;
  }
  if (b0 >= 0xC2 && b0 <= 0xDF && continuation(text, i + 1)) {
    code = ((b0 & 0x1FU) << 6U) | (byte_at(text, i + 1) & 0x3FU);
    return 2;
  }
  if (b0 >= 0xE0 && b0 <= 0xEF) {
    // Overlong forms and the surrogates are not well-formed.
    const std::uint32_t low = b0 == 0xE0 ? 0xA0 : 0x80;
    const std::uint32_t high = b0 == 0xED ? 0x9F : 0xBF;
    if (continuation(text, i + 1, low, high) && continuation(text, i + 2)) {
      code = ((b0 & 0x0FU) << 12U) | ((byte_at(text, i + 1) & 0x3FU) << 6U) |
             (byte_at(text, i + 2) & 0x3FU);
      return 3;
    }
    return 0;
  }
  if (b0 >= 0xF0 && b0 <= 0xF4) {
    const std::uint32_t low = b0 == 0xF0 ? 0x90 : 0x80;
    const std::uint32_t high = b0 == 0xF4 ? 0x8F : 0xBF;
    if (continuation(text, i + 1, low, high) && continuation(text, i + 2) &&
        continuation(text, i + 3)) {
      code = ((b0 & 0x07U) << 18U) | ((byte_at(text, i + 1) & 0x3FU) << 12U) |
             ((byte_at(text, i + 2) & 0x3FU) << 6U) | (byte_at(text, i + 3) & 0x3FU);
      return 4;
    }
  }
  return 0;
}

// Whether a page may hold the code point as a character.
bool allowed(std::uint32_t code) {
  if (code < 0x20) {
    return code == '\t' || code == '\n';
  }
  if (code >= 0x7F && code <= 0x9F) {
    return false;
  }
  if (code >= 0xFDD0 && code <= 0xFDEF) {
    return false;
  }
  return (code & 0xFFFEU) != 0xFFFEU;
}

// The bidirectional-text controls, which can make a line read in an order other than its
// characters'.
bool bidi_control(std::uint32_t code) {
  return code == 0x061C || code == 0x200E || code == 0x200F || (code >= 0x202A && code <= 0x202E) ||
         (code >= 0x2066 && code <= 0x2069);
}

}  // namespace

std::string escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    std::uint32_t code = 0;
    const std::size_t length = sequence_at(text, i, code);
    if (length == 0 || !allowed(code)) {
      out += kReplacement;
      i += length == 0 ? 1 : length;
      continue;
    }
    if (bidi_control(code)) {
      std::array<char, 8> hex{};
      const auto result =
          std::to_chars(hex.data(), hex.data() + hex.size(), static_cast<unsigned>(code), 16);
      std::string digits(hex.data(), result.ptr);
      for (char& c : digits) {
        if (c >= 'a' && c <= 'f') {
          c = static_cast<char>(c - 'a' + 'A');
        }
      }
      out += "[U+" + std::string(4 - std::min<std::size_t>(4, digits.size()), '0') + digits + "]";
      i += length;
      continue;
    }
    switch (code) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out.append(text.substr(i, length));
        break;
    }
    i += length;
  }
  return out;
}

std::string fixed(double value, int decimals) {
  if (std::isnan(value)) {
    return "n/a";
  }
  if (std::isinf(value)) {
    return value > 0 ? "inf" : "-inf";
  }
  constexpr int kMostDecimals = 12;
  const int places = decimals < 0 ? 0 : (decimals > kMostDecimals ? kMostDecimals : decimals);
  // The widest double in fixed notation has 309 digits before the point.
  std::array<char, 400> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, places);
  if (result.ec != std::errc{}) {
    return "n/a";
  }
  std::string text(buffer.data(), result.ptr);
  if (!text.empty() && text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) {
    text.erase(0, 1);
  }
  return text;
}

std::string shortest(double value) {
  if (std::isnan(value)) {
    return "n/a";
  }
  if (std::isinf(value)) {
    return value > 0 ? "inf" : "-inf";
  }
  constexpr double kLargest = 1e15;
  constexpr double kSmallest = 1e-5;
  const double size = std::fabs(value);
  const std::chars_format format = size == 0.0 || (size >= kSmallest && size < kLargest)
                                       ? std::chars_format::fixed
                                       : std::chars_format::scientific;
  std::array<char, 400> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                    value == 0.0 ? 0.0 : value, format);
  if (result.ec != std::errc{}) {
    return "n/a";
  }
  return {buffer.data(), result.ptr};
}

}  // namespace qel2br::report
