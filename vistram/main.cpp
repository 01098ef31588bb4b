// Entry of the workbench. Batch commands (--export-tsv and the others listed
// by --help) run first and need no display; otherwise the window starts.
#include <cstdio>

#include "vistram/shell/batch.h"
#include "vistram/shell/batch_hca.h"
#ifdef VISTRAM_WITH_GUI
#include "vistram/hca/gui/hca_batch_writer.h"
#include "vistram/mapper/gui/map_draw.h"
#include "vistram/mapper/map_picture_writer.h"
#include "vistram/shell/batch_pdf.h"
#include "vistram/shell/gui/batch_pdf_writer.h"
#include "vistram/shell/gui/workbench.h"
#endif

int main(int argc, char** argv) {
  int exitCode = 0;
#ifdef VISTRAM_WITH_GUI
  SetHcaBatchWriter(WriteHcaBatchOutput);
  SetMapPictureWriter(WriteMapPictureForBatch);
  SetPdfBatchWriter(WritePdfForBatch);
#endif
  if (RunBatchIfRequested(argc, argv, exitCode)) return exitCode;
#ifdef VISTRAM_WITH_GUI
  return RunWorkbench(argc, argv);
#else
  std::fprintf(stderr, "vistram was built without its window; use a batch command (vistram --help).\n");
  return 2;
#endif
}
