// vistram --save REPORT -o FILE: the saved-results file of the report's first
// table, every alignment, as the "Save results" dialog writes it.
#include <cstdio>
#include <cstring>
#include <string>

#include "vistram/platform/messages.h"
#include "vistram/shell/save_results.h"
#include "vistram/results/saver.h"
#include "vistram/shell/batch_commands.h"
#include "vistram/shell/batch_load.h"

namespace {

// REPORT -o OUT, in either order. False on a usage error.
bool ParseReportAndOutput(int argc, char** argv, std::string& report, std::string& out) {
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "-o") == 0) {
      if (i + 1 >= argc || !out.empty()) return false;
      out = argv[++i];
    } else if (report.empty()) {
      report = argv[i];
    } else {
      return false;
    }
  }
  return !report.empty() && !out.empty();
}

}  // namespace

bool ParseBatchReportAndOutput(int argc, char** argv, std::string& report, std::string& out) {
  return ParseReportAndOutput(argc, argv, report, out);
}

int TakeOutputOrSelect(int argc, char** argv, int& i, BatchOutputAndSelection& o) {
  const bool output = std::strcmp(argv[i], "-o") == 0;
  if (!output && std::strcmp(argv[i], "--select") != 0) return 0;
  if (i + 1 >= argc || (output ? !o.out.empty() : o.selectSeen)) return -1;
  const std::string value = argv[++i];
  if (output) {
    o.out = value;
    return 1;
  }
  if (value != "all" && value != "first") return -1;
  o.selectSeen = true;
  o.firstOnly = value == "first";
  return 1;
}

int RunSave(int argc, char** argv) {
  std::string report, out;
  if (!ParseReportAndOutput(argc, argv, report, out)) return 2;
  if (report.size() >= width::kPath) {
    std::fprintf(stderr, "%s\n", FormatTxtMessage(IDS_CANNOT_READ_FILE, report).c_str());
    return 1;
  }
  DataProgram dp;
  if (LoadReportForBatch(dp, report) != 1) return 1;
  int result = kSaveOk;
  if (!dp.tables.empty() && dp.tables.front()->hits) {
    const TableEntry& first = *dp.tables.front();
    result = PrepareSaveHSPs(out, first.hitCount, *first.hits, first.header.queryName,
                             first.header.queryLengthText, first.header.databaseText, 0);
  } else {
    const HitList none;
    result = PrepareSaveHSPs(out, 0, none, dp.header.queryName, dp.header.queryLengthText,
                             dp.header.databaseText, 0);
  }
  FreeDataTable(dp);
  if (result != kSaveOk) {
    std::fprintf(stderr, "%s\n", FormatTxtMessage(IDS_CANNOT_SAVE, out).c_str());
    return 1;
  }
  return 0;
}
