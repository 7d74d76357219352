// Record layouts: the one engine that puts characters into every line the tool writes.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "support/line_source.hpp"
#include "support/output_unit.hpp"
#include "support/text.hpp"

namespace qel2br::layout {

// What a descriptor of a layout does.
enum class FieldKind : std::uint8_t {
  kText,     // A: a text at its declared length
  kTextW,    // Aw: a text in exactly w columns
  kInt,      // Iw or Iw.m
  kReal,     // Fw.d
  kBlanks,   // nX
  kLiteral,  // "text"
  kSlash,    // /: ends the line
};

// One descriptor after repeat counts are expanded (4F8.2 becomes four F8.2 descriptors).
struct Descriptor {
  FieldKind kind = FieldKind::kBlanks;
  int width = 0;   // w of Aw, Iw, Fw.d; n of nX
  int digits = 0;  // m of Iw.m, d of Fw.d
  std::string_view literal{};
};

inline constexpr std::size_t kMaxDescriptors = 64;

// A layout after parsing; error is null when the text was well formed.
struct ParsedLayout {
  std::array<Descriptor, kMaxDescriptors> fields{};
  std::size_t count = 0;
  bool open_end = false;  // ends in $: the last line is left open
  const char* error = nullptr;
  std::size_t item_fields = 0;  // descriptors that take an item
  std::size_t columns = 0;      // the widths and literals of one pass, A texts aside
  std::size_t slashes = 0;      // the line ends one pass writes within it
};

// Reached only when a layout is malformed; not constexpr, so a malformed layout stops the build.
void layout_error(const char* why);

namespace detail {

constexpr bool is_space(char c) { return c == ' ' || c == '\t'; }
constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Whether a descriptor of the kind takes an item.
constexpr bool takes_item(FieldKind kind) {
  return kind == FieldKind::kText || kind == FieldKind::kTextW || kind == FieldKind::kInt ||
         kind == FieldKind::kReal;
}

// Reads an unsigned number at text[pos]; -1 when there is none or it is above 9999.
constexpr int parse_count(std::string_view text, std::size_t& pos) {
  if (pos >= text.size() || !is_digit(text[pos])) {
    return -1;
  }
  int value = 0;
  while (pos < text.size() && is_digit(text[pos])) {
    value = value * 10 + (text[pos] - '0');
    if (value > 9999) {
      return -1;
    }
    ++pos;
  }
  return value;
}

}  // namespace detail

// Parses a layout written as in "(A, I4, 2X, A, 4F8.2, 2F9.2, I4)". Usable at compile time.
constexpr ParsedLayout parse_layout(std::string_view text) {
  ParsedLayout out;
  std::size_t pos = 0;
  const auto skip_spaces = [&] {
    while (pos < text.size() && detail::is_space(text[pos])) {
      ++pos;
    }
  };
  const auto fail = [&](const char* why) {
    out.error = why;
    return out;
  };
  const auto add = [&](const Descriptor& d, int times) {
    for (int i = 0; i < times; ++i) {
      if (out.count >= kMaxDescriptors) {
        return false;
      }
      out.fields[out.count++] = d;
      out.columns += static_cast<std::size_t>(d.width) + d.literal.size();
      out.slashes += d.kind == FieldKind::kSlash ? 1U : 0U;
      out.item_fields += detail::takes_item(d.kind) ? 1U : 0U;
    }
    return true;
  };
  skip_spaces();
  if (pos >= text.size() || text[pos] != '(') {
    return fail("a layout starts with '('");
  }
  ++pos;
  skip_spaces();
  if (pos < text.size() && text[pos] == ')') {
    ++pos;
  } else {
    while (true) {
      skip_spaces();
      if (pos >= text.size()) {
        return fail("missing ')'");
      }
      if (out.open_end) {
        return fail("'$' must be last");
      }
      const char c = text[pos];
      if (c == '"') {
        const std::size_t start = ++pos;
        while (pos < text.size() && text[pos] != '"') {
          ++pos;
        }
        if (pos >= text.size()) {
          return fail("unterminated literal");
        }
        if (!add({.kind = FieldKind::kLiteral, .literal = text.substr(start, pos - start)}, 1)) {
          return fail("too many descriptors");
        }
        ++pos;
      } else if (c == '/') {
        ++pos;
        if (!add({.kind = FieldKind::kSlash}, 1)) {
          return fail("too many descriptors");
        }
      } else if (c == '$') {
        ++pos;
        out.open_end = true;
      } else {
        int repeat = 1;
        bool has_repeat = false;
        if (detail::is_digit(c)) {
          repeat = detail::parse_count(text, pos);
          has_repeat = true;
          if (repeat < 1) {
            return fail("bad repeat count");
          }
        }
        if (pos >= text.size()) {
          return fail("missing descriptor");
        }
        const char letter = text[pos++];
        Descriptor d;
        if (letter == 'X') {
          if (!has_repeat) {
            return fail("X needs a count, as in 2X");
          }
          d = {.kind = FieldKind::kBlanks, .width = repeat};
          repeat = 1;
        } else if (letter == 'A') {
          if (pos < text.size() && detail::is_digit(text[pos])) {
            const int w = detail::parse_count(text, pos);
            if (w < 1) {
              return fail("bad A width");
            }
            d = {.kind = FieldKind::kTextW, .width = w};
          } else {
            d = {.kind = FieldKind::kText};
          }
        } else if (letter == 'I') {
          const int w = detail::parse_count(text, pos);
          if (w < 1) {
            return fail("I needs a width, as in I4");
          }
          int m = 0;
          if (pos < text.size() && text[pos] == '.') {
            ++pos;
            m = detail::parse_count(text, pos);
            if (m < 0 || m > w) {
              return fail("bad I minimum digits");
            }
          }
          d = {.kind = FieldKind::kInt, .width = w, .digits = m};
        } else if (letter == 'F') {
          const int w = detail::parse_count(text, pos);
          if (w < 1) {
            return fail("F needs a width, as in F9.3");
          }
          if (pos >= text.size() || text[pos] != '.') {
            return fail("F needs decimals, as in F9.3");
          }
          ++pos;
          const int dd = detail::parse_count(text, pos);
          if (dd < 0 || dd >= w || dd > 30) {
            return fail("bad F decimals");
          }
          d = {.kind = FieldKind::kReal, .width = w, .digits = dd};
        } else {
          return fail("unknown descriptor");
        }
        if (!add(d, repeat)) {
          return fail("too many descriptors");
        }
      }
      skip_spaces();
      if (pos < text.size() && text[pos] == ',') {
        ++pos;
        continue;
      }
      if (pos < text.size() && text[pos] == ')') {
        ++pos;
        break;
      }
      return fail("expected ',' or ')'");
    }
  }
  skip_spaces();
  if (pos != text.size()) {
    return fail("text after ')'");
  }
  return out;
}

// A parsed layout. Built at compile time from its text; a malformed text does not compile.
class Layout {
 public:
  consteval Layout(const char* text)
      : parsed_(parse_layout(text)) {  // NOLINT(google-explicit-constructor)
    if (parsed_.error != nullptr) {
      layout_error(parsed_.error);
    }
  }
  [[nodiscard]] constexpr const ParsedLayout& parsed() const { return parsed_; }

