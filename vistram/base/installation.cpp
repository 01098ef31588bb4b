#include "vistram/base/installation.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "vistram/base/safe_file.h"

namespace fs = std::filesystem;

namespace {
constexpr const char* kConfigName = "vistram.cfg";

bool IsFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool Writable(const std::string& path) { return ::access(path.c_str(), W_OK) == 0; }

// The shipped configuration a user's copy is made from, or empty.
std::string ShippedFolder(const std::string& programPath) {
  const std::string shared = SharedDataFolder(programPath);
  if (IsFile(shared + "/" + kConfigName)) return shared;
  const std::string beside = ProgramFolderOf(programPath);
  if (IsFile(beside + "/" + kConfigName)) return beside;
  return {};
}

bool BesideIsUsable(const std::string& programPath) {
  const std::string folder = ProgramFolderOf(programPath);
  const std::string path = folder + "/" + kConfigName;
  return IsFile(path) && Writable(path) && Writable(folder);
}

bool CopyThroughSafeFile(const std::string& from, const std::string& to, std::string& error) {
  std::ifstream in(from, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in && !in.eof()) {
    error = "cannot read " + from;
    return false;
  }
  SafeFile out;
  if (!out.Open(to) || !out.Write(text.str()) || !out.Commit()) {
    error = to + ": " + out.Error();
    return false;
  }
  return true;
}
}  // namespace

std::string ProgramFolderOf(const std::string& programPath) {
  const auto slash = programPath.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return programPath.substr(0, slash);
}

std::string SharedDataFolder(const std::string& programPath) {
  const std::string folder = ProgramFolderOf(programPath);
  const auto slash = folder.find_last_of('/');
  const std::string prefix = slash == std::string::npos ? std::string("..") : folder.substr(0, slash);
  return prefix + "/share/vistram";
}

std::string UserConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/vistram";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.config/vistram";
  return {};
}

const std::vector<std::string>& UserConfigFiles() {
  static const std::vector<std::string> files = {kConfigName, "blast2.cfg", "blast2db.cfg", "blast2org.txt",
                                                 "clustalw.cfg"};
  return files;
}

std::string DataFolderFor(const std::string& programPath, const std::string& name) {
  const std::string beside = ProgramFolderOf(programPath);
  if (IsFile(beside + "/" + name)) return beside;
  const std::string shared = SharedDataFolder(programPath);
  if (IsFile(shared + "/" + name)) return shared;
  return beside;
}

std::string BuildConfigPath(const std::string& programPath) {
  const std::string beside = ProgramFolderOf(programPath) + "/" + kConfigName;
  if (BesideIsUsable(programPath)) return beside;
  const std::string user = UserConfigFolder();
  if (!user.empty() && !ShippedFolder(programPath).empty())
    return user + "/" + kConfigName;
  return beside;
}

bool PrepareUserConfig(const std::string& programPath, std::string& error) {
  error.clear();
  const std::string user = UserConfigFolder();
  if (user.empty() || BuildConfigPath(programPath) != user + "/" + kConfigName) return true;
  if (IsFile(user + "/" + kConfigName)) return true;
  const std::string shipped = ShippedFolder(programPath);
  std::error_code ec;
  fs::create_directories(user, ec);
  if (ec) {
    error = user + ": " + ec.message();
    return false;
  }
  // The configuration last: a copy interrupted before it is taken up again
  // at the next start.
  const auto& files = UserConfigFiles();
  for (auto it = files.rbegin(); it != files.rend(); ++it) {
    const std::string target = user + "/" + *it;
    if (IsFile(target) || !IsFile(shipped + "/" + *it)) continue;
    if (!CopyThroughSafeFile(shipped + "/" + *it, target, error)) return false;
  }
  return true;
}
