#include "vistram/shell/batch_hca.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "vistram/hca/hca_model.h"
#include "vistram/hca/hca_plot_file.h"
#include "vistram/hca/hca_sequence_source.h"
#include "vistram/platform/messages.h"
#include "vistram/platform/platform.h"
#include "vistram/base/config.h"

namespace {

HcaBatchWriter g_writer = nullptr;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string Extension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return Lower(path.substr(dot + 1));
}

// The plot file with the geometry of the default screen font (Times 8
// points at 96 dots per inch: average width 5, height 12) when no window
// library measures it.
int WritePlotFileWithDefaultGeometry(const HcaBatchJob& job, std::string& error) {
  HcaGraphData g;
  DimPoliceDiag(5, 12, g, kHcaScreen);
  DefineLineWidth(96, g, kHcaScreen);
  CalculAmasUnitaire(g);
  auto seq = BuildHcaSequence(job.residues, job.textColours, job.backColours, 1, job.name, job.programPath, g);
  if (!seq || WriteHcaPlotFile(job.outputPath, *seq) != 1) {
    error = LoadStringText(IDS_HCA_CANNOT_CREATE);
    return 0;
  }
  return 1;
}

// The folder of the program file.
std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

void SetHcaBatchWriter(HcaBatchWriter writer) { g_writer = writer; }

int RunHcaBatch(int argc, char** argv) {
  std::string input;
  std::string output;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
      output = argv[++i];
    } else if (input.empty() && argv[i][0] != '-') {
      input = argv[i];
    } else {
      return 2;
    }
  }
  const std::string ext = Extension(output);
  if (input.empty() || output.empty() || (ext != "hca" && ext != "svg" && ext != "png")) {
    return 2;
  }
  HcaBatchJob job;
  if (!HcaReadSequenceFile(input, job.residues, job.name)) {
    std::fprintf(stderr, "%s: Unable to retrieve the sequence.\n", input.c_str());
    return 1;
  }
  const std::string program = CurrentPlatform().ProgramPath();
  const std::string configPath = BuildConfigPath(program);
  job.programPath = FolderOf(program);
  job.residuePoints = ReadGuiPreferences(configPath).hca.letterFontSize;
  HcaColoursForSequence(configPath, job.residues, job.textColours, job.backColours);
  job.outputPath = output;
  std::string error;
  int ok = 0;
  if (g_writer) {
    ok = g_writer(job, error);
  } else if (ext == "hca") {
    ok = WritePlotFileWithDefaultGeometry(job, error);
  } else {
    error = "pictures need the window library; this build writes only .hca";
  }
  if (!ok) {
    std::fprintf(stderr, "%s: %s\n", output.c_str(), error.c_str());
    return 1;
  }
  return 0;
}
