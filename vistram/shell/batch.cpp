#include "vistram/shell/batch.h"

#include <cstdio>
#include <cstring>

#include "vistram/shell/batch_hca.h"

namespace {
void PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage: vistram [REPORT]\n");
  std::fprintf(out, "       vistram --hca SEQFILE -o OUT.hca|OUT.svg|OUT.png\n");
}
}  // namespace

bool RunBatchIfRequested(int argc, char** argv, int& exitCode) {
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    PrintUsage(stdout);
    exitCode = 0;
    return true;
  }
  if (argc >= 2 && std::strcmp(argv[1], "--hca") == 0) {
    exitCode = RunHcaBatch(argc, argv);
    return true;
  }
  return false;
}
