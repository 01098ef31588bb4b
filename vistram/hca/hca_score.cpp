#include "vistram/hca/hca_score.h"

namespace {
// One lookup per residue: the score runs once for every alignment of a report.
struct HydrophobicTable {
  bool map[256];
  constexpr HydrophobicTable() : map() {
    for (char c : kHcaHydrophobic) map[static_cast<unsigned char>(c)] = true;
  }
};
constexpr HydrophobicTable kHydrophobic{};

bool IsHydrophobic(char c) { return kHydrophobic.map[static_cast<unsigned char>(c)]; }
}  // namespace

double CalculScoreHCA(std::string_view line1, std::string_view line2, int start1, int end1, int start2, int end2) {
  if (end1 - start1 != end2 - start2) return -1.0;
  const long span = static_cast<long>(end1) - start1;
  int count1 = 0;
  int count2 = 0;
  int common = 0;
  for (long k = 0; k < span; ++k) {
    const long i1 = start1 + k;
    const long i2 = start2 + k;
    if (i1 < 0 || i2 < 0 || static_cast<std::size_t>(i1) >= line1.size() ||
        static_cast<std::size_t>(i2) >= line2.size())
      break;
    const char c1 = line1[static_cast<std::size_t>(i1)];
    const char c2 = line2[static_cast<std::size_t>(i2)];
    if (c1 == '-' || c2 == '-') continue;
    const bool h1 = IsHydrophobic(c1);
    const bool h2 = IsHydrophobic(c2);
    count1 += h1;
    count2 += h2;
    common += h1 && h2;
  }
  if (count1 + count2 == 0) return 0.0;
  return common * 2.0 * 100.0 / (count1 + count2);
}

double AlignmentHcaScore(std::string_view queryLine, std::string_view subjectLine) {
  return CalculScoreHCA(queryLine, subjectLine, 0, static_cast<int>(queryLine.size()) - 1, 0,
                        static_cast<int>(subjectLine.size()) - 1);
}
