// The block headings of the output data file.
#include "sections/headings.hpp"

#include "layout/layout.hpp"

namespace qel2br::sections {

void write_heading(support::OutputUnit& out, std::string_view rule,
                   std::initializer_list<std::string_view> titles) {
  layout::write_record(out, layout::kOneText, kMark);
  layout::write_record(out, layout::kOneText, rule);
  for (const std::string_view title : titles) {
    layout::write_record(out, layout::kOneText, title);
  }
  layout::write_record(out, layout::kOneText, rule);
  layout::write_record(out, layout::kOneText, kMark);
}

}  // namespace qel2br::sections
