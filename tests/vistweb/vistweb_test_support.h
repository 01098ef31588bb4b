// The web helper's tests: request files as the workbench writes them, the
// loopback server script, and programs run with a bounded wait.
#pragma once
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "support/temp_folder.h"
#include "vistweb/progress.h"

namespace vwtest {

using test_support::TempFolder;
inline std::string ReadFile(const std::string& path) { return test_support::ReadWholeFile(path); }
inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }
inline bool Holds(const std::vector<std::string>& words, const std::string& word) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

// <dir>/web.tmp, the request file exactly as the workbench writes it, for
// <dir>/post.tmp (holding `body`) and the response <dir>/res.vist; with a
// vistram.cfg holding `settings` beside the pretend workbench <dir>/vistram.
struct Request {
  TempFolder dir;
  std::string path = dir / "web.tmp", response = dir / "res.vist";
  Request(const std::string& server, const std::string& method, const std::string& body,
          const std::string& settings = "TIME_LIMIT=20\n") {
    dir.Write("vistram.cfg", "[VISTWEB]\n" + settings);
    dir.Write("web.tmp", "[REQUEST_INFO]\nJobNumber=res\nServerName=" + server + "\nAction=ACT_OPENBLAST\nMethod=POST " +
                             method + "\nFilePostName=" + dir.Write("post.tmp", body) + "\nFileNameResponse=" +
                             response + "\nCallBack=" + (dir / "vistram") + "\n\n\n");
  }
};

inline std::string Quoted(std::string word) {
  for (std::size_t at = 0; (at = word.find('\'', at)) != std::string::npos; at += 4) word.replace(at, 1, "'\\''");
  return " '" + word + "'";
}
// Runs a program with extra environment settings, without a display, its
// streams on /dev/null; killed with all it started after `limitSeconds`.
inline int RunProgram(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                      int limitSeconds = 60) {
  std::string line = "env -u DISPLAY";
  for (const std::string& e : env) line += Quoted(e);
  line += " timeout -s KILL " + std::to_string(limitSeconds);
  for (const std::string& a : args) line += Quoted(a);
  const int status = std::system((line + " </dev/null >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The loopback server script (`options`: its mode, then its options) in a
// folder of its own; stopped when destroyed.
class LoopbackServer {
 public:
  explicit LoopbackServer(std::vector<std::string> options) {
    options.insert(options.begin() + 1, folder_.path());
    std::string line = "python3" + Quoted(VISTWEB_TEST_SOURCE_DIR "/loopback_server.py");
    for (const std::string& o : options) line += Quoted(o);
    (void)!std::system((line + " </dev/null >/dev/null 2>&1 &").c_str());
    for (int i = 0; i < 999 && !Exists(folder_ / "port"); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(9));
    port_ = std::atoi(ReadFile(folder_ / "port").c_str());  // written after the server's pid
  }
  ~LoopbackServer() { if (const int pid = std::atoi(ReadFile(folder_ / "pid").c_str()); pid > 0) kill(pid, SIGKILL); }
  int Port() const { return port_; }
  std::string Port(const std::string& host) const { return host + ":" + std::to_string(port_); }
  // Request number `n` (from 1) as the server received it.
  std::string Request(int n) const { return ReadFile(folder_ / ("request-" + std::to_string(n) + ".bin")); }
  int RequestCount() const {
    for (int n = 0;; ++n)
      if (!Exists(folder_ / ("request-" + std::to_string(n + 1) + ".bin"))) return n;
  }

 private:
  TempFolder folder_;
  int port_ = 0;
};

// The body of a stored request (after the empty line that ends its head).
inline std::string RequestBody(const std::string& r) { return r.substr(std::min(r.find("\n\n"), r.size() - 2) + 2); }

// A progress line that remembers every text it was given.
struct RecordingProgress : Progress {
  void ShowFirst(const std::string& text) override { shown = true, lines.push_back(text); }
  void SetLine(const std::string& text) override { lines.push_back(text); }
  bool shown = false;
  std::vector<std::string> lines;
};

}  // namespace vwtest
