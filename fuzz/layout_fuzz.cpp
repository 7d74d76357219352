// Fuzz target: layouts parsed at run time and rendered with arbitrary items, and single I and F
// fields of any width and value.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "layout/layout.hpp"

namespace {

using qel2br::layout::Item;
using qel2br::layout::WholeNumber;

// Items per record, and columns per pass over a layout, kept small so one input renders quickly.
constexpr std::size_t kMaxItems = 16;
constexpr std::size_t kMaxPassWidth = 20000;

void fail(const char* what) {
  std::fprintf(stderr, "layout fuzz: %s\n", what);
  std::abort();
}

// Reads the input from the front: bytes, then whatever is left.
class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}  // NOLINT: bytes seen as characters
  [[nodiscard]] bool empty() const { return rest_.empty(); }
  std::uint8_t byte() {
    if (rest_.empty()) {
      return 0;
    }
    const auto b = static_cast<std::uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return b;
  }
  template <typename T>
  T value() {
    T v{};
    std::array<char, sizeof(T)> raw{};
    const std::size_t n = std::min(rest_.size(), raw.size());
    std::memcpy(raw.data(), rest_.data(), n);
    std::memcpy(&v, raw.data(), sizeof(T));
    rest_.remove_prefix(n);
    return v;
  }
  std::string_view text(std::size_t n) {
    const std::string_view t = rest_.substr(0, std::min(n, rest_.size()));
    rest_.remove_prefix(t.size());
    return t;
  }
  // The text up to the next NUL (which is consumed), or all that is left.
  std::string_view until_nul() {
    const std::size_t end = rest_.find('\0');
    const std::string_view t = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    return t;
  }

 private:
  std::string_view rest_;
};

// A single field renders exactly its width, whatever the value.
void check_single_fields(Bytes& in) {
  const int width = 1 + in.byte() % 60;
  const int decimals = std::min(width - 1, static_cast<int>(in.byte() % 31));
  const auto real = in.value<double>();
  std::string out;
  qel2br::layout::render_real(out, real, width, decimals);
  if (out.size() != static_cast<std::size_t>(width)) {
    fail("an F field is not as wide as its width");
  }
  out.clear();
  const int min_digits = std::min(width, static_cast<int>(in.byte() % 8));
  qel2br::layout::render_int(out, in.value<double>(), width, min_digits);
  if (out.size() != static_cast<std::size_t>(width)) {
    fail("an I field is not as wide as its width");
  }
}

std::size_t pass_width(const qel2br::layout::ParsedLayout& layout) {
  std::size_t width = 0;
  for (std::size_t i = 0; i < layout.count; ++i) {
    width += static_cast<std::size_t>(layout.fields[i].width) + layout.fields[i].literal.size() + 1;
  }
  return width;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes in(data, size);
  const std::string_view layout_text = in.until_nul();
  check_single_fields(in);

  const qel2br::layout::ParsedLayout layout = qel2br::layout::parse_layout(layout_text);
  if (layout.error != nullptr) {
    return 0;
  }
  if (layout.count > qel2br::layout::kMaxDescriptors) {
    fail("more descriptors than the layout holds");
  }
  if (pass_width(layout) > kMaxPassWidth) {
    return 0;
  }
  std::vector<Item> items;
  while (!in.empty() && items.size() < kMaxItems) {
    switch (in.byte() % 4) {
      case 0:
        items.emplace_back(in.text(in.byte()));
        break;
      case 1:
        items.emplace_back(in.value<std::int32_t>());
        break;
      case 2:
        items.emplace_back(WholeNumber{in.value<double>()});
        break;
      default:
        items.emplace_back(in.value<double>());
        break;
    }
  }
  std::string out;
  qel2br::layout::render_into(out, layout, items);
  if (!layout.open_end && !out.empty() && out.back() != '\n') {
    fail("a record without $ does not end its line");
  }
  return 0;
}
