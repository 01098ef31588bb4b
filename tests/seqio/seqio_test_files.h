// Helpers of the sequence-input tests: a private temporary folder and files
// written into it.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vistram_seqio_XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Writes `bytes` as file `name` in the folder and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    auto file = path_ / name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file.string();
  }

 private:
  std::filesystem::path path_;
};

inline std::string SequenceDataFile(const std::string& name) {
  return std::string(VISTRAM_TEST_DATA_DIR) + "/sequences/" + name;
}
