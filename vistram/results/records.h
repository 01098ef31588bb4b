// The result store: every report read is one table of hits, each hit one
// database sequence with its local alignments (HSPs). All tables live in one
// DataProgram per main window.
//
// Texts are std::string, but each keeps its documented width as a limit: a
// text of width N holds at most N-1 characters (SetText cuts longer values).
// Ownership: DataProgram owns its tables, the table-name list and the viewer;
// a TableEntry owns its hits (shared with the working set while the table is
// current); a hit owns its alignments. Tables never share hits: a table made
// from another holds deep copies.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vistram/base/config.h"

// Widths of the text fields (bytes, including the terminating NUL of the
// file formats, so a field holds width - 1 characters).
namespace width {
inline constexpr std::size_t kPath = 260;
inline constexpr std::size_t kQueryName = 100;
inline constexpr std::size_t kQueryLengthText = 100;
inline constexpr std::size_t kDatabaseText = 300;
inline constexpr std::size_t kIdentifier = 40;
inline constexpr std::size_t kDescription = 500;
inline constexpr std::size_t kUrl = 300;
inline constexpr std::size_t kScoreText = 8;
inline constexpr std::size_t kExpectText = 10;
inline constexpr std::size_t kLengthText = 6;
inline constexpr std::size_t kStatsText = 200;
inline constexpr std::size_t kViewerStatsText = 255;
}  // namespace width

// Stores `value` into `field`, cut to width - 1 characters.
void SetText(std::string& field, std::string_view value, std::size_t fieldWidth);

// Result types of a table.
enum ResultType : int {
  kResultBlast = 1,
  kResultBlast2 = 2,   // gapped BLAST
  kResultFasta = 3,
  kResultMixed = 4,
};

// One local alignment (HSP). The eleven statistics are -1.0 when not available.
struct AliData {
  std::string statsText;    // width 200
  std::string queryLine;    // aligned query residues, gaps '-'
  std::string subjectLine;  // aligned subject residues
  std::string middleLine;   // match line, same length as queryLine
  int queryStart = 0;
  int queryEnd = 0;
  int subjectStart = 0;
  int subjectEnd = 0;
  int gapped = 0;
  int sourceTableIndex = 0;  // index into the table-name list
  int sourceHitNumber = 0;   // 1-based hit number in its source table
  double score = 0;
  double expect = 0;
  double identityPercent = 0;
  double hcaScore = 0;
  double alignmentLength = 0;
  double positivePercent = 0;
  double pValue = 0;
  double initn = 0;
  double init1 = 0;
  double opt = 0;
  double zScore = 0;

  // Sets the eleven statistics to -1.0 (not available).
  void ClearStatistics();
};

// One hit: a database sequence and its alignments in report order.
struct HspData {
  int number = 0;            // 1-based position of the hit in its report
  std::string identifier;    // width 40, upper case
  std::string description;   // width 500, upper case
  std::string url;           // width 300
  std::string scoreText;     // width 8
  std::string expectText;    // width 10
  std::string lengthText;    // width 6
  int alignmentCount = 0;
  std::vector<int> selected;  // one flag per alignment; empty until the report is read
  std::vector<std::unique_ptr<AliData>> alignments;

  bool IsSelected(int alignmentIndex) const {
    return alignmentIndex >= 0 && static_cast<std::size_t>(alignmentIndex) < selected.size() &&
           selected[static_cast<std::size_t>(alignmentIndex)] != 0;
  }
};

using HitList = std::vector<std::unique_ptr<HspData>>;

// The header block: copied as one unit between the DataProgram and a table.
struct HeaderBlock {
  std::string queryName;        // width 100
  std::string queryLengthText;  // width 100, "(%u letters)"
  std::string databaseText;     // width 300
  int queryLength = 0;
  int isHtml = 0;
  int resultType = 0;
};

struct TableEntry {
  int savedHit = 0;        // 1-based hit shown when the table was last left; 0 for a new table
  int savedAlignment = 0;  // 1-based alignment within that hit
  unsigned hitCount = 0;
  int viewHitCount = 0;
  int alignmentCount = 0;
  std::shared_ptr<HitList> hits;  // owned by the table
  HeaderBlock header;
  std::string name;        // width 260
  std::string sourcePath;  // width 260; empty for tables made by searches
};

