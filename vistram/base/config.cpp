#include "vistram/base/config.h"

#include <algorithm>
#include <cstdlib>

#include "vistram/base/process.h"
#include "vistram/base/profile.h"

namespace {

constexpr std::size_t kCommandBuffer = 520;  // NAVIGATOR and HITMERGE: at most 519 characters

int Clamp(int value, int low, int high) { return std::min(std::max(value, low), high); }

void ReadClamped(const ProfileFile& file, const char* section, const char* key, int defaultValue, int low,
                 int high, int* destination) {
  if (destination != nullptr) *destination = Clamp(file.GetInt(section, key, defaultValue), low, high);
}

// The Exec line of a desktop entry, with the string escapes of the format
// (\s, \n, \t, \r, \\) decoded.
std::string DesktopExec(const std::string& desktopFile) {
  ProfileFile entry;
  if (!entry.Load(desktopFile)) return {};
  std::string raw = entry.GetString("Desktop Entry", "Exec", "", 4096);
  std::string out;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\\' && i + 1 < raw.size()) {
      char c = raw[++i];
      switch (c) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        default: out += '\\'; out += c; break;
      }
    } else {
      out += raw[i];
    }
  }
  return out;
}

std::vector<std::string> ApplicationFolders() {
  std::vector<std::string> folders;
  const char* home = std::getenv("HOME");
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome != nullptr && *dataHome != '\0') {
    folders.push_back(std::string(dataHome) + "/applications/");
  } else if (home != nullptr && *home != '\0') {
    folders.push_back(std::string(home) + "/.local/share/applications/");
  }
  const char* dataDirs = std::getenv("XDG_DATA_DIRS");
  std::string dirs = (dataDirs != nullptr && *dataDirs != '\0') ? dataDirs : "/usr/local/share:/usr/share";
  std::size_t pos = 0;
  while (pos <= dirs.size()) {
    std::size_t colon = dirs.find(':', pos);
    if (colon == std::string::npos) colon = dirs.size();
    if (colon > pos) folders.push_back(dirs.substr(pos, colon - pos) + "/applications/");
    pos = colon + 1;
  }
  return folders;
}

}  // namespace

void ReadGuiConfiguration(const std::string& configPath, int* hcaFontSize, int* hcaSymbolFontSize,
                          int* comboFontSize, int* listFontSize, int* viewerFontSize, int* listLines) {
  ProfileFile file;
  file.Load(configPath);
  ReadClamped(file, kHcaSection, "HCAFNTSIZE", 8, kMinFontSize, kMaxFontSize, hcaFontSize);
  ReadClamped(file, kHcaSection, "HCASPEFNTSIZE", 10, kMinFontSize, kMaxFontSize, hcaSymbolFontSize);
  ReadClamped(file, kGuiSection, "CBFNTSIZE", 10, kMinFontSize, kMaxFontSize, comboFontSize);
  ReadClamped(file, kGuiSection, "LBFNTSIZE", 12, kMinFontSize, kMaxFontSize, listFontSize);
  ReadClamped(file, kGuiSection, "ALIFNTSIZE", 12, kMinFontSize, kMaxFontSize, viewerFontSize);
  ReadClamped(file, kGuiSection, "LBLINES", 2, kMinListLines, kMaxListLines, listLines);
}

GuiPreferences ReadGuiPreferences(const std::string& configPath) {
  GuiPreferences p;
  ReadGuiConfiguration(configPath, &p.hca.letterFontSize, &p.hca.symbolFontSize, &p.comboFontSize,
                       &p.listFontSize, &p.viewerFontSize, &p.listLines);
  return p;
}

bool ReadCompanionPath(const std::string& configPath, std::string& path) {
  path = GetProfileString(configPath, "EXTERN", "HITMERGE", " ", kCommandBuffer);
  return path.size() > 4;
}

bool ReadBrowserPath(const std::string& configPath, std::string& command) {
  command = GetProfileString(configPath, "INTERNET", "NAVIGATOR", " ", kCommandBuffer);
  return command.size() > 4;
}

std::string FindDefaultBrowserCommand() {
  std::string handler;
  if (!RunAndCapture({"xdg-mime", "query", "default", "text/html"}, handler)) return {};
  // The first line names a desktop entry, "firefox-esr.desktop".
  handler = handler.substr(0, handler.find_first_of("\r\n"));
  while (!handler.empty() && handler.back() == ' ') handler.pop_back();
  if (handler.empty() || handler.find('/') != std::string::npos || handler.find("..") != std::string::npos) {
    return {};
  }
  for (const auto& folder : ApplicationFolders()) {
    std::string candidates[2] = {folder + handler, {}};
    // A desktop file id "vendor-name.desktop" may lie in a vendor/ subfolder.
    auto dash = handler.find('-');
    if (dash != std::string::npos) {
      std::string sub = handler;
      sub[dash] = '/';
      candidates[1] = folder + sub;
    }
    for (const auto& c : candidates) {
      if (c.empty()) continue;
      std::string exec = DesktopExec(c);
      if (!exec.empty()) return exec;
    }
  }
  return {};
}

bool DetectBrowser(const std::string& configPath, const BrowserLookup& lookup) {
  ProfileFile file;
  if (!file.Load(configPath)) return false;
  if (!file.GetString("INTERNET", "NAVIGATOR", "?", 260).empty()) return false;
  std::string command = lookup ? lookup() : std::string();
  // A command that does not fit the key's 519 characters would be cut into a
  // wrong one: it is not stored.
  if (command.empty() || command.size() >= kCommandBuffer) return false;
  if (!file.Set("INTERNET", "NAVIGATOR", command)) return false;
  return file.Save(configPath);
}

int ValidateGuiParameters(int listFontSize, int viewerFontSize, int listLines) {
  if (listFontSize < kMinFontSize || listFontSize > kMaxFontSize) return kGuiListFont;
  if (viewerFontSize < kMinFontSize || viewerFontSize > kMaxFontSize) return kGuiViewerFont;
  if (listLines < kMinListLines || listLines > kMaxListLines) return kGuiListLines;
  return kGuiParametersValid;
}

int GuiParameterMessage(int field) { return field == kGuiListLines ? IDS_LIST_LINES_RANGE : IDS_FONT_SIZE_RANGE; }
