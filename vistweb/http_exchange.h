// One HTTP/1.0 exchange: connect, send the header block and the body, and
// store the answer, exactly as received, in the response file.
#pragma once
#include <string>
#include <string_view>

#include "vistweb/progress.h"
#include "vistweb/request.h"

enum class ExchangeEnd {
  NoConnection,   // nothing written; the response file is untouched
  NoFile,         // the response file could not be made; the answer was dropped
  Complete,       // the whole answer arrived (its length, its last chunk, or the close)
  Cut,            // a read or write failed, or the run's time ran out: the answer so far is stored
};

// Performs one exchange with `endpoint` (HTTP or HTTPS): the header block,
// one write per line ending in a single line feed ("POST /path HTTP/1.0",
// "Host: name" for HTTPS only, "User-Agent: VistWeb", "Connection:
// Keep-Alive", the content type, "Content-Length: N" and the empty line),
// then the body. The progress line
// shows "Connecting server...", "Sending request...", "Reading %d bytes.".
// Each single wait lasts at most 300 seconds and every wait ends with the run.
ExchangeEnd HttpExchange(Progress& progress, const Endpoint& endpoint, const std::string& methodLine,
                         std::string_view body, const std::string& responsePath, const RunClock& clock);
