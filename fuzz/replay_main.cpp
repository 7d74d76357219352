// Runs a fuzz target once on every file of the corpus directories (or files) it is given, so that
// ordinary and sanitizer builds exercise the corpus without libFuzzer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int replay_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  // A copy of exactly the file's size, so that reads past its end are caught by the sanitizers.
  const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(data.empty() ? nullptr : data.data(), data.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int failures = 0;
  int files = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      std::vector<std::filesystem::path> paths;
      for (const auto& entry : std::filesystem::directory_iterator(arg)) {
        if (entry.is_regular_file()) {
          paths.push_back(entry.path());
        }
      }
      std::sort(paths.begin(), paths.end());
      for (const auto& path : paths) {
        failures += replay_file(path);
        ++files;
      }
    } else {
      failures += replay_file(arg);
      ++files;
    }
  }
  std::printf("replayed %d files\n", files);
  if (files == 0) {
    std::fprintf(stderr, "no corpus files given\n");
    return 1;
  }
  return failures == 0 ? 0 : 1;
}
