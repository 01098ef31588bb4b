// Opening a report as a new table: the file choice (or the pending file
// path), the report kind, the parser on a worker thread, and the hand-over
// of the filled working set to the user-interface thread, which makes it a
// table and shows it. Also leaving, closing and activating tables.
//
// Threads: StartLoad, OnLoadDone, FermeUnFichier, ActivateTable and
// CloseCurrentTable run on the user-interface thread. The worker
// (_LoadThread) touches only the working set of the DataProgram (with
// dp.extraSections) and the progress methods of the ResultView, asks for the
// file and shows message boxes through the platform layer, then calls
// ResultView::PostLoadDone; the view then calls OnLoadDone on the
// user-interface thread. Only one load runs at a time.
#pragma once
#include <string>
#include <string_view>

#include "vistram/platform/platform.h"
#include "vistram/results/records.h"

class ResultView;

// --- The pending file path -------------------------------------------------
// SZBLASTFILECMDLINEPATH: a file to open instead of asking the user (at most
// 259 characters; a value of more than one character counts). Written by the
// start-up code, a second instance's hand-over and the web helper's
// completion, from any thread; the load worker takes and clears it. Both go
// through these two functions, which hold one lock.
void SetPendingFilePath(std::string_view path);
// The pending path, cleared in the same locked step.
std::string TakePendingFilePath();

// --- File choice ------------------------------------------------------------
// The six filters of the open-file dialog, in order.
const std::vector<FileFilter>& ReportFileFilters();
// Shows the open-file dialog (filter 1 selected, the file and folder must
// exist) in `initialFolder`. Non-zero when a file was chosen: pathOut gets
// its full path (cut to 259 characters), titleOut its name with extension
// (cut to 255). `status`, when given, receives the dialog's outcome, and
// `returnedPath` the path the dialog returned (for the failure message).
int OuvrirFichier(WindowHandle owner, std::string& pathOut, std::string& titleOut, const std::string& initialFolder,
                  FileDialogResult::Status* status = nullptr, std::string* returnedPath = nullptr);
// OuvrirFichier with reportPath, tableName and programFolder of `dp`. 1 when
// a file was chosen, else 0; a dialog failure (not a cancel) is shown with
// caption 16 and text 128 and the returned path.
int ChooseFileName(WindowHandle owner, DataProgram& dp);

// --- The load ---------------------------------------------------------------
// The parser of FASTA reports (kinds 6 to 9): LitFastaForListBox unless
// another one is installed (tests); null makes those kinds fail to load as
// an unreadable file does.
using ReportParserFn = int (*)(ResultView* progress, WindowHandle mainWindow, DataProgram& dp,
                               const std::string& path, int kind);
void SetFastaReportParser(ReportParserFn parser);

// Worker thread: takes the pending path or asks for a file, recognises the
// report, runs its parser behind the progress window and numbers the hits
// of every alignment. 1 when a working set was read; 0 otherwise, after
// telling the user (text 128 with the path) and freeing what was built.
int OpenABlastFile(DataProgram& dp, ResultView& view);
// Worker thread body: OpenABlastFile, then PostLoadDone(result, 0).
void _LoadThread(DataProgram& dp, ResultView& view);

// Results of StartLoad.
enum LoadStart : int {
  kLoadNotStarted = 0,      // the thread could not be started (previous table active again)
  kLoadStarted = 1,
  kLoadAlreadyRunning = 2,  // another load has not finished: nothing done
};
// Command 3000 ("Open"): empties the table combo box, leaves the current
// table and starts the worker. Refused while a load runs (the window then
// tells the user with string IDS_LOAD_ALREADY_RUNNING).
int StartLoad(DataProgram& dp, ResultView& view);
// True from StartLoad until the load-done handler has run.
bool LoadIsRunning();
// Waits for the worker thread to end (the window's destruction, tests).
void WaitForLoadThread();

// The load-done handler (user-interface thread). ready = 1: the working set
// (and each of dp.extraSections) becomes a new table, named tableName for
// the first and "tableName (query N)" for the further queries of the
// report; the first is shown at hit 1, alignment 1. ready = 0 after a load
// from a file: the table that was current before the load is shown again.
void OnLoadDone(DataProgram& dp, ResultView& view, int ready, int fromTables);

// Shows the working set with the pairwise viewer on that hit and alignment
// (the viewer record is built here, then ResultView::ShowResults). False
// when the result list could not be reinitialised.
bool PrepareAffichageResult(DataProgram& dp, ResultView& view, int hitNumber, int alignmentNumber);
// Leaves (erase = 0: the viewer's position is remembered, the working set
// emptied without freeing) or closes (erase = 1: hits freed, table erased)
// the current table, then empties every view. Nothing when there is no table.
void FermeUnFichier(DataProgram& dp, ResultView& view, int erase);
// Makes table `index` current and shows it at its saved hit and alignment
// (1, 1 for a new table), then refills the table combo box.
void ActivateTable(DataProgram& dp, ResultView& view, int index);
// The "Close" command: closes the current table and activates the table
// that is current afterwards, if any.
void CloseCurrentTable(DataProgram& dp, ResultView& view);
