// A local HTTP server that answers efetch requests as NCBI E-utilities does,
// for the tests of libseqfetch and of the download dialog. It listens on
// 127.0.0.1 on a port the system chooses and serves one connection at a time
// on its own thread. Point the library at it with
//   setenv("VISTRAM_EUTILS_BASE", server.BaseUrl().c_str(), 1);
//
// Answers by identifier:
//   an entry added with AddEntry(db, id, fasta): 200 with that FASTA text;
//   "SLOW": accepts the request and never answers (the client's time-out);
//   "BROKEN": 503 with an HTML error page;
//   "HTMLPAGE": 200 with an HTML page instead of FASTA;
//   "HUGE": 200 with a FASTA text of 8 MiB that never ends in time;
//   anything else: 200 with "Error: F a i l e d  t o  u n d e r s t a n d ...",
//   as E-utilities answers an identifier it cannot find.
#pragma once
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class EutilsTestServer {
 public:
  struct Request {
    std::string target;  // as sent: path and query
    std::string db;      // decoded query parameters
    std::string id;
  };

  EutilsTestServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener_, 8) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len) != 0 ||
        ::pipe2(wake_, O_CLOEXEC) != 0) {
      return;
    }
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~EutilsTestServer() {
    stop_ = true;
    if (wake_[1] >= 0) (void)!::write(wake_[1], "x", 1);
    if (thread_.joinable()) thread_.join();
    for (int fd : {listener_, wake_[0], wake_[1]}) {
      if (fd >= 0) ::close(fd);
    }
  }
  EutilsTestServer(const EutilsTestServer&) = delete;
  EutilsTestServer& operator=(const EutilsTestServer&) = delete;

  bool Running() const { return port_ != 0; }
  std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_) + "/entrez/eutils/"; }

  void AddEntry(const std::string& db, const std::string& id, const std::string& fasta) {
    std::lock_guard lock(mutex_);
    entries_[{db, id}] = fasta;
  }
  std::vector<Request> Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  static std::string Decode(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
      if (s[i] == '+') {
        out += ' ';
      } else if (s[i] == '%' && i + 2 < s.size()) {
        out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        out += s[i];
      }
    }
    return out;
  }

  static Request Parse(const std::string& head) {
    Request r;
    std::size_t sp1 = head.find(' ');
    std::size_t sp2 = head.find(' ', sp1 + 1);
    if (sp1 == std::string::npos || sp2 == std::string::npos) return r;
    r.target = head.substr(sp1 + 1, sp2 - sp1 - 1);
    std::size_t q = r.target.find('?');
    std::string query = q == std::string::npos ? std::string() : r.target.substr(q + 1);
    std::size_t start = 0;
    while (start <= query.size()) {
      std::size_t amp = query.find('&', start);
      std::string pair = query.substr(start, amp == std::string::npos ? std::string::npos : amp - start);
      std::size_t eq = pair.find('=');
      if (eq != std::string::npos) {
        std::string key = pair.substr(0, eq);
        if (key == "db") r.db = Decode(pair.substr(eq + 1));
        if (key == "id") r.id = Decode(pair.substr(eq + 1));
      }
      if (amp == std::string::npos) break;
      start = amp + 1;
    }
    return r;
  }

  // Waits until `fd` is readable or the server stops; false when stopping.
  bool WaitReadable(int fd) {
    while (!stop_) {
      pollfd fds[2] = {{fd, POLLIN, 0}, {wake_[0], POLLIN, 0}};
      int n = ::poll(fds, 2, 200);
      if (n > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) return true;
    }
    return false;
  }

  static void SendAll(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
      ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return;
      sent += static_cast<std::size_t>(n);
    }
  }

  static void Answer(int fd, int code, const char* reason, const char* type, const std::string& body) {
    SendAll(fd, "HTTP/1.1 " + std::to_string(code) + " " + reason + "\r\nContent-Type: " + type +
                    "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
  }

  void Serve(int fd) {
    std::string head;
    char buf[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
      if (!WaitReadable(fd)) return;
      ssize_t n = ::recv(fd, buf, sizeof buf, 0);
      if (n <= 0) return;
      head.append(buf, static_cast<std::size_t>(n));
    }
    Request r = Parse(head);
    std::string fasta;
    bool known = false;
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(r);
      auto it = entries_.find({r.db, r.id});
      if (it != entries_.end()) {
        known = true;
        fasta = it->second;
      }
    }
    if (known) {
      Answer(fd, 200, "OK", "text/plain", fasta);
    } else if (r.id == "SLOW") {
      // Never answers: waits until the client gives up (or the server stops).
      while (WaitReadable(fd) && ::recv(fd, buf, sizeof buf, 0) > 0) {
      }
    } else if (r.id == "BROKEN") {
      Answer(fd, 503, "Service Unavailable", "text/html",
             "<html><head><title>503 Service Unavailable</title></head><body><h1>Service Unavailable</h1>"
             "</body></html>\n");
    } else if (r.id == "HTMLPAGE") {
      Answer(fd, 200, "OK", "text/html", "<!DOCTYPE html><html><body>Unable to route request!</body></html>\n");
    } else if (r.id == "HUGE") {
      std::string line(79, 'A');
      line += '\n';
      SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n>HUGE\n");
      for (int i = 0; i < (8 << 20) / 80 && !stop_; ++i) SendAll(fd, line);
    } else if (r.id == "BIGHEADER") {
      // A 10 MB header line: no answer any server of the service gives.
      SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nX-Padding: ");
      const std::string chunk(65536, 'x');
      for (int i = 0; i < 160 && !stop_; ++i) SendAll(fd, chunk);
      SendAll(fd, "\r\nConnection: close\r\n\r\n>BIG\nMKVL\n");
    } else {
      std::string spaced;
      for (char c : "Failed to understand id: " + r.id) {
        spaced += c;
        spaced += ' ';
      }
      Answer(fd, 200, "OK", "text/plain", "Error: " + spaced + "\n\n\n");
    }
  }

  void Run() {
    while (!stop_) {
      if (!WaitReadable(listener_)) return;
      int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      Serve(fd);
      ::close(fd);
    }
  }

  int listener_ = -1;
  int wake_[2] = {-1, -1};
  unsigned short port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::map<std::pair<std::string, std::string>, std::string> entries_;
  std::vector<Request> requests_;
};
