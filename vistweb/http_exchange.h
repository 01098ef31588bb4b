// One HTTP/1.0 exchange: connect, send the header block and the body, and
// store the answer, exactly as received, in the response file.
#pragma once
#include <string>
#include <string_view>

#include "vistweb/progress.h"
#include "vistweb/request.h"

// The header block sent before the body. Each line ends with a single line
// feed; an empty line ends the block. `hostLine` (the HTTPS exchanges send
// the server's name) goes after the method line when not empty.
std::string RequestHead(const std::string& methodLine, std::size_t bodyLength, const std::string& hostLine = {});

enum class ExchangeEnd {
  NoConnection,   // nothing written; the response file is untouched
  NoFile,         // the response file could not be made; the answer was dropped
  Complete,       // the whole answer arrived (its length, its last chunk, or the close)
  Cut,            // a read or write failed, or the run's time ran out: the answer so far is stored
};

// Performs one exchange with `endpoint` (HTTP or HTTPS). The progress line
// shows "Connecting server...", "Sending request...", "Reading %d bytes.".
// Each single wait lasts at most 300 seconds and every wait ends with the run.
ExchangeEnd HttpExchange(Progress& progress, const Endpoint& endpoint, const std::string& methodLine,
                         std::string_view body, const std::string& responsePath, const RunClock& clock);
