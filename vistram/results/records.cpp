#include "vistram/results/records.h"

#include <cstdio>
#include <new>

#include "vistram/platform/platform.h"
#include "vistram/base/memory.h"

void SetText(std::string& field, std::string_view value, std::size_t fieldWidth) {
  if (fieldWidth == 0) {
    field.clear();
    return;
  }
  field.assign(value.substr(0, std::min(value.size(), fieldWidth - 1)));
}

void AliData::ClearStatistics() {
  score = expect = identityPercent = hcaScore = alignmentLength = positivePercent = pValue = initn = init1 = opt =
      zScore = -1.0;
}

HspData* DataProgram::Hit(int hitNumber) const {
  if (!hits || hitNumber < 1 || static_cast<std::size_t>(hitNumber) > hits->size()) return nullptr;
  return (*hits)[static_cast<std::size_t>(hitNumber - 1)].get();
}

std::unique_ptr<DataProgram> InitDataProgram(const std::string& programPath) {
  auto dp = std::make_unique<DataProgram>();
  dp->currentTable = -1;
  std::string folder;
  auto slash = programPath.find_last_of('/');
  if (slash != std::string::npos) folder = programPath.substr(0, slash + 1);
  SetText(dp->reportPath, programPath, width::kPath);
  SetText(dp->configPath, BuildConfigPath(programPath), width::kPath);
  SetText(dp->helpPath, folder + "vistram.hlp", width::kPath);
  std::FILE* f = std::fopen(dp->configPath.c_str(), "rb");
  if (f == nullptr) {
    CurrentPlatform().MessageBox(nullptr, "Vistram ",
                                 "This is not a complete release of Vistram.\nUnable to execute the software.",
                                 MsgIcon::Warning, MsgButtons::Ok);
    return nullptr;
  }
  std::fclose(f);
  return dp;
}

void InitFichBlastData(DataProgram& dp) {
  dp.header.queryName.clear();
  dp.header.queryLengthText.clear();
  dp.header.databaseText.clear();
  dp.header.queryLength = 0;
}

void FreePALIDATA(std::vector<std::unique_ptr<AliData>>& alignments) {
  alignments.clear();
  alignments.shrink_to_fit();
}

void FreeHspData(DataProgram& dp) {
  if (!dp.hits) return;
  dp.hits->clear();  // the table that shared this list is left with no hits, as it is being freed
  dp.hits.reset();
  dp.hitCount = 0;
  dp.viewHitCount = 0;
  dp.alignmentCount = 0;
}

void FreeVisualHaspData(std::unique_ptr<VisualHaspData>& viewer) { viewer.reset(); }

void FreeDataTable(DataProgram& dp) {
  for (auto& table : dp.tables) {
    if (!table) continue;
    dp.hitCount = table->hitCount;
    dp.viewHitCount = table->viewHitCount;
    dp.alignmentCount = table->alignmentCount;
    dp.hits = table->hits;
    table->hits.reset();
    FreeHspData(dp);
  }
  dp.tables.clear();
  dp.currentTable = -1;
  dp.tableCount = 0;
}

void FreedataTableAbs(DataProgram& dp) {
  dp.tableNames.clear();
  dp.tableNameCount = 0;
}

void FreeDataProgram(std::unique_ptr<DataProgram>& dp) {
  if (!dp) return;
  FreeDataTable(*dp);
  FreeVisualHaspData(dp->viewer);
  dp.reset();
}

int CreateTableEntry(DataProgram& dp) {
  const bool first = dp.tables.empty();
  try {
    dp.tables.reserve(dp.tables.size() + 1);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    if (first) return 2;
    FreeHspData(dp);
    return 3;
  }
  std::unique_ptr<TableEntry> entry;
  try {
    entry = std::make_unique<TableEntry>();
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    if (first) return 2;
    FreeHspData(dp);
    return 3;
  }
  entry->hitCount = dp.hitCount;
  entry->viewHitCount = dp.viewHitCount;
  entry->alignmentCount = dp.alignmentCount;
  entry->hits = dp.hits;
  entry->header = dp.header;
  SetText(entry->name, dp.tableName, width::kPath);
  SetText(entry->sourcePath, dp.reportPath, width::kPath);
  dp.tables.push_back(std::move(entry));  // capacity reserved above: cannot throw
  dp.tableCount = static_cast<int>(dp.tables.size());
  dp.currentTable = dp.tableCount - 1;
  return 1;
}

