// Building the editor's MSA without a display, for the batch commands.
#pragma once
#include <string>

#include "vistram/editor/msa.h"

// `input` is an MSF file (read as the editor opens one) or a report (loaded
// as the Open command does; its first table's alignments selected as
// "Select all alignments" or, with `firstAlignmentsOnly`, "Select first
// alignments" would; the MSA built as the editor builds it from the
// selection). 1 on success with the MSA in `msa`; 0 with the message the
// window would have shown in `message`.
int LoadMsaForBatch(const std::string& input, bool firstAlignmentsOnly, DarUvaData& msa, std::string& message);
