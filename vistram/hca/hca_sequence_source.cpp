#include "vistram/hca/hca_sequence_source.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace {
constexpr std::size_t kMinResidues = 10;
constexpr std::size_t kMaxResidues = 2500;
constexpr std::size_t kMaxName = 255;
}  // namespace

// FASTA only: the first '>' entry, its name the first word of the title
// line; letters (raised to upper case) and '*' are residues, digits and
// blanks are skipped, anything else makes the sequence invalid.
bool HcaReadSequenceFile(const std::string& path, std::string& residues, std::string& name) {
  residues.clear();
  name.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  bool inSequence = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '>') {
      if (inSequence) break;
      inSequence = true;
      const std::string head = line.substr(1);
      name = head.substr(0, std::min(head.find_first_of(" \t"), kMaxName));
      continue;
    }
    if (!inSequence) continue;
    for (unsigned char c : line) {
      if (std::isalpha(c) || c == '*') {
        residues.push_back(static_cast<char>(std::toupper(c)));
      } else if (!std::isdigit(c) && !std::isspace(c)) {
        residues.clear();
        return false;
      }
      if (residues.size() > kMaxResidues) {
        residues.clear();
        return false;
      }
    }
  }
  if (!inSequence || residues.size() < kMinResidues) {
    residues.clear();
    return false;
  }
  return true;
}

HcaLoadResult HcaChooseSequenceFile(WindowHandle owner, const std::string& initialFolder, std::string& residues,
                                    std::string& name) {
  FileDialogRequest request;
  request.title = "Choose a sequence file";
  request.filters = {{"All files (*.*)", "*.*"}, {"FASTA (*.PEA)", "*.PEA"}};
  request.initialFolder = initialFolder;
  request.mustExist = true;
  const FileDialogResult chosen = CurrentPlatform().OpenFileDialog(owner, request);
  if (chosen.status == FileDialogResult::Status::Cancelled) return HcaLoadResult::Cancelled;
  if (chosen.status != FileDialogResult::Status::Chosen) return HcaLoadResult::Failed;
  return HcaReadSequenceFile(chosen.path, residues, name) ? HcaLoadResult::Loaded : HcaLoadResult::Failed;
}

void HcaColoursForSequence(const std::string& configPath, const std::string& residues, std::vector<int>& text,
                           std::vector<int>& back) {
  (void)configPath;
  text.assign(residues.size(), 0);
  back.assign(residues.size(), 1);
}
