#include "vistram/web/request_file.h"

#include <cstdio>

namespace {
std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }
}  // namespace

std::string FormatRequestFile(const RequestFields& f) {
  for (const std::string* v : {&f.jobNumber, &f.serverName, &f.action, &f.method, &f.requestPath, &f.postFile,
                               &f.responseFile, &f.callBack})
    if (HasLineBreak(*v)) return {};
  std::string out = "[REQUEST_INFO]\n";
  auto line = [&out](std::string_view key, std::string_view value) {
    out.append(key);
    out.push_back('=');
    out.append(value);
    out.push_back('\n');
  };
  line(kKeyJobNumber, f.jobNumber);
  line(kKeyServerName, Lower(f.serverName));
  line(kKeyAction, f.action);
  line(kKeyMethod, f.method + " " + f.requestPath);
  line(kKeyFilePostName, f.postFile);
  line(kKeyFileNameResponse, f.responseFile);
  line(kKeyCallBack, f.callBack);
  out.append("\n\n");
  return out;
}

bool FindRequestValue(std::string_view text, std::string_view key, std::string& value, std::size_t maxLength) {
  const std::string pattern = std::string(key) + "=";
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find(pattern) != std::string_view::npos) {
      line.remove_prefix(line.find('=') + 1);
      value.assign(line.substr(0, maxLength));
      return true;
    }
    begin = end + 1;
  }
  return false;
}

bool ReadRequestAnswer(const std::string& requestPath, std::string& responseFile, std::string& postFile) {
  responseFile.clear();
  postFile.clear();
  std::FILE* f = std::fopen(requestPath.c_str(), "rb");
  if (f == nullptr) return false;
  std::string text;
  char buffer[4096];
  std::size_t n = 0;
  bool ok = true;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
    text.append(buffer, n);
    // A request file is a few hundred bytes; anything much larger is not one.
    if (text.size() > (1u << 20)) {
      ok = false;
      break;
    }
  }
  if (std::ferror(f) != 0) ok = false;
  std::fclose(f);
  if (!ok) return false;
  FindRequestValue(text, kKeyFileNameResponse, responseFile);
  FindRequestValue(text, kKeyFilePostName, postFile);
  return true;
}
