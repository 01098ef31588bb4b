#include "vistram/seqio/sequence_choice.h"

#include "vistram/seqio/sequence_file.h"

namespace {
constexpr std::size_t kPathWidth = 260;
constexpr std::size_t kTitleWidth = 256;
}  // namespace

bool ChoisiNomFichierSequence(WindowHandle owner, std::string& path, std::string& fileTitle,
                              const std::string& initialFolder) {
  FileDialogRequest request;
  request.title = "Choose a sequence file";
  request.filters = {
      {"All files (*.*)", "*.*"},         {"FASTA (*.PEA)", "*.PEA"},
      {"GCG Software (*.GCG)", "*.GCG"},  {"GenPept (*.GP)", "*.GP"},
      {"NBRF-PIR (*.PIR)", "*.PIR"},      {"Raw sequence (*.SEQ)", "*.SEQ"},
      {"SwissProt (*.SW)", "*.SW"},
  };
  request.filterIndex = 1;
  request.initialFolder = initialFolder;
  request.defaultExtension = "SEQ";
  request.mustExist = true;
  FileDialogResult answer = CurrentPlatform().OpenFileDialog(owner, request);
  // A cancelled or failed dialog gives no file; its error is not reported.
  if (answer.status != FileDialogResult::Status::Chosen || answer.path.empty()) return false;
  // A path that does not fit the path buffer cannot be opened as the user chose it.
  if (answer.path.size() >= kPathWidth) return false;
  path = answer.path;
  fileTitle = answer.title.substr(0, kTitleWidth - 1);
  return true;
}

SequenceText ChoisiEtLitFichierSeq(WindowHandle owner, std::string& path, std::string& name,
                                   const std::string& initialFolder) {
  std::string title;
  if (!ChoisiNomFichierSequence(owner, path, title, initialFolder)) return {};
  return LireSequence(path, name);
}
