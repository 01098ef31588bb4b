// A result view without windows, for loading a report in batch mode and in
// benchmarks: it shows nothing and records the load's outcome.
#pragma once
#include "vistram/results/result_view.h"

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
