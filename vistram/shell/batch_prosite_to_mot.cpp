// vistram --prosite-to-mot PROSITE.DAT -o OUT.mot: the PROSITE patterns that
// the pattern language expresses exactly, as a pattern file; the others are
// listed on standard error with the reason.
#include <cstdio>
#include <string>

#include "vistram/patterns/prosite.h"
#include "vistram/shell/batch_commands.h"

int RunPrositeToMot(int argc, char** argv) {
  std::string input, output;
  if (!ParseBatchReportAndOutput(argc, argv, input, output)) return 2;
  std::string message;
  const int code = ConvertPrositeFile(input, output, stderr, message);
  if (code != 0) std::fprintf(stderr, "%s\n", message.c_str());
  return code;
}