 private:
  ParsedLayout parsed_;
};

// The layouts of a line that is one text, and of a line of two texts side by side.
inline constexpr Layout kOneText = "(A)";
inline constexpr Layout kTwoTexts = "(A, A)";

// The kind of item a field takes.
enum class ItemKind : std::uint8_t { kText, kInt, kReal };

// A whole number held as a real (a rounded value that may not fit 32 bits): an I field
// writes it when it fits the field, asterisks otherwise.
struct WholeNumber {
  double value = 0.0;
};

// One item of a record: a text, an integer or a real.
class Item {
 public:
  constexpr Item(std::string_view text) : kind_(ItemKind::kText), text_(text) {}  // NOLINT
  constexpr Item(const char* text) : kind_(ItemKind::kText), text_(text) {}       // NOLINT
  template <std::size_t N>
  constexpr Item(const support::Text<N>& text)  // NOLINT
      : kind_(ItemKind::kText), text_(text.view()) {}
  constexpr Item(std::int32_t value)  // NOLINT
      : kind_(ItemKind::kInt), whole_(static_cast<double>(value)) {}
  constexpr Item(WholeNumber value) : kind_(ItemKind::kInt), whole_(value.value) {}  // NOLINT
  constexpr Item(double value) : kind_(ItemKind::kReal), real_(value) {}             // NOLINT

  [[nodiscard]] constexpr ItemKind kind() const { return kind_; }
  // The text of a text item; a number's text is empty.
  [[nodiscard]] constexpr std::string_view text() const { return text_; }
  [[nodiscard]] constexpr double whole() const { return whole_; }
  [[nodiscard]] constexpr double real() const { return real_; }

