#include "vistram/web/request_config.h"

#include <cstdio>

#include "vistram/base/safe_file.h"
#include "vistram/base/profile.h"
#include "vistram/web/request_launch.h"

namespace {
std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}
}  // namespace

std::string PathBeside(const std::string& besideFile, const std::string& name) {
  if (name.empty() || name.front() == '/') return name;
  const auto slash = besideFile.find_last_of('/');
  return slash == std::string::npos ? name : besideFile.substr(0, slash + 1) + name;
}

bool FileReadable(const std::string& path) {
  if (path.empty()) return false;
  std::FILE* f = std::fopen(path.c_str(), "r");
  if (f == nullptr) return false;
  std::fclose(f);
  return true;
}

std::string ReadConfigFileSetting(const std::string& configPath, std::string_view section) {
  const std::string value = GetProfileString(configPath, section, "CONFIG_FILE", "NOT_USE", 259);
  if (Holds(value, "NOT_USE") || value.empty()) return {};
  const std::string path = PathBeside(configPath, value);
  return FileReadable(path) ? path : std::string();
}

bool Holds(std::string_view value, std::string_view marker) { return value.find(marker) != std::string_view::npos; }

std::string Cut(std::string_view text, std::size_t width) {
  return std::string(text.substr(0, width == 0 ? 0 : width - 1));
}

std::string ReadListOfChoices(const ProfileFile& file, std::string_view section, std::string_view key,
                              std::size_t size) {
  std::string list = file.GetString(section, key, "NOT_USE", size);
  if (list.empty()) list = "NOT_USE";
  return list;
}

int ReadDefChoice(const ProfileFile& file, std::string_view section, std::string_view key) {
  return file.GetInt(section, key, 0);
}

std::vector<std::string> SplitChoices(std::string_view list) {
  std::vector<std::string> items;
  if (Holds(list, "NOT_USE")) return items;
  std::size_t begin = 0;
  while (begin <= list.size()) {
    std::size_t end = list.find(',', begin);
    if (end == std::string_view::npos) end = list.size();
    items.push_back(Cut(list.substr(begin, end - begin), 20));
    begin = end + 1;
  }
  return items;
}

bool ChoiceAt(std::string_view list, int index, std::string& value) {
  const std::vector<std::string> items = SplitChoices(list);
  if (index < 0 || static_cast<std::size_t>(index) >= items.size() || items[static_cast<std::size_t>(index)].empty())
    return false;
  value = items[static_cast<std::size_t>(index)];
  return true;
}

ServerKind ServerKindOf(std::string_view server) {
  const std::string up = Upper(server);
  if (Holds(up, "NCBI")) return ServerKind::Ncbi;
  if (Holds(up, "EXPASY")) return ServerKind::Expasy;
  return ServerKind::Other;
}

int ServerLogo(std::string_view server) {
  const std::string up = Upper(server);
  if (Holds(up, "INFOBIOGEN")) return 1007;
  if (Holds(up, "LABB")) return 1006;
  if (Holds(up, "EXPASY")) return 1005;
  if (Holds(up, "NCBI")) return 1004;
  if (Holds(up, "LABA")) return 1008;
  return 0;
}

bool WritePostFile(const std::string& cacheDir, std::string_view body, std::string& postFile) {
  if (!CreateUniqueFile(cacheDir, "post", "tmp", postFile)) return false;
  SafeFile file;
  if (file.Open(postFile) && std::fwrite(body.data(), 1, body.size(), file.Stream()) == body.size() &&
      file.Commit())
    return true;
  std::remove(postFile.c_str());
  postFile.clear();
  return false;
}
