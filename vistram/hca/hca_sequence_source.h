// Where the HCA windows and the batch command get a sequence and its
// colours: reading a sequence file (asking for it first, or by path) and
// the HCA colour code of its residues.
#pragma once
#include <string>
#include <vector>

#include "vistram/platform/platform.h"

// Reads the first sequence of the file at `path` (any of the sequence file
// formats): its residues (upper case) and its name. False when no valid
// sequence (10 to 2500 residues) is found.
bool HcaReadSequenceFile(const std::string& path, std::string& residues, std::string& name);

enum class HcaLoadResult { Loaded, Cancelled, Failed };
// Asks for a sequence file ("Choose a sequence file", opening in
// `initialFolder`) and reads it; Cancelled when the user cancels.
HcaLoadResult HcaChooseSequenceFile(WindowHandle owner, const std::string& initialFolder, std::string& residues,
                                    std::string& name);

// The HCA colour code of each residue: text and background palette indexes
// (a letter takes the configured colours of its letter; any other
// character black on white).
void HcaColoursForSequence(const std::string& configPath, const std::string& residues, std::vector<int>& text,
                           std::vector<int>& back);
