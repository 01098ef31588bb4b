#include "vistweb/request.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr int kPieceBuffer = 255;  // fgets keeps 254 characters and the terminator

// The text after `mark` in `line`, cut to `limit` characters.
std::string After(const char* line, const char* mark, std::size_t limit) {
  const char* at = std::strstr(line, mark);
  if (at == nullptr) return {};
  std::string value(at + std::strlen(mark));
  if (value.size() > limit) value.resize(limit);
  return value;
}

void DropLineEnd(char* line) {
  std::size_t n = std::strlen(line);
  while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r')) line[--n] = '\0';
}

// The value after the first '=' of a line that holds `key`.
bool KeyValue(const char* line, const char* key, std::string& value) {
  if (std::strstr(line, key) == nullptr) return false;
  value = After(line, "=", 511);
  return true;
}

}  // namespace

bool ReadRequestFile(const std::string& path, WebRequest& request) {
  request = WebRequest{};
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "r"), std::fclose);
  if (!file) return false;
  char line[kPieceBuffer + 1];
  while (std::fgets(line, kPieceBuffer, file.get()) != nullptr) {
    DropLineEnd(line);
    if (std::strstr(line, "ServerName=") != nullptr) {
      const char* slashes = std::strstr(line, "//");
      const char* value = std::strchr(line, '=') + 1;
      request.host = slashes != nullptr ? After(line, "//", 255) : std::string();
      request.scheme = slashes != nullptr && slashes >= value ? std::string(value, slashes) : std::string();
    }
    KeyValue(line, "Method=", request.methodLine);
    KeyValue(line, "FilePostName=", request.postPath);
    KeyValue(line, "FileNameResponse=", request.responsePath);
    KeyValue(line, "CallBack=", request.callback);
  }
  return true;
}

Endpoint ParseEndpoint(const std::string& scheme, const std::string& host) {
  Endpoint endpoint;
  std::string lowerScheme;
  for (char c : scheme) lowerScheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lowerScheme == "https:") {
    endpoint.kind = Endpoint::Https;
    endpoint.port = 443;
  } else if (lowerScheme == "local:") {
    endpoint.kind = Endpoint::Local;
    endpoint.port = 0;
  }
  std::string name = host.substr(0, host.find('/'));
  std::size_t colon = name.find(':');
  if (colon != std::string::npos) {
    std::string digits = name.substr(colon + 1);
    name.resize(colon);
    if (digits.empty() || digits.size() > 5 || endpoint.kind == Endpoint::Local) return endpoint;
    long port = 0;
    for (char c : digits) {
      if (!std::isdigit(static_cast<unsigned char>(c))) return endpoint;
      port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) return endpoint;
    endpoint.port = static_cast<unsigned short>(port);
  }
  endpoint.name = name;
  endpoint.valid = !name.empty();
  return endpoint;
}
