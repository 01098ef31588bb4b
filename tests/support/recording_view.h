#pragma once
// A result view without windows that records what the flows ask of it: the
// alignments shown ("table hit,alignment"), clears, the combo box, progress and
// the end of a load.

#include <cstdint>
#include <string>
#include <vector>

#include "vistram/results/records.h"
#include "vistram/results/result_view.h"

namespace test_support {

class RecordingView : public ResultView {
 public:
  WindowHandle MainWindow() override { return window; }
  bool ShowResults(DataProgram& dp, int hit, int alignment) override {
    shown.push_back(dp.tableName + " " + std::to_string(hit) + "," + std::to_string(alignment));
    lastHit = hit;
    lastAlignment = alignment;
    return true;
  }
  void ClearResults(DataProgram&) override { ++clears; }
  void EmptyComboTable() override { ++comboEmptied; }
  void FillComboTable(const DataProgram& dp) override { comboCurrent = dp.currentTable; }
  void SetProgress(std::uint64_t bytesRead, std::uint64_t totalBytes) override {
    progressOk = progressOk && bytesRead <= totalBytes;
    ++progressCalls;
  }
  void PostLoadDone(int r, int fromTables) override {
    ready = r;
    posted = fromTables == 0;
  }

  WindowHandle window = nullptr;
  std::vector<std::string> shown;
  int lastHit = 0, lastAlignment = 0;
  int clears = 0, comboEmptied = 0, comboCurrent = -2, progressCalls = 0;
  bool progressOk = true;
  int ready = -1;
  bool posted = false;
};

}  // namespace test_support
