// FixedList<T, N>: a count and a std::array; nothing is ever written past its end.
#pragma once

#include <array>
#include <cstddef>
#include <span>

namespace qel2br::support {

// A table of at most N entries with a count. push() reports "full" instead of writing past
// the end; the caller decides what a full table means for the run.
template <typename T, std::size_t N>
class FixedList {
 public:
  static constexpr std::size_t kCapacity = N;

  // Appends value; false when the table already holds N entries.
  [[nodiscard]] bool push(const T& value) {
    if (count_ >= N) {
      return false;
    }
    entries_[count_++] = value;
    return true;
  }
  void clear() { count_ = 0; }
  [[nodiscard]] std::size_t size() const { return count_; }
  [[nodiscard]] bool empty() const { return count_ == 0; }
  [[nodiscard]] std::span<T> items() { return {entries_.data(), count_}; }
  [[nodiscard]] std::span<const T> items() const { return {entries_.data(), count_}; }

 private:
  std::array<T, N> entries_{};
  std::size_t count_ = 0;
};

}  // namespace qel2br::support