 private:
  ItemKind kind_;
  std::string_view text_{};
  double whole_ = 0.0;
  double real_ = 0.0;
};

namespace detail {

template <typename T>
constexpr ItemKind item_kind() {
  using U = std::remove_cvref_t<T>;
  if constexpr (std::is_same_v<U, std::int32_t> || std::is_same_v<U, WholeNumber>) {
    return ItemKind::kInt;
  } else if constexpr (std::is_same_v<U, double>) {
    return ItemKind::kReal;
  } else {
    static_assert(
        std::is_convertible_v<U, std::string_view> || std::is_array_v<U> ||
            std::is_same_v<U, const char*> || requires(const U& u) { u.view(); },
        "an item is a text, a std::int32_t, a WholeNumber or a double");
    return ItemKind::kText;
  }
}

constexpr ItemKind field_item_kind(FieldKind kind) {
  if (kind == FieldKind::kInt) {
    return ItemKind::kInt;
  }
  if (kind == FieldKind::kReal) {
    return ItemKind::kReal;
  }
  return ItemKind::kText;
}

// Whether the items of the given kinds suit the fields they land on, the layout starting
// again from its beginning when items remain at its end.
constexpr const char* check_items(const ParsedLayout& layout, std::span<const ItemKind> kinds) {
  if (layout.item_fields == 0) {
    return kinds.empty() ? nullptr : "items given to a layout without item fields";
  }
  std::size_t field = 0;
  for (const ItemKind kind : kinds) {
    while (!takes_item(layout.fields[field].kind)) {
      field = (field + 1) % layout.count;
    }
    if (field_item_kind(layout.fields[field].kind) != kind) {
      return "an item does not suit its field";
    }
    field = (field + 1) % layout.count;
  }
  return nullptr;
}

}  // namespace detail

// A layout checked, at compile time, against the kinds of the items it is given.
template <typename... Items>
class LayoutFor {
 public:
  consteval LayoutFor(const Layout& layout) : layout_(&layout) {  // NOLINT
    constexpr std::array<ItemKind, sizeof...(Items)> kKinds{detail::item_kind<Items>()...};
    if (const char* why = detail::check_items(layout.parsed(), kKinds); why != nullptr) {
      layout_error(why);
    }
  }
  [[nodiscard]] constexpr const Layout& layout() const { return *layout_; }

 private:
  const Layout* layout_;
};

// Whether value, written in the numeric field descriptor field (Fw.d, or Iw of a whole number),
// gives digits rather than the asterisks of a value too wide for the field. Any other
// descriptor takes no number: false.
[[nodiscard]] bool fits(const Descriptor& field, double value);

// Renders items by a layout into text: lines separated by '\n', the last line followed by
// '\n' unless the layout ends in $.
std::string render(const Layout& layout, std::span<const Item> items);

// Renders into an existing string (appended), as render() does, each line ended by line_end.
// The string grows once per record.
void render_into(std::string& out, const ParsedLayout& layout, std::span<const Item> items,
                 std::string_view line_end = "\n");

// render_text(layout, items, text): renders items by a layout and puts the first line into text,
// cut to the text's length or blank padded to it.
void render_text(const Layout& layout, std::span<const Item> items, std::span<char> text);

template <std::size_t N>
void render_text(const Layout& layout, std::span<const Item> items, support::Text<N>& text) {
  render_text(layout, items, std::span<char>(text.data(), N));
}

// Renders items and writes the lines to a unit, each ended by the unit's line end.
void write_record(support::OutputUnit& out, const Layout& layout, std::span<const Item> items);

template <typename... Items>
void write_record(support::OutputUnit& out, LayoutFor<std::type_identity_t<Items>...> layout,
                  const Items&... items) {
  const std::array<Item, sizeof...(Items)> list{Item(items)...};
  write_record(out, layout.layout(), std::span<const Item>(list));
}

// Writes a prompt: a blank column, the text cut to 80 characters, and no line end.
void prompt(support::OutputUnit& console, std::string_view text);

// ask(answers, console, question, text): prompts with the question on the console and reads the
// answer whole into text (cut or blank padded). The end of the console input stops the run,
// naming the line of the standard input that was expected. Returns the length of the answer as
// typed, which is more than text holds when it was cut.
std::size_t ask(support::LineSource& answers, support::OutputUnit& console,
                std::string_view question, std::span<char> text);

template <std::size_t N>
std::size_t ask(support::LineSource& answers, support::OutputUnit& console,
                std::string_view question, support::Text<N>& text) {
  return ask(answers, console, question, std::span<char>(text.data(), N));
}

// Renders one Fw.d field into out (exactly w characters).
void render_real(std::string& out, double value, int width, int decimals);

// scaled_whole(value, decimals): |value| * 10^decimals rounded to the nearest whole number, ties
// to the even one, computed exactly from the binary value: the digits of an Fw.d field with d =
// decimals. Empty when that number does not fit 64 bits (or decimals is not 0 to 19).
[[nodiscard]] std::optional<std::uint64_t> scaled_whole(double value, int decimals);

// Room for the fixed-notation digits of any finite double with up to 30 decimals.
inline constexpr std::size_t kFixedDigitsRoom = 400;

// fixed_digits(value, decimals, buffer): the digits of a finite value in fixed notation with
// exactly decimals (0 or more) decimals, correctly rounded from its binary value (the text
// std::to_chars gives with that precision), written into buffer. Empty when it does not fit.
[[nodiscard]] std::string_view fixed_digits(double value, int decimals,
                                            std::array<char, kFixedDigitsRoom>& buffer);

// Renders one Iw.m field into out (exactly w characters); a value that is not a whole number
// within the 64-bit range gives asterisks.
void render_int(std::string& out, double whole, int width, int min_digits);

}  // namespace qel2br::layout
