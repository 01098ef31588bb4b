#include "vistram/shell/main_commands.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>

std::string JoinArguments(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

CommandLine ParseCommandLine(std::string_view line) {
  CommandLine out;
  auto marker = line.find(kMsfMarker);
  if (marker != std::string_view::npos) {
    out.msf = true;
    // The path ends before the character (the blank) that precedes the marker.
    line = line.substr(0, marker == 0 ? 0 : marker - 1);
  }
  out.path = std::string(line);
  out.tooLong = out.path.size() > width::kPath - 1;
  return out;
}

bool HasData(const DataProgram& dp) { return dp.hits && dp.hitCount > 0 && !dp.hits->empty(); }

bool HasHtmlData(const DataProgram& dp) { return HasData(dp) && dp.header.isHtml == 1; }

std::string ResultTitle(int resultType) {
  switch (resultType) {
    case kResultBlast: return "Vistram - BLAST";
    case kResultBlast2: return "Vistram - BLAST 2";
    case kResultFasta: return "Vistram - FASTA";
    case kResultMixed: return "Vistram - Mixed results";
    default: return "Vistram ";
  }
}

namespace {
template <typename F>
void ForEachHit(DataProgram& dp, F f) {
  if (!dp.hits) return;
  for (auto& hit : *dp.hits)
    if (hit) {
      if (hit->selected.size() < hit->alignments.size()) hit->selected.resize(hit->alignments.size(), 0);
      f(*hit);
    }
}
}  // namespace

void SelectAllFirstAlignments(DataProgram& dp) {
  ForEachHit(dp, [](HspData& h) {
    if (!h.selected.empty()) h.selected[0] = 1;
  });
}

void SelectAllAlignments(DataProgram& dp) {
  ForEachHit(dp, [](HspData& h) {
    for (int& f : h.selected) f = 1;
  });
}

void UnselectAllAlignments(DataProgram& dp) {
  ForEachHit(dp, [](HspData& h) {
    for (int& f : h.selected) f = 0;
  });
}

int AlignmentSelected(const DataProgram& dp, int hitNumber, int alignmentNumber) {
  const HspData* hit = dp.Hit(hitNumber);
  if (hit == nullptr || alignmentNumber < 1 || alignmentNumber > static_cast<int>(hit->alignments.size())) return -1;
  return hit->IsSelected(alignmentNumber - 1) ? 1 : 0;
}

int ToggleAlignmentSelection(DataProgram& dp, int hitNumber, int alignmentNumber) {
  HspData* hit = dp.Hit(hitNumber);
  if (hit == nullptr || alignmentNumber < 1 || alignmentNumber > static_cast<int>(hit->alignments.size())) return -1;
  if (hit->selected.size() < hit->alignments.size()) hit->selected.resize(hit->alignments.size(), 0);
  int& flag = hit->selected[static_cast<std::size_t>(alignmentNumber - 1)];
  flag = flag == 0 ? 1 : 0;
  return flag;
}

int SteppedAlignment(const DataProgram& dp, int step) {
  if (!dp.viewer) return 0;
  const HspData* hit = dp.Hit(dp.viewer->hitNumber);
  if (hit == nullptr) return 0;
  const int count = static_cast<int>(hit->alignments.size());
  const int target = dp.viewer->alignmentNumber + step;
  if (count <= 1 || target < 1 || target > count) return 0;
  return target;
}

void RenameTableNameEntries(DataProgram& dp, std::string_view oldName, std::string_view newName) {
  for (std::string& name : dp.tableNames)
    if (name == oldName) SetText(name, newName, width::kPath);
}

std::string RenamedSourcePath(std::string_view sourcePath, std::string_view newName) {
  if (newName.empty() || newName == "." || newName == ".." || newName.find('/') != std::string_view::npos ||
      newName.find('\0') != std::string_view::npos)
    return {};
  const auto slash = sourcePath.find_last_of('/');
  std::string path = slash == std::string_view::npos ? std::string() : std::string(sourcePath.substr(0, slash + 1));
  path += newName;
  if (newName.find('.') == std::string_view::npos) path += ".vist";
  if (path.size() > width::kPath - 1) return {};
  return path;
}

bool RenameCurrentTable(DataProgram& dp, std::string_view newName) {
  if (newName.empty() || dp.currentTable < 0 || dp.currentTable >= static_cast<int>(dp.tables.size())) return false;
  TableEntry& t = *dp.tables[static_cast<std::size_t>(dp.currentTable)];
  const std::string oldName = t.name;
  SetText(t.name, newName, width::kPath);
  SetText(dp.tableName, newName, width::kPath);
  RenameTableNameEntries(dp, oldName, t.name);
  return true;
}

FileRenameResult RenameCurrentTableFile(DataProgram& dp, std::string_view newName) {
  if (dp.currentTable < 0 || dp.currentTable >= static_cast<int>(dp.tables.size())) return FileRenameResult::NoFile;
  TableEntry& t = *dp.tables[static_cast<std::size_t>(dp.currentTable)];
  if (t.sourcePath.size() <= 1) return FileRenameResult::NoFile;
  const std::string target = RenamedSourcePath(t.sourcePath, newName);
  if (target.empty()) return FileRenameResult::Failed;
  if (target == t.sourcePath) return FileRenameResult::Renamed;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) return FileRenameResult::Failed;  // never replace another file
  if (std::rename(t.sourcePath.c_str(), target.c_str()) != 0) return FileRenameResult::Failed;
  SetText(t.sourcePath, target, width::kPath);
  SetText(dp.reportPath, target, width::kPath);
  return FileRenameResult::Renamed;
}

FileHeaderTexts FileHeaderInfo(const DataProgram& dp) {
  FileHeaderTexts out;
  out.sequenceName = dp.header.queryName + " " + dp.header.queryLengthText;
  out.databaseName = dp.header.databaseText;
  out.sequenceCount = std::to_string(dp.hitCount);
  out.alignmentCount = std::to_string(dp.alignmentCount);
  return out;
}

