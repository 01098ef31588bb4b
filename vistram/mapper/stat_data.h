// The map record: the selected alignments of the working set as bars against
// the query, with the per-position coverage and identity profile and the
// score classes that colour the bars. The map window, the map picture and the
// batch command all draw from this record; it holds no window resources.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vistram/platform/platform.h"

struct DataProgram;

// One mapped alignment.
struct StatEntry {
  unsigned hitNumber = 0;        // 1-based position of the hit in its report
  unsigned alignmentNumber = 0;  // 1-based within the hit
  std::string label;             // at most 39 characters: "%4u.%s (%4u-%4u) %2u"
  std::string description;       // the first 99 characters of the hit's description
  int score = 0;                 // see ReadStatScore
  int queryStart = 0, subjectStart = 0, queryEnd = 0, subjectEnd = 0;
};

// A score class: scores from..to (both inclusive) are drawn in `rgb`.
struct ScoreClass {
  int from = 0;
  int to = 0;
  std::uint32_t rgb = 0;  // 0xRRGGBB
};

inline constexpr std::size_t kScoreClassCount = 5;
inline constexpr unsigned kDefaultScaleTicks = 50;

struct StatData {
  std::uint32_t n = 0;  // entry count
  int L = 1;            // query length, at least 1
  std::vector<std::unique_ptr<StatEntry>> entries;  // display order
  // View kept by the map window: entries per page (0 while everything fits)
  // and the first entry shown.
  std::uint32_t pageSize = 0;
  std::uint32_t first = 0;
  bool allSelected = false;
  std::vector<std::int32_t> coverage;  // L counts; index 0 is query position 1
  std::vector<float> identity;         // L percentages
  std::array<ScoreClass, kScoreClassCount> classes{};
  std::uint32_t classCount = 0;
  unsigned scaleTicks = kDefaultScaleTicks;
  bool displayLines = true;
  int fontHeight = 0;
  bool sorted = false;  // entries in query-start order (the Sort check mark)
};

// Shows the preparation's progress (the "Preparing map..." dialog).
class MapProgress {
 public:
  virtual ~MapProgress() = default;
  // Called once before the first entry with the number of entries.
  virtual void Begin(std::uint32_t total) { (void)total; }
  // After each entry: `done` of `total`, shown as "%u/%u".
  virtual void Step(std::uint32_t done, std::uint32_t total) = 0;
  virtual void End() {}
};

// A zeroed record; null when memory is exhausted.
std::unique_ptr<StatData> InitStatData();

// Fills `stat` from the selected alignments of the working set of `dp`
// (`totalAlignments` is the working set's alignment count). 1 on success; 0
// after telling the user (message boxes titled "Mapper", owned by `owner`):
// "No sequences selected.", "Unknown query size." or, when memory runs out
// or an alignment is missing, "Unable to prepare map." (the record is then
// emptied).
int PrepareStatData(StatData& stat, const DataProgram& dp, int totalAlignments, MapProgress* progress,
                    WindowHandle owner);

// Releases the record; nothing happens when there is none.
void DelStatData(std::unique_ptr<StatData>& stat);

// The score of an alignment: the integer after the first "=" of its
// statistics text, read as C's "%i" reads it (a sign, then decimal, or hex
// after "0x", or octal after "0"). A text without "=" (FASTA statistics)
// takes the integer part of the alignment's score statistic (the
// Smith-Waterman score of a FASTA alignment) when there is one
// (`scoreStatistic` >= 0); otherwise the score is -1, which is in no class.
int ReadStatScore(std::string_view statsText, double scoreStatistic);

// The label "%4u.%s (%4u-%4u) %2u" cut to 39 characters.
std::string StatLabel(unsigned hitNumber, std::string_view identifier, int subjectStart, int subjectEnd,
                      unsigned alignmentNumber);

// Adds one alignment's columns to the profile (coverage and identical-residue
// counts) of a query of length L: a column counts at its query position when
// both residues are letters; query gaps shift the positions that follow;
// columns past L end the walk, columns before position 1 are skipped.
void AddAlignmentToProfile(std::string_view queryLine, std::string_view subjectLine, int queryStart, int L,
                           std::vector<std::int32_t>& coverage, std::vector<float>& identical);

// The default classes: 0-40 black, 41-50 blue, 51-80 green, 81-200
// magenta, 201-5000 red.
void SetDefaultScoreClasses(StatData& stat);
// The 0-based index of the first class containing `score`; -1 for none.
int ScoreClassOf(const StatData& stat, int score);

// Sorting the entries: by query start (Tri_StatData) or back by hit number
// (UndoTri_StatData). Both give exactly the order of a selection sort that
// takes the first of equal smallest keys and exchanges it into place, ties
// included, in O(n log n). They set `sorted` accordingly.
void Tri_StatData(StatData& stat);
void UndoTri_StatData(StatData& stat);

// That selection sort over `keys`: for each position i, the first of the
// smallest keys from i on is exchanged with the key at i. Each exchange is
// applied to `order` too (usually 0..n-1 on entry, so that it tells where
// each item ends). SelectionSortOrder finds each minimum in a tree of the
// remaining keys, O(n log n); SelectionSortPlain scans, O(n^2), and serves
// as the reference.
void SelectionSortOrder(std::vector<long long>& keys, std::vector<std::uint32_t>& order);
void SelectionSortPlain(std::vector<long long>& keys, std::vector<std::uint32_t>& order);

// The map's data as tab-separated lines: first one line per bar in display
// order ("bar", hit number, label, score, class 1-5 or 0, query start, query
// end), then one per query position ("position", p, coverage, identity with
// one decimal).
std::string StatDataTsv(const StatData& stat);

// The coverage and identity tip for the text of a query position:
// "%4u/%4u/%5.1f%%" when it is a position within 1..L, " -  / -  /  -   %"
// otherwise.
std::string StatTrackText(const StatData& stat, std::string_view positionText);
