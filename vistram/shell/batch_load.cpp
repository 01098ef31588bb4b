#include "vistram/shell/batch_load.h"

#include "vistram/platform/recording_platform.h"
#include "vistram/results/load_flow.h"

int LoadReportForBatch(DataProgram& dp, const std::string& path) {
  RecordingPlatform platform;
  platform.SetEchoToStderr(true);
  SetCurrentPlatform(&platform);
  BatchResultView view;
  SetPendingFilePath(path);
  int ok = 0;
  if (StartLoad(dp, view) == kLoadStarted) {
    WaitForLoadThread();
    OnLoadDone(dp, view, view.ready(), view.fromTables());
    ok = view.ready() != 0 ? 1 : 0;
  }
  SetCurrentPlatform(nullptr);
  return ok;
}
