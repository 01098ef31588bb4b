// The record searches of the Tools menu, over the hits of one or more tables:
// - String Finder: a keyword in the hits' identifiers and descriptions;
// - ID analyser: the hits of several tables grouped by database identifier;
// - Field Search: a range of one statistic of the alignments.
// A search either selects what it finds (the alignments' selection flags)
// or copies it into a new table (deep copies, renumbered from 1), which the
// caller then shows with ShowSearchTable. What the user must know is shown
// through the message helpers (caption 16), owned by `owner`.
#pragma once
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vistram/platform/platform.h"
#include "vistram/results/records.h"

class ResultView;

// Outcomes of a search.
enum SearchResult : int {
  kSearchRefused = 0,   // a refusal was shown (no table, no keyword, bad range); the dialog stays open
  kSearchSelected = 1,  // selection flags set; the dialog closes
  kSearchCopied = 2,    // a new table was built into `out`; the dialog closes
  kSearchNothing = 3,   // nothing found (told to the user, except by the ID analyser)
  kSearchFailed = 4,    // memory ran out; nothing was changed
};

// A table built by a search, ready to be shown.
struct SearchTable {
  std::shared_ptr<HitList> hits;
  int alignmentCount = 0;
  HeaderBlock header;
  std::string name;  // width 260
};

// The statistics the Field Search can test, in the order of an alignment's
// eleven statistics (the index is the field).
inline constexpr int kFieldCount = 11;
extern const std::array<const char*, kFieldCount> SZFIELDS;
// Statistic `field` (0 to 10) of `ali`; -1 when the report did not give it.
double AlignmentField(const AliData& ali, int field);
// The header of a table whose hits come from several tables: query
// "unknown", "(0 letters)", "unknown name|undefined size", mixed results.
HeaderBlock UnknownSearchHeader();

// String Finder over the tables at `tables` (indices into dp.tables, in list
// order). The keyword (cut to 499 characters) is upper-cased; a leading '!'
// inverts it (hits whose identifier and description both lack the rest).
// `copy` false selects every alignment of each matching hit; true builds
// the table "Search for : KEYWORD" into `out`.
int StringFinderSearch(DataProgram& dp, WindowHandle owner, const std::vector<int>& tables, std::string_view keyword,
                       bool copy, SearchTable* out);

// ID analyser: the hits of the tables grouped by their identifier's first
// word; each group holds copies of the alignments of all its hits, score and
// expect texts "-". Groups are sorted by alignment count, largest first,
// into the table "ID-analysis" (`out`). kSearchNothing when no table is given
// or the tables hold no hit.
int IdAnalyse(DataProgram& dp, WindowHandle owner, const std::vector<int>& tables, SearchTable* out);

// Field Search: alignments whose statistic `field` lies in [from, to]. The
// range texts are read as numbers ("e-10" is read as 1e-10); an empty text,
// one that does not begin with a number, or one out of a double's range is
// refused. A statistic the report did not give (-1) stops the search with
// "You search with a invalid field.". `copy` false sets the selection flags of
// every hit with a match to exactly its matches; true copies the matching
// alignments into the table "FD-S on: FIELD" (`out`).
int FieldSearch(DataProgram& dp, WindowHandle owner, const std::vector<int>& tables, int field,
                std::string_view fromText, std::string_view toText, bool copy, SearchTable* out);

// Shows a table built by a search as a further table of the file: leaves the
// current table, makes `table` the working set (no source file) and hands it
// to the load-done handler as a table built from other tables, which names
// it, adds it to the table-name list (its alignments keep their source
// tables) and shows it. False, with nothing changed, while a report is being
// loaded (the user is told).
bool ShowSearchTable(DataProgram& dp, ResultView& view, SearchTable&& table);
// After a search that selected: shows the current alignment again, so that
// the result list and the HSP check box show the new flags.
void ShowSearchSelection(DataProgram& dp, ResultView& view);
