// The batch mode's PDF writer (see batch_pdf.h): the printouts drawn into a
// PDF in memory without a display, then written through the safe file writer.
#pragma once
#include <string>

#include "vistram/shell/batch_pdf.h"

bool WritePdfForBatch(const PdfBatchJob& job, std::string& error);
