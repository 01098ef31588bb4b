// "Choose a sequence file" for the windows: the file dialog of the sequence
// input (through the platform layer) and the reading of the chosen file.
#pragma once
#include <string>

#include "vistram/seqio/sequence_text.h"

class QWidget;

struct ChosenSequence {
  SequenceText text;  // upper-case residues, at most 2500
  std::string name;   // sequence name (at most 255 characters)
  std::string path;   // the chosen file
};

// Shows "Choose a sequence file" owned by `owner`, opening in
// `initialFolder` (the program's folder when empty), and reads the chosen
// file. True with `out` filled when a valid sequence was read; false when the
// user cancels (out.path empty) or the file holds no valid sequence (out.path
// set). Shows no message: the caller says what failed.
bool ChooseSequenceFile(QWidget* owner, const std::string& initialFolder, ChosenSequence& out);
