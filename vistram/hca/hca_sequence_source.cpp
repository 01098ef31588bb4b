#include "vistram/hca/hca_sequence_source.h"

#include "vistram/seqio/sequence_choice.h"
#include "vistram/seqio/sequence_file.h"
#include "vistram/base/colours.h"

bool HcaReadSequenceFile(const std::string& path, std::string& residues, std::string& name) {
  const SequenceText text = LireSequence(path, name);
  if (!text) {
    residues.clear();
    return false;
  }
  residues.assign(text.get());
  return true;
}

HcaLoadResult HcaChooseSequenceFile(WindowHandle owner, const std::string& initialFolder, std::string& residues,
                                    std::string& name) {
  std::string path;
  const SequenceText text = ChoisiEtLitFichierSeq(owner, path, name, initialFolder);
  if (!text) return path.empty() ? HcaLoadResult::Cancelled : HcaLoadResult::Failed;
  residues.assign(text.get());
  return HcaLoadResult::Loaded;
}

void HcaColoursForSequence(const std::string& configPath, const std::string& residues, std::vector<int>& text,
                           std::vector<int>& back) {
  AssignHcaColours(configPath, residues, text, back);
}
