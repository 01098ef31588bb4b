#include "vistram/patterns/work_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <vector>

PrivateWorkFolder::PrivateWorkFolder() {
  std::error_code ec;
  std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) base = "/tmp";
  const std::string pattern = (base / "vistram-patterns-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) != nullptr) path_ = buffer.data();
}

PrivateWorkFolder::~PrivateWorkFolder() {
  if (path_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}
