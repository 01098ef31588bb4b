// What the result store's flows (loading, closing, searching) ask of the
// windows. The main window implements it; tests implement it with a recorder,
// so that every flow runs without a display.
//
// Threads: the load runs on a worker thread. The worker calls only the
// progress methods and PostLoadDone (from any thread; a Qt implementation
// queues them onto the user-interface thread). Every other method is called on
// the user-interface thread.
#pragma once
#include <cstdint>

#include "vistram/platform/platform.h"

struct DataProgram;

class ResultView {
 public:
  virtual ~ResultView() = default;

  // The main window, owner of message boxes and dialogs.
  virtual WindowHandle MainWindow() = 0;

  // Shows the working set: the result list reinitialised, alignment
  // `alignmentNumber` of hit `hitNumber` in the pairwise view, header labels,
  // previous/next buttons, selection check box and data-dependent toolbar
  // buttons enabled, the title from the result type and the score column
  // header. False when the list could not be reinitialised.
  virtual bool ShowResults(DataProgram& dp, int hitNumber, int alignmentNumber) = 0;
  // Empties every result view (title "Vistram ", empty list, blank labels,
  // disabled check box, buttons and data-dependent toolbar buttons).
  virtual void ClearResults(DataProgram& dp) = 0;
  virtual void EmptyComboTable() = 0;
  // Refills the table combo box with every table's name, the current one selected.
  virtual void FillComboTable(const DataProgram& dp) = 0;
  // Empties the HCA window when one exists.
  virtual void EmptyHcaWindow() {}
  // Opens the HCA viewer again (command 3014) when the HCA view is switched on
  // but its window does not exist.
  virtual void ReopenHcaViewerIfSwitchedOn() {}

  // Worker thread: the progress window while a parser runs.
  virtual void ShowProgress() {}
  virtual void SetProgress(std::uint64_t bytesRead, std::uint64_t totalBytes) {
    (void)bytesRead;
    (void)totalBytes;
  }
  virtual void HideProgress() {}
  // Worker thread: hands the load's outcome to the user-interface thread,
  // which then calls the load-done handler (OnLoadDone) with the same values.
  virtual void PostLoadDone(int ready, int fromTables) = 0;
};
