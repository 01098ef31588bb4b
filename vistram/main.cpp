// Entry of the workbench. Batch commands (--export-tsv and the others listed
// by --help) run first and need no display; otherwise the window starts.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "vistram/base/installation.h"

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

namespace {
// An installed program's first start makes the user's configuration from the
// shipped one; a copy that cannot be made leaves the refusal to start to the
// check of the configuration file.
void PrepareConfiguration() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return;
  std::string error;
  if (!PrepareUserConfig(std::string(buf, static_cast<std::size_t>(n)), error))
    std::fprintf(stderr, "vistram: cannot make the user's configuration: %s\n", error.c_str());
}
}  // namespace

int main(int argc, char** argv) {
  int exitCode = 0;
  PrepareConfiguration();
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
