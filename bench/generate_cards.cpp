// Writes large, realistic card files (and their element-number and group-name files) for the
// benchmarks: a mixed file of many cards, a typical small file, and two worst-case table inputs.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

namespace {

// A card image built by placing texts at 1-based columns.
class Card {
 public:
  explicit Card(std::string_view keyword) : text_(keyword) {}
  Card& at(std::size_t first_col, std::size_t last_col, const std::string& value) {
    const std::size_t width = last_col - first_col + 1;
    if (text_.size() < last_col) {
      text_.resize(last_col, ' ');
    }
    const std::string field = value.size() >= width
                                  ? value.substr(0, width)
                                  : std::string(width - value.size(), ' ') + value;
    text_.replace(first_col - 1, width, field);
    return *this;
  }
  [[nodiscard]] const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// The wave type codes of the known theories, with and without 10 added.
constexpr std::array<int, 8> kWaveTypes{1, 5, 6, 9, 11, 15, 16, 19};

std::string num(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.3f", v);
  return buffer;
}

void put(std::ofstream& out, const Card& card) { out << card.text() << "\r\n"; }

void environment(std::ofstream& out) {
  out << "TITL BENCHMARK PLATFORM, GENERATED\r\n";
  put(out, Card("CONS").at(10, 20, "1").at(21, 30, "9.81").at(31, 40, "1025"));
  put(out, Card("MUDP").at(10, 20, "-120"));
  put(out, Card("DPTH").at(10, 20, "120"));
  for (int i = 0; i < 100; ++i) {
    Card m("MGRW");
    m.at(i == 0 ? 11 : 21, i == 0 ? 20 : 30, num(1.2 * i)).at(31, 40, num(0.01 + 0.0005 * i));
    put(out, m);
    Card c("COEF");
    c.at(i == 0 ? 11 : 21, i == 0 ? 20 : 30, num(1.2 * i)).at(31, 40, "0.7").at(51, 60, "2.0");
    put(out, c);
  }
}

// About `cards` cards: SEA, CRNT with continuation cards, SPEC/SPEX with small ranges,
// comment cards, and FLOO/ELIM within their 10000-element lists.
void mixed(const std::string& path, long cards) {
  std::ofstream out(path, std::ios::binary);
  environment(out);
  long written = 203;
  long element = 1;
  long flooded = 0;
  for (long i = 0; written < cards; ++i) {
    switch (i % 8) {
      case 0:
      case 1:
        put(out, Card("SEA ")
                     .at(6, 10,
                         std::to_string(kWaveTypes.at(static_cast<std::size_t>(i / 8 * 2 + i % 8) %
                                                      kWaveTypes.size())))
                     .at(16, 20, num(static_cast<double>(5 + (i % 20))))
                     .at(21, 30, num(static_cast<double>(8 + (i % 10))))
                     .at(31, 40, "0")
                     .at(71, 80, num(static_cast<double>((i * 15) % 360))));
        ++written;
        break;
      case 2: {
        put(out, Card("CRNT")
                     .at(41, 50, "0")
                     .at(51, 60, "0.3")
                     .at(61, 70, num(static_cast<double>(i % 360))));
        for (int p = 1; p <= 4; ++p) {
          put(out, Card("    ").at(41, 50, num(30.0 * p)).at(51, 60, num(0.3 + 0.2 * p)));
        }
        written += 5;
        break;
      }
      case 3:
        out << "C   comment card " << i << "\r\n";
        ++written;
        break;
      case 4:
        put(out, Card("SPEC")
                     .at(6, 10, std::to_string(element % 99000 + 1))
                     .at(11, 15, std::to_string(element % 99000 + 5))
                     .at(16, 20, "1")
                     .at(31, 40, "0")
                     .at(41, 50, "0.8")
                     .at(61, 70, "1.8"));
        element += 5;
        ++written;
        break;
      case 5:
        put(out, Card("SPEX")
                     .at(11, 20, std::to_string(element + 100000))
                     .at(21, 30, std::to_string(element + 100009))
                     .at(31, 40, "1")
                     .at(51, 60, "0")
                     .at(61, 65, "0.9")
                     .at(71, 75, "1.9"));
        element += 10;
        ++written;
        break;
      case 6:
        if (flooded + 3 <= 9000) {
          put(out, Card(i % 16 == 6 ? "FLOO" : "ELIM")
                       .at(11, 20, std::to_string(flooded + 1))
                       .at(21, 30, std::to_string(flooded + 3))
                       .at(31, 40, "1"));
          flooded += 3;
        } else {
          out << "C   no more flooded elements\r\n";
        }
        ++written;
        break;
      default:
        out << "    \r\n";
        ++written;
        break;
    }
  }
}

// 10000 SPEC/SPEX elements checked against an element-number file of 10000 numbers.
void worst_elements(const std::string& dir) {
  std::ofstream out(dir + "/worst_elements.inp", std::ios::binary);
  for (int i = 0; i < 100; ++i) {
    put(out, Card("SPEX")
                 .at(11, 20, std::to_string(i * 100 + 1))
                 .at(21, 30, std::to_string(i * 100 + 100))
                 .at(31, 40, "1")
                 .at(51, 60, "0")
                 .at(61, 65, "0.9")
                 .at(71, 75, "1.9"));
  }
  std::ofstream elements(dir + "/worst_elements.txt", std::ios::binary);
  for (int i = 10000; i >= 1; --i) {
    elements << i << ((i % 10 == 1) ? "\r\n" : " ");
  }
}

// 9996 group names and 10000 FLOO group references, in group mode.
void worst_groups(const std::string& dir) {
  std::ofstream groups(dir + "/worst_groups.txt", std::ios::binary);
  for (int i = 1; i <= 9996; ++i) {
    groups << "NAME GROUP " << i << " G" << i << "\r\n";
  }
  std::ofstream out(dir + "/worst_groups.inp", std::ios::binary);
  for (int i = 0; i < 10000; ++i) {
    out << "FLOO G" << (9996 - (i % 9996)) << "\r\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: qel2br_generate DIR MIXED_CARDS [TYPICAL_CARDS]\n";
    return 2;
  }
  const std::string dir = argv[1];
  const long cards = std::strtol(argv[2], nullptr, 10);
  const long typical = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 10000;
  mixed(dir + "/mixed.inp", cards);
  mixed(dir + "/typical.inp", typical);
  worst_elements(dir);
  worst_groups(dir);
  return 0;
}
