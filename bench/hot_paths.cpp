// Google Benchmark of the hot routines: field rendering, field reading, splitting and scanning.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "cards/card_reader.hpp"
#include "cards/free_format.hpp"
#include "cards/items.hpp"
#include "layout/layout.hpp"
#include "support/line_source.hpp"

namespace {

using qel2br::layout::Item;
using qel2br::layout::Layout;

constexpr Layout kWave = "(A, I4, 2X, A, 4F8.2, 2F9.2, I4)";
constexpr Layout kElements = "(A, 5I10)";

void render_wave_record(benchmark::State& state) {
  const std::vector<Item> items{"#WaveData", 3, "Stoke   ", 12.5, 11.25, 45.0, 0.0, 0.0, 120.0, 0};
  std::string out;
  for (auto _ : state) {
    out.clear();
    qel2br::layout::render_into(out, kWave.parsed(), items);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(render_wave_record);

void render_element_line(benchmark::State& state) {
  const std::vector<Item> items{" Hyd_CdCm   0.700  2.000", 101, 102, 103, 104, 105};
  std::string out;
  for (auto _ : state) {
    out.clear();
    qel2br::layout::render_into(out, kElements.parsed(), items);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(render_element_line);

void read_real_field(benchmark::State& state) {
  const std::string field = "   12.375E1";
  for (auto _ : state) {
    benchmark::DoNotOptimize(qel2br::cards::read_real(field));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(read_real_field);

void split_line(benchmark::State& state) {
  const std::string line = "FLOO      GROUP12     3   -2.5   1.5E2  LEGA1" + std::string(210, ' ');
  qel2br::cards::ItemList items;
  for (auto _ : state) {
    qel2br::cards::SPLITL(line, items);
    benchmark::DoNotOptimize(items.count);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(split_line);

void section_scan(benchmark::State& state) {
  std::string file;
  for (int i = 0; i < 10000; ++i) {
    file += i % 10 == 0 ? "SEA     1     10.00     12.00      0.00\r\n"
                        : "CRNT                                        0.0       0.5      90.0\r\n";
  }
  qel2br::support::MemoryLines lines(file);
  qel2br::cards::CardReader reader;
  reader.attach(lines, "bench.inp");
  for (auto _ : state) {
    reader.start_scan("SEA ");
    int n = 0;
    while (reader.next_card()) {
      ++n;
    }
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(file.size()));
}
BENCHMARK(section_scan);

}  // namespace

BENCHMARK_MAIN();
