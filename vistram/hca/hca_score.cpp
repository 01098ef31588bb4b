#include "vistram/hca/hca_score.h"

#include <algorithm>

namespace {
// One lookup per column: 1 for a hydrophobic residue, 2 for a gap, 0 for
// anything else. The score runs once for every alignment of a report.
struct ResidueClassTable {
  unsigned char map[256];
  constexpr ResidueClassTable() : map() {
    for (char c : kHcaHydrophobic) map[static_cast<unsigned char>(c)] = 1;
    map[static_cast<unsigned char>('-')] = 2;
  }
};
constexpr ResidueClassTable kResidueClass{};
}  // namespace

double CalculScoreHCA(std::string_view line1, std::string_view line2, int start1, int end1, int start2, int end2) {
  if (end1 - start1 != end2 - start2) return -1.0;
  const long span = static_cast<long>(end1) - start1;
  // The columns compared: from the starts, span of them, but none outside
  // either line.
  long columns = 0;
  if (start1 >= 0 && start2 >= 0 && span > 0) {
    const long room1 = static_cast<long>(line1.size()) - start1;
    const long room2 = static_cast<long>(line2.size()) - start2;
    columns = std::max(0L, std::min({span, room1, room2}));
  }
  const auto* p1 = reinterpret_cast<const unsigned char*>(line1.data()) + (columns > 0 ? start1 : 0);
  const auto* p2 = reinterpret_cast<const unsigned char*>(line2.data()) + (columns > 0 ? start2 : 0);
  unsigned count1 = 0;
  unsigned count2 = 0;
  unsigned common = 0;
  for (long k = 0; k < columns; ++k) {
    const unsigned a = kResidueClass.map[p1[k]];
    const unsigned b = kResidueClass.map[p2[k]];
    const unsigned keep = ((a | b) >> 1) ^ 1u;  // 0 when either is a gap
    count1 += a & keep;
    count2 += b & keep;
    common += a & b & keep;
  }
  if (count1 + count2 == 0) return 0.0;
  return common * 2.0 * 100.0 / (count1 + count2);
}

double AlignmentHcaScore(std::string_view queryLine, std::string_view subjectLine) {
  return CalculScoreHCA(queryLine, subjectLine, 0, static_cast<int>(queryLine.size()) - 1, 0,
                        static_cast<int>(subjectLine.size()) - 1);
}
