#include "vistram/results/load_flow.h"

#include <atomic>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "vistram/platform/messages.h"
#include "vistram/results/blast_parser.h"
#include "vistram/results/fasta_parser.h"
#include "vistram/base/memory.h"
#include "vistram/results/report_kind.h"
#include "vistram/results/result_view.h"

namespace {

// The pending file path and its lock (see SetPendingFilePath).
std::mutex g_pendingMutex;
std::string SZBLASTFILECMDLINEPATH;

std::atomic<ReportParserFn> g_fastaParser{&LitFastaForListBox};

// The one load that may run, and its worker thread.
std::atomic<bool> g_loadRunning{false};
std::mutex g_threadMutex;
std::thread g_loadThread;

std::string FileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// Every alignment learns the 1-based number of its hit.
void NumberAlignments(const std::shared_ptr<HitList>& hits) {
  if (!hits) return;
  for (std::size_t i = 0; i < hits->size(); ++i)
    for (auto& ali : (*hits)[i]->alignments) ali->sourceHitNumber = static_cast<int>(i + 1);
}

void ApplyHeaderDefaults(HeaderBlock& header) {
  if (header.queryLength == 0) header.resultType = kResultMixed;
  if (header.queryName.empty()) header.queryName = "query";
}

// Records a new current table's name in the table-name list and tags its
// alignments with that name's index (loads from files only).
void NameNewTable(DataProgram& dp, int fromTables) {
  dp.tableNameCount += 1;
  AddtableNameEntry(dp, dp.tableName, dp.tableNameCount);
  if (fromTables == 0 && dp.hits) AssTBnameToAli(dp.tableNameCount - 1, *dp.hits, dp.hitCount);
}

// The further query sections of the report become tables after the first.
// Returns false when a table could not be created (its hits are freed).
bool CreateExtraTables(DataProgram& dp, const std::string& baseName) {
  std::vector<LoadedSection> sections = std::move(dp.extraSections);
  dp.extraSections.clear();
  for (LoadedSection& section : sections) {
    dp.hits = std::move(section.hits);
    dp.hitCount = section.hitCount;
    dp.viewHitCount = section.viewHitCount;
    dp.alignmentCount = section.alignmentCount;
    dp.header = section.header;
    ApplyHeaderDefaults(dp.header);
    SetText(dp.tableName, baseName + " (query " + std::to_string(section.queryNumber) + ")", width::kPath);
    if (CreateTableEntry(dp) != 1) return false;
    NameNewTable(dp, 0);
  }
  return true;
}

}  // namespace

void SetPendingFilePath(std::string_view path) {
  std::lock_guard lock(g_pendingMutex);
  SetText(SZBLASTFILECMDLINEPATH, path, width::kPath);
}

std::string TakePendingFilePath() {
  std::lock_guard lock(g_pendingMutex);
  std::string path = std::move(SZBLASTFILECMDLINEPATH);
  SZBLASTFILECMDLINEPATH.clear();
  return path;
}

const std::vector<FileFilter>& ReportFileFilters() {
  static const std::vector<FileFilter> filters = {
      {"All formats", "*.fas;*.bla;*.html;*.htm;*.txt;*.vist"},
      {"FASTA file (*.fas)", "*.fas"},
      {"BLAST file (*.bla;*.vist)", "*.bla;*.vist"},
      {"HTML file (*.html;*.htm)", "*.html;*.htm"},
      {"Text file (*.txt)", "*.txt"},
      {"All (*.*)", "*.*"},
  };
  return filters;
}

int OuvrirFichier(WindowHandle owner, std::string& pathOut, std::string& titleOut, const std::string& initialFolder,
                  FileDialogResult::Status* status, std::string* returnedPath) {
  FileDialogRequest request;
  request.filters = ReportFileFilters();
  request.filterIndex = 1;
  request.initialFolder = initialFolder;
  request.mustExist = true;
  const FileDialogResult result = CurrentPlatform().OpenFileDialog(owner, request);
  if (status != nullptr) *status = result.status;
  if (returnedPath != nullptr) *returnedPath = result.path;
  if (result.status != FileDialogResult::Status::Chosen) return 0;
  SetText(pathOut, result.path, width::kPath);
  SetText(titleOut, result.title.empty() ? FileNameOf(result.path) : result.title, 256);
  return 1;
}

int ChooseFileName(WindowHandle owner, DataProgram& dp) {
  FileDialogResult::Status status = FileDialogResult::Status::Cancelled;
  std::string returned;
  if (OuvrirFichier(owner, dp.reportPath, dp.tableName, dp.programFolder, &status, &returned) != 0) return 1;
  if (status == FileDialogResult::Status::Failed) MyTxtInfoMsgBox(IDS_CAPTION, IDS_CANNOT_READ_FILE, owner, returned);
  return 0;
}

void SetFastaReportParser(ReportParserFn parser) { g_fastaParser.store(parser); }

