// One plot of the "--hca" batch command, and the writer that the window
// library provides for it (the batch command itself is in the shell).
#pragma once
#include <string>
#include <vector>

// One batch plot to write.
struct HcaBatchJob {
  std::string residues;
  std::vector<int> textColours;  // palette indexes, one per residue
  std::vector<int> backColours;
  std::string name;
  std::string programPath;
  std::string outputPath;
  int residuePoints = 8;  // HCA font size, points
};

// Writes the job's output; 1 on success, 0 on failure (with `error` set).
// The window library installs the writer that measures the fonts and draws
// pictures; without it only plot files are written, with the geometry of
// the default screen font.
using HcaBatchWriter = int (*)(const HcaBatchJob& job, std::string& error);
