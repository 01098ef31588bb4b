// vistram --map REPORT -o OUT.svg|OUT.png|OUT.tsv [--select all|first] [--sort]:
// the map of a report's first table without a window. The selection is the
// one the "Select all alignments" (all, the default) or "Select all first
// alignments" (first) command leaves; --sort orders the bars by query start
// as the map window's Sort command does. A .tsv output holds the map's data
// (bars, then the coverage and identity profile) instead of a picture.
#include <cstdio>
#include <cstring>
#include <string>

#include "vistram/mapper/map_picture_writer.h"
#include "vistram/mapper/stat_data.h"
#include "vistram/platform/messages.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/base/safe_file.h"
#include "vistram/shell/save_results.h"
#include "vistram/shell/batch_commands.h"
#include "vistram/shell/batch_load.h"
#include "vistram/base/config.h"
#include "vistram/base/file_names.h"
#include "vistram/shell/main_commands.h"

namespace {

struct MapArguments : BatchOutputAndSelection {
  std::string report, ext;
  bool sort = false;
};

bool ParseMapArguments(int argc, char** argv, MapArguments& a) {
  for (int i = 0; i < argc; ++i) {
    const char* arg = argv[i];
    if (const int taken = TakeOutputOrSelect(argc, argv, i, a); taken != 0) {
      if (taken < 0) return false;
    } else if (std::strcmp(arg, "--sort") == 0) {
      if (a.sort) return false;
      a.sort = true;
    } else if (a.report.empty() && arg[0] != '-') {
      a.report = arg;
    } else {
      return false;
    }
  }
  a.ext = LowerExtension(a.out);
  return !a.report.empty() && !a.out.empty() && (a.ext == "svg" || a.ext == "png" || a.ext == "tsv");
}

bool WriteText(const std::string& path, const std::string& text) {
  SafeFile file;
  return file.Open(path) && std::fwrite(text.data(), 1, text.size(), file.Stream()) == text.size() && file.Commit();
}

}  // namespace

int PrepareMapForBatch(StatData& stat, DataProgram& dp) {
  RecordingPlatform platform;
  platform.SetEchoToStderr(true);
  SetCurrentPlatform(&platform);
  int ok = 0;
  if (dp.header.resultType == kResultMixed) {
    MyInfoMsgBox(IDS_CAPTION, IDS_MIXED_RESULTS, nullptr);
  } else {
    ok = PrepareStatData(stat, dp, dp.alignmentCount, nullptr, nullptr);
  }
  SetCurrentPlatform(nullptr);
  return ok;
}


int RunMapBatch(int argc, char** argv) {
  MapArguments a;
  if (!ParseMapArguments(argc, argv, a)) return 2;
  if (a.ext != "tsv" && CurrentMapPictureWriter() == nullptr) {
    std::fprintf(stderr, "%s: pictures need the window library; this build writes only .tsv\n", a.out.c_str());
    return 1;
  }
  if (a.report.size() >= width::kPath) {
    std::fprintf(stderr, "%s\n", FormatTxtMessage(IDS_CANNOT_READ_FILE, a.report).c_str());
    return 1;
  }
  DataProgram dp;
  if (LoadReportForBatch(dp, a.report) != 1) return 1;
  if (!dp.tables.empty()) LoadTableIntoWorkingSet(dp, 0);
  if (a.firstOnly) SelectAllFirstAlignments(dp);
  else SelectAllAlignments(dp);

  StatData stat;
  int code = 0;
  if (PrepareMapForBatch(stat, dp) != 1) {
    code = 1;
  } else {
    if (a.sort) Tri_StatData(stat);
    std::string error;
    bool written = false;
    if (a.ext == "tsv") {
      written = WriteText(a.out, StatDataTsv(stat));
      if (!written) error = FormatTxtMessage(IDS_CANNOT_SAVE, a.out);
    } else {
      const int points = ReadGuiPreferences(BuildConfigPath(CurrentPlatform().ProgramPath())).listFontSize;
      written = CurrentMapPictureWriter()(a.out, stat, points, error);
    }
    if (!written) {
      std::fprintf(stderr, "%s\n", error.c_str());
      code = 1;
    }
  }
  dp.hits.reset();
  FreeDataTable(dp);
  return code;
}
