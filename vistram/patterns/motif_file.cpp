#include "vistram/patterns/motif_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace {

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return path;
  return path.substr(0, slash == 0 ? 1 : slash);
}

bool HeadHas(const std::string& line, const char* what) { return line.substr(0, 3).find(what) != std::string::npos; }

std::string Tail(const std::string& line) { return line.size() > 3 ? line.substr(3, kMotifTextMax) : std::string(); }

}  // namespace

bool ReadMotifs(const std::string& path, std::vector<PatternEntry>& entries) {
  entries.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<std::string> descriptions;
  std::string line;
  while (std::getline(in, line)) {
    // A line longer than the reader's buffer goes on as the next line.
    for (std::size_t from = 0; from == 0 || from < line.size(); from += kMotifLineMax) {
      std::string piece = line.substr(from, kMotifLineMax);
      while (!piece.empty() && (piece.back() == '\r' || piece.back() == '\n')) piece.pop_back();
      if (piece.find("#MOTIF") != std::string::npos) {
        entries.emplace_back();
        descriptions.emplace_back();
      } else if (HeadHas(piece, ":") || entries.empty()) {
        continue;
      } else if (HeadHas(piece, "DE")) {
        descriptions.back() = Tail(piece);
      } else if (HeadHas(piece, "PA")) {
        entries.back().pattern = Tail(piece);
      }
    }
  }
  if (in.bad()) {
    entries.clear();
    return false;
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    entries[i].description = (std::to_string(i + 1) + ". " + descriptions[i]).substr(0, kMotifTextMax);
  }
  return true;
}

int ChooseFileName2(WindowHandle owner, PatternFileState& state) {
  FileDialogRequest request;
  request.filters = {{"motif(*.mot)", "*.mot"}, {"tout(*.*)", "*.*"}};
  request.filterIndex = 1;
  request.initialFolder = FolderOf(state.path);
  request.mustExist = true;
  const FileDialogResult r = CurrentPlatform().OpenFileDialog(owner, request);
  if (r.status == FileDialogResult::Status::Cancelled) return 2;
  if (r.status == FileDialogResult::Status::Chosen) {
    state.path = r.path;
    state.title = r.title;
    state.selected.clear();
    if (ReadMotifs(r.path, state.entries)) return 1;
  }
  state.entries.clear();
  state.selected.clear();
  CurrentPlatform().MessageBox(owner, "Find patterns", kMsgPatternFileProblem, MsgIcon::Information, MsgButtons::Ok);
  return 0;
}

bool ChooseEntries(PatternFileState& state, const std::vector<std::size_t>& selected) {
  std::vector<std::size_t> chosen;
  for (std::size_t i : selected) {
    if (i < state.entries.size()) chosen.push_back(i);
  }
  std::sort(chosen.begin(), chosen.end());
  chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
  if (chosen.empty()) return false;
  state.selected = chosen;
  if (chosen.size() == 1) {
    state.description = state.entries[chosen[0]].description;
    state.pattern = state.entries[chosen[0]].pattern;
  } else {
    state.description = chosen.size() == state.entries.size() ? kAllPatterns : kSomePatterns;
    state.pattern.clear();
  }
  return true;
}

std::vector<std::string> PatternsToSearch(const std::string& descriptionField, const std::string& patternField,
                                          const PatternFileState& state) {
  const std::string description = Upper(descriptionField.substr(0, kPatternFieldMax));
  std::vector<std::string> patterns;
  if (description.find("ALL PATTERNS") != std::string::npos || description.find("SOME PATTERNS") != std::string::npos) {
    for (std::size_t i : state.selected) {
      if (i < state.entries.size()) patterns.push_back(state.entries[i].pattern.substr(0, kMotifTextMax));
    }
  } else {
    patterns.push_back(Upper(patternField.substr(0, kPatternFieldMax)).substr(0, kMotifTextMax));
  }
  return patterns;
}
