// The identifier table: legal names, their keys, adding and finding them.
#include "sets/identifiers.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "cards/text_routines.hpp"
#include "layout/layout.hpp"
#include "support/input_stop.hpp"
#include "support/text.hpp"

namespace qel2br::sets {

namespace {

constexpr layout::Layout kAddHeading = R"((/, 2X, "*** ERROR IN IDADD  ***"))";
constexpr layout::Layout kExistHeading = R"((/, 2X, "*** ERROR IN IDXIST  ***"))";
constexpr layout::Layout kIllegal = R"((/, 2X, "  Illegal Identifier : ", A))";
constexpr layout::Layout kTooMany = R"((/, 2X, "  Number of IDS exceeds maximum of : ", I6))";

// A name prepared for the table: its keys, or the text to show when it is illegal.
struct Prepared {
  bool legal = false;
  std::int32_t first_key = 0;
  std::int32_t second_key = 0;
  support::Text<8> work;
  std::string shown{};  // the illegal name as far as it was prepared
};

Prepared prepare(const IdentifierTable& table, std::string_view name) {
  Prepared p;
  const int first = cards::IFSTNB(name);
  const int last = cards::ILSTNB(name);
  if (last == 0 || last > 8) {
    if (last > 0) {
      p.shown = name.substr(static_cast<std::size_t>(first - 1),
                            static_cast<std::size_t>(last - first + 1));
    }
    return p;
  }
  p.work.assign(
      name.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1)));
  if (table.word(kIdUpperCase) == 1) {
    cards::UPCASE(std::span<char>(p.work.data(), 8));
  }
  const int packed = cards::ILSTNB(p.work.view());
  PACKID(p.work.view(), packed, p.first_key, p.second_key);
  if (p.first_key < 0 || p.second_key < 0) {
    p.shown = std::string(p.work.head(static_cast<std::size_t>(packed)));
    return p;
  }
  p.legal = true;
  return p;
}

support::OutputUnit& messages(const IdentifierTable& table, support::UnitTable& units) {
  return units.message_output(table.word(kIdMessageUnit));
}

// The key pair as one word for the positions.
std::uint64_t key_pair(std::int32_t first_key, std::int32_t second_key) {
  return std::uint64_t{static_cast<std::uint32_t>(first_key)} << 32U |
         static_cast<std::uint32_t>(second_key);
}

// The words of the keys of position i.
std::int64_t first_key_word(std::int32_t i) { return 2 * std::int64_t{i} + kIdHeader - 1; }

}  // namespace

IdentifierTable::IdentifierTable(Words words) : words_(words) {
  const std::int32_t held = word(kIdCount);
  positions_.reserve(static_cast<std::size_t>(std::max(held, 0)));
  for (std::int32_t i = 1; i <= held; ++i) {
    // An earlier position with the same keys keeps them.
    positions_.emplace(key_pair(word(first_key_word(i)), word(first_key_word(i) + 1)), i);
  }
}

std::int32_t IdentifierTable::find(std::int32_t first_key, std::int32_t second_key) const {
  const auto found = positions_.find(key_pair(first_key, second_key));
  return found == positions_.end() ? 0 : found->second;
}

std::int32_t IdentifierTable::position(std::string_view name) const {
  const Prepared p = prepare(*this, name);
  return p.legal ? find(p.first_key, p.second_key) : 0;
}

std::int32_t IdentifierTable::add(std::int32_t first_key, std::int32_t second_key) {
  const std::int32_t held = word(kIdCount);
  if (held >= word(kIdCapacity)) {
    return 0;
  }
  const std::int32_t position = held + 1;
  sets::word(words_, first_key_word(position)) = first_key;
  sets::word(words_, first_key_word(position) + 1) = second_key;
  sets::word(words_, kIdCount) = position;
  positions_.emplace(key_pair(first_key, second_key), position);
  return position;
}

std::int32_t& word(Words table, std::int64_t i) {
  if (i < 1 || static_cast<std::uint64_t>(i) > table.size()) {
    support::internal_fault("word " + std::to_string(i) + " of a table of " +
                            std::to_string(table.size()) + " words");
  }
  return table[static_cast<std::size_t>(i - 1)];
}

void PACKID(std::string_view identifier, std::int32_t length, std::int32_t& first_key,
            std::int32_t& second_key) {
  if (length > 8) {
    return;
  }
  first_key = 0;
  second_key = 0;
  for (std::int32_t k = 1; k <= length && static_cast<std::size_t>(k) <= identifier.size(); ++k) {
    const int code = static_cast<unsigned char>(identifier[static_cast<std::size_t>(k - 1)]);
    std::int32_t& key = k <= 4 ? first_key : second_key;
    if (code < 33 || code > 126) {
      key = -1;
      return;
    }
    const int power = k <= 4 ? 4 - k : 8 - k;
    std::int32_t scale = 1;
    for (int j = 0; j < power; ++j) {
      scale *= 100;
    }
    key += (code - 30) * scale;
  }
}

std::int32_t IDADD(IdentifierTable& table, std::string_view name, support::UnitTable& units) {
  const Prepared p = prepare(table, name);
  if (!p.legal) {
    layout::write_record(messages(table, units), kAddHeading);
    layout::write_record(messages(table, units), kIllegal, std::string_view(p.shown));
    return 0;
  }
  if (const std::int32_t found = table.find(p.first_key, p.second_key); found > 0) {
    return found;
  }
  const std::int32_t position = table.add(p.first_key, p.second_key);
  if (position == 0) {
    layout::write_record(messages(table, units), kAddHeading);
    layout::write_record(messages(table, units), kTooMany, table.word(kIdCapacity));
  }
  return position;
}

std::int32_t IDXIST(const IdentifierTable& table, std::string_view name,
                    support::UnitTable& units) {
  const Prepared p = prepare(table, name);
  if (!p.legal) {
    layout::write_record(messages(table, units), kExistHeading);
    layout::write_record(messages(table, units), kIllegal, std::string_view(p.shown));
    return 0;
  }
  return table.find(p.first_key, p.second_key);
}

}  // namespace qel2br::sets
