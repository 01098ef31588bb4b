#include "vistweb/ncbi_polling.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "vistweb/files.h"
#include "vistweb/form_body.h"
#include "vistweb/http_answer.h"
#include "vistweb/http_exchange.h"

namespace {

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

FilePtr OpenForReading(const std::string& path) { return FilePtr(std::fopen(path.c_str(), "rb"), std::fclose); }

// A note for the workbench in place of a report; its first line starts with
// "VistWeb:" so that it can be told from any answer of a server.
void WriteNote(const std::string& path, const std::string& text) { ReplaceFile(path, "VistWeb: " + text + "\n"); }

// The report of a text answer of the URL API, without the QBlastInfo
// comment and the <PRE> wrapper the server may put around it.
std::string PlainReport(std::string page) {
  std::size_t info = page.find("QBlastInfoEnd");
  if (info != std::string::npos) {
    std::size_t close = page.find("-->", info);
    if (close != std::string::npos) page.erase(0, close + 3);
  }
  std::size_t pre = page.find("<PRE>");
  if (pre != std::string::npos && page.find_first_not_of(" \t\r\n<p>", 0) >= pre) page.erase(0, pre + 5);
  std::size_t endPre = page.rfind("</PRE>");
  if (endPre != std::string::npos) page.resize(endPre);
  std::size_t first = page.find_first_not_of("\r\n");
  return first == std::string::npos ? std::string() : page.substr(first);
}

int PollSeconds(const HelperSettings& settings, int paceOfServer) {
  return settings.pollInterval > 0 ? settings.pollInterval : paceOfServer;
}

// The old form pages: poll with the RID until the page is no "please wait".
void PollOldForm(Progress& progress, const Endpoint& endpoint, const std::string& methodLine,
                 std::string_view body, const std::string& responsePath, const std::string& rid,
                 const HelperSettings& settings, const RunClock& clock) {
  const std::string query = PollQuery(rid, ReadDescriptionsNumber(body), ReadAlignmentsNumber(body));
  // A poll goes out when more than five whole seconds have passed.
  const int interval = PollSeconds(settings, 6);
  while (StillWaiting(responsePath)) {
    if (!WaitSeconds(progress, clock, interval)) return;
    HttpExchange(progress, endpoint, methodLine, query, responsePath, clock);
    progress.SetLine("Requesting results...");
  }
}

// Today's URL API: SearchInfo until READY, then the report as text.
void PollUrlApi(Progress& progress, const Endpoint& endpoint, const std::string& methodLine,
                std::string_view body, const std::string& responsePath, const QBlastInfo& put,
                const HelperSettings& settings, const RunClock& clock) {
  const std::string tool = WithToolAndEmail("", settings.email);
  const int interval = PollSeconds(settings, 60);
  const std::string rid = PercentEncode(put.rid);
  while (true) {
    if (!WaitSeconds(progress, clock, interval)) {
      WriteNote(responsePath, "no result from " + endpoint.name + " within " + std::to_string(clock.LimitSeconds()) +
                                  " seconds (search " + put.rid + ").");
      return;
    }
    HttpExchange(progress, endpoint, methodLine, "CMD=Get&FORMAT_OBJECT=SearchInfo&RID=" + rid + tool,
                 responsePath, clock);
    progress.SetLine("Requesting results...");
    std::string status = ReadQBlastInfo(AnswerPage(ReadWholeFile(responsePath))).status;
    if (status == "READY") break;
    if (status == "FAILED" || status == "UNKNOWN") {
      WriteNote(responsePath, "the BLAST server " + endpoint.name + " reports the search " + put.rid + " as " +
                                  status + (status == "UNKNOWN" ? " (expired or never known)." : "."));
      return;
    }
  }
  std::string fetch = "CMD=Get&FORMAT_TYPE=Text&RID=" + rid +
                      "&DESCRIPTIONS=" + std::to_string(ReadDescriptionsNumber(body)) +
                      "&ALIGNMENTS=" + std::to_string(ReadAlignmentsNumber(body)) + tool;
  std::string page;
  HttpAnswer answer(&page);
  if (HttpExchange(progress, endpoint, methodLine, fetch, responsePath, clock) == ExchangeEnd::Complete)
    answer.Feed(ReadWholeFile(responsePath));
  if (answer.Status() != 200) {
    WriteNote(responsePath, "the report of search " + put.rid + " could not be read from " + endpoint.name + ".");
    return;
  }
  ReplaceFile(responsePath, PlainReport(page));
}

}  // namespace

