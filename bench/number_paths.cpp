// Google Benchmark of number paths: Fw.d digits by the library's exact conversion against a
// fixed-point formatter on integers (exact: ties to even on the binary value), and reading
// reals by the library's bare from_chars against the tool's reader (which adds the field's
// grammar around it).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cards/free_format.hpp"
#include "layout/layout.hpp"

namespace {

__extension__ using Wide = unsigned __int128;

constexpr std::array<std::uint64_t, 20> kTens = {1ULL,
                                                 10ULL,
                                                 100ULL,
                                                 1000ULL,
                                                 10000ULL,
                                                 100000ULL,
                                                 1000000ULL,
                                                 10000000ULL,
                                                 100000000ULL,
                                                 1000000000ULL,
                                                 10000000000ULL,
                                                 100000000000ULL,
                                                 1000000000000ULL,
                                                 10000000000000ULL,
                                                 100000000000000ULL,
                                                 1000000000000000ULL,
                                                 10000000000000000ULL,
                                                 100000000000000000ULL,
                                                 1000000000000000000ULL,
                                                 10000000000000000000ULL};

// |value| * 10^decimals rounded to a whole number, ties to even, computed exactly from the
// binary value; false when it is 2^64 or more (or decimals above 19).
bool scaled_whole(double value, int decimals, std::uint64_t& whole) {
  if (decimals < 0 || decimals > 19) {
    return false;
  }
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const auto biased = static_cast<int>((bits >> 52U) & 0x7FFU);
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52U) - 1U);
  int exponent = -1074;
  if (biased != 0) {
    mantissa |= std::uint64_t{1} << 52U;
    exponent = biased - 1075;
  }
  // value = mantissa * 2^exponent; the product below is exact (under 2^117).
  const Wide product = Wide{mantissa} * kTens.at(static_cast<std::size_t>(decimals));
  if (exponent >= 0) {
    if (exponent >= 64 || (product >> (64U - static_cast<unsigned>(exponent))) != 0) {
      return mantissa == 0 ? (whole = 0, true) : false;
    }
    whole = static_cast<std::uint64_t>(product << static_cast<unsigned>(exponent));
    return true;
  }
  const auto shift = static_cast<unsigned>(-exponent);
  if (shift >= 118) {
    whole = 0;  // below 2^-1 whatever the digits
    return true;
  }
  Wide quotient = product >> shift;
  const Wide remainder = product - (quotient << shift);
  const Wide half = Wide{1} << (shift - 1U);
  if (remainder > half || (remainder == half && (quotient & 1U) != 0)) {
    ++quotient;
  }
  if ((quotient >> 64U) != 0) {
    return false;
  }
  whole = static_cast<std::uint64_t>(quotient);
  return true;
}

// The digits with the point, as to_chars(fixed, decimals) writes them.
std::string_view integer_digits(double value, int decimals, std::array<char, 48>& buffer) {
  std::uint64_t whole = 0;
  if (!scaled_whole(value, decimals, whole)) {
    return {};
  }
  std::array<char, 24> plain{};
  const auto res = std::to_chars(plain.data(), plain.data() + plain.size(), whole);
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

// An Fw.d field written from the scaled whole number, digits placed from the right; false when
// the scaled value does not fit 64 bits (the library's conversion is then needed).
bool render_by_integers(std::string& out, double value, int width, int decimals) {
  std::uint64_t whole = 0;
  if (!scaled_whole(value, decimals, whole)) {
    return false;
  }
  int digits = 1;
  for (std::uint64_t rest = whole / 10; rest != 0; rest /= 10) {
    ++digits;
  }
  const bool negative = std::signbit(value) && whole != 0;
  // The digits before the point: a lone 0 when the value is below 1, left out when no column
  // is left for it.
  int before = std::max(digits - decimals, 1);
  const int sign = negative ? 1 : 0;
  if ((digits <= decimals || whole == 0) && sign + before + 1 + decimals > width) {
    before = 0;
  }
  const int needed = sign + before + 1 + decimals;
  const std::size_t start = out.size();
  if (needed > width) {
    out.append(static_cast<std::size_t>(width), '*');
    return true;
  }
  out.resize(start + static_cast<std::size_t>(width), ' ');
  char* p = out.data() + out.size();
  for (int i = 0; i < decimals; ++i) {
    *--p = static_cast<char>('0' + whole % 10);
    whole /= 10;
  }
  *--p = '.';
  for (int i = 0; i < before; ++i) {
    *--p = static_cast<char>('0' + whole % 10);
    whole /= 10;
  }
  if (negative) {
    *--p = '-';
  }
  return true;
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

// The prototype must give exactly the library's digits, or its figures mean nothing.
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
      for (int w = d + 1; w <= d + 12; ++w) {
        std::string a;
        std::string b;
        qel2br::layout::render_real(a, v, w, d);
        if (render_by_integers(b, v, w, d) && a != b) {
          std::fprintf(stderr, "F%d.%d of %.17g: '%s' against '%s'\n", w, d, v, b.c_str(),
                       a.c_str());
          std::abort();
        }
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

void render_field_by_integers(benchmark::State& state) {
  const std::vector<double> values = field_values();
  std::string out;
  for (auto _ : state) {
    out.clear();
    for (const double v : values) {
      render_by_integers(out, v, 9, 3);
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(render_field_by_integers);

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
