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
#include "vistram/hca/hca_batch_job.h"

// Installs the writer of the window library (see HcaBatchWriter).
void SetHcaBatchWriter(HcaBatchWriter writer);

// Runs "--hca" with the arguments after the option; returns the exit code.
int RunHcaBatch(int argc, char** argv);
