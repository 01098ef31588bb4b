// Opens exported reports in headless Chromium, served from a loopback HTTP
// server, and inspects the live pages through the DevTools protocol (over
// --remote-debugging-pipe): the three frames load, every hit number in the
// list links to its alignment anchor, and a hostile report runs no script.
// Skipped when chromium is not installed.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "html_test_support.h"

using namespace html_test;
namespace fs = std::filesystem;

namespace {

std::string FindChromium() {
  for (const char* candidate : {"/usr/bin/chromium", "/usr/bin/chromium-browser"}) {
    if (access(candidate, X_OK) == 0) return candidate;
  }
  return {};
}

// Serves the files of one folder on 127.0.0.1 (GET only, no subfolders).
class LoopbackServer {
 public:
  explicit LoopbackServer(fs::path root) : root_(std::move(root)) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd_, 16) != 0) return;
    socklen_t len = sizeof addr;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~LoopbackServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (fd_ >= 0) close(fd_);
  }
  int port() const { return port_; }

 private:
  void Run() {
    while (!stop_) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      int client = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      Serve(client);
      close(client);
    }
  }
  void Serve(int client) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
      pollfd p{client, POLLIN, 0};
      if (poll(&p, 1, 2000) <= 0) return;
      ssize_t n = recv(client, buffer, sizeof buffer, 0);
      if (n <= 0) return;
      request.append(buffer, static_cast<std::size_t>(n));
    }
    std::string status = "404 Not Found";
    std::string body;
    if (request.rfind("GET /", 0) == 0) {
      std::string target = request.substr(5, request.find(' ', 5) - 5);
      target = target.substr(0, target.find_first_of("?#"));
      std::string name;
      for (std::size_t i = 0; i < target.size(); ++i) {
        if (target[i] == '%' && i + 2 < target.size()) {
          name += static_cast<char>(std::stoi(target.substr(i + 1, 2), nullptr, 16));
          i += 2;
        } else {
          name += target[i];
        }
      }
      if (!name.empty() && name.find('/') == std::string::npos && fs::is_regular_file(root_ / name)) {
        status = "200 OK";
        body = ReadAll(root_ / name);
      }
    }
    std::string response = "HTTP/1.0 " + status + "\r\nContent-Type: text/html\r\nContent-Length: " +
                           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    std::size_t sent = 0;
    while (sent < response.size()) {
      ssize_t n = send(client, response.data() + sent, response.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return;
      sent += static_cast<std::size_t>(n);
    }
  }

  fs::path root_;
  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Headless Chromium driven over the DevTools pipe (messages are JSON texts
// ended by a NUL byte; the browser reads fd 3 and writes fd 4).
class Browser {
 public:
  explicit Browser(const std::string& program) {
    std::string pattern = (fs::temp_directory_path() / "html_browser.XXXXXX").string();
    profile_ = mkdtemp(pattern.data());
    int toBrowser[2], fromBrowser[2];
    if (pipe2(toBrowser, O_CLOEXEC) != 0 || pipe2(fromBrowser, O_CLOEXEC) != 0) return;
    const std::string dataDir = "--user-data-dir=" + profile_.string();
    pid_ = fork();
    if (pid_ == 0) {
      dup2(toBrowser[0], 3);
      dup2(fromBrowser[1], 4);
      int devnull = open("/dev/null", O_RDWR);
      dup2(devnull, 1);
      dup2(devnull, 2);
      const char* argv[] = {program.c_str(),
                            "--headless",
                            "--no-sandbox",
                            "--disable-gpu",
                            "--disable-quic",
                            "--no-first-run",
                            "--disable-background-networking",
                            "--disable-component-update",
                            "--disable-sync",
                            dataDir.c_str(),
                            "--remote-debugging-pipe",
                            "about:blank",
                            nullptr};
      execv(program.c_str(), const_cast<char* const*>(argv));
      _exit(127);
    }
    close(toBrowser[0]);
    close(fromBrowser[1]);
    write_ = toBrowser[1];
    read_ = fromBrowser[0];
  }
  ~Browser() {
    if (write_ >= 0) close(write_);
    if (read_ >= 0) close(read_);
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      int status = 0;
      for (int i = 0; i < 50 && waitpid(pid_, &status, WNOHANG) == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
      if (waitpid(pid_, &status, WNOHANG) == 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
      }
    }
    std::error_code ec;
    fs::remove_all(profile_, ec);
  }

  // Sends one command and returns the text of its reply (empty on time-out).
  std::string Call(const std::string& method, const std::string& params, const std::string& session = {}) {
    const int id = ++lastId_;
    std::string message = "{\"id\":" + std::to_string(id) + ",\"method\":\"" + method + "\",\"params\":" + params;
    if (!session.empty()) message += ",\"sessionId\":\"" + session + "\"";
    message += "}";
    message.push_back('\0');
    if (write(write_, message.data(), message.size()) != static_cast<ssize_t>(message.size())) return {};
    const std::string tag = "{\"id\":" + std::to_string(id) + ",";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
      for (auto end = pending_.find('\0'); end != std::string::npos; end = pending_.find('\0')) {
        std::string reply = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        if (reply.rfind(tag, 0) == 0) return reply;
      }
      pollfd p{read_, POLLIN, 0};
      if (poll(&p, 1, 200) <= 0) continue;
      char buffer[65536];
      ssize_t n = read(read_, buffer, sizeof buffer);
      if (n <= 0) return {};
      pending_.append(buffer, static_cast<std::size_t>(n));
    }
    return {};
  }

  // The string value of a field in a reply ("targetId", "sessionId", "value").
  static std::string Field(const std::string& reply, const std::string& name) {
    const std::string key = "\"" + name + "\":\"";
    auto pos = reply.find(key);
    if (pos == std::string::npos) return {};
    std::string out;
    for (pos += key.size(); pos < reply.size() && reply[pos] != '"'; ++pos) {
      if (reply[pos] == '\\' && pos + 1 < reply.size()) ++pos;
      out += reply[pos];
    }
    return out;
  }

  // Opens `url` in a new page and returns its session.
  std::string Open(const std::string& url) {
    std::string target = Field(Call("Target.createTarget", "{\"url\":\"" + url + "\"}"), "targetId");
    if (target.empty()) return {};
    return Field(Call("Target.attachToTarget", "{\"targetId\":\"" + target + "\",\"flatten\":true}"), "sessionId");
  }

  // Evaluates `expression` (which returns a string without quotes) in the page.
  std::string Eval(const std::string& session, const std::string& expression) {
    std::string escaped;
    for (char c : expression) {
      if (c == '"' || c == '\\') escaped += '\\';
      escaped += c == '\n' ? ' ' : c;
    }
    return Field(Call("Runtime.evaluate", "{\"expression\":\"" + escaped + "\",\"returnByValue\":true}", session),
                 "value");
  }

  // Evaluates until the result is not "wait" (at most 20 seconds).
  std::string EvalWhenReady(const std::string& session, const std::string& expression) {
    std::string result;
    for (int i = 0; i < 100; ++i) {
      result = Eval(session, expression);
      if (result != "wait") return result;
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return result;
  }

  bool Started() const { return pid_ > 0 && read_ >= 0; }

 private:
  fs::path profile_;
  pid_t pid_ = -1;
  int write_ = -1;
  int read_ = -1;
  int lastId_ = 0;
  std::string pending_;
};

// Ready when the three frames have loaded; then their names and titles.
constexpr const char* kFramesLoaded = R"JS((() => {
  const f = window.frames;
  if (document.readyState !== 'complete' || f.length !== 3) return 'wait';
  for (let i = 0; i < 3; ++i) if (f[i].document.readyState !== 'complete') return 'wait';
  return [0, 1, 2].map(i => f[i].name + ':' + f[i].document.title).join('|');
})())JS";

