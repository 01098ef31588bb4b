// vistram --export-html REPORT -o PATH: the four HTML files of the report's
// first table (every alignment), named from PATH as the "Save results"
// dialog names them.
#include <cstdio>
#include <string>

#include "vistram/html/html_report.h"
#include "vistram/platform/messages.h"
#include "vistram/platform/platform.h"
#include "vistram/shell/save_results.h"
#include "vistram/shell/batch_commands.h"
#include "vistram/shell/batch_load.h"

int RunExportHtml(int argc, char** argv) {
  std::string report, out;
  if (!ParseBatchReportAndOutput(argc, argv, report, out)) return 2;
  if (report.size() >= width::kPath) {
    std::fprintf(stderr, "%s\n", FormatTxtMessage(IDS_CANNOT_READ_FILE, report).c_str());
    return 1;
  }
  DataProgram dp;
  // The colours come from the configuration file beside the program.
  const std::string program = CurrentPlatform().ProgramPath();
  const auto slash = program.find_last_of('/');
  if (slash != std::string::npos) SetText(dp.configPath, program.substr(0, slash + 1) + "vistram.cfg", width::kPath);
  if (LoadReportForBatch(dp, report) != 1) return 1;
  if (!dp.tables.empty()) LoadTableIntoWorkingSet(dp, 0);
  const bool ok = PrepHTMLsave(dp, out, 0);
  dp.hits.reset();
  FreeDataTable(dp);
  if (!ok) {
    std::fprintf(stderr, "%s\n", FormatTxtMessage(IDS_CANNOT_SAVE_HTML, out).c_str());
    return 1;
  }
  return 0;
}
