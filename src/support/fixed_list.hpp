// FixedList<T, N>: a list of at most N entries; nothing is ever written past its end.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace qel2br::support {

// A table of at most N entries. push() reports "full" instead of going past the end; the
// caller decides what a full table means for the run. The room grows with the entries, so a
// large table that a run hardly uses costs neither memory nor the time to clear it.
template <typename T, std::size_t N>
class FixedList {
 public:
  static constexpr std::size_t kCapacity = N;

  // Appends value; false when the table already holds N entries.
  [[nodiscard]] bool push(const T& value) {
    if (entries_.size() >= N) {
      return false;
    }
    entries_.push_back(value);
    return true;
  }
  void clear() { entries_.clear(); }
  [[nodiscard]] std::size_t size() const { return entries_.size(); }
  [[nodiscard]] bool empty() const { return entries_.empty(); }
  [[nodiscard]] std::span<T> items() { return entries_; }
  [[nodiscard]] std::span<const T> items() const { return entries_; }

 private:
  std::vector<T> entries_;
};

}  // namespace qel2br::support
