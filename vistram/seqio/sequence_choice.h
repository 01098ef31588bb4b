// Asking the user for a sequence file and reading it (the "Load ... from
// file" commands of the HCA viewer and the query of the BLAST-2 builder).
// The dialog goes through the platform layer, so the flow runs without a
// display in tests.
#pragma once
#include <string>

#include "vistram/platform/platform.h"
#include "vistram/seqio/sequence_text.h"

// The open-file dialog "Choose a sequence file": filters "All files (*.*)"
// (selected), "FASTA (*.PEA)", "GCG Software (*.GCG)", "GenPept (*.GP)",
// "NBRF-PIR (*.PIR)", "Raw sequence (*.SEQ)", "SwissProt (*.SW)"; default
// extension "SEQ"; the chosen file must exist. True when a file was chosen:
// `path` receives its full path (at most 259 characters), `fileTitle` its
// file name (at most 255). A cancelled dialog gives false.
bool ChoisiNomFichierSequence(WindowHandle owner, std::string& path, std::string& fileTitle,
                              const std::string& initialFolder);

// Shows the dialog above and reads the chosen file with LireSequence. Null
// when the user cancels or the file holds no valid sequence (no message of
// its own: callers report the failure). `path` receives the chosen path,
// `name` the sequence name.
SequenceText ChoisiEtLitFichierSeq(WindowHandle owner, std::string& path, std::string& name,
                                   const std::string& initialFolder);
