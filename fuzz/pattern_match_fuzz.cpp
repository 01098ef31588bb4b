// The pattern matcher on arbitrary patterns and rows: the input's first line
// is the pattern, the rest the row, searched with the shipped protein table's
// classes. Every match lies in the row, its parts in order and each part's
// residues accepted by the part's elements; the search always ends.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vistram/patterns/matcher.h"
#include "vistram/patterns/search_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ResidueClassTable table = [] {
    ResidueClassTable t;
    t.expansion['B'] = "(DN)";
    t.expansion['Z'] = "(EQ)";
    t.expansion['$'] = "(ACFGHIKLMTVWY)";
    return t;
  }();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = input.find('\n');
  if (cut == std::string_view::npos) return 0;
  const std::string_view pattern = input.substr(0, std::min<std::size_t>(cut, kPatternTextMax));
  const std::string_view row = input.substr(cut + 1);
  PreparedPattern prepared(pattern, table);
  const SearchOutcome out = SearchRow(prepared, row);
  if (out.code == kSearchError && !pattern.empty()) std::abort();
  if (out.matches.size() > kMaxMatchesPerSearch) std::abort();
  const auto& parts = prepared.Parts(row.size());
  for (const PatternMatch& m : out.matches) {
    if (m.size() != parts.size()) std::abort();
    for (std::size_t i = 0; i < m.size(); ++i) {
      if (m[i].start > m[i].end || m[i].end >= row.size()) std::abort();
      if (i > 0 && (m[i].start <= m[i - 1].end || m[i].start - m[i - 1].end > parts[i].gap)) std::abort();
      const CompiledPart& part = prepared.Elements(row.size())[i];
      if (m[i].end - m[i].start + 1 != part.elements.size()) std::abort();
      for (std::size_t k = 0; k < part.elements.size(); ++k) {
        if (!CompareMask(row[m[i].start + k], part.elements[k])) std::abort();
      }
    }
    if (MatchItemText(1, m, row).size() > kItemTextMax) std::abort();
  }
  return 0;
}
