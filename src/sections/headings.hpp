// The comment lines that open the blocks of the output data file.
#pragma once

#include <initializer_list>
#include <string_view>

#include "support/units.hpp"

namespace qel2br::sections {

// The comment mark: a line of its own between blocks, and the first column of a column legend.
inline constexpr std::string_view kMark = "'";

// write_heading(out, rule, titles): a block heading on out: a mark line, the rule, the title
// lines, the rule again and a mark line, each line at its full length.
void write_heading(support::OutputUnit& out, std::string_view rule,
                   std::initializer_list<std::string_view> titles);

}  // namespace qel2br::sections
