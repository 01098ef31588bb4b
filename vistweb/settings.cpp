#include "vistweb/settings.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "vistram/base/profile.h"

namespace {

void OverrideNumber(const char* variable, int& value) {
  const char* text = std::getenv(variable);
  if (text == nullptr || *text == '\0') return;
  char* end = nullptr;
  long number = std::strtol(text, &end, 10);
  if (*end == '\0' && number >= 1 && number <= INT_MAX) value = static_cast<int>(number);
}

void OverrideText(const char* variable, std::string& value) {
  const char* text = std::getenv(variable);
  if (text != nullptr && *text != '\0') value = text;
}

std::string Folder(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

HelperSettings LoadHelperSettings(const std::string& configPath) {
  HelperSettings settings;
  ProfileFile profile;
  if (!configPath.empty()) profile.Load(configPath);
  int limit = profile.GetInt("VISTWEB", "TIME_LIMIT", settings.timeLimit);
  if (limit >= 1) settings.timeLimit = limit;
  int interval = profile.GetInt("VISTWEB", "POLL_INTERVAL", 0);
  if (interval >= 1) settings.pollInterval = interval;
  settings.caFile = profile.GetString("VISTWEB", "CA_FILE", "", 4096);
  settings.email = profile.GetString("VISTWEB", "EMAIL", "", 256);
  settings.blastDb = profile.GetString("VISTWEB", "BLASTDB", "", 4096);
  OverrideNumber("VISTWEB_TIME_LIMIT", settings.timeLimit);
  OverrideNumber("VISTWEB_POLL_INTERVAL", settings.pollInterval);
  OverrideText("VISTWEB_CA_FILE", settings.caFile);
  OverrideText("VISTWEB_EMAIL", settings.email);
  OverrideText("VISTWEB_BLASTDB", settings.blastDb);
  return settings;
}

std::string HelperConfigPath(const std::string& callback) {
  // The workbench names the configuration file it runs with.
  const char* named = std::getenv("VISTWEB_CONFIG");
  if (named != nullptr && *named != '\0') return named;
  if (!callback.empty()) return Folder(callback) + "/vistram.cfg";
  char self[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return {};
  self[n] = '\0';
  return Folder(self) + "/vistram.cfg";
}