// For every link of the list aimed at the alignment frame: its anchor, and
// whether the alignment page holds that anchor.
constexpr const char* kListLinks = R"JS((() => {
  const list = window.frames['list'].document, ali = window.frames['ali'].document;
  return [...list.links].filter(a => a.target === 'ali').map(a => {
    const name = a.hash.substring(1);
    return name + '=' + ali.getElementsByName(name).length;
  }).join(',');
})())JS";

}  // namespace

TEST(HtmlBrowserTest, FramesLoadAndTheListLinksToTheAlignments) {
  const std::string chromium = FindChromium();
  if (chromium.empty()) GTEST_SKIP() << "chromium is not installed";
  TempDir dir;
  DataProgram dp;
  std::string longLine;
  for (int i = 0; i < 130; ++i) longLine += "MKVLAW"[i % 6];
  AddHit(dp, "SP|P1|A", "FIRST", "http://example.org/entry?id=P1", {{longLine, 0}, {longLine, 0}});
  AddHit(dp, "SP|P2|B", "SECOND", "", {{longLine, 0}});
  AddHit(dp, "SP|P3|C", "THIRD", "", {{longLine, 0}, {longLine, 0}, {longLine, 0}});
  ASSERT_TRUE(PrepHTMLsave(dp, dir / "report.vist", 0, TestSource()));

  LoopbackServer server(dir.path());
  ASSERT_GT(server.port(), 0);
  Browser browser(chromium);
  ASSERT_TRUE(browser.Started());
  const std::string session =
      browser.Open("http://127.0.0.1:" + std::to_string(server.port()) + "/report_main.html");
  ASSERT_FALSE(session.empty());

  EXPECT_EQ("header:Header|list:Summary List|ali:Alignment List", browser.EvalWhenReady(session, kFramesLoaded));
  EXPECT_EQ("ALI1=1,ALI2=1,ALI3=1", browser.Eval(session, kListLinks));
  EXPECT_EQ("W-Vistram - results of report", browser.Eval(session, "document.title"));

  // A click on hit 3's number scrolls the alignment frame to its anchor.
  browser.Eval(session,
               "[...window.frames['list'].document.links].filter(a => a.target === 'ali')[2].click(), 'x'");
  EXPECT_EQ("#ALI3", browser.EvalWhenReady(session, R"JS((() => {
    const w = window.frames['ali'];
    return w.location.hash === '#ALI3' ? w.location.hash : 'wait';
  })())JS"));
  EXPECT_EQ("scrolled", browser.EvalWhenReady(session, R"JS((() => {
    const w = window.frames['ali'];
    return w.scrollY > 0 ? 'scrolled' : 'wait';
  })())JS"));
}

