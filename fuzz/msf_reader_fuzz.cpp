// The MSF reader on arbitrary file content: a file taken as MSF reads into a
// record whose every row has exactly the column count of residues, match
// line and colours, whose residues are letters or '.', whose names hold at
// most 49 characters, and whose consensus has the column count.
#include <cstdlib>

#include "fuzz/fuzz_input_file.h"
#include "vistram/editor/msf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = InputFile().Write(data, size);
  int rows = 0, columns = 0;
  if (!AnalyseMSFHeader(path, rows, columns)) return 0;
  if (rows < 1 || columns < 0) std::abort();
  auto msa = ReadMSFforSeq(path, rows, columns, "");
  if (!msa) return 0;
  const std::size_t n = static_cast<std::size_t>(msa->columnCount);
  if (msa->SequenceCount() != rows || msa->consensus.size() != n) std::abort();
  for (const auto& row : msa->rows) {
    if (row->residues.size() != n || row->matchLine.size() != n || row->textColours.size() != n ||
        row->backColours.size() != n || row->name.size() > kMsaNameWidth)
      std::abort();
    for (char c : row->residues)
      if (!((c >= 'A' && c <= 'Z') || c == '.')) std::abort();
  }
  return 0;
}