void EraseTableEntry(DataProgram& dp, int index) {
  if (dp.currentTable == -1) return;
  if (index < 0 || index >= static_cast<int>(dp.tables.size())) return;
  dp.tables.erase(dp.tables.begin() + index);
  if (dp.tables.empty()) {
    dp.tables.shrink_to_fit();
    dp.currentTable = -1;
    dp.tableCount = 0;
    return;
  }
  dp.tableCount = static_cast<int>(dp.tables.size());
  dp.currentTable = std::max(dp.currentTable - 1, 0);
}

int AddtableNameEntry(DataProgram& dp, std::string_view name, int newCount) {
  if (newCount < 1) return 0;
  try {
    dp.tableNames.resize(static_cast<std::size_t>(newCount));
    SetText(dp.tableNames[static_cast<std::size_t>(newCount - 1)], name, width::kPath);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return 0;
  }
  return 1;
}

void AssTBnameToAli(int nameIndex, const HitList& hits, unsigned hitCount) {
  const std::size_t n = std::min<std::size_t>(hitCount, hits.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (!hits[i]) continue;
    for (auto& ali : hits[i]->alignments)
      if (ali) ali->sourceTableIndex = nameIndex;
  }
}

std::unique_ptr<AliData> CopieDataAlignement(const AliData& ali) {
  try {
    return std::make_unique<AliData>(ali);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return nullptr;
  }
}

namespace {
// A copy of the hit's own fields, without alignments or selection.
std::unique_ptr<HspData> CopyHitFields(const HspData& hit) {
  auto copy = std::make_unique<HspData>();
  copy->number = hit.number;
  copy->identifier = hit.identifier;
  copy->description = hit.description;
  copy->url = hit.url;
  copy->scoreText = hit.scoreText;
  copy->expectText = hit.expectText;
  copy->lengthText = hit.lengthText;
  return copy;
}
}  // namespace

std::unique_ptr<HspData> CopieDataHsp(const HspData& hit) {
  std::vector<int> all(hit.alignments.size(), 1);
  if (all.empty()) {
    try {
      auto copy = CopyHitFields(hit);
      return copy;
    } catch (const std::bad_alloc&) {
      ReportOutOfMemory();
      return nullptr;
    }
  }
  return CopieDataHsp2(hit, all.data(), static_cast<int>(all.size()));
}

std::unique_ptr<HspData> CopieDataHsp2(const HspData& hit, const int* flags, int count) {
  const int n = std::min<int>(count, static_cast<int>(hit.alignments.size()));
  int kept = 0;
  for (int i = 0; i < n; ++i)
    if (flags[i] != 0) ++kept;
  if (kept == 0) return nullptr;
  try {
    auto copy = CopyHitFields(hit);
    copy->alignments.reserve(static_cast<std::size_t>(kept));
    for (int i = 0; i < n; ++i) {
      const auto& ali = hit.alignments[static_cast<std::size_t>(i)];
      if (flags[i] == 0 || !ali) continue;
      copy->alignments.push_back(std::make_unique<AliData>(*ali));
    }
    copy->alignmentCount = static_cast<int>(copy->alignments.size());
    copy->selected.assign(copy->alignments.size(), 0);
    return copy;
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return nullptr;
  }
}

void LoadTableIntoWorkingSet(DataProgram& dp, int index) {
  if (index < 0 || index >= static_cast<int>(dp.tables.size())) return;
  const TableEntry& t = *dp.tables[static_cast<std::size_t>(index)];
  dp.currentTable = index;
  dp.hitCount = t.hitCount;
  dp.viewHitCount = t.viewHitCount;
  dp.alignmentCount = t.alignmentCount;
  dp.hits = t.hits;
  dp.header = t.header;
  SetText(dp.tableName, t.name, width::kPath);
  SetText(dp.reportPath, t.sourcePath.empty() ? dp.reportPath : t.sourcePath, width::kPath);
}

void LeaveCurrentTable(DataProgram& dp) {
  if (dp.currentTable < 0 || dp.currentTable >= static_cast<int>(dp.tables.size())) return;
  TableEntry& t = *dp.tables[static_cast<std::size_t>(dp.currentTable)];
  if (dp.viewer) {
    t.savedHit = dp.viewer->hitNumber;
    t.savedAlignment = dp.viewer->alignmentNumber;
  }
  dp.hits.reset();
  dp.hitCount = 0;
  dp.viewHitCount = 0;
  dp.alignmentCount = 0;
}
