#include "vistram/web/clustal_request.h"

#include "vistram/base/profile.h"
#include "vistram/web/form_encoding.h"
#include "vistram/web/request_config.h"
#include "vistram/web/request_file.h"
#include "vistram/web/request_launch.h"

namespace {
ProfileFile LoadClustalConfig(const CLUSTAL_DATA& data) {
  ProfileFile file;
  file.Load(data.clustalConfigPath);
  return file;
}

// A form field name: at most 38 characters, "NOT_USE" when missing.
std::string Field(const ProfileFile& file, std::string_view key) {
  return file.GetString(kClustalSection, key, "NOT_USE", 39);
}

// SERVER_CLU or REQUEST_CLU; empty when missing.
std::string Address(const ProfileFile& file, std::string_view key, std::string_view missing) {
  const std::string value = file.GetString(kClustalSection, key, missing, 500);
  return Holds(value, missing) ? std::string() : value;
}
}  // namespace

void ResetClustalValues(CLUSTAL_DATA& data) { data = CLUSTAL_DATA{}; }

std::string ClustalServer(const CLUSTAL_DATA& data) {
  return Address(LoadClustalConfig(data), "SERVER_CLU", "NO_SERVER_NAME");
}

bool GlobalInitCluPage2(WindowHandle owner, CLUSTAL_DATA& data) {
  (void)owner;
  const ProfileFile cfg = LoadClustalConfig(data);
  for (const ClustalList& l : kClustalLists) {
    const std::string list = ReadListOfChoices(cfg, kClustalSection, l.list);
    if (Holds(list, "NOT_USE")) continue;
    if (!ChoiceAt(list, ReadDefChoice(cfg, kClustalSection, l.def), data.*l.value)) return false;
  }
  const std::string open = cfg.GetString(kClustalSection, "GOPEN_VAL", "NOT_USE", 1000);
  if (!Holds(open, "NOT_USE")) data.gapOpen = Cut(open, 20);
  const std::string ext = cfg.GetString(kClustalSection, "GEXT_VAL", "NOT_USE", 1000);
  if (!Holds(ext, "NOT_USE")) data.gapExtension = Cut(ext, 20);
  return true;
}

std::string BuildClustalPost(const CLUSTAL_DATA& data, std::string_view requestPath, std::string_view encoded) {
  const ProfileFile cfg = LoadClustalConfig(data);
  const std::pair<const char*, std::string_view> fields[] = {
      {"OUTO_FIELD", data.outputOrder}, {"QT_FIELD", data.guideTree},      {"MATRIX_FIELD", data.matrix},
      {"GOPEN_FIELD", data.gapOpen},    {"GEXT_FIELD", data.gapExtension}, {"SEQ_FIELD", encoded},
  };
  std::string body;
  for (const auto& [key, value] : fields) {
    if (!body.empty()) body += '&';
    body += Field(cfg, key);
    body += '=';
    body += value;
  }
  std::string post = "POST ";
  post += requestPath;
  post += " HTTP/1.0|User-Agent: Netscape/4.0|Content-type: application/x-www-form-urlencoded|Content-length:";
  post += std::to_string(body.size());
  post += "||";
  post += body;
  return post;
}

bool WriteCluReqFile(WindowHandle owner, const CLUSTAL_DATA& data, const std::string& cacheDir,
                     const std::string& requestPath, std::string_view encoded, std::string& postFile) {
  (void)owner;
  return WritePostFile(cacheDir, BuildClustalPost(data, requestPath, encoded), postFile);
}

bool CreateClustalRequest(WindowHandle owner, CLUSTAL_DATA& data, std::string& server, std::string& requestPath,
                          std::string& postFile, std::string& cacheDir) {
  server.clear();
  requestPath.clear();
  postFile.clear();
  cacheDir.clear();
  if (data.sequences.empty()) return false;
  const ProfileFile cfg = LoadClustalConfig(data);
  const std::string s = Address(cfg, "SERVER_CLU", "NO_SERVER_NAME");
  const std::string r = Address(cfg, "REQUEST_CLU", "NO_REQUEST_NAME");
  if (s.empty() || r.empty()) return false;
  const std::string encoded = ConvertToMimeName(data.sequences);
  const std::string dir = CacheDirectory(data.configPath);
  if (!WriteCluReqFile(owner, data, dir, r, encoded, postFile)) return false;
  server = s;
  requestPath = r;
  cacheDir = dir;
  return true;
}

int Apply_Clu_Method(WindowHandle owner, CLUSTAL_DATA& data) {
  const std::string callBack = CurrentPlatform().ProgramPath();
  std::string server, requestPath, postFile, cacheDir;
  int sent = 0;
  if (CreateClustalRequest(owner, data, server, requestPath, postFile, cacheDir))
    sent = LanceRequete(owner, server, requestPath, postFile, cacheDir, kExtensionMsf, kActionOpenMsf, "POST",
                        data.configPath, callBack);
  ResetClustalValues(data);
  return sent;
}
