// Checks of the whole input card file: its line ends, whether it holds cards, misread cards.
#pragma once

#include "driver/run_context.hpp"

namespace qel2br::driver {

// Warns first of an input card file whose lines end in CR alone and of one that holds no card
// of a keyword this tool reads (an empty file too); then of every card that holds tab
// characters within its 256 columns and of every card whose keyword (one this tool reads)
// stands after leading blanks instead of in columns 1-4, in file order, as the card reader's
// one reading of the file found them. Comment cards are passed over, and lines that refer to a
// group free-format are not looked at for the keyword. The reading position of the card reader
// is left alone.
void check_cards(RunContext& run);

}  // namespace qel2br::driver
