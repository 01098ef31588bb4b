#pragma once
// A private folder made with mkdtemp for one test and removed with everything
// in it when the test ends. Tests write only inside such folders.

#include <stdlib.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace test_support {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vistram-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  // The path of `name` inside the folder.
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // Writes `bytes` as file `name` in the folder and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string p = *this / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
  std::size_t EntryCount() const {
    std::error_code ec;
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_, ec),
                                                  std::filesystem::directory_iterator()));
  }

 private:
  std::string path_;
};

// Reads a whole file ("" when it cannot be read).
inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace test_support