TEST(HtmlBrowserTest, AHostileReportRunsNoScriptAndStaysInItsCells) {
  const std::string chromium = FindChromium();
  if (chromium.empty()) GTEST_SKIP() << "chromium is not installed";
  TempDir dir;
  DataProgram dp;
  const std::string hostileId = "X<script>top.pwned=1</script>";
  const std::string hostileDescription = "D\"><img src=x onerror=\"top.pwned=2\"><b>'</TD></TABLE><script>top.pwned=3</script>";
  AddHit(dp, hostileId, hostileDescription, "javascript:top.pwned=4", {{"MKV<script>top.pwned=5</script>", 0}});
  AddHit(dp, "Y", "QUOTE IN LINK", "http://example.org/\"onclick=\"top.pwned=6", {{"MKVL", 0}});
  (*dp.hits)[0]->alignments[0]->statsText = "</TD></TR></TABLE><script>top.pwned=7</script>";
  (*dp.hits)[0]->scoreText = "<svg onload=top.pwned=8>";
  ASSERT_TRUE(PrepHTMLsave(dp, dir / "evil.vist", 0, TestSource()));

  LoopbackServer server(dir.path());
  Browser browser(chromium);
  ASSERT_TRUE(browser.Started());
  const std::string session = browser.Open("http://127.0.0.1:" + std::to_string(server.port()) + "/evil_main.html");
  ASSERT_FALSE(session.empty());
  ASSERT_EQ("header:Header|list:Summary List|ali:Alignment List", browser.EvalWhenReady(session, kFramesLoaded));

  // Click every link, as a curious reader would.
  browser.Eval(session, "[...window.frames['list'].document.links].forEach(a => a.click()), 'x'");
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ("undefined", browser.Eval(session, "String(window.top.pwned)"));
  EXPECT_EQ("0", browser.Eval(session, R"JS(String([1, 2].reduce((n, i) =>
      n + window.frames[i].document.querySelectorAll('script,img,svg,b,[onerror],[onclick],[onload]').length, 0)))JS"));
  // The list is still one table per hit, each with its six cells, and the
  // texts read back exactly as the report gave them.
  EXPECT_EQ("2:12", browser.Eval(session, R"JS((() => {
    const d = window.frames['list'].document;
    return d.querySelectorAll('table').length + ':' + d.querySelectorAll('td').length;
  })())JS"));
  const std::string cells = browser.Eval(session, R"JS((() => {
    const td = window.frames['list'].document.querySelectorAll('td');
    return [td[1].textContent.trim(), td[2].textContent.trim()].join('~~');
  })())JS");
  EXPECT_EQ(hostileId + "~~" + hostileDescription + " (120 aa)", cells);
  // Only the web address became a link; its quote stayed inside the address.
  EXPECT_EQ("http:|http://example.org/%22onclick=%22top.pwned=6", browser.Eval(session, R"JS((() => {
    const links = [...window.frames['list'].document.links].filter(a => a.target === '_blank');
    return [...new Set([...window.frames['list'].document.links].map(a => a.protocol))].join(',') + '|' +
        links.map(a => a.href).join(',');
  })())JS"));
}
