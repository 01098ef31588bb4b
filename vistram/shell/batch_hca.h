// Batch command "--hca": the HCA plot of one sequence file written without
// any window, as a plot file (.hca), an SVG picture (.svg) or a PNG picture
// (.png), as the output's extension says.
//
//   vistram --hca SEQFILE -o OUT
//
// The sequence is read as the "Load Query from file" command reads it and
// numbered from 1; its residues take the HCA colour code. Exit codes: 0
// written; 1 the sequence could not be read or the output not written (the
// message goes to standard error); 2 wrong arguments.
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
void SetHcaBatchWriter(HcaBatchWriter writer);

// Runs "--hca" with the arguments after the option; returns the exit code.
int RunHcaBatch(int argc, char** argv);
