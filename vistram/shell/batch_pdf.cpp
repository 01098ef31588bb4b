// vistram --pdf 1d|hca|msa|map INPUT -o OUT.pdf [--select all|first]
// and vistram --print 1d|hca|msa|map INPUT [--select all|first] (the same
// pages on the system's default printer): the
// 1D or the HCA printout of the report's first alignment, or the alignment
// or map printout of the report's selection (the one "Select all
// alignments", or with --select first "Select all first alignments",
// leaves); for msa the input may also be an MSF file.
#include "vistram/shell/batch_pdf.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "vistram/base/config.h"
#include "vistram/base/file_names.h"
#include "vistram/editor/msa_batch.h"
#include "vistram/mapper/stat_data.h"
#include "vistram/platform/messages.h"
#include "vistram/platform/platform.h"
#include "vistram/results/alignment_colours.h"
#include "vistram/results/blast_parser.h"
#include "vistram/shell/batch_commands.h"
#include "vistram/shell/batch_load.h"
#include "vistram/shell/main_commands.h"

namespace {
PdfBatchWriter g_writer = nullptr;

struct PdfArguments : BatchOutputAndSelection {
  std::string kind, input;
  bool toPrinter = false;  // --print: no output file
};

bool ParsePdfArguments(int argc, char** argv, PdfArguments& a) {
  for (int i = 0; i < argc; ++i) {
    const char* arg = argv[i];
    if (const int taken = TakeOutputOrSelect(argc, argv, i, a); taken != 0) {
      if (taken < 0) return false;
    } else if (arg[0] == '-' && arg[1] != '\0') {
      return false;
    } else if (a.kind.empty()) {
      a.kind = arg;
    } else if (a.input.empty()) {
      a.input = arg;
    } else {
      return false;
    }
  }
  const bool known = a.kind == "1d" || a.kind == "hca" || a.kind == "msa" || a.kind == "map";
  // The selection only means something for the alignment and the map.
  if (a.selectSeen && (a.kind == "1d" || a.kind == "hca")) return false;
  return known && !a.input.empty() && (a.toPrinter ? a.out.empty() : (a.out.size() > 4 && LowerExtension(a.out) == "pdf"));
}

int Write(const PdfBatchJob& job) {
  std::string error;
  if (g_writer(job, error)) return 0;
  std::fprintf(stderr, "%s\n", error.c_str());
  return 1;
}

int RunFromReport(const PdfArguments& a, PdfBatchJob& job) {
  if (a.input.size() >= width::kPath) {
    std::fprintf(stderr, "%s\n", FormatTxtMessage(IDS_CANNOT_READ_FILE, a.input).c_str());
    return 1;
  }
  DataProgram dp;
  if (LoadReportForBatch(dp, a.input) != 1) return 1;
  if (!dp.tables.empty()) LoadTableIntoWorkingSet(dp, 0);
  int code = 1;
  if (a.kind == "map") {
    if (a.firstOnly) SelectAllFirstAlignments(dp);
    else SelectAllAlignments(dp);
    StatData stat;
    if (PrepareMapForBatch(stat, dp) == 1) {
      job.stat = &stat;
      code = Write(job);
    }
  } else {
    std::unique_ptr<VisualHaspData> view = LitUnAlignHsp(nullptr, 1, 1, dp);
    if (!view) {
      std::fprintf(stderr, "%s: the report has no alignment to print\n", a.input.c_str());
    } else {
      AssignColorForAA(job.configPath, kColourHca, true, *view);
      const HspData* hit = dp.Hit(1);
      job.view = view.get();
      job.queryName = dp.header.queryName;
      job.hitIdentifier = hit != nullptr ? hit->identifier : std::string();
      code = Write(job);
    }
  }
  dp.hits.reset();
  FreeDataTable(dp);
  return code;
}
}  // namespace

void SetPdfBatchWriter(PdfBatchWriter writer) { g_writer = writer; }

namespace {
int RunPrintout(PdfArguments& a, int argc, char** argv) {
  if (!ParsePdfArguments(argc, argv, a)) return 2;
  if (g_writer == nullptr) {
    std::fprintf(stderr, "vistram: printing needs the window library; this build has none\n");
    return 1;
  }
  PdfBatchJob job;
  job.kind = a.kind;
  job.out = a.out;
  job.configPath = BuildConfigPath(CurrentPlatform().ProgramPath());
  const GuiPreferences prefs = ReadGuiPreferences(job.configPath);
  job.fontPoints = prefs.listFontSize;
  job.hcaPoints = prefs.hca.letterFontSize;
  if (a.kind != "msa") return RunFromReport(a, job);
  DarUvaData msa;
  std::string message;
  if (LoadMsaForBatch(a.input, a.firstOnly, msa, message) != 1) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
  }
  job.fontPoints = 12;  // the editor's font
  job.msa = &msa;
  return Write(job);
}
}  // namespace

int RunPdfBatch(int argc, char** argv) {
  PdfArguments a;
  return RunPrintout(a, argc, argv);
}

int RunPrintBatch(int argc, char** argv) {
  PdfArguments a;
  a.toPrinter = true;
  return RunPrintout(a, argc, argv);
}
