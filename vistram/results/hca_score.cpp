#include "vistram/results/hca_score.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
  long k = 0;
#if defined(__SSE2__)
  // Sixteen columns at a time: masks of the hydrophobic residues of each
  // line, the columns with a gap left out; per-byte counters summed every
  // 255 blocks, before they can wrap.
  auto hydrophobic = [](__m128i v) {
    __m128i m = _mm_setzero_si128();
    for (char c : kHcaHydrophobic) m = _mm_or_si128(m, _mm_cmpeq_epi8(v, _mm_set1_epi8(c)));
    return m;
  };
  auto sum = [](__m128i counts) {
    const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    return static_cast<unsigned>(_mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
  };
  const __m128i dash = _mm_set1_epi8('-');
  while (k + 16 <= columns) {
    __m128i c1 = _mm_setzero_si128(), c2 = c1, both = c1;
    for (int block = 0; block < 255 && k + 16 <= columns; ++block, k += 16) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p1 + k));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p2 + k));
      const __m128i gaps = _mm_or_si128(_mm_cmpeq_epi8(a, dash), _mm_cmpeq_epi8(b, dash));
      const __m128i h1 = _mm_andnot_si128(gaps, hydrophobic(a));
      const __m128i h2 = _mm_andnot_si128(gaps, hydrophobic(b));
      c1 = _mm_sub_epi8(c1, h1);
      c2 = _mm_sub_epi8(c2, h2);
      both = _mm_sub_epi8(both, _mm_and_si128(h1, h2));
    }
    count1 += sum(c1);
    count2 += sum(c2);
    common += sum(both);
  }
#endif
  for (; k < columns; ++k) {
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
