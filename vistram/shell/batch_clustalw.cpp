// vistram --clustalw FASTAFILE -o OUT.msf [--config FILE]: a ClustalW request
// made from the ClustalW configuration's defaults for the sequences of
// FASTAFILE (sent as the sheet sends the text typed into it), through the
// web helper; the answer, once it is an MSF file, is written to OUT.msf.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "vistram/editor/msa_open.h"
#include "vistram/platform/messages.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/shell/batch_commands.h"
#include "vistram/shell/batch_web.h"
#include "vistram/web/clustal_request.h"
#include "vistram/web/request_config.h"
#include "vistram/web/request_file.h"
#include "vistram/web/request_launch.h"

namespace {
// The sheet takes what fits in its field; a FASTA file of sequences to align
// is far smaller than this.
constexpr std::size_t kMaxSequencesText = 4u << 20;

bool ReadText(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  text = s.str();
  return !in.bad() && text.size() >= 2 && text.size() <= kMaxSequencesText &&
         text.find('\0') == std::string::npos && text.find('>') != std::string::npos;
}

int SendClustal(const WebBatchArguments& args, std::string& response) {
  const std::string clustal = ReadConfigFileSetting(args.config, "CLUSTAL");
  CLUSTAL_DATA data;
  data.clustalConfigPath = clustal;
  data.configPath = args.config;
  if (clustal.empty() || !GlobalInitCluPage2(nullptr, data)) {
    std::fprintf(stderr, "The ClustalW configuration file named in %s cannot be used.\n", args.config.c_str());
    return 1;
  }
  if (!ReadText(args.input, data.sequences)) {
    MyTxtErrMsgBox(IDS_CAPTION, IDS_CANNOT_READ_FILE, nullptr, args.input);
    return 1;
  }
  std::string server, requestPath, postFile, cacheDir;
  if (!CreateClustalRequest(nullptr, data, server, requestPath, postFile, cacheDir)) {
    std::fprintf(stderr, "The ClustalW request could not be written (server, request path or cache folder).\n");
    return 1;
  }
  PreparedRequest request;
  if (PrepareRequest(nullptr, server, requestPath, postFile, cacheDir, kExtensionMsf, kActionOpenMsf, "POST",
                     args.config, CurrentPlatform().ProgramPath(), request) == 0)
    return 1;
  return RunRequestNow(request, response) == 1 ? 0 : 1;
}
}  // namespace

int RunClustalwBatch(int argc, char** argv) {
  WebBatchArguments args;
  RecordingPlatform platform;
  platform.SetEchoToStderr(true);
  SetCurrentPlatform(&platform);
  const bool parsed = ParseWebBatchArguments(argc, argv, args);
  std::string response;
  int result = parsed ? SendClustal(args, response) : 2;
  if (result == 0 && (response.empty() || !std::ifstream(response))) {
    MyTxtErrMsgBox(IDS_CAPTION, IDS_CANNOT_READ_FILE, nullptr, response);
    result = 1;
  }
  // The answer is checked by the editor's MSF reader, as the window would open it.
  if (result == 0)
    result = DeliverWebAnswer(response, args.output, [&args](const std::string& path) {
      return LoadMsfFile(nullptr, path, args.config) != nullptr;
    });
  SetCurrentPlatform(nullptr);
  return result;
}
