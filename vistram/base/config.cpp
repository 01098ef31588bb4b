#include "vistram/base/config.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "vistram/platform/messages.h"
#include "vistram/base/profile.h"

extern char** environ;

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

// The command to start: when the whole configured value names an existing
// file it is the program (a path with blanks), otherwise the value is split.
std::vector<std::string> CommandFor(const std::string& configured, const std::string& argument) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(configured, ec)) {
    std::vector<std::string> args{configured};
    if (!argument.empty()) args.push_back(argument);
    return args;
  }
  return BuildCommandArguments(configured, argument);
}

std::vector<char*> ArgvOf(std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (auto& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  return argv;
}

}  // namespace

std::string BuildConfigPath(const std::string& programPath) {
  std::string folder;
  auto slash = programPath.find_last_of('/');
  if (slash != std::string::npos) folder = programPath.substr(0, slash + 1);
  return folder + "vistram.cfg";
}

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

void STARTOFVISTRAM() {
  DetectBrowser(BuildConfigPath(CurrentPlatform().ProgramPath()), FindDefaultBrowserCommand);
}

std::vector<std::string> BuildCommandArguments(const std::string& command, const std::string& argument) {
  std::vector<std::string> args;
  bool placed = false;
  std::size_t i = 0;
  const std::size_t n = command.size();
  while (i < n) {
    while (i < n && (command[i] == ' ' || command[i] == '\t')) ++i;
    if (i >= n) break;
    std::string word;
    bool hadText = false;  // the word holds something besides dropped field codes
    bool quoted = false;
    while (i < n && (quoted || (command[i] != ' ' && command[i] != '\t'))) {
      char c = command[i];
      if (c == '"') {
        quoted = !quoted;
        hadText = true;
        ++i;
      } else if (quoted && c == '\\' && i + 1 < n) {
        word += command[i + 1];
        hadText = true;
        i += 2;
      } else if (c == '%' && i + 1 < n) {
        char code = command[i + 1];
        if (code == '%') {
          word += '%';
          hadText = true;
        } else if (code == 'u' || code == 'U' || code == 'f' || code == 'F') {
          if (!placed) {
            word += argument;
            hadText = hadText || !argument.empty();
            placed = true;
          }
        }
        i += 2;
      } else {
        word += c;
        hadText = true;
        ++i;
      }
    }
    if (hadText) args.push_back(std::move(word));
  }
  if (!placed && !argument.empty() && !args.empty()) args.push_back(argument);
  return args;
}

bool StartDetached(const std::vector<std::string>& arguments) {
  if (arguments.empty() || arguments[0].empty()) return false;
  std::vector<std::string> copy = arguments;
  std::vector<char*> argv = ArgvOf(copy);

  posix_spawnattr_t attr;
  posix_spawn_file_actions_t actions;
  if (posix_spawnattr_init(&attr) != 0) return false;
  if (posix_spawn_file_actions_init(&actions) != 0) {
    posix_spawnattr_destroy(&attr);
    return false;
  }
  // Its own session, so that it outlives the workbench's terminal; no input.
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return false;
  // Not watched, but reaped when it ends, so that it leaves no zombie.
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

bool RunAndCapture(const std::vector<std::string>& arguments, std::string& output) {
  output.clear();
  if (arguments.empty() || arguments[0].empty()) return false;
  std::vector<std::string> copy = arguments;
  std::vector<char*> argv = ArgvOf(copy);
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) {
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    return false;
  }
  constexpr std::size_t kMaxOutput = 1 << 20;
  char buffer[4096];
  for (;;) {
    ssize_t got = read(fds[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    if (output.size() < kMaxOutput) output.append(buffer, static_cast<std::size_t>(got));
  }
  close(fds[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int CallBrowser(const std::string& configPath, const std::string& link, WindowHandle owner) {
  std::string command;
  if (!ReadBrowserPath(configPath, command)) {
    MyErrMsgBox(IDS_CAPTION, IDS_NAVIGATOR_NOT_FOUND, owner);
    return 0;
  }
  if (!StartDetached(CommandFor(command, link))) {
    MyErrMsgBox(IDS_CAPTION, IDS_CANNOT_START_NAVIGATOR, owner);
    return 0;
  }
  return 1;
}

int CallCompanion(const std::string& configPath, const std::string& reportPath, WindowHandle owner) {
  std::string path;
  if (!ReadCompanionPath(configPath, path)) {
    MyErrMsgBox(IDS_CAPTION, IDS_HITMERGE_NOT_FOUND, owner);
    return 0;
  }
  if (!StartDetached(CommandFor(path, reportPath))) {
    MyErrMsgBox(IDS_CAPTION, IDS_CANNOT_START_HITMERGE, owner);
    return 0;
  }
  return 1;
}

int ValidateGuiParameters(int listFontSize, int viewerFontSize, int listLines) {
  if (listFontSize < kMinFontSize || listFontSize > kMaxFontSize) return kGuiListFont;
  if (viewerFontSize < kMinFontSize || viewerFontSize > kMaxFontSize) return kGuiViewerFont;
  if (listLines < kMinListLines || listLines > kMaxListLines) return kGuiListLines;
  return kGuiParametersValid;
}

int GuiParameterMessage(int field) { return field == kGuiListLines ? IDS_LIST_LINES_RANGE : IDS_FONT_SIZE_RANGE; }
