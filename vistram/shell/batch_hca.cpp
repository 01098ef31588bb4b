#include "vistram/shell/batch_hca.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "vistram/hca/hca_model.h"
#include "vistram/hca/hca_plot_file.h"
#include "vistram/platform/messages.h"
#include "vistram/platform/platform.h"

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

// Reads the first sequence of a FASTA file: its name (the first word of the
// '>' line) and its residues (letters raised to upper case and '*'; digits
// and blanks skipped). False when the file cannot be read, holds no '>'
// line, another character appears, or the count is outside 10..2500.
bool ReadFastaSequence(const std::string& path, std::string& residues, std::string& name) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  bool inSequence = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '>') {
      if (inSequence) break;
      inSequence = true;
      const std::string head = line.substr(1);
      const auto end = head.find_first_of(" \t");
      name = head.substr(0, std::min(end, std::size_t{255}));
      continue;
    }
    if (!inSequence) continue;
    for (unsigned char c : line) {
      if (std::isalpha(c) || c == '*') {
        residues.push_back(static_cast<char>(std::toupper(c)));
      } else if (!std::isdigit(c) && !std::isspace(c)) {
        return false;
      }
      if (residues.size() > 2500) return false;
    }
  }
  return inSequence && residues.size() >= 10;
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

void Usage() { std::fprintf(stderr, "usage: vistram --hca SEQFILE -o OUT.hca|OUT.svg|OUT.png\n"); }

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
      Usage();
      return 2;
    }
  }
  const std::string ext = Extension(output);
  if (input.empty() || output.empty() || (ext != "hca" && ext != "svg" && ext != "png")) {
    Usage();
    return 2;
  }
  HcaBatchJob job;
  if (!ReadFastaSequence(input, job.residues, job.name)) {
    std::fprintf(stderr, "%s: Unable to retrieve the sequence.\n", input.c_str());
    return 1;
  }
  // HCA colour code: black letters on white until the configuration's colours apply.
  job.textColours.assign(job.residues.size(), 0);
  job.backColours.assign(job.residues.size(), 1);
  job.programPath = CurrentPlatform().ProgramPath();
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
