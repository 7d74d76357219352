// Google Benchmark of number paths: Fw.d digits by the library's exact conversion against the
// engine's scaled whole number (exact: ties to even on the binary value), whole Fw.d fields by
// the engine, and reading reals by the library's bare from_chars against the tool's reader
// (which adds the field's grammar around it).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/free_format.hpp"
#include "layout/layout.hpp"

namespace {

// The digits with the point, as to_chars(fixed, decimals) writes them, from the engine's scaled
// whole number (the way the engine's Fw.d fields get their digits); empty when it does not fit.
std::string_view integer_digits(double value, int decimals, std::array<char, 48>& buffer) {
  const std::optional<std::uint64_t> whole = qel2br::layout::scaled_whole(value, decimals);
  if (!whole) {
    return {};
  }
  std::array<char, 24> plain{};
  const auto res = std::to_chars(plain.data(), plain.data() + plain.size(), *whole);
  const auto count = static_cast<std::size_t>(res.ptr - plain.data());
  const auto wanted = static_cast<std::size_t>(decimals);
  char* out = buffer.data();
  if (std::signbit(value)) {
    *out++ = '-';
  }
  // Zeros in front so that one digit stands before the point.
  const std::size_t zeros = count <= wanted ? wanted + 1 - count : 0;
  std::array<char, 48> digits{};
  std::fill_n(digits.data(), zeros, '0');
  std::copy_n(plain.data(), count, digits.data() + zeros);
  const std::size_t total = zeros + count;
  out = std::copy_n(digits.data(), total - wanted, out);
  if (wanted > 0) {
    *out++ = '.';
    out = std::copy_n(digits.data() + (total - wanted), wanted, out);
  }
  return {buffer.data(), static_cast<std::size_t>(out - buffer.data())};
}

// Values as the mixed file gives them to F8.2, F9.2 and F9.3 fields.
std::vector<double> field_values() {
  std::vector<double> values;
  std::uint64_t state = 42;
  for (int i = 0; i < 4096; ++i) {
    state = state * 6364136223846793005U + 1442695040888963407U;
    const double unit = static_cast<double>(state >> 11U) / 9007199254740992.0;
    values.push_back(static_cast<double>(i % 360) * 1.0);
    values.push_back((unit - 0.5) * 240.0);
    values.push_back(0.3 + 0.2 * (i % 5) + unit * 1e-3);
  }
  return values;
}

// The digits from the scaled whole number must be exactly the library's, or the figures mean
// nothing.
void check_integer_digits() {
  std::vector<double> values = field_values();
  for (const double v : {0.0, -0.0, 0.125, 0.375, 2.675, 1.005, -0.0004, 999999.9995, 5e-10, 1e-300,
                         4.9406564584124654e-324, 1e15 + 0.125, 1e18, 1.8e19, -2.5}) {
    values.push_back(v);
  }
  for (const double v : values) {
    for (int d = 0; d <= 9; ++d) {
      std::array<char, 400> expected{};
      const auto res = std::to_chars(expected.data(), expected.data() + expected.size(), v,
                                     std::chars_format::fixed, d);
      std::array<char, 48> buffer{};
      const std::string_view got = integer_digits(v, d, buffer);
      const std::string_view want(expected.data(),
                                  static_cast<std::size_t>(res.ptr - expected.data()));
      if (!got.empty() && got != want) {
        std::fprintf(stderr, "integer digits differ for %.17g at %d decimals\n", v, d);
        std::abort();
      }
    }
  }
}

void fixed_by_to_chars(benchmark::State& state) {
  const std::vector<double> values = field_values();
  std::array<char, 400> buffer{};
  const int decimals = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (const double v : values) {
      const auto res = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v,
                                     std::chars_format::fixed, decimals);
      benchmark::DoNotOptimize(res.ptr);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(fixed_by_to_chars)->Arg(2)->Arg(3);

void fixed_by_tool(benchmark::State& state) {
  const std::vector<double> values = field_values();
  std::array<char, qel2br::layout::kFixedDigitsRoom> buffer{};
  const int decimals = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (const double v : values) {
      benchmark::DoNotOptimize(qel2br::layout::fixed_digits(v, decimals, buffer).data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(fixed_by_tool)->Arg(2)->Arg(3);

void fixed_by_integers(benchmark::State& state) {
  const std::vector<double> values = field_values();
  std::array<char, 48> buffer{};
  const int decimals = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (const double v : values) {
      benchmark::DoNotOptimize(integer_digits(v, decimals, buffer).data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(fixed_by_integers)->Arg(2)->Arg(3);

void render_field_by_tool(benchmark::State& state) {
  const std::vector<double> values = field_values();
  std::string out;
  for (auto _ : state) {
    out.clear();
    for (const double v : values) {
      qel2br::layout::render_real(out, v, 9, 3);
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(render_field_by_tool);

// Field texts as the mixed file has them.
std::vector<std::string> field_texts() {
  std::vector<std::string> texts;
  for (int i = 0; i < 1024; ++i) {
    std::array<char, 32> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%10.3f", (i % 360) * 1.5 - 90.0);
    texts.emplace_back(buffer.data());
    texts.emplace_back("       0.7");
    texts.emplace_back(std::to_string(i * 7 + 100001));
  }
  return texts;
}

void read_by_tool(benchmark::State& state) {
  const std::vector<std::string> texts = field_texts();
  for (auto _ : state) {
    for (const std::string& t : texts) {
      benchmark::DoNotOptimize(qel2br::cards::read_real(t).value);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}
BENCHMARK(read_by_tool);

void read_by_from_chars(benchmark::State& state) {
  const std::vector<std::string> texts = field_texts();
  for (auto _ : state) {
    for (const std::string& t : texts) {
      const std::string_view s(t);
      const std::size_t first = s.find_first_not_of(' ');
      double value = 0.0;
      std::from_chars(s.data() + first, s.data() + s.size(), value);
      benchmark::DoNotOptimize(value);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}
BENCHMARK(read_by_from_chars);

}  // namespace

int main(int argc, char** argv) {
  check_integer_digits();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
