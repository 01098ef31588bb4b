#include "vistram/shell/recent_files.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "vistram/base/profile.h"
#include "vistram/shell/main_commands.h"

namespace {
std::string Key(std::size_t i) { return "FILE" + std::to_string(i + 1); }
}  // namespace

std::vector<std::string> ReadRecentFiles(const std::string& configPath) {
  ProfileFile file;
  file.Load(configPath);
  std::vector<std::string> list;
  for (std::size_t i = 0; i < kMaxRecentFiles; ++i) {
    std::string value = file.GetString(kRecentSection, Key(i), "", 4096);
    if (!value.empty() && std::find(list.begin(), list.end(), value) == list.end()) list.push_back(value);
  }
  return list;
}

std::vector<std::string> PushRecentFile(std::vector<std::string> list, const std::string& entry) {
  if (entry.empty() || entry.find_first_of("\r\n") != std::string::npos) return list;
  list.erase(std::remove(list.begin(), list.end(), entry), list.end());
  list.insert(list.begin(), entry);
  if (list.size() > kMaxRecentFiles) list.resize(kMaxRecentFiles);
  return list;
}

bool WriteRecentFiles(const std::string& configPath, const std::vector<std::string>& list) {
  ProfileFile file;
  file.Load(configPath);
  for (std::size_t i = 0; i < kMaxRecentFiles; ++i)
    if (!file.Set(kRecentSection, Key(i), i < list.size() ? list[i] : std::string())) return false;
  return file.Save(configPath);
}

std::string RecentFileLabel(const std::string& entry) { return ParseCommandLine(entry).path; }

bool IsMsfFile(const std::string& path) {
  const auto dot = path.find_last_of("./");
  if (dot != std::string::npos && path[dot] == '.') {
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == "msf") return true;
  }
  std::ifstream in(path, std::ios::binary);
  std::string head(8192, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  std::size_t start = 0;
  while (start < head.size()) {
    std::size_t end = head.find('\n', start);
    if (end == std::string::npos) end = head.size();
    const std::string_view line(head.data() + start, end - start);
    if (line.substr(0, 2) == "//") return false;
    if (line.find("MSF:") != std::string_view::npos && line.find("Check:") != std::string_view::npos) return true;
    start = end + 1;
  }
  return false;
}

std::string DroppedFileCommandLine(const std::string& path) {
  return IsMsfFile(path) ? path + " " + std::string(kMsfMarker) : path;
}
