#include "vistram/web/request_launch.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "vistram/platform/messages.h"
#include "vistram/base/safe_file.h"
#include "vistram/base/profile.h"
#include "vistram/base/temp_files.h"
#include "vistram/web/request_file.h"

extern char** environ;

namespace {
std::mutex gHandlerMutex;
WebAnswerHandler gHandler;
WindowHandle gAnswerOwner = nullptr;

WindowHandle AnswerOwner() {
  std::lock_guard lock(gHandlerMutex);
  return gAnswerOwner;
}

std::mutex gRunningMutex;
std::condition_variable gRunningChanged;
int gRunning = 0;

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string BaseNameWithoutExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const auto dot = name.find_last_of('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

bool IsBlank(const std::string& s) { return s.find_first_not_of(" \t") == std::string::npos; }

void RemoveFile(const std::string& path) {
  if (!path.empty()) std::remove(path.c_str());
}

void Info(int textId, WindowHandle owner) { MyInfoMsgBox(IDS_CAPTION, textId, owner); }
}  // namespace

std::string CacheDirectory(const std::string& configPath) {
  std::string dir = GetProfileString(configPath, "DIRECTORY", "CACHE", "NO_CACHE_NAME", 260);
  if (dir.find("NO_CACHE_NAME") != std::string::npos || IsBlank(dir)) dir = TemporaryFolder();
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

bool CreateUniqueFile(const std::string& dir, std::string_view prefix, std::string_view extension,
                      std::string& path) {
  path.clear();
  if (dir.empty()) return false;
  const std::string suffix = extension.empty() ? std::string() : std::string(".").append(extension);
  const int fd = OpenUniqueFile(dir + (dir.back() == '/' ? "" : "/") + std::string(prefix), suffix, path);
  if (fd < 0) return false;
  close(fd);
  return true;
}

std::string HelperProgramPath(const std::string& configPath) {
  std::string helper = GetProfileString(configPath, "INTERNET", "VISTWEB", " ", 260);
  if (IsBlank(helper)) return {};
  if (helper.front() != '/') helper = FolderOf(configPath) + helper;
  return helper;
}

bool RunHelperAndWait(const std::string& program, const std::string& argument, const std::string& configPath) {
  if (program.empty()) return false;
  std::vector<char> prog(program.begin(), program.end());
  prog.push_back('\0');
  std::vector<char> arg(argument.begin(), argument.end());
  arg.push_back('\0');
  char* argv[] = {prog.data(), arg.data(), nullptr};
  // The environment of the workbench, its own VISTWEB_CONFIG replaced.
  const std::string prefix = std::string(kHelperConfigVariable) + "=";
  const std::string setting = prefix + configPath;
  std::vector<char*> env;
  for (char** e = environ; *e != nullptr; ++e)
    if (std::strncmp(*e, prefix.c_str(), prefix.size()) != 0) env.push_back(*e);
  if (!configPath.empty()) env.push_back(const_cast<char*>(setting.c_str()));
  env.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, prog.data(), nullptr, nullptr, argv, env.data()) != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) break;
  }
  // A program that could not be executed ends at once with status 127.
  return !(WIFEXITED(status) && WEXITSTATUS(status) == 127);
}

int PrepareRequest(WindowHandle owner, const std::string& server, const std::string& requestPath,
                   const std::string& postFile, const std::string& cacheDir, std::string_view extension,
                   std::string_view action, std::string_view method, const std::string& configPath,
                   const std::string& callBack, PreparedRequest& out) {
  out = PreparedRequest{};
  out.postFile = postFile;
  out.action = std::string(action);
  if (!CreateUniqueFile(cacheDir, "res", extension, out.responseFile)) {
    MyErrMsgBox(IDS_CAPTION, IDS_WEB_CANNOT_CREATE_RESULT, owner);
    RemoveFile(postFile);
    return 0;
  }
  RequestFields fields;
  fields.jobNumber = BaseNameWithoutExtension(out.responseFile);
  fields.serverName = server;
  fields.action = std::string(action);
  fields.method = std::string(method);
  fields.requestPath = requestPath;
  fields.postFile = postFile;
  fields.responseFile = out.responseFile;
  fields.callBack = callBack;
  const std::string text = FormatRequestFile(fields);
  bool written = false;
  if (!text.empty() && CreateUniqueFile(cacheDir, "web", "tmp", out.requestFile)) {
    SafeFile file;
    written = file.Open(out.requestFile) && std::fwrite(text.data(), 1, text.size(), file.Stream()) == text.size() &&
              file.Commit();
    if (!written) RemoveFile(out.requestFile);
  }
  if (!written) {
    MyErrMsgBox(IDS_CAPTION, IDS_WEB_CANNOT_CREATE_WEB_FILE, owner);
    RemoveFile(out.responseFile);
    RemoveFile(postFile);
    return 0;
  }
  out.helper = HelperProgramPath(configPath);
  out.config = configPath;
  return 1;
}

