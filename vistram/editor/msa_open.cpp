#include "vistram/editor/msa_open.h"

#include <new>

#include "vistram/editor/msf.h"
#include "vistram/results/records.h"

std::unique_ptr<DarUvaData> LoadMsfFile(WindowHandle owner, const std::string& path, const std::string& configPath) {
  int rows = 0, columns = 0;
  if (!AnalyseMSFHeader(path, rows, columns)) {
    CurrentPlatform().MessageBox(owner, kCaptionVistram, kMsgNotMsf, MsgIcon::Error, MsgButtons::Ok);
    return nullptr;
  }
  std::unique_ptr<DarUvaData> msa;
  try {
    msa = ReadMSFforSeq(path, rows, columns, configPath);
  } catch (const std::bad_alloc&) {
    msa.reset();
  }
  if (!msa) CurrentPlatform().MessageBox(owner, kCaptionVistram, kMsgCannotReadMsf, MsgIcon::Error, MsgButtons::Ok);
  return msa;
}

std::unique_ptr<DarUvaData> BuildMsaFromSelection(WindowHandle owner, const DataProgram& dp, int& result,
                                                  MsaProgressFn progress, void* context) {
  const std::vector<SelectedPair> pairs = ListSelectedAlignments(dp);
  if (pairs.empty()) {
    CurrentPlatform().MessageBox(owner, kCaptionEditor, kMsgNoSequences, MsgIcon::Information, MsgButtons::Ok);
    result = 2;
    return nullptr;
  }
  std::unique_ptr<DarUvaData> msa;
  try {
    msa = BuildMsaFromAlignments(dp, pairs, progress, context);
  } catch (const std::bad_alloc&) {
    msa.reset();
  }
  result = msa ? 1 : 0;
  return msa;
}

std::string CannotWriteMessage(const std::string& path) {
  return "Unable to write the file :\n" + path + ".";
}
