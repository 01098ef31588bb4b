// What the web helper's tests share: private folders, request files written
// as the workbench writes them, the loopback server script, and programs run
// with a bounded wait.
#pragma once
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "vistweb/progress.h"

namespace vwtest {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/vistweb-test-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The request file exactly as the workbench writes it: the section header,
// seven keys in their order, and two empty lines.
inline void WriteRequest(const std::string& path, const std::string& serverName, const std::string& method,
                         const std::string& post, const std::string& response, const std::string& callback) {
  std::string base = std::filesystem::path(response).stem().string();
  WriteFile(path, "[REQUEST_INFO]\nJobNumber=" + base + "\nServerName=" + serverName +
                      "\nAction=ACT_OPENBLAST\nMethod=POST " + method + "\nFilePostName=" + post +
                      "\nFileNameResponse=" + response + "\nCallBack=" + callback + "\n\n\n");
}

// The workbench's form encoding of a text (letters, digits, '=', '%', '&'
// kept; line feed, blank and a few signs translated; everything else dropped).
inline std::string FormEncode(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '=' || c == '%' || c == '&') out += c;
    else if (c == '\n') out += "%0D%0A";
    else if (c == ' ') out += '+';
    else if (c == '>') out += "%3E";
    else if (c == '_') out += "%5F";
    else if (c == '-') out += "%2d";
    else if (c == '|') out += "%7C";
  }
  return out;
}

// Starts a program in a process group of its own, with extra environment
// settings, its standard streams on /dev/null and no display.
inline pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
  pid_t child = fork();
  if (child == 0) {
    setpgid(0, 0);
    unsetenv("DISPLAY");
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    int devnull = open("/dev/null", O_RDWR);
    for (int fd = 0; fd <= 2; ++fd) dup2(devnull, fd);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

// Runs a program to its end; kills its whole process group when it takes
// longer than `limitSeconds`. The exit status, or -1.
inline int RunProgram(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                      int limitSeconds = 60) {
  pid_t child = Spawn(args, env);
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > end) {
      kill(-child, SIGKILL);
      waitpid(child, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A loopback port nobody listens on (taken from the system, then let go).
inline int UnusedPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  close(fd);
  return ntohs(addr.sin_port);
}

// The loopback server script in a folder of its own; stopped when destroyed.
class LoopbackServer {
 public:
  // `options`: the mode, then the script's options.
  explicit LoopbackServer(std::vector<std::string> options) {
    options.insert(options.begin() + 1, folder_.Path());
    options.insert(options.begin(), {"python3", VISTWEB_TEST_SOURCE_DIR "/loopback_server.py"});
    pid_ = Spawn(options);
    for (int i = 0; i < 500 && !Exists(folder_ / "port"); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    port_ = std::atoi(ReadFile(folder_ / "port").c_str());
  }
  ~LoopbackServer() {
    if (pid_ > 0) {
      kill(-pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  int Port() const { return port_; }
  std::string Port(const std::string& host) const { return host + ":" + std::to_string(port_); }
  // Request number `n` (from 1) as the server received it.
  std::string Request(int n) const { return ReadFile(folder_ / ("request-" + std::to_string(n) + ".bin")); }
  int RequestCount() const {
    int n = 0;
    while (Exists(folder_ / ("request-" + std::to_string(n + 1) + ".bin"))) ++n;
    return n;
  }

 private:
  TempFolder folder_;
  pid_t pid_ = -1;
  int port_ = 0;
};

// The body of a stored request (after the empty line that ends its head).
inline std::string RequestBody(const std::string& request) {
  std::size_t end = request.find("\n\n");
  return end == std::string::npos ? std::string() : request.substr(end + 2);
}

// A progress line that remembers every text it was given.
struct RecordingProgress : Progress {
  void ShowFirst(const std::string& text) override {
    shown = true;
    lines.push_back(text);
  }
  void SetLine(const std::string& text) override { lines.push_back(text); }
  bool Saw(const std::string& text) const { return std::find(lines.begin(), lines.end(), text) != lines.end(); }
  bool shown = false;
  std::vector<std::string> lines;
};

}  // namespace vwtest
