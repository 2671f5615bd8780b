// Where the tests find their fixtures and put their temporary files, on both sides: under Wine
// the source tree's Unix path is reached through drive Z:.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/text.h"

namespace swo::test {

// The path of a fixture in tests/fixtures/config/, as the program under test must spell it.
inline std::u16string FixturePath(std::u16string_view Name) {
  std::u16string path =
      brv::Utf8ToUtf16(SORTWISE_SOURCE_DIR "/tests/fixtures/config/") + std::u16string(Name);
#ifdef _WIN32
  if (!path.empty() && path.front() == u'/') path.insert(0, u"Z:");
  for (char16_t& c : path)
    if (c == u'/') c = u'\\';
#endif
  return path;
}

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TTempDir {
 public:
  TTempDir() {
    static int counter = 0;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
      FPath = base / ("sortwise-test-" + std::to_string(Pid()) + "-" + std::to_string(++counter));
      if (std::filesystem::create_directory(FPath)) break;
    }
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  ~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
  }

  const std::filesystem::path& Path() const { return FPath; }
  // A file name inside the folder.
  std::u16string File(std::u16string_view Name) const {
    return (FPath / std::filesystem::path(Name)).u16string();
  }
  // The names of the files in the folder.
  std::vector<std::u16string> Names() const {
    std::vector<std::u16string> names;
    for (const auto& entry : std::filesystem::directory_iterator(FPath))
      names.push_back(entry.path().filename().u16string());
    return names;
  }

 private:
  static long Pid();
  std::filesystem::path FPath;
};

// True when the program runs under Wine.
bool UnderWine();

// False under Wine, whose MSXML reports parse errors without line, column or reason; true
// natively (pugixml) and with Microsoft's MSXML.
inline bool ParserGivesPositions() { return !UnderWine(); }

// Whole-file helpers that do not go through the code under test.
void WriteBytes(const std::u16string& File, std::string_view Bytes);
std::string ReadBytes(const std::u16string& File);

}  // namespace swo::test
