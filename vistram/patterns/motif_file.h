// Pattern files (".mot") and the choice of patterns for a search.
//
// A pattern file is read line by line: "#MOTIF" starts an entry; a line with
// ":" in its first three characters is skipped; "DE" in the first three
// characters gives the entry's description and "PA" its pattern, each the
// text from the fourth character on. Other lines are ignored.
#pragma once
#include <string>
#include <vector>

#include "vistram/platform/platform.h"

inline constexpr std::size_t kMotifLineMax = 199;   // characters of a line read
inline constexpr std::size_t kMotifTextMax = 99;    // characters of a pattern or description
inline constexpr std::size_t kPatternFieldMax = 119;  // characters read from the window's fields

inline constexpr const char* kMsgPatternFileProblem = "Problem with the file of patterns !";
inline constexpr const char* kAllPatterns = "All patterns";
inline constexpr const char* kSomePatterns = "Some patterns";

struct PatternEntry {
  std::string pattern;      // as written in the file, at most 99 characters
  std::string description;  // "%u. %s": the entry number and the file's description
};

// The pattern file state of one search window.
struct PatternFileState {
  std::string path;   // the pattern file, or at first the folder to start in
  std::string title;  // its file name
  std::vector<PatternEntry> entries;
  std::vector<std::size_t> selected;  // selected entries, 0-based, in file order
  std::string pattern;      // the chosen pattern text
  std::string description;  // the chosen description
};

// Reads the entries of a pattern file; false (and no entries) when it cannot be read.
bool ReadMotifs(const std::string& path, std::vector<PatternEntry>& entries);

// Asks for a pattern file (filters "motif(*.mot)" and "tout(*.*)", starting in
// the folder of the current path) and reads it. 1 read, 2 cancelled, 0 failed
// (the message has been shown; the previous entries are dropped).
int ChooseFileName2(WindowHandle owner, PatternFileState& state);

// "&Ok" of the "List of patterns" dialog with these entries selected: false
// (nothing changed) when none is. One entry gives its description and
// pattern, every entry "All patterns", some of them "Some patterns" (with an
// empty pattern).
bool ChooseEntries(PatternFileState& state, const std::vector<std::size_t>& selected);

// The patterns of one "Find..." from the window's two fields: the selected
// file entries (as written) when the description names all or some
// patterns, otherwise the pattern field in upper case. Each at most 99 characters.
std::vector<std::string> PatternsToSearch(const std::string& descriptionField, const std::string& patternField,
                                          const PatternFileState& state);
