// Replays fuzz inputs without libFuzzer: every file named on the command line, or found in a
// folder named there, goes once through LLVMFuzzerTestOneInput. A harness reports a violated
// property by aborting, so a run that ends here has passed every input.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);

namespace {

std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& Path) {
  if (!std::filesystem::is_directory(Path)) return {Path};
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(Path))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());  // the same order on every machine
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS-FOLDER-OR-FILE...\n", argv[0]);
    return 2;
  }
  size_t count = 0;
  try {
    for (int i = 1; i < argc; ++i) {
      for (const auto& path : InputsOf(argv[i])) {
        std::ifstream file(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (!file.good() && !file.eof()) {
          std::fprintf(stderr, "%s: cannot read the file\n", path.c_str());
          return 2;
        }
        // Named first, so that a sanitizer report or a violated property is seen with its input.
        std::fprintf(stderr, "%s\n", path.c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        ++count;
      }
    }
  } catch (const std::filesystem::filesystem_error& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  }
  // An empty or misnamed corpus would otherwise pass without testing anything.
  if (count == 0) {
    std::fprintf(stderr, "no inputs replayed\n");
    return 1;
  }
  std::printf("%zu inputs replayed\n", count);
  return 0;
}
