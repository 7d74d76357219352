// The run header: the moment of the run and the block of eleven comment lines.
#include "driver/header.hpp"

#include <algorithm>
#include <string>

#include "cards/text_routines.hpp"
#include "layout/layout.hpp"
#include "support/platform.hpp"

namespace qel2br::driver {

namespace {

using layout::Item;
using layout::Layout;
using layout::write_record;

constexpr Layout kDateLayout = "(A, I4, A, I2.2, A, I2.2, A, I2.2, A, I2.2, A, I2.2)";
constexpr Layout kTwoTexts = "(A, A)";
constexpr Layout kThreeTexts = "(A, A, A)";

constexpr std::string_view kMarkLine = "'         ";
constexpr std::string_view kEquals1 = "' =======================================";
constexpr std::string_view kEquals2 = "=======================";
constexpr std::string_view kVersion = "'    Qel2Br Version 0.9, 2007_10_31 ";
constexpr std::string_view kConversion = "'    Conversion";
constexpr std::string_view kQelvoFile = "'    Qelvo File      : ";

}  // namespace

DateTime GETDTM() {
  const support::LocalTime now = support::platform().local_time();
  return {.year = now.year,
          .month = now.month,
          .day = now.day,
          .hour = now.hour,
          .minute = now.minute,
          .second = now.second};
}

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
  std::string work;
  layout::render_into(work, kDateLayout.parsed(), std::span<const Item>(all.data(), count));
  work.resize(std::min<std::size_t>(work.find('\n'), 80));
  const std::string_view rendered = work;
  const auto visible = static_cast<std::size_t>(
      cards::ILSTNB(rendered.substr(0, std::min(rendered.size(), text.size()))));
  std::fill(text.begin(), text.end(), ' ');
  std::copy_n(rendered.begin(), visible, text.begin());
}

void write_run_header(sections::RunState& run) {
  support::OutputUnit& out = run.output();
  const auto k = static_cast<std::size_t>(cards::ILSTNB(run.input_name.view()));
  const auto d = static_cast<std::size_t>(cards::ILSTNB(run.date_text.view()));
  write_record(out, kTwoTexts, kMarkLine);
  write_record(out, kTwoTexts, kMarkLine);
  write_record(out, kThreeTexts, kEquals1, kEquals2);
  write_record(out, kTwoTexts, kMarkLine);
  write_record(out, kTwoTexts, kVersion);
  write_record(out, kTwoTexts, kMarkLine);
  write_record(out, kTwoTexts, kConversion, run.date_text.head(d));
  write_record(out, kTwoTexts, kQelvoFile, run.input_name.head(k));
  write_record(out, kThreeTexts, kEquals1, kEquals2);
  write_record(out, kTwoTexts, kMarkLine);
  write_record(out, kTwoTexts, kMarkLine);
}

}  // namespace qel2br::driver
