#include "vistram/editor/msa_batch.h"

#include "vistram/editor/msa_open.h"
#include "vistram/editor/msf.h"
#include "vistram/platform/messages.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/batch_result_view.h"
#include "vistram/results/load_flow.h"

namespace {

// Installs a recording platform for the call's life and restores the one before.
class ScopedRecording {
 public:
  ScopedRecording() : previous_(&CurrentPlatform()) { SetCurrentPlatform(&platform_); }
  ~ScopedRecording() { SetCurrentPlatform(previous_); }
  ScopedRecording(const ScopedRecording&) = delete;
  ScopedRecording& operator=(const ScopedRecording&) = delete;
  std::string LastMessage() const {
    const std::vector<RecordedMessage> messages = platform_.Messages();
    return messages.empty() ? std::string() : messages.back().text;
  }

 private:
  RecordingPlatform platform_;
  Platform* previous_;
};

void SelectForBatch(DataProgram& dp, bool firstAlignmentsOnly) {
  if (!dp.hits) return;
  for (auto& hit : *dp.hits) {
    for (std::size_t a = 0; a < hit->selected.size(); ++a) {
      hit->selected[a] = (!firstAlignmentsOnly || a == 0) ? 1 : hit->selected[a];
    }
  }
}

}  // namespace

int LoadMsaForBatch(const std::string& input, bool firstAlignmentsOnly, DarUvaData& msa, std::string& message) {
  ScopedRecording recording;
  message.clear();
  int rows = 0, columns = 0;
  if (AnalyseMSFHeader(input, rows, columns)) {
    std::unique_ptr<DarUvaData> read = LoadMsfFile(nullptr, input, std::string());
    if (!read) {
      message = recording.LastMessage();
      return 0;
    }
    msa = std::move(*read);
    return 1;
  }
  DataProgram dp;
  BatchResultView view;
  SetPendingFilePath(input);
  int loaded = 0;
  if (StartLoad(dp, view) == kLoadStarted) {
    WaitForLoadThread();
    OnLoadDone(dp, view, view.ready(), view.fromTables());
    loaded = view.ready();
  }
  if (!loaded || dp.tables.empty()) {
    message = recording.LastMessage();
    if (message.empty()) message = FormatTxtMessage(IDS_CANNOT_READ_FILE, input);
    FreeDataTable(dp);
    return 0;
  }
  SelectForBatch(dp, firstAlignmentsOnly);
  int result = 0;
  std::unique_ptr<DarUvaData> built = BuildMsaFromSelection(nullptr, dp, result);
  FreeDataTable(dp);
  if (!built) {
    message = result == 2 ? recording.LastMessage() : kMsgCannotLoadEditor;
    return 0;
  }
  msa = std::move(*built);
  return 1;
}
