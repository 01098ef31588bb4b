// The BLAST report reader on arbitrary file content, read both as an HTML
// (kind 4) and as a text (kind 5) report. On success no alignment's subject
// or middle line is longer than its query line, every hit has one selection
// flag per alignment and the viewer's record of the first hits can be built;
// then the working set is freed as the load flow frees it.
#include <cstdlib>

#include "fuzz/fuzz_input_file.h"
#include "vistram/results/blast_parser.h"

namespace {
void CheckWorkingSet(const std::shared_ptr<HitList>& hits) {
  if (!hits) return;
  for (const auto& hit : *hits) {
    if (hit->selected.size() != hit->alignments.size()) std::abort();
    for (const auto& ali : hit->alignments) {
      if (ali->subjectLine.size() > ali->queryLine.size() || ali->middleLine.size() > ali->queryLine.size())
        std::abort();
    }
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = InputFile().Write(data, size);
  for (int kind : {4, 5}) {
    DataProgram dp;
    const int r = LitBlastForListBox(nullptr, nullptr, dp, path, kind);
    if (r < 0 || r > 7) std::abort();
    if (r == 1) {
      CheckWorkingSet(dp.hits);
      for (const auto& section : dp.extraSections) CheckWorkingSet(section.hits);
      if (dp.hits && !dp.hits->empty()) {
        const int count = static_cast<int>(dp.hits->size());
        for (int h = 1; h <= count && h <= 4; ++h) (void)LitUnAlignHsp(nullptr, h, 1, dp);
      }
    }
    FreeHspData(dp);
    dp.extraSections.clear();
  }
  return 0;
}
