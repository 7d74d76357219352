// The card loop with a second thread: readers of many cards give the records (as the data file's
// lines), the warnings and the stop reports of reading their cards one after another.
#include "sections/card_chunks.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "sections/sections.hpp"
#include "support/input_stop.hpp"
#include "testing/card_images.hpp"
#include "testing/memory_units.hpp"

namespace qel2br::sections {
namespace {

using testing::card;
using testing::coefficient_card;
using testing::current_card;
using testing::element_card;
using testing::growth_card;
using testing::sea_card;

// What a reader did.
struct Conversion {
  std::string output;
  std::string stop;  // the stop report; empty when the reader went through
  std::int64_t warnings = 0;
  std::vector<std::string> kept;  // the warnings' places and texts, in order
};

// Runs section on the card file; one_thread reads the cards one after another on one thread:
// that is the reference.
Conversion convert(const std::string& cards, const std::function<void(Reading&)>& section,
                   bool one_thread, std::int32_t element_numbers) {
  testing::MemoryRun memory(cards);
  driver::RunContext& run = memory.state();
  run.values.levels.mud_plane_z = -100;
  run.values.levels.water_depth = 100;
  run.values.units.length_factor = 0.5;
  if (element_numbers > 0) {
    sets::ElementList numbers;
    for (std::int32_t n = 1; n <= element_numbers; ++n) {
      static_cast<void>(numbers.push(n));
    }
    run.values.elements = std::make_shared<const sections::ElementCheck>(
        sections::ElementCheck{.numbers = sets::SortedNumbers(numbers), .file = "elements.txt"});
  }
  std::vector<support::KeptWarning> kept;
  run.warnings.keep(&kept);
  run.cards.set_warnings(&run.warnings);
  memory.in().threads = one_thread ? Threads::kOne : Threads::kTwo;
  // The chunks read ahead print their records as the run's data file writer would.
  memory.in().printer = &memory.printer();
  Conversion done;
  try {
    section(memory.in());
  } catch (const support::InputStop& stop) {
    done.stop = support::format_report(stop);
  }
  done.output = memory.output();
  done.warnings = run.warnings.total();
  for (const support::KeptWarning& w : kept) {
    done.kept.push_back(w.file + ":" + std::to_string(w.line) + ":" +
                        std::to_string(w.first_column) + ": " + w.message);
  }
  return done;
}

// number cards made by make(i), with a comment card and a card of another keyword between
// some of them.
std::string card_file(int number, const std::function<std::string(int)>& make) {
  std::vector<std::string> cards{"TITL CHUNKS"};
  for (int i = 0; i < number; ++i) {
    cards.push_back(make(i));
    if (i % 7 == 3) {
      cards.push_back("C   comment " + std::to_string(i));
    }
    if (i % 11 == 5) {
      cards.push_back(growth_card({.first = false, .elevation = "1.5"}));
    }
  }
  cards.push_back("C   the last line");
  return testing::card_file(cards, "\r\n");
}

std::string sea(int i, const std::string& height) {
  return sea_card({.type = std::to_string(i % 2 == 0 ? 1 : 15),
                   .height = height,
                   .period = std::to_string(8 + i % 9),
                   .phase = std::to_string(i % 360),
                   .direction = std::to_string(i % 7) + ".25"});
}

std::string plain_sea(int i) { return sea(i, std::to_string(i % 23) + ".5"); }

std::string current(int i, int points) {
  std::string cards =
      current_card({.elevation = "0", .speed = "0.3", .direction = std::to_string(i)});
  for (int p = 1; p <= points; ++p) {
    cards +=
        "\r\n" + card("", {{41, 50, std::to_string(10 * p)}, {51, 60, "0." + std::to_string(p)}});
  }
  return cards;
}

// A SPEC card of the elements first to first + 3.
std::string element_coefficients_card(int first, const std::string& cd) {
  return element_card({.first = std::to_string(first),
                       .last = std::to_string(first + 3),
                       .step = "1",
                       .unused = "0",
                       .cd = cd,
                       .cm = "1.8"});
}

struct Case {
  const char* name;
  std::string cards;
  std::function<void(Reading&)> section;
  std::int32_t element_numbers = 0;  // the element numbers 1 to this; 0: no element check
};

TEST(CardChunks, SameAsOneCardAfterAnother) {
  // Chunks 0, 2, 4 are converted in their turn, chunks 1, 3 by the second thread.
  constexpr int kCards = static_cast<int>(kChunkCards) * 4 + 300;
  constexpr int kInSecond = static_cast<int>(kChunkCards) + 100;     // a card of chunk 1
  constexpr int kInThird = static_cast<int>(kChunkCards) * 2 + 100;  // a card of chunk 2
  // Four chunks: the last one is the second thread's.
  constexpr int kEvenCards = static_cast<int>(kChunkCards) * 4 - 10;
  const std::vector<Case> cases = {
      {"waves", card_file(kCards, plain_sea), WRWAVE},
      {"an unknown wave type in the second and the fourth chunk",
       card_file(kCards,
                 [&](int i) {
                   return i == kInSecond || i == kInSecond + 2 * static_cast<int>(kChunkCards)
                              ? sea_card({.type = "3",
                                          .height = "1",
                                          .period = "1",
                                          .phase = "0",
                                          .direction = "0"})
                              : plain_sea(i);
                 }),
       WRWAVE},
      {"a stop in a chunk of the second thread",
       card_file(kCards, [&](int i) { return i == kInSecond ? sea(i, "1.x") : plain_sea(i); }),
       WRWAVE},
      {"a field that holds more than its value in a chunk of the second thread (a warning)",
       card_file(kCards, [&](int i) { return i == kInSecond ? sea(i, "24,5") : plain_sea(i); }),
       WRWAVE},
      {"a stop in a chunk converted in its turn",
       card_file(kCards, [&](int i) { return i == kInThird ? sea(i, "") : plain_sea(i); }), WRWAVE},
      {"currents with continuation cards",
       card_file(kEvenCards, [](int i) { return current(i, i % 4); }), WRCURR},
      {"a current of too many points in a chunk of the second thread",
       card_file(kCards, [&](int i) { return current(i, i == kInSecond ? 101 : 1); }), WRCURR},
      {"coefficient cards usable from the second chunk on (its heading comes late)",
       card_file(kCards,
                 [&](int i) {
                   return element_coefficients_card(i % 90 + 1, i < kInSecond ? "-1" : "0.8");
                 }),
       WRELMP},
      {"elements left out in the fourth chunk only",
       card_file(kCards,
                 [&](int i) {
                   // Elements 92 to 95 of this card are not all in the element-number list.
                   return element_coefficients_card(
                       i == kInSecond + 2 * static_cast<int>(kChunkCards) ? 92 : i % 90 + 1, "0.7");
                 }),
       WRELMP, 93},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Conversion reference = convert(c.cards, c.section, true, c.element_numbers);
    ASSERT_GE(testing::lines_of(reference.output).size(), kChunkCards) << "a chunk at least";
    const Conversion chunked = convert(c.cards, c.section, false, c.element_numbers);
    EXPECT_EQ(chunked.output, reference.output);
    EXPECT_EQ(chunked.stop, reference.stop);
    EXPECT_EQ(chunked.warnings, reference.warnings);
    EXPECT_EQ(chunked.kept, reference.kept);
  }
}

// Random card files of all the chunked sections' cards, with now and then a wave type that
// warns, a coefficient card that is not usable, a current that fills the profile table, lines
// of other keywords, and in some files one bad field: the sections one after another give what
// they give card after card.
TEST(CardChunks, RandomFilesSameAsOneCardAfterAnother) {
  const auto all_sections = [](Reading& in) {
    WRWAVE(in);
    WRCURR(in);
    WRELMP(in);
  };
  // About 5,300 SEA cards, 2,700 CRNT and 2,700 SPEC: each of them in chunks.
  constexpr int kLines = 32000;
  // Seeds 1 to 3 have no bad field; 4, 5 and 6 one bad SEA, CRNT or SPEC card, placed where
  // it falls in the second chunk of its keyword's cards, the second thread's (about a third of
  // the lines are SEA cards, a sixth CRNT and a sixth SPEC).
  for (const unsigned seed : {1U, 2U, 3U, 4U, 5U, 6U}) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    const auto chance = [&](unsigned in) { return random() % in == 0; };
    const int bad_at = seed <= 3   ? -1
                       : seed == 4 ? 3600 + static_cast<int>(random() % 2000)
                                   : 7200 + static_cast<int>(random() % 4000);
    std::vector<std::string> cards;
    for (int i = 0; i < kLines; ++i) {
      if (i == bad_at) {
        cards.push_back(seed == 4 ? sea(i, "1x")
                        : seed == 5
                            ? current_card({.elevation = "0", .speed = "1", .direction = "9x"})
                            : element_coefficients_card(1, "0.9x"));
        continue;
      }
      switch (random() % 6) {
        case 0:
        case 1:
          cards.push_back(
              chance(1500)
                  ? sea_card(
                        {.type = "2", .height = "1", .period = "1", .phase = "0", .direction = "0"})
                  : sea(i, std::to_string(i % 17)));
          break;
        case 2:
          cards.push_back(current(i, chance(3000) ? 99 : static_cast<int>(random() % 5)));
          break;
        case 3:
          cards.push_back(element_coefficients_card(static_cast<int>(random() % 95) + 1,
                                                    chance(10) ? "-2" : "0.9"));
          break;
        case 4:
          cards.push_back(chance(2) ? "C   a comment"
                                    : growth_card({.first = false, .elevation = "2"}));
          break;
        default:
          // (A blank line after a current would be a continuation card with blank fields.)
          cards.push_back(coefficient_card({.first = false, .elevation = "1"}));
          break;
      }
    }
    const std::string file = testing::card_file(cards, "\r\n");
    // With the element numbers 1 to 97, cards of elements up to 98 have elements left out.
    const std::int32_t numbers = seed % 2 == 0 ? 97 : 0;
    const Conversion reference = convert(file, all_sections, true, numbers);
    const Conversion chunked = convert(file, all_sections, false, numbers);
    EXPECT_EQ(chunked.output, reference.output);
    EXPECT_EQ(chunked.stop, reference.stop);
    EXPECT_EQ(chunked.warnings, reference.warnings);
    EXPECT_EQ(chunked.kept, reference.kept);
    EXPECT_EQ(reference.stop.empty(), bad_at < 0) << reference.stop;
  }
}

}  // namespace
}  // namespace qel2br::sections
