// The card loop of the sections that convert many cards: on two cores, a second thread converts
// every second chunk of cards ahead of its turn.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "sections/run_state.hpp"

namespace qel2br::sections {

// Converts one card, read into run.cards, onto run.output(). opened tells whether the section's
// heading is written; the converter writes it when it is not and sets opened. A converter works
// only on the state it is given (it holds no reference to a run), so that a copy of it can
// convert cards on another run state.
using CardConverter = std::function<void(RunState& run, bool& opened)>;

// The cards of a chunk converted by the second thread.
inline constexpr std::size_t kChunkCards = 1024;
// A section of fewer chunks is converted on one thread: starting the second one costs about
// what it would save (a file of 10,000 cards ran slower with it).
inline constexpr std::size_t kFewestChunks = 4;

// convert_cards(run, keyword, opened, convert): converts the cards of keyword (one of the
// tool's keywords) in file order, as `start_scan(keyword)` and `convert(run, opened)` for each
// card would.
//
// When they make at least kFewestChunks chunks of kChunkCards (the last may hold fewer) and the
// run keeps no conversion report, the cards are taken in chunks. A second thread converts every
// second chunk ahead of its turn, on a run state of its own that holds the same run values and
// takes the heading as written, into lines of its own; those lines are written when the chunk's
// turn comes. A chunk whose conversion gave a warning or stopped, or whose turn comes before the
// heading is written, is converted again in its turn on the run itself. So the lines, the
// warnings and the stop reports are those of converting the cards one after another, and the
// file is left where that leaves it.
void convert_cards(RunState& run, std::string_view keyword, bool& opened,
                   const CardConverter& convert);

}  // namespace qel2br::sections
