// A small program on the library face: reads a card file, tells what the dialogue would ask,
// converts it in element mode (no element check) and writes the data file, then lists the wave
// records and the warnings.
//
//   convert_cards CARDS OUTPUT
#include <fstream>
#include <iostream>
#include <qel2br/qel2br.hpp>
#include <sstream>
#include <string>

namespace {

// Lists the wave records as they come and counts them.
class WaveList final : public qel2br::records::RecordSink {
 public:
  void sea_state(const qel2br::records::SeaState& s) override {
    ++waves;
    std::cout << "line " << s.line << ": " << s.theory.view() << " wave, H " << s.height << " m, T "
              << s.period << " s\n";
  }

  int waves = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: convert_cards CARDS OUTPUT\n";
    return 64;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << argv[1] << ": cannot be read\n";
    return 2;
  }
  std::stringstream text;
  text << in.rdbuf();
  const std::string cards = text.str();

  const qel2br::CardFacts facts = qel2br::inspect(cards);
  std::cout << "FLOO sets naming groups: " << facts.floo_sets
            << (facts.asks_for_groups() ? " (the dialogue asks for group mode)" : "") << "\n";

  qel2br::DataFileText file;
  WaveList waves;
  const qel2br::ConvertResult result = qel2br::convert(
      cards, {.card_name = argv[1], .date = " Date : 2026-12-10 12:00:00"}, {waves, file.sink()});
  for (const qel2br::Warning& w : result.warnings) {
    std::cerr << w.file << ":" << w.line << ": warning: " << w.message << " [-W" << w.kind << "]\n";
  }
  if (result.end != qel2br::End::kNormal) {
    std::cerr << "not converted: " << result.reason << "\n";
    return result.end == qel2br::End::kErrorEnd ? 1 : 2;
  }
  std::ofstream(argv[2], std::ios::binary) << file.text();
  std::cout << waves.waves << " wave records; " << argv[2] << " written\n";
  return 0;
}
