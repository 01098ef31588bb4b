// Loading a report in batch mode exactly as the Open command does: the path
// goes into the pending file path, the load runs on its worker thread with
// the same recognition, parsers and result codes, and the load-done handler
// makes the tables. Message boxes go to standard error.
#pragma once
#include <string>

#include "vistram/results/records.h"
#include "vistram/results/result_view.h"

// A view without windows: it records the load's outcome.
class BatchResultView : public ResultView {
 public:
  WindowHandle MainWindow() override { return nullptr; }
  bool ShowResults(DataProgram&, int, int) override { return true; }
  void ClearResults(DataProgram&) override {}
  void EmptyComboTable() override {}
  void FillComboTable(const DataProgram&) override {}
  void PostLoadDone(int ready, int fromTables) override {
    ready_ = ready;
    fromTables_ = fromTables;
  }
  int ready() const { return ready_; }
  int fromTables() const { return fromTables_; }

 private:
  int ready_ = 0;
  int fromTables_ = 0;
};

// Loads `path` into new tables of `dp`. 1 when loaded; 0 when the report
// could not be loaded (its message has been written to standard error).
int LoadReportForBatch(DataProgram& dp, const std::string& path);
