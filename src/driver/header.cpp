// The run header: the moment of the run and the block of eleven comment lines.
#include "driver/header.hpp"

#include <algorithm>
#include <array>
#include <span>
#include <string>

#include "cards/text_routines.hpp"
#include "layout/layout.hpp"

namespace qel2br::driver {

namespace {

using layout::Item;
using layout::Layout;
using layout::write_record;

constexpr Layout kDateLayout = "(A, I4, A, I2.2, A, I2.2, A, I2.2, A, I2.2, A, I2.2)";

constexpr std::string_view kMarkLine = "'         ";
constexpr std::string_view kEquals1 = "' =======================================";
constexpr std::string_view kEquals2 = "=======================";
constexpr std::string_view kVersion = "'    Qel2Br Version 0.9, 2007_10_31 ";
constexpr std::string_view kConversion = "'    Conversion";
constexpr std::string_view kQelvoFile = "'    Qelvo File      : ";

}  // namespace

DateTime GETDTM() { return support::platform().local_time(); }

void date_text(const DateTime& moment, std::span<char> text, std::int32_t precision) {
  const std::int32_t year = moment.year < 1000 ? moment.year + 1900 : moment.year;
  const std::array<Item, 12> all{Item(" Date : "),    Item(year),        Item("-"),
                                 Item(moment.month),  Item("-"),         Item(moment.day),
                                 Item(" "),           Item(moment.hour), Item(":"),
                                 Item(moment.minute), Item(":"),         Item(moment.second)};
  // Precision 1 gives the year only; each step adds a separator and one more part.
  const std::size_t count = precision >= 1 && precision <= 5
                                ? 2 + 2 * static_cast<std::size_t>(precision - 1)
                                : all.size();
  layout::render_text(kDateLayout, std::span<const Item>(all.data(), count), text);
}

void write_run_header(const RunContext& run, support::OutputUnit& out) {
  const auto k = static_cast<std::size_t>(cards::ILSTNB(run.input_name.view()));
  const auto d = static_cast<std::size_t>(cards::ILSTNB(run.date_text.view()));
  write_record(out, layout::kOneText, kMarkLine);
  write_record(out, layout::kOneText, kMarkLine);
  write_record(out, layout::kTwoTexts, kEquals1, kEquals2);
  write_record(out, layout::kOneText, kMarkLine);
  write_record(out, layout::kOneText, kVersion);
  write_record(out, layout::kOneText, kMarkLine);
  write_record(out, layout::kTwoTexts, kConversion, run.date_text.head(d));
  // A line end in the name would break the data file's lines: it is shown as '?'.
  std::string name(run.input_name.head(k));
  std::replace_if(
      name.begin(), name.end(), [](char c) { return c == '\n' || c == '\r'; }, '?');
  write_record(out, layout::kTwoTexts, kQelvoFile, std::string_view(name));
  write_record(out, layout::kTwoTexts, kEquals1, kEquals2);
  write_record(out, layout::kOneText, kMarkLine);
  write_record(out, layout::kOneText, kMarkLine);
}

bool begins_with_run_header(std::string_view text) {
  const std::array<std::string, 5> first_lines{std::string(kMarkLine), std::string(kMarkLine),
                                               std::string(kEquals1) + std::string(kEquals2),
                                               std::string(kMarkLine), std::string(kVersion)};
  for (const std::string& line : first_lines) {
    if (!text.starts_with(line)) {
      return false;
    }
    text.remove_prefix(line.size());
    if (text.starts_with('\r')) {
      text.remove_prefix(1);
    }
    if (!text.starts_with('\n')) {
      return false;
    }
    text.remove_prefix(1);
  }
  return true;
}

}  // namespace qel2br::driver
