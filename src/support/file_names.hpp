// The system's rules for file names: where a name's folder part ends, and when two names in one
// folder are the same entry (on Windows without regard to case).
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace qel2br::support {

// Whether names follow the Windows rules: '\' and ':' end a folder part as '/' does, and case
// does not count.
#if defined(_WIN32)
inline constexpr bool kWindowsNames = true;
#else
inline constexpr bool kWindowsNames = false;
#endif

// The length of name's folder part, its last separator included (0 when it has none).
[[nodiscard]] constexpr std::size_t folder_part(std::string_view name,
                                                bool windows = kWindowsNames) {
  const std::size_t last = name.find_last_of(windows ? std::string_view("/\\:") : "/");
  return last == std::string_view::npos ? 0 : last + 1;
}

// Whether a and b, two last name components, are the same entry of one folder: the same bytes,
// or on Windows the same but for the case of ASCII letters.
[[nodiscard]] constexpr bool same_entry_name(std::string_view a, std::string_view b,
                                             bool windows = kWindowsNames) {
  if (!windows) {
    return a == b;
  }
  const auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace qel2br::support
