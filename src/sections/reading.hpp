// What a reader works with: the card file, where its warnings go, the run values and the sink
// that takes its records.
#pragma once

#include <cstdint>

#include "cards/card_reader.hpp"
#include "records/records.hpp"
#include "sections/line_printer.hpp"
#include "sections/run_values.hpp"
#include "sets/element_sets.hpp"
#include "support/warnings.hpp"

namespace qel2br::sections {

// How many threads a reader of many cards may read them on.
enum class Threads : std::uint8_t { kOne, kTwo };

// Records a reader fills card after card, kept from one card to the next so that their lists
// keep their memory. Each reading has its own.
struct Scratch {
  records::Current current{};
  records::ElementRecord element_record{};
  sets::ElementList elements{};
};

// The inputs and outputs of a reader. A reader reads cards, gives records and warnings in card
// order, and changes nothing else.
struct Reading {
  cards::CardReader& cards;
  support::Warnings& warnings;
  const RunValues& values;
  records::RecordSink& sink;
  // Two: cards of a keyword that fill many chunks are read on two threads, which gives the same
  // records, warnings and stop as one.
  Threads threads = Threads::kTwo;
  // When set, the cards read ahead of their turn have their records printed there too, and the
  // lines are given to the sink before each record (printed()).
  const LinePrinter* printer = nullptr;
  Scratch scratch{};
};

}  // namespace qel2br::sections
