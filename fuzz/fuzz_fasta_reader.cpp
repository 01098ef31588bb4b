// The FASTA report reader on arbitrary file content, read as each of its four
// report kinds (HTML and text, the FASTA package's and the EBI service's).
#include <cstdlib>

#include "fuzz/fuzz_input_file.h"
#include "vistram/results/fasta_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = InputFile().Write(data, size);
  for (int kind = 6; kind <= 9; ++kind) {
    DataProgram dp;
    const int r = LitFastaForListBox(nullptr, nullptr, dp, path, kind);
    if (r < 0 || r > 7) std::abort();
    if (r == 1 && dp.hits) {
      for (const auto& hit : *dp.hits) {
        if (hit->selected.size() != hit->alignments.size()) std::abort();
        for (const auto& ali : hit->alignments)
          if (ali->subjectLine.size() != ali->queryLine.size() || ali->middleLine.size() != ali->queryLine.size())
            std::abort();
      }
    }
    FreeHspData(dp);
  }
  return 0;
}
