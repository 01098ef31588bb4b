// The request file that the workbench writes for each web request, as the
// helper reads it: one "key=value" line per key, read in pieces of at most
// 254 characters (a longer line goes on as the next piece), a key recognised
// wherever it stands in a piece, and the last piece holding a key wins.
#pragma once
#include <string>

struct WebRequest {
  std::string scheme;        // text before the first "//" of the ServerName value ("http:")
  std::string host;          // text after that "//" (255 characters at most)
  std::string methodLine;    // "POST /path" (511 at most)
  std::string postPath;      // the file sent as the body (511 at most)
  std::string responsePath;  // the file the answer goes to (511 at most)
  std::string callback;      // the workbench program's path (511 at most)
};

// Reads `path` into `request`. False when the file cannot be opened (the
// request is then left empty).
bool ReadRequestFile(const std::string& path, WebRequest& request);

// Where a request goes, from the scheme and the host of the ServerName line.
struct Endpoint {
  enum Kind { Http, Https, Local } kind = Http;
  std::string name;          // host name (or the local program's name)
  unsigned short port = 80;  // 80 for http, 443 for https, or the ":port" given
  bool valid = false;        // false: empty host or a bad port
};

// "http://host", "http://host:8080", "https://host", "local://clustalw"; a
// path after the host ("/Blast.cgi") is ignored. Any other scheme is HTTP.
Endpoint ParseEndpoint(const std::string& scheme, const std::string& host);
