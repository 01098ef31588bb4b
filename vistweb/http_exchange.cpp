#include "vistweb/http_exchange.h"

#include <connect/ncbi_socket.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "vistram/base/safe_file.h"
#include "vistweb/http_answer.h"
#include "vistweb/tls.h"

namespace {

constexpr long kWaitMs = 300000;   // the connection time-out
constexpr long kSliceMs = 200;     // the window is redrawn between slices
constexpr std::size_t kReceiveBuffer = 8192;

STimeout Timeout(long ms) {
  STimeout t;
  t.sec = static_cast<unsigned int>(ms / 1000);
  t.usec = static_cast<unsigned int>((ms % 1000) * 1000);
  return t;
}

class Connection {
 public:
  ~Connection() {
    if (sock_ != nullptr) SOCK_Close(sock_);
  }
  bool Open(const Endpoint& endpoint, const RunClock& clock) {
    if (clock.Expired()) return false;
    STimeout wait = Timeout(std::min(kWaitMs, clock.RemainingMs()));
    TSOCK_Flags flags = fSOCK_LogDefault;
    if (endpoint.kind == Endpoint::Https) {
      SetTlsPeerName(endpoint.name);
      flags |= fSOCK_Secure;
    }
    if (SOCK_CreateEx(endpoint.name.c_str(), endpoint.port, &wait, &sock_, nullptr, 0, flags) != eIO_Success ||
        sock_ == nullptr)
      return false;
    SOCK_SetTimeout(sock_, eIO_Write, &wait);  // a server that reads nothing cannot hold the writes
    return true;
  }
  void Write(std::string_view data) {
    size_t written = 0;
    SOCK_Write(sock_, data.data(), data.size(), &written, eIO_WritePersist);
  }
  SOCK Get() const { return sock_; }

 private:
  SOCK sock_ = nullptr;
};

// The writes of the header block, in order: one per line, the Content-Length
// line together with the empty line that ends the block.
std::vector<std::string> HeadWrites(const std::string& methodLine, std::size_t bodyLength,
                                    const std::string& hostLine) {
  std::vector<std::string> writes{methodLine + " HTTP/1.0\n"};
  if (!hostLine.empty()) writes.push_back("Host: " + hostLine + "\n");
  writes.push_back("User-Agent: VistWeb\n");
  writes.push_back("Connection: Keep-Alive\n");
  writes.push_back("Content-type: application/x-www-form-urlencoded\n");
  writes.push_back("Content-Length: " + std::to_string(bodyLength) + "\n\n");
  return writes;
}

}  // namespace

ExchangeEnd HttpExchange(Progress& progress, const Endpoint& endpoint, const std::string& methodLine,
                         std::string_view body, const std::string& responsePath, const RunClock& clock) {
  progress.SetLine("Connecting server...");
  Connection connection;
  if (!endpoint.valid || endpoint.kind == Endpoint::Local || !connection.Open(endpoint, clock))
    return ExchangeEnd::NoConnection;

  progress.SetLine("Sending request...");
  // Each header line goes out with its own write, then the body.
  std::string host;
  if (endpoint.kind == Endpoint::Https)
    host = endpoint.port == 443 ? endpoint.name : endpoint.name + ":" + std::to_string(endpoint.port);
  for (const std::string& line : HeadWrites(methodLine, body.size(), host)) connection.Write(line);
  connection.Write(body);

  SafeFile response;
  if (!response.Open(responsePath)) return ExchangeEnd::NoFile;

  HttpAnswer answer;
  char buffer[kReceiveBuffer];
  long total = 0;
  bool cut = false;
  while (!answer.Complete()) {
    // A wait for data lasts 300 seconds and is then begun again, so the run's
    // limit is what ends a silent connection; the slices keep the window drawn.
    long slice = std::min(kSliceMs, clock.RemainingMs());
    if (slice <= 0) {
      cut = true;
      break;
    }
    STimeout wait = Timeout(slice);
    SOCK_SetTimeout(connection.Get(), eIO_Read, &wait);
    size_t got = 0;
    EIO_Status status = SOCK_Read(connection.Get(), buffer, sizeof buffer, &got, eIO_ReadPlain);
    if (got > 0) {
      total += static_cast<long>(got);
      char line[64];
      std::snprintf(line, sizeof line, "Reading %ld bytes.", total);
      progress.SetLine(line);
      if (std::fwrite(buffer, 1, got, response.Stream()) != got) {
        response.MarkFailed();
        break;
      }
      answer.Feed(std::string_view(buffer, got));
    } else if (status == eIO_Timeout) {
      progress.Pump();
    } else {
      cut = status != eIO_Closed;
      break;
    }
  }
  if (!response.Commit()) return ExchangeEnd::NoFile;
  return cut ? ExchangeEnd::Cut : ExchangeEnd::Complete;
}
