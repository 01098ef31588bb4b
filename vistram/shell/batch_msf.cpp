// vistram --msf INPUT -o OUT.msf|.fasta|.aln [--select all|first]: the
// editor's alignment built from a report (or read from an MSF file) and
// saved over its whole width with the consensus, 50 residues a line.
#include <cstdio>
#include <cstring>
#include <string>

#include "vistram/editor/msa_batch.h"
#include "vistram/editor/msa_open.h"
#include "vistram/editor/msf.h"
#include "vistram/shell/batch_commands.h"

int RunMsfBatch(int argc, char** argv) {
  std::string input;
  BatchOutputAndSelection options;
  for (int i = 0; i < argc; ++i) {
    if (const int taken = TakeOutputOrSelect(argc, argv, i, options); taken != 0) {
      if (taken < 0) return 2;
    } else if (input.empty()) {
      input = argv[i];
    } else {
      return 2;
    }
  }
  const std::string& out = options.out;
  const MsaFileFormat format = MsaFormatFromPath(out);
  if (input.empty() || out.empty() || format == MsaFileFormat::kUnknown) return 2;
  DarUvaData msa;
  std::string message;
  if (LoadMsaForBatch(input, options.firstOnly, msa, message) != 1) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
  }
  constexpr int kResiduesPerLine = 50;
  if (SaveMsaAs(format, kResiduesPerLine, out, msa, 0, 1, msa.columnCount - 1, true) != 1) {
    std::fprintf(stderr, "%s\n", CannotWriteMessage(out).c_str());
    return 1;
  }
  return 0;
}
