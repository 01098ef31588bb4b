#include "vistram/seqio/gui/sequence_file_dialog.h"

#include <filesystem>

#include "vistram/platform/platform.h"
#include "vistram/seqio/sequence_choice.h"

bool ChooseSequenceFile(QWidget* owner, const std::string& initialFolder, ChosenSequence& out) {
  std::string folder = initialFolder;
  if (folder.empty()) folder = std::filesystem::path(CurrentPlatform().ProgramPath()).parent_path().string();
  out.path.clear();
  out.name.clear();
  out.text = ChoisiEtLitFichierSeq(owner, out.path, out.name, folder);
  return out.text != nullptr;
}