int OpenABlastFile(DataProgram& dp, ResultView& view) {
  const WindowHandle main = view.MainWindow();
  dp.extraSections.clear();
  std::string pending = TakePendingFilePath();
  if (pending.size() > 1) {
    SetText(dp.tableName, FileNameOf(pending), width::kPath);
    SetText(dp.reportPath, pending, width::kPath);
  } else if (ChooseFileName(main, dp) == 0) {
    return 0;
  }

  const int kind = TestFichier(dp.reportPath);
  if (kind == kReportUnreadable || kind == kReportUnknown) {
    MyTxtErrMsgBox(IDS_CAPTION, IDS_CANNOT_READ_FILE, main, dp.reportPath);
    return 0;
  }

  view.ShowProgress();
  int result = kBlastFailed;
  if (kind == kReportBlastHtml || kind == kReportBlastText) {
    result = LitBlastForListBox(&view, main, dp, dp.reportPath, kind);
  } else if (ReportParserFn fasta = g_fastaParser.load()) {
    result = fasta(&view, main, dp, dp.reportPath, kind);
  }
  view.HideProgress();

  if (result != 1) {
    FreeHspData(dp);
    dp.hits.reset();
    dp.hitCount = 0;
    dp.viewHitCount = 0;
    dp.alignmentCount = 0;
    dp.extraSections.clear();
    MyTxtErrMsgBox(IDS_CAPTION, IDS_CANNOT_READ_FILE, main, dp.reportPath);
    return 0;
  }
  NumberAlignments(dp.hits);
  for (const LoadedSection& section : dp.extraSections) NumberAlignments(section.hits);
  return 1;
}

void _LoadThread(DataProgram& dp, ResultView& view) {
  int result = 0;
  try {
    result = OpenABlastFile(dp, view);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    FreeHspData(dp);
    dp.extraSections.clear();
    result = 0;
  }
  view.PostLoadDone(result, 0);
}

int StartLoad(DataProgram& dp, ResultView& view) {
  bool expected = false;
  if (!g_loadRunning.compare_exchange_strong(expected, true)) return kLoadAlreadyRunning;
  std::lock_guard lock(g_threadMutex);
  // The previous worker has posted its result: it has ended or is ending.
  if (g_loadThread.joinable()) g_loadThread.join();
  view.EmptyComboTable();
  FermeUnFichier(dp, view, 0);
  PrepareHeapForLoading();
  try {
    g_loadThread = std::thread(_LoadThread, std::ref(dp), std::ref(view));
  } catch (const std::system_error&) {
    g_loadRunning = false;
    if (dp.currentTable >= 0) ActivateTable(dp, view, dp.currentTable);
    return kLoadNotStarted;
  }
  return kLoadStarted;
}

bool LoadIsRunning() { return g_loadRunning.load(); }

void WaitForLoadThread() {
  std::lock_guard lock(g_threadMutex);
  if (g_loadThread.joinable() && g_loadThread.get_id() != std::this_thread::get_id()) g_loadThread.join();
}

void OnLoadDone(DataProgram& dp, ResultView& view, int ready, int fromTables) {
  if (ready == 0) {
    // The load left the previous table; show it again.
    if (fromTables == 0 && !dp.hits && dp.currentTable >= 0) ActivateTable(dp, view, dp.currentTable);
    dp.extraSections.clear();
    g_loadRunning = false;
    return;
  }
  ApplyHeaderDefaults(dp.header);
  const std::string baseName = dp.tableName;
  const std::string reportPath = dp.reportPath;
  int r = CreateTableEntry(dp);
  if (r == 1) {
    NameNewTable(dp, fromTables);
    if (fromTables == 0 && !dp.extraSections.empty()) {
      const int first = dp.currentTable;
      if (!CreateExtraTables(dp, baseName)) r = 3;
      dp.extraSections.clear();
      if (r == 1) {
        LoadTableIntoWorkingSet(dp, first);
        SetText(dp.reportPath, reportPath, width::kPath);
      }
    }
  } else {
    dp.extraSections.clear();
  }
  if (r == 1) {
    PrepareAffichageResult(dp, view, 1, 1);
  } else if (r == 3 && dp.currentTable >= 0) {
    ActivateTable(dp, view, dp.currentTable);
  }
  view.FillComboTable(dp);
  view.ReopenHcaViewerIfSwitchedOn();
  g_loadRunning = false;
}

bool PrepareAffichageResult(DataProgram& dp, ResultView& view, int hitNumber, int alignmentNumber) {
  FreeVisualHaspData(dp.viewer);
  dp.viewer = LitUnAlignHsp(view.MainWindow(), hitNumber, alignmentNumber, dp);
  return view.ShowResults(dp, hitNumber, alignmentNumber);
}

void FermeUnFichier(DataProgram& dp, ResultView& view, int erase) {
  if (dp.currentTable < 0 || dp.tables.empty()) return;
  view.EmptyHcaWindow();
  if (erase == 1) {
    FreeHspData(dp);
    EraseTableEntry(dp, dp.currentTable);
  } else {
    LeaveCurrentTable(dp);
  }
  InitFichBlastData(dp);
  FreeVisualHaspData(dp.viewer);
  view.ClearResults(dp);
}

void ActivateTable(DataProgram& dp, ResultView& view, int index) {
  if (index < 0 || index >= static_cast<int>(dp.tables.size())) return;
  LoadTableIntoWorkingSet(dp, index);
  const TableEntry& table = *dp.tables[static_cast<std::size_t>(index)];
  const int hit = table.savedHit > 0 ? table.savedHit : 1;
  const int alignment = table.savedAlignment > 0 ? table.savedAlignment : 1;
  PrepareAffichageResult(dp, view, hit, alignment);
  view.FillComboTable(dp);
}

void CloseCurrentTable(DataProgram& dp, ResultView& view) {
  FermeUnFichier(dp, view, 1);
  if (dp.currentTable >= 0)
    ActivateTable(dp, view, dp.currentTable);
  else
    view.FillComboTable(dp);
}
