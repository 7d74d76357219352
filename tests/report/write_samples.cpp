// Writes sample reports (1, 2 and 100 points, both modes) into the folder given, for the
// markup checks of the report tests.
#include <cstddef>
#include <fstream>
#include <iostream>
#include <string>

#include "report/html_report.hpp"
#include "report/sample_report.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: write_samples FOLDER\n";
    return 64;
  }
  using qel2br::report::SetMode;
  const std::string folder = argv[1];
  for (const std::size_t points : {std::size_t{1}, std::size_t{2}, std::size_t{100}}) {
    for (const SetMode mode : {SetMode::kElements, SetMode::kGroups}) {
      const std::string name = folder + "/sample_" + std::to_string(points) +
                               (mode == SetMode::kElements ? "_elements" : "_groups") + ".html";
      std::ofstream out(name, std::ios::binary);
      out << qel2br::report::render_report(qel2br::report::testing::sample_report(points, mode));
      if (!out.flush()) {
        std::cerr << "write_samples: cannot write " << name << '\n';
        return 1;
      }
    }
  }
  return 0;
}
