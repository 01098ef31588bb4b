// vistram --blast2 SEQFILE -o REPORT [--config FILE]: a BLAST-2 request made
// from the BLAST-2 configuration's defaults, as the sheet would make it for
// the sequence of SEQFILE, sent through the web helper; the answer, once it
// loads as a report, is written to REPORT.
#include <cstdio>

#include "vistram/platform/messages.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/records.h"
#include "vistram/seqio/sequence_file.h"
#include "vistram/shell/batch_commands.h"
#include "vistram/shell/batch_load.h"
#include "vistram/shell/batch_web.h"
#include "vistram/web/blast2_request.h"
#include "vistram/web/request_config.h"
#include "vistram/web/request_file.h"
#include "vistram/web/request_launch.h"

namespace {
int SendBlast2(const WebBatchArguments& args, std::string& response) {
  const std::string blast2 = ReadConfigFileSetting(args.config, kBlast2Section);
  if (blast2.empty()) {
    MyErrMsgBox(IDS_CAPTION, IDS_BLAST2_CONFIG_NOT_FOUND, nullptr);
    return 1;
  }
  std::string name;
  SequenceText sequence = LireSequence(args.input, name);
  if (!sequence) {
    MyTxtErrMsgBox(IDS_CAPTION, IDS_CANNOT_READ_FILE, nullptr, args.input);
    return 1;
  }
  BLAST_DATA data;
  data.blast2ConfigPath = blast2;
  data.configPath = args.config;
  if (!GlobalInitPage1(nullptr, data) || !GlobalInitPage3(nullptr, data)) return 1;
  ApplyPageDefaults(data);
  data.sequence = sequence.get();
  if (name.size() > 1) data.title = std::string(">").append(name, 0, 27);
  std::string server, requestPath, postFile, cacheDir;
  if (!CreateBlast2Request(nullptr, data, server, requestPath, postFile, cacheDir)) return 1;
  PreparedRequest request;
  if (PrepareRequest(nullptr, server, requestPath, postFile, cacheDir, kExtensionBlast, kActionOpenBlast, "POST",
                     args.config, CurrentPlatform().ProgramPath(), request) == 0)
    return 1;
  return RunRequestNow(request, response) == 1 ? 0 : 1;
}
}  // namespace

int RunBlast2Batch(int argc, char** argv) {
  WebBatchArguments args;
  RecordingPlatform platform;
  platform.SetEchoToStderr(true);
  SetCurrentPlatform(&platform);
  const bool parsed = ParseWebBatchArguments(argc, argv, args);
  std::string response;
  const int sent = parsed ? SendBlast2(args, response) : 2;
  SetCurrentPlatform(nullptr);
  if (sent != 0) return sent;
  return DeliverWebAnswer(response, args.output, [](const std::string& path) {
    DataProgram dp;
    const bool loaded = LoadReportForBatch(dp, path) == 1;
    FreeDataTable(dp);
    return loaded;
  });
}
