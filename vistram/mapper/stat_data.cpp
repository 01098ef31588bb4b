#include "vistram/mapper/stat_data.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <new>
#include <utility>

#include "vistram/platform/messages.h"
#include "vistram/results/records.h"

namespace {

bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

int ClampToInt(long long v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

// "%i" at `s`: blanks, a sign, then "0x" hex, "0" octal or decimal digits.
// False when no digit follows.
bool ScanCInteger(std::string_view s, long long& value) {
  std::size_t i = 0;
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '0') {
    base = 8;
    if (i + 2 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X') && std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
      base = 16;
      i += 2;
    }
  }
  bool any = false;
  long long v = 0;
  for (; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int d = -1;
    if (std::isdigit(c)) d = c - '0';
    else if (base == 16 && std::isxdigit(c)) d = std::tolower(c) - 'a' + 10;
    if (d < 0 || d >= base) break;
    any = true;
    if (v < (LLONG_MAX / 16)) v = v * base + d;  // beyond int range anyway: clamped below
  }
  value = negative ? -v : v;
  return any;
}

// The pair list: selected (hit, alignment number), both from 1; the hit is
// its position in the working set (a table made by a search keeps the
// numbers its hits had in their report).
struct SelectedPair {
  unsigned hit;
  unsigned alignment;
};

std::vector<SelectedPair> SelectedPairs(const DataProgram& dp) {
  std::vector<SelectedPair> pairs;
  if (!dp.hits) return pairs;
  for (std::size_t h = 0; h < dp.hits->size(); ++h) {
    const HspData* hit = (*dp.hits)[h].get();
    if (hit == nullptr) continue;
    for (std::size_t a = 0; a < hit->selected.size(); ++a)
      if (hit->selected[a] != 0) pairs.push_back({static_cast<unsigned>(h + 1), static_cast<unsigned>(a + 1)});
  }
  return pairs;
}

void Info(int textId, WindowHandle owner) { MyInfoMsgBox(IDS_MAP_CAPTION, textId, owner); }

// Builds the entries and the profile; throws std::bad_alloc, or returns
// false when an alignment is missing.
bool FillEntries(StatData& stat, const DataProgram& dp, const std::vector<SelectedPair>& pairs, MapProgress* progress) {
  const auto n = static_cast<std::uint32_t>(pairs.size());
  for (std::uint32_t u = 0; u < n; ++u) {
    const SelectedPair& pr = pairs[u];
    const HspData* hit = dp.Hit(static_cast<int>(pr.hit));
    if (hit == nullptr || pr.alignment > hit->alignments.size() || !hit->alignments[pr.alignment - 1]) return false;
    const AliData& ali = *hit->alignments[pr.alignment - 1];
    auto e = std::make_unique<StatEntry>();
    e->queryStart = ali.queryStart;
    e->subjectStart = ali.subjectStart;
    e->queryEnd = ali.queryEnd;
    e->subjectEnd = ali.subjectEnd;
    AddAlignmentToProfile(ali.queryLine, ali.subjectLine, ali.queryStart, stat.L, stat.coverage, stat.identity);
    e->score = ReadStatScore(ali.statsText, ali.score);
    e->hitNumber = static_cast<unsigned>(hit->number);
    e->label = StatLabel(e->hitNumber, hit->identifier, ali.subjectStart, ali.subjectEnd, pr.alignment);
    e->description = hit->description.substr(0, 99);
    e->alignmentNumber = pr.alignment;
    stat.entries.push_back(std::move(e));
    if (progress != nullptr) progress->Step(u + 1, n);
  }
  return true;
}

void ApplyOrder(StatData& stat, std::vector<long long> keys) {
  std::vector<std::uint32_t> order(keys.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  SelectionSortOrder(keys, order);
  std::vector<std::unique_ptr<StatEntry>> sorted(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) sorted[i] = std::move(stat.entries[order[i]]);
  stat.entries = std::move(sorted);
}

void SortBy(StatData& stat, bool byQueryStart) {
  std::vector<long long> keys;
  keys.reserve(stat.entries.size());
  for (const auto& e : stat.entries) keys.push_back(byQueryStart ? e->queryStart : static_cast<long long>(e->hitNumber));
  ApplyOrder(stat, std::move(keys));
  stat.sorted = byQueryStart;
}

}  // namespace

std::unique_ptr<StatData> InitStatData() {
  try {
    return std::make_unique<StatData>();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

int PrepareStatData(StatData& stat, const DataProgram& dp, int totalAlignments, MapProgress* progress,
                    WindowHandle owner) {
  bool progressShown = false;
  try {
    std::vector<SelectedPair> pairs = SelectedPairs(dp);
    if (pairs.empty()) {
      Info(IDS_MAP_NO_SELECTION, owner);
      return 0;
    }
    if (dp.header.queryLength < 1) {
      Info(IDS_MAP_UNKNOWN_QUERY_SIZE, owner);
      return 0;
    }
    stat = StatData{};
    stat.n = static_cast<std::uint32_t>(pairs.size());
    stat.L = dp.header.queryLength;
    stat.allSelected = totalAlignments >= 0 && stat.n == static_cast<std::uint32_t>(totalAlignments);
    stat.entries.reserve(pairs.size());
    stat.coverage.assign(static_cast<std::size_t>(stat.L), 0);
    stat.identity.assign(static_cast<std::size_t>(stat.L), 0.0F);
    if (progress != nullptr) {
      progress->Begin(stat.n);
      progressShown = true;
    }
    const bool filled = FillEntries(stat, dp, pairs, progress);
    if (filled) {
      for (std::size_t p = 0; p < stat.coverage.size(); ++p)
        stat.identity[p] = stat.coverage[p] < 1 ? 0.0F
                                                : static_cast<float>(stat.identity[p] / static_cast<float>(stat.coverage[p]) * 100.0F);
      SetDefaultScoreClasses(stat);
      stat.scaleTicks = kDefaultScaleTicks;
      stat.displayLines = true;
      if (progress != nullptr) progress->End();
      return 1;
    }
  } catch (const std::bad_alloc&) {
  }
  if (progressShown) progress->End();
  stat = StatData{};
  Info(IDS_MAP_CANNOT_PREPARE, owner);
  return 0;
}

void DelStatData(std::unique_ptr<StatData>& stat) { stat.reset(); }

int ReadStatScore(std::string_view statsText, double scoreStatistic) {
  const std::size_t eq = statsText.find('=');
  if (eq == std::string_view::npos) return scoreStatistic >= 0 ? ClampToInt(static_cast<long long>(std::min(scoreStatistic, 1e15))) : -1;
  long long v = 0;
  if (!ScanCInteger(statsText.substr(eq + 1), v)) return 0;
  return ClampToInt(v);
}

std::string StatLabel(unsigned hitNumber, std::string_view identifier, int subjectStart, int subjectEnd,
                      unsigned alignmentNumber) {
  char buf[40];
  const std::string id(identifier.substr(0, 10));
  std::snprintf(buf, sizeof buf, "%4u.%s (%4u-%4u) %2u", hitNumber, id.c_str(), static_cast<unsigned>(subjectStart),
                static_cast<unsigned>(subjectEnd), alignmentNumber);
  return buf;
}

void AddAlignmentToProfile(std::string_view queryLine, std::string_view subjectLine, int queryStart, int L,
                           std::vector<std::int32_t>& coverage, std::vector<float>& identical) {
  long long g = 0;
  for (std::size_t k = 0; k < queryLine.size(); ++k) {
    const char q = queryLine[k];
    const char s = k < subjectLine.size() ? subjectLine[k] : ' ';
    if (q == '-') ++g;
    if (!IsLetter(q) || !IsLetter(s)) continue;
    const long long p = static_cast<long long>(queryStart) + static_cast<long long>(k) - 1 - g;
    if (p >= L) return;
    if (p < 0) continue;
    ++coverage[static_cast<std::size_t>(p)];
    if (q == s) identical[static_cast<std::size_t>(p)] += 1.0F;
  }
}

void SetDefaultScoreClasses(StatData& stat) {
  stat.classes = {{{0, 40, 0x000000}, {41, 50, 0x0000FF}, {51, 80, 0x00FF00}, {81, 200, 0xFF00FF}, {201, 5000, 0xFF0000}}};
  stat.classCount = kScoreClassCount;
}

int ScoreClassOf(const StatData& stat, int score) {
  for (std::uint32_t i = 0; i < stat.classCount && i < kScoreClassCount; ++i)
    if (score >= stat.classes[i].from && score <= stat.classes[i].to) return static_cast<int>(i);
  return -1;
}

void Tri_StatData(StatData& stat) { SortBy(stat, true); }
void UndoTri_StatData(StatData& stat) { SortBy(stat, false); }

void SelectionSortPlain(std::vector<long long>& keys, std::vector<std::uint32_t>& order) {
  const std::size_t n = keys.size();
  for (std::size_t i = 0; i + 1 < n; ++i) {
    std::size_t m = i;
    for (std::size_t j = i + 1; j < n; ++j)
      if (keys[j] < keys[m]) m = j;
    std::swap(keys[i], keys[m]);
    std::swap(order[i], order[m]);
  }
}

void SelectionSortOrder(std::vector<long long>& keys, std::vector<std::uint32_t>& order) {
  const std::size_t n = keys.size();
  if (n < 2) return;
  // A tournament tree over the positions: each node holds the position of
  // the smallest key below it, the leftmost among equals. Positions already
  // placed are retired (kNone), so the root is the minimum of the rest.
  constexpr std::size_t kNone = SIZE_MAX;
  std::size_t size = 1;
  while (size < n) size <<= 1;
  std::vector<std::size_t> tree(2 * size, kNone);
  const auto better = [&](std::size_t a, std::size_t b) {
    if (a == kNone) return b;
    if (b == kNone) return a;
    if (keys[b] < keys[a]) return b;
    return a < b || keys[a] < keys[b] ? a : b;
  };
  for (std::size_t i = 0; i < n; ++i) tree[size + i] = i;
  for (std::size_t v = size - 1; v >= 1; --v) tree[v] = better(tree[2 * v], tree[2 * v + 1]);
  const auto update = [&](std::size_t pos, std::size_t value) {
    std::size_t v = size + pos;
    tree[v] = value;
    for (v >>= 1; v >= 1; v >>= 1) tree[v] = better(tree[2 * v], tree[2 * v + 1]);
  };
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const std::size_t m = tree[1];
    std::swap(keys[i], keys[m]);
    std::swap(order[i], order[m]);
    if (m != i) update(m, m);  // its new key may be larger
    update(i, kNone);
  }
}

std::string StatDataTsv(const StatData& stat) {
  std::string out;
  char buf[128];
  for (std::size_t i = 0; i < stat.entries.size(); ++i) {
    const StatEntry& e = *stat.entries[i];
    std::snprintf(buf, sizeof buf, "bar\t%u\t", e.hitNumber);
    out += buf;
    for (char c : e.label) out.push_back(c == '\t' || static_cast<unsigned char>(c) < 32 ? ' ' : c);
    std::snprintf(buf, sizeof buf, "\t%d\t%d\t%d\t%d\n", e.score, ScoreClassOf(stat, e.score) + 1, e.queryStart,
                  e.queryEnd);
    out += buf;
  }
  for (std::size_t p = 0; p < stat.coverage.size(); ++p) {
    std::snprintf(buf, sizeof buf, "position\t%zu\t%d\t%.1f\n", p + 1, stat.coverage[p],
                  static_cast<double>(stat.identity[p]));
    out += buf;
  }
  return out;
}

std::string StatTrackText(const StatData& stat, std::string_view positionText) {
  long long p = 0;
  bool digits = !positionText.empty();
  for (char c : positionText) {
    if (!std::isdigit(static_cast<unsigned char>(c)) || p > 1000000000) {
      digits = false;
      break;
    }
    p = p * 10 + (c - '0');
  }
  if (!digits || p < 1 || p > stat.L || static_cast<std::size_t>(p) > stat.coverage.size()) return " -  / -  /  -   %";
  char buf[64];
  const auto i = static_cast<std::size_t>(p - 1);
  std::snprintf(buf, sizeof buf, "%4u/%4u/%5.1f%%", static_cast<unsigned>(p), static_cast<unsigned>(stat.coverage[i]),
                static_cast<double>(stat.identity[i]));
  return buf;
}
