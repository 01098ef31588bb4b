// Opens exported reports in headless Chromium, served from a loopback HTTP
// server: a check page (tests/data/html/browser_check.html) frames the report,
// clicks its links and writes what it found, which the DOM dump gives back.
// Skipped when chromium is not installed.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <map>
#include <sstream>
#include <thread>

#include "html_test_support.h"

using namespace html_test;

namespace {

// Serves the files of one folder on 127.0.0.1 (GET only, no subfolders).
class LoopbackServer {
 public:
  explicit LoopbackServer(std::string root) : root_(std::move(root)) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (bind(fd_, reinterpret_cast<sockaddr*>(&addr), len) != 0 || listen(fd_, 16) != 0) return;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] {
      for (pollfd p{fd_, POLLIN, 0}; !stop_;)
        if (poll(&p, 1, 100) > 0) Serve(accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC));
    });
  }
  ~LoopbackServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    close(fd_);
  }
  int port() const { return port_; }

 private:
  void Serve(int client) {
    const timeval wait{2, 0};
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    std::string request, body;
    char buffer[4096];
    for (ssize_t n = 0; request.find("\r\n\r\n") == std::string::npos && (n = recv(client, buffer, sizeof buffer, 0)) > 0;)
      request.append(buffer, static_cast<std::size_t>(n));
    const std::string name = request.rfind("GET /", 0) == 0 ? request.substr(5, request.find_first_of(" ?#", 5) - 5) : "";
    if (!name.empty() && name.find('/') == std::string::npos) body = test_support::ReadWholeFile(root_ + "/" + name);
    const std::string response = std::string("HTTP/1.0 ") + (body.empty() ? "404 Not Found" : "200 OK") +
                                 "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
                                 "\r\n\r\n" + body;
    send(client, response.data(), response.size(), MSG_NOSIGNAL);  // a blocking socket takes it all
    close(client);
  }

  std::string root_;
  int fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// What the check page found in the report whose main page is `page` in `dir` ("key=value" lines).
std::map<std::string, std::string> CheckInChromium(const TempDir& dir, const std::string& page) {
  dir.Write("check.html", test_support::ReadWholeFile(std::string(VISTRAM_TEST_DATA_DIR) + "/html/browser_check.html"));
  LoopbackServer server(dir.path());
  EXPECT_GT(server.port(), 0);
  const std::string command =
      "chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking "
      "--disable-component-update --user-data-dir='" + (dir / "profile") + "' --virtual-time-budget=20000 "
      "--dump-dom 'http://127.0.0.1:" + std::to_string(server.port()) + "/check.html?" + page + "' 2>/dev/null";
  std::string dom;
  char buffer[4096];
  std::FILE* pipe = popen(command.c_str(), "r");
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) dom.append(buffer, n);
  pclose(pipe);
  const auto from = dom.find("<pre id=\"out\">"), to = dom.find("</pre>");
  std::string text = from < to && to != std::string::npos ? dom.substr(from + 14, to - from - 14) : "";
  for (auto [entity, c] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})  // &amp; last
    for (auto at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1)) text.replace(at, std::strlen(entity), c);
  std::map<std::string, std::string> found;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) found[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
  return found;
}

bool HaveChromium() { return access("/usr/bin/chromium", X_OK) == 0; }

}  // namespace

TEST(HtmlBrowserTest, FramesLoadAndTheListLinksToTheAlignments) {
  if (!HaveChromium()) GTEST_SKIP() << "chromium is not installed";
  TempDir dir;
  DataProgram dp;
  const std::string longLine(130, 'K');  // six alignments of these fill more than the frame
  AddHit(dp, "SP|P1|A", "FIRST", "http://example.org/entry?id=P1", {{longLine, 0}, {longLine, 0}});
  AddHit(dp, "SP|P2|B", "SECOND", "", {{longLine, 0}});
  AddHit(dp, "SP|P3|C", "THIRD", "", {{longLine, 0}, {longLine, 0}, {longLine, 0}});
  ASSERT_TRUE(PrepHTMLsave(dp, dir / "report.vist", 0, TestSource()));
  auto found = CheckInChromium(dir, "report_main.html");
  EXPECT_EQ(found["frames"], "header:Header|list:Summary List|ali:Alignment List");
  EXPECT_EQ(found["title"], "W-Vistram - results of report");
  EXPECT_EQ(found["anchors"], "ALI1=1,ALI2=1,ALI3=1");
  // The last click, on hit 3's number, scrolled the alignment frame to its anchor.
  EXPECT_EQ(found["hash"], "#ALI3");
  EXPECT_EQ(found["scrolled"], "true");
}

TEST(HtmlBrowserTest, AHostileReportRunsNoScriptAndStaysInItsCells) {
  if (!HaveChromium()) GTEST_SKIP() << "chromium is not installed";
  TempDir dir;
  DataProgram dp;
  const std::string hostileId = "X<script>top.pwned=1</script>";
  const std::string hostileDescription =
      "D\"><img src=x onerror=\"top.pwned=2\"><b>'</TD></TABLE><script>top.pwned=3</script>";
  AddHit(dp, hostileId, hostileDescription, "javascript:top.pwned=4", {{"MKV<script>top.pwned=5</script>", 0}});
  AddHit(dp, "Y", "QUOTE IN LINK", "http://example.org/\"onclick=\"top.pwned=6", {{"MKVL", 0}});
  (*dp.hits)[0]->alignments[0]->statsText = "</TD></TR></TABLE><script>top.pwned=7</script>";
  (*dp.hits)[0]->scoreText = "<svg onload=top.pwned=8>";
  ASSERT_TRUE(PrepHTMLsave(dp, dir / "evil.vist", 0, TestSource()));
  auto found = CheckInChromium(dir, "evil_main.html");
  ASSERT_EQ(found["frames"], "header:Header|list:Summary List|ali:Alignment List");
  EXPECT_EQ(found["pwned"], "undefined");  // after every link was clicked
  EXPECT_EQ(found["active"], "0");
  // One table per hit with its six cells; the texts read back exactly as the report gave them.
  EXPECT_EQ(found["cells"], "2:12");
  EXPECT_EQ(found["texts"], hostileId + "~~" + hostileDescription + " (120 aa)");
  // Only the web address became a link; its quote stayed inside the address.
  EXPECT_EQ(found["protocols"], "http:");
  EXPECT_EQ(found["blank"], "http://example.org/%22onclick=%22top.pwned=6");
}
