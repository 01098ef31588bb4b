// The pattern matcher. A pattern is made of parts separated by gap marks
// "{n}" (the next part starts 1 to n positions after the end of the previous
// one); a part is a run of elements, each one character or a group "(..)"
// of allowed characters; "X" matches any residue, a residue "X" matches any
// element and the gap residues "-" and "." never match. "{0}" ends a pattern.
//
// LanceRecherche runs one search of one pattern over one row and leaves the
// complete matches in RESULTS.TMP of a working folder. The steps are also
// available on their own so that a window or a batch run can prepare a
// pattern once and search many rows with it (PreparePattern, SearchRow).
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vistram/patterns/residue_table.h"
#include "vistram/platform/platform.h"

inline constexpr std::size_t kCompletedPatternMax = 499;  // completed and expanded pattern
// Bounds on what one (row, pattern) search may produce: complete matches kept,
// and chain steps tried while combining the parts.
inline constexpr std::size_t kMaxMatchesPerSearch = 100000;
inline constexpr std::uint64_t kMaxCombinationSteps = 50000000;

// Result codes of a search.
inline constexpr int kSearchError = 0;     // a message has been shown (or is in SearchOutcome::message)
inline constexpr int kSearchFound = 1;     // every part has hits; the complete matches (maybe none) are ready
inline constexpr int kSearchNotFound = 2;  // some part has no hit

// The messages of the search, all shown in information boxes with this caption.
inline constexpr const char* kFindPatternsCaption = "Find patterns";
inline constexpr const char* kMsgInvalidPattern = "Invalid pattern (syntax error).";
inline constexpr const char* kMsgNoTable = "Unable to locate protein.tbl file.";
inline constexpr const char* kMsgCannotCreateResults = "Unable to create 'resultats.tmp' file).";

// One part of a parsed pattern: its number (from 1), the gap limit of the
// mark in front of it and its text (as written on a line of SSMASK.TMP).
struct MaskPart {
  unsigned number = 0;
  unsigned gap = 0;
  std::string text;
};

// "{" length "}" pattern "{0}": the leading mark makes the first part a part like the others.
std::string AcheveMasque(std::string_view pattern, std::size_t sequenceLength);
// Splits a completed, expanded pattern into its parts, up to the first mark
// whose value is 0 (or not a number).
std::vector<MaskPart> DecorticMotif(std::string_view completed);
// SSMASK.TMP's lines for `parts` ("%u %u %s\n" each).
std::string SsmaskText(const std::vector<MaskPart>& parts);

// One element of a part: which residue bytes it accepts (gap residues never,
// a residue X always).
using MaskElement = std::array<std::uint8_t, 256>;
// A part ready for searching: its elements and, for parts of at most 64
// elements, for every residue byte the set of elements that accept it (so
// that a row is scanned once, all elements at a time).
struct CompiledPart {
  std::vector<MaskElement> elements;
  std::array<std::uint64_t, 256> accepts{};
};
// The elements of a part text, read up to its first blank (as "%s" reads a
// line of SSMASK.TMP).
CompiledPart CompilePart(std::string_view text);
bool CompareMask(char residue, const MaskElement& element);

struct PatternHit {
  unsigned start = 0;  // 0-based
  unsigned end = 0;    // inclusive
};
// One complete match: the hit of each part, in part order.
using PatternMatch = std::vector<PatternHit>;

// The leftmost match of `elements` at or after `from`; false when there is none.
bool RechercheMaskSimple(const CompiledPart& part, std::string_view sequence, std::size_t from,
                         PatternHit& hit);
// The successive hits of one part (never overlapping; the scan stops once a
// hit leaves fewer than two positions after it). kSearchFound or kSearchNotFound.
int RechercheMaskComplexe(const CompiledPart& part, std::string_view sequence,
                          std::vector<PatternHit>& hits);
// Chains the hits of the parts depth-first into complete matches, in the
// order RESULTS.TMP lists them. `cut` is set when a bound stopped it early.
std::vector<PatternMatch> LanceExamenCombinaison(const std::vector<MaskPart>& parts,
                                                 const std::vector<std::vector<PatternHit>>& partHits, bool& cut);

// A pattern expanded once for many rows.
class PreparedPattern {
 public:
  PreparedPattern(std::string_view pattern, const ResidueClassTable& table);
  bool Empty() const { return empty_; }
  // Parts and compiled elements for rows of `length` positions (the completed
  // pattern's cut at 499 characters depends on the length's digits).
  const std::vector<MaskPart>& Parts(std::size_t length);
  const std::vector<CompiledPart>& Elements(std::size_t length);

 private:
  void Prepare(std::size_t length);
  bool empty_ = false;
  std::string body_;  // RemplaceMultiLettre(pattern)
  std::size_t preparedFor_ = SIZE_MAX;
  std::vector<MaskPart> parts_;
  std::vector<CompiledPart> elements_;
};

struct SearchOutcome {
  int code = kSearchNotFound;
  std::string message;  // with kSearchError
  std::vector<PatternMatch> matches;
  bool cut = false;  // a bound stopped the combination early
};

// The search of one prepared pattern over one row, in memory.
SearchOutcome SearchRow(PreparedPattern& pattern, std::string_view residues);
// The whole search of `pattern` with the table already loaded (`table` null:
// the table could not be loaded).
SearchOutcome SearchPattern(std::string_view pattern, const ResidueClassTable* table, std::string_view residues);

// RESULTS.TMP: "%u %u\n" per part, then "-\n", per match. The file is made
// with mode 0600 and never follows a link. False when it cannot be written.
bool WriteResultsFile(const std::string& path, const std::vector<PatternMatch>& matches);
// Reads RESULTS.TMP back; false when it cannot be opened.
bool ReadResultsFile(const std::string& path, std::vector<PatternMatch>& matches);
std::string ResultsFilePath(const std::string& workFolder);
// RESULTS.TMP's text for `matches`, and the matches read back from such a text.
std::string ResultsText(const std::vector<PatternMatch>& matches);
std::vector<PatternMatch> ParseResultsText(std::string_view text);

// RESULTS.TMP held open by a search window for all its searches: made once
// (mode 0600, never through a link, never over an existing file), then
// rewritten for each (row, pattern) pair that found something, read back and
// emptied; it goes with the window's private folder.
class ResultsFile {
 public:
  ResultsFile() = default;
  ~ResultsFile();
  ResultsFile(const ResultsFile&) = delete;
  ResultsFile& operator=(const ResultsFile&) = delete;
  bool Create(const std::string& workFolder);
  bool Write(const std::vector<PatternMatch>& matches);
  bool Read(std::vector<PatternMatch>& matches);
  bool Empty();
  const std::string& Path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

// LanceRecherche (owner, working folder, row name, row text, table name,
// pattern): loads the table from the program's folder, searches and writes
// RESULTS.TMP in `workFolder`. Messages go to the platform's information
// boxes (caption "Find patterns"). Returns kSearchError, kSearchFound or
// kSearchNotFound; RESULTS.TMP is written only with kSearchFound.
int LanceRecherche(WindowHandle owner, const std::string& workFolder, const std::string& rowName,
                   std::string_view residues, const std::string& tableName, std::string_view pattern);

// The folder of the table "<tableName>.TBL": beside the running program, or
// in the installed program's shared data folder.
std::string TableFolder(const std::string& tableName);