void SetWebAnswerHandler(WebAnswerHandler handler, WindowHandle owner) {
  std::lock_guard lock(gHandlerMutex);
  gHandler = std::move(handler);
  gAnswerOwner = gHandler ? owner : nullptr;
}

int LanceRequete(WindowHandle owner, const std::string& server, const std::string& requestPath,
                 const std::string& postFile, const std::string& cacheDir, std::string_view extension,
                 std::string_view action, std::string_view method, const std::string& configPath,
                 const std::string& callBack) {
  PreparedRequest request;
  if (PrepareRequest(owner, server, requestPath, postFile, cacheDir, extension, action, method, configPath, callBack,
                     request) == 0)
    return 0;
  {
    std::lock_guard lock(gRunningMutex);
    ++gRunning;
  }
  try {
    std::thread(_RunVistWeb, std::move(request)).detach();
  } catch (const std::system_error&) {
    {
      std::lock_guard lock(gRunningMutex);
      --gRunning;
    }
    gRunningChanged.notify_all();
    Info(IDS_WEB_CANNOT_CALL_HELPER, owner);
    return 0;
  }
  return 1;
}

bool ReadHelperNote(const std::string& responseFile, std::string& note) {
  note.clear();
  std::FILE* file = std::fopen(responseFile.c_str(), "rb");
  if (file == nullptr) return false;
  char line[1024];
  const bool read = std::fgets(line, sizeof line, file) != nullptr;
  std::fclose(file);
  if (!read || std::strncmp(line, "VistWeb:", 8) != 0) return false;
  note = line;
  while (!note.empty() && (note.back() == '\n' || note.back() == '\r')) note.pop_back();
  return true;
}

namespace {
// After the helper has ended: the response file left empty is removed; one
// holding the helper's note is shown (an error box) and removed. False when
// there is no answer to open.
bool CheckResponse(const std::string& responseFile, WindowHandle owner) {
  struct stat st {};
  if (stat(responseFile.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0) RemoveFile(responseFile);
  std::string note;
  if (!ReadHelperNote(responseFile, note)) return true;
  CurrentPlatform().MessageBox(owner, LoadStringText(IDS_CAPTION), note, MsgIcon::Error, MsgButtons::Ok);
  RemoveFile(responseFile);
  return false;
}
}  // namespace

int RunRequestNow(const PreparedRequest& request, std::string& responseFile) {
  responseFile.clear();
  if (!RunHelperAndWait(request.helper, request.requestFile, request.config)) {
    Info(IDS_WEB_CANNOT_CALL_HELPER, nullptr);
    RemoveFile(request.requestFile);
    RemoveFile(request.responseFile);
    RemoveFile(request.postFile);
    return 0;
  }
  const bool answered = CheckResponse(request.responseFile, nullptr);
  std::string postFile;
  const bool read = ReadRequestAnswer(request.requestFile, responseFile, postFile);
  RemoveFile(request.postFile);
  RemoveFile(request.requestFile);
  if (!read) {
    Info(IDS_WEB_CANNOT_CREATE_WEB_FILE, nullptr);
    return 0;
  }
  if (!answered) responseFile.clear();
  return answered ? 1 : 0;
}

void _RunVistWeb(PreparedRequest request) {
  struct Done {
    ~Done() {
      {
        std::lock_guard lock(gRunningMutex);
        --gRunning;
      }
      gRunningChanged.notify_all();
    }
  } done;
  if (!RunHelperAndWait(request.helper, request.requestFile, request.config)) {
    Info(IDS_WEB_CANNOT_CALL_HELPER, AnswerOwner());
    RemoveFile(request.requestFile);
    RemoveFile(request.responseFile);  // reserved here, never written
    return;
  }
  CurrentPlatform().MessageBox(AnswerOwner(), LoadStringText(IDS_CAPTION), LoadStringText(IDS_WEB_DONE),
                               MsgIcon::Information, MsgButtons::Ok);
  // The response file was reserved empty: left so, the helper wrote nothing;
  // a note of the helper is shown instead of being opened as a report.
  const bool answered = CheckResponse(request.responseFile, AnswerOwner());
  std::string responseFile;
  std::string postFile;
  if (!ReadRequestAnswer(request.requestFile, responseFile, postFile)) {
    Info(IDS_WEB_CANNOT_CREATE_WEB_FILE, AnswerOwner());
  } else if (answered && !responseFile.empty()) {
    WebAnswerHandler handler;
    {
      std::lock_guard lock(gHandlerMutex);
      handler = gHandler;
    }
    if (handler) handler(WebAnswer{responseFile, request.action});
  }
  // The post file deleted is the one this request made, whatever the file says.
  (void)postFile;
  RemoveFile(request.postFile);
  RemoveFile(request.requestFile);
}

int RunningWebRequests() {
  std::lock_guard lock(gRunningMutex);
  return gRunning;
}

void WaitForWebRequests() {
  std::unique_lock lock(gRunningMutex);
  gRunningChanged.wait(lock, [] { return gRunning == 0; });
}
