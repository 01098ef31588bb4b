#include "vistram/shell/save_results.h"

#include <algorithm>

#include "vistram/platform/messages.h"
#include "vistram/results/saver.h"

int TestAvantSauvegarde(const DataProgram& dp, WindowHandle dialog) {
  if (dp.hits) {
    const std::size_t count = std::min<std::size_t>(dp.hitCount, dp.hits->size());
    for (std::size_t i = 0; i < count; ++i) {
      const HspData* hit = (*dp.hits)[i].get();
      if (hit == nullptr) continue;
      for (int j = 0; j < hit->alignmentCount; ++j) {
        if (hit->IsSelected(j)) return 1;
      }
    }
  }
  MyInfoMsgBox(IDS_CAPTION, IDS_NO_SELECTION, dialog);
  return 0;
}

int ChoisiNomFichierSauve(WindowHandle owner, std::string& path, const std::string& initialFolder) {
  FileDialogRequest request;
  request.title = "Choose a file";
  request.filters = {{"Vistram file (*.VIST)", "*.VIST"}, {"All files (*.*)", "*.*"}};
  request.filterIndex = 1;
  request.initialFolder = initialFolder;
  request.defaultExtension = "VIST";
  request.mustExist = false;
  FileDialogResult result = CurrentPlatform().SaveFileDialog(owner, request);
  if (result.status != FileDialogResult::Status::Chosen || result.path.empty()) return 0;
  SetText(path, result.path, width::kPath);
  return 1;
}

std::string ForceVistExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const auto dot = path.find_last_of('.');
  std::string stem = path;
  if (dot != std::string::npos && dot > nameStart) stem.resize(dot);
  return stem + ".vist";
}

int ChoisiFichierSauve(WindowHandle owner, std::string& path, const std::string& programFolder) {
  std::string folder = programFolder;
  if (!path.empty()) {
    const auto slash = path.find_last_of('/');
    folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  }
  std::string chosen;
  if (ChoisiNomFichierSauve(owner, chosen, folder) == 0) return 0;
  const std::string forced = ForceVistExtension(chosen);
  if (forced.size() >= width::kPath) return 0;  // a path the file name field cannot hold
  path = forced;
  return 1;
}

bool SaveResultsOnSave(DataProgram& dp, WindowHandle dialog, SaveResultsState& state,
                       const HtmlAlignmentSource& source) {
  if (state.path.empty()) {
    MyInfoMsgBox(IDS_CAPTION, IDS_ENTER_FILE_NAME, dialog);
    return false;
  }
  if (state.selectionOnly && TestAvantSauvegarde(dp, dialog) == 0) return false;
  const int selectionOnly = state.selectionOnly ? 1 : 0;
  if (state.html) {
    if (!PrepHTMLsave(dp, state.path, selectionOnly, source)) {
      MyTxtErrMsgBox(IDS_CAPTION, IDS_CANNOT_SAVE_HTML, dialog, state.path);
      return false;
    }
  } else {
    static const HitList kNoHits;
    const int result = PrepareSaveHSPs(state.path, dp.hitCount, dp.hits ? *dp.hits : kNoHits,
                                       dp.header.queryName, dp.header.queryLengthText, dp.header.databaseText,
                                       selectionOnly);
    if (result != kSaveOk) {
      MyTxtErrMsgBox(IDS_CAPTION, IDS_CANNOT_SAVE, dialog, state.path);
      return false;
    }
  }
  state.path.clear();
  return true;
}
