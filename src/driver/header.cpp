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

records::RunHeader run_header(const RunContext& run) {
  const auto k = static_cast<std::size_t>(cards::ILSTNB(run.input_name.view()));
  const auto d = static_cast<std::size_t>(cards::ILSTNB(run.date_text.view()));
  return {.date = std::string(run.date_text.head(d)),
          .input_name = std::string(run.input_name.head(k))};
}

}  // namespace qel2br::driver
