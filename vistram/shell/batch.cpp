#include "vistram/shell/batch.h"

#include <cstdio>
#include <cstring>

namespace {
void PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage: vistram [REPORT]\n");
}
}  // namespace

bool RunBatchIfRequested(int argc, char** argv, int& exitCode) {
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    PrintUsage(stdout);
    exitCode = 0;
    return true;
  }
  return false;
}