// The pairwise viewer's current alignment.
struct VisualHaspData {
  int alignedLength = 0;
  int hitNumber = 0;
  int alignmentNumber = 0;
  std::string queryLine, subjectLine, middleLine;
  int queryStart = 0, queryEnd = 0, subjectStart = 0, subjectEnd = 0;
  // Per-column palette indices (text and background) of the three lines.
  std::vector<int> queryTextColours, queryBackColours;
  std::vector<int> middleTextColours, middleBackColours;
  std::vector<int> subjectTextColours, subjectBackColours;
  std::vector<int> queryResidueNumbers;    // 0 in gap columns
  std::vector<int> subjectResidueNumbers;  // 0 in gap columns
  std::string statsText;                   // width 255
  int sourceTableIndex = 0;
  int sourceHitNumber = 0;
};

// A further query section of a multi-query report, read by the parser into
// its own working set; the load-done handler makes it a table of its own
// after the report's first table.
struct LoadedSection {
  HeaderBlock header;
  unsigned hitCount = 0;
  int viewHitCount = 0;
  int alignmentCount = 0;
  std::shared_ptr<HitList> hits;
  int queryNumber = 0;  // 2 for the report's second query, and so on
};

struct DataProgram {
  std::string programFolder;  // width 260
  std::string reportPath;     // width 260
  std::string tableName;      // width 260
  HeaderBlock header;
  std::string configPath;  // width 260
  std::string helpPath;    // width 260

  int tableCount = 0;
  int currentTable = -1;
  std::vector<std::unique_ptr<TableEntry>> tables;

  // The working set: the hits of the current table (shared, not copied), or
  // of the report being loaded.
  unsigned hitCount = 0;
  int viewHitCount = 0;
  int alignmentCount = 0;
  std::shared_ptr<HitList> hits;

  std::unique_ptr<VisualHaspData> viewer;

  // Filled by the load worker beside the working set: the further query
  // sections of the report being loaded (empty for a single-query report).
  std::vector<LoadedSection> extraSections;
  GuiPreferences prefs;  // display preferences of the configuration file, for the run

  int colourCode = 10;     // 10, 20 or 30
  int useBackground = 1;

  std::vector<std::string> tableNames;  // every table ever created, never shrinks
  int tableNameCount = 0;

  // The hit at 1-based `hitNumber` of the working set, or null.
  HspData* Hit(int hitNumber) const;
};

// Record operations. Failures of allocation are reported to the user (as the
// memory wrappers do) and turned into the documented result codes.

// Allocates the DataProgram for the program file at `programPath`: config and
// help paths beside it. Null (after the "not a complete release" warning)
// when the configuration file cannot be read.
std::unique_ptr<DataProgram> InitDataProgram(const std::string& programPath);
// Empties queryName, queryLengthText, databaseText and queryLength.
void InitFichBlastData(DataProgram& dp);
void FreePALIDATA(std::vector<std::unique_ptr<AliData>>& alignments);
// Frees every hit of the working set and empties it (nothing when it has none).
void FreeHspData(DataProgram& dp);
void FreeVisualHaspData(std::unique_ptr<VisualHaspData>& viewer);
// Frees every table with its hits.
void FreeDataTable(DataProgram& dp);
// Frees the table-name list.
void FreedataTableAbs(DataProgram& dp);
void FreeDataProgram(std::unique_ptr<DataProgram>& dp);

// Appends a table made from the working set and makes it current.
// 1 created; 2 nothing created and the table list is empty; 3 not added and
// the working set's hits freed.
int CreateTableEntry(DataProgram& dp);
// Removes the table at `index` (its hits are freed by the caller first).
void EraseTableEntry(DataProgram& dp, int index);
// Appends a copy of `name`; `newCount` is the list's count after the append. 1 or 0.
int AddtableNameEntry(DataProgram& dp, std::string_view name, int newCount);
void AssTBnameToAli(int nameIndex, const HitList& hits, unsigned hitCount);

std::unique_ptr<AliData> CopieDataAlignement(const AliData& ali);
// Deep copy with a new, cleared selection array.
std::unique_ptr<HspData> CopieDataHsp(const HspData& hit);
// Copy keeping only the alignments whose flag is set; null when none is.
std::unique_ptr<HspData> CopieDataHsp2(const HspData& hit, const int* flags, int count);

// Makes table `index` current: its hits, counts, header and name go into the
// working set. (The windows then show it; see ResultView.)
void LoadTableIntoWorkingSet(DataProgram& dp, int index);
// Leaves the current table: remembers the viewer position and empties the
// working set without freeing it.
void LeaveCurrentTable(DataProgram& dp);
