#include "vistweb/run.h"

#include <fstream>
#include <iterator>
#include <thread>

#include "vistweb/http_exchange.h"
#include "vistweb/local_run.h"
#include "vistweb/ncbi_polling.h"
#include "vistweb/request.h"
#include "vistweb/settings.h"
#include "vistweb/tls.h"

namespace {

// The whole post file; false when it is missing, empty or unreadable.
bool ReadPostFile(const std::string& path, std::string& body) {
  if (path.empty()) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  body.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad() && !body.empty();
}

}  // namespace

bool WaitSeconds(Progress& progress, const RunClock& clock, int seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (clock.Expired()) return false;
    progress.Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return !clock.Expired();
}

void RunVistWeb(const std::string& requestPath, Progress& progress) {
  WebRequest request;
  if (!ReadRequestFile(requestPath, request)) return;
  std::string body;
  if (!ReadPostFile(request.postPath, body)) return;
  const HelperSettings settings = LoadHelperSettings(HelperConfigPath(request.callback));
  const RunClock clock(settings.timeLimit);
  const Endpoint endpoint = ParseEndpoint(request.scheme, request.host);

  progress.ShowFirst("Connecting Web server...");
  if (endpoint.kind == Endpoint::Local) {
    RunLocalRequest(progress, endpoint.name, body, request.responsePath, settings, clock);
    return;
  }
  if (endpoint.kind == Endpoint::Https && !SetupTls(settings.caFile)) return;
  if (request.host.find("ncbi") != std::string::npos)
    RunNcbiSequence(progress, endpoint, request.methodLine, body, request.responsePath, settings, clock);
  else
    HttpExchange(progress, endpoint, request.methodLine, body, request.responsePath, clock);
}