std::string ExtractRid(const std::string& responsePath) {
  FilePtr file = OpenForReading(responsePath);
  if (!file) return {};
  char line[256];
  while (std::fgets(line, 255, file.get()) != nullptr) {
    const char* value = std::strstr(line, "VALUE=");
    if (std::strstr(line, "NAME=\"RID\"") == nullptr || value == nullptr) continue;
    if (std::strlen(value) < 7) continue;
    const char* start = value + 7;
    const char* quote = std::strchr(start, '"');
    if (quote == nullptr) continue;
    std::string rid(start, quote);
    if (rid.size() > 49) rid.resize(49);
    return rid;
  }
  return {};
}

bool StillWaiting(const std::string& responsePath) {
  FilePtr file = OpenForReading(responsePath);
  if (!file) return false;
  char line[256];
  while (std::fgets(line, 255, file.get()) != nullptr)
    if (std::strstr(line, "HTTP-EQUIV") != nullptr) return true;
  return false;
}

std::string PollQuery(const std::string& rid, int descriptions, int alignments) {
  return "RID=" + rid + "&DESCRIPTIONS=" + std::to_string(descriptions) + "&ALIGNMENTS=" +
         std::to_string(alignments) + "&ALIGNMENT_VIEW=0&&HTML=on&OVERVIEW=on&REFRESH_DELAY=4";
}

QBlastInfo ReadQBlastInfo(std::string_view page) {
  QBlastInfo info;
  std::size_t begin = page.find("QBlastInfoBegin");
  if (begin == std::string_view::npos) return info;
  std::size_t end = page.find("QBlastInfoEnd", begin);
  std::string_view block = page.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
  info.present = true;
  std::size_t pos = 0;
  while (pos < block.size()) {
    std::size_t eol = block.find('\n', pos);
    std::string_view line = block.substr(pos, eol == std::string_view::npos ? std::string_view::npos : eol - pos);
    pos = eol == std::string_view::npos ? block.size() : eol + 1;
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    auto trim = [](std::string_view t) {
      while (!t.empty() && std::strchr(" \t\r", t.front()) != nullptr) t.remove_prefix(1);
      while (!t.empty() && std::strchr(" \t\r", t.back()) != nullptr) t.remove_suffix(1);
      return std::string(t);
    };
    std::string key = trim(line.substr(0, eq));
    std::string value = trim(line.substr(eq + 1));
    if (key == "RID") info.rid = value.substr(0, 49);
    else if (key == "Status") info.status = value;
  }
  return info;
}

std::string WithToolAndEmail(std::string_view body, const std::string& email) {
  std::string out(body);
  if (!ContainsNoCase(body, "tool=")) out += "&tool=vistweb";
  if (!email.empty() && !ContainsNoCase(body, "email=")) out += "&email=" + PercentEncode(email);
  return out;
}

void RunNcbiSequence(Progress& progress, const Endpoint& endpoint, const std::string& methodLine,
                     std::string_view body, const std::string& responsePath, const HelperSettings& settings,
                     const RunClock& clock) {
  const bool urlApi = ContainsNoCase(body, "CMD=Put");
  const std::string sent = urlApi ? WithToolAndEmail(body, settings.email) : std::string(body);
  HttpExchange(progress, endpoint, methodLine, sent, responsePath, clock);
  QBlastInfo put = ReadQBlastInfo(AnswerPage(ReadWholeFile(responsePath)));
  if (put.present && !put.rid.empty()) {
    PollUrlApi(progress, endpoint, methodLine, body, responsePath, put, settings, clock);
    return;
  }
  std::string rid = ExtractRid(responsePath);
  if (rid.empty()) return;
  PollOldForm(progress, endpoint, methodLine, body, responsePath, rid, settings, clock);
}
