// The FASTA report reader: the reports of the FASTA package's search
// programs (fasta, ssearch, fastx ...) and of the EBI's FASTA service, in
// text or HTML, read into the working set of a DataProgram. Every library
// sequence shown with an alignment becomes one HspData.
//
// Two layouts are read:
// - the classic one, whose header names the query with "name, N aa" and the
//   library with a "vs ... library" line, and which ends with the "Scan time:"
//   line; each hit has one alignment;
// - the current one (version 3.4 and later: "Query:" and "Library:" header
//   lines, "Scan time" in the header, "E(n):" values, several alignments
//   under one ">>" hit introduced by ">--"). It is chosen only for reports
//   whose header (before "The best scores are:") has a "Query:" line or a
//   "Scan time" line, which the classic reading cannot load.
// Machine-readable reports (option -m 10, "; fa_initn:" lines) are refused.
//
// Lines are read with MYFGETS into a 500-byte buffer and upper-cased into a
// second one for the keyword tests; the three 10,000-byte accumulators are
// allocated once per report and reused for every alignment.
#pragma once
#include <string>
#include <string_view>

#include "vistram/platform/platform.h"
#include "vistram/results/records.h"

class ResultView;

// Result codes of LitFastaForListBox (only kFastaOk is a success).
enum FastaReadResult : int {
  kFastaFailed = 0,       // no end marker; ended inside an alignment; allocation failed;
                          // kind not 6 to 9; a machine-readable (-m 10) report
  kFastaOk = 1,
  kFastaCannotOpen = 2,
  kFastaNoQuery = 3,      // the query line or the library line was not found
  kFastaNoResidues = 4,   // no line with both "RESIDUES IN" and "SEQUENCES"
  kFastaNoBuffers = 7,    // the work buffers could not be allocated
};

// Reads the report at `path` (kind 6 or 8 = HTML, 7 or 9 = text, 8 and 9 the
// EBI service's layout, as TestFichier says) into the working set of `dp`:
// header block, hits, alignments; resultType 3. `progress` (may be null)
// receives SetProgress calls every few megabytes; `mainWindow` is not used
// for output. The further queries of a multi-query report (current layout)
// go to dp.extraSections, one working set each. Returns a FastaReadResult;
// on failure the working set holds what was built so far and the caller
// frees it with FreeHspData (and clears extraSections).
int LitFastaForListBox(ResultView* progress, WindowHandle mainWindow, DataProgram& dp, const std::string& path,
                       int kind);

// Stores one alignment from the three accumulated texts (all starting at
// column 0 of the printed blocks): cuts them to the overlap, the columns
// between the first and the last where the middle, query and subject
// characters are all non-blank; converts the middle line ('X' and ':' to
// '|', '.' to ':'); sets the coordinates from the ruler positions
// (`queryPosition` is the residue number printed above column
// `queryColumn`), gapped = 1 and the statistics (TransFasdata).
// `currentLayout` selects the reading of the current report layout for the
// statistics. 1, or 0 on allocation failure (nothing kept).
int TransfereDataFasta(AliData& ali, std::string_view queryText, std::string_view middleText,
                       std::string_view subjectText, int queryPosition, int subjectPosition, int queryColumn,
                       int subjectColumn, bool currentLayout = false);

// Fills the statistics of `ali` from its statsText ("initn:", "init1:",
// "opt:", "z-score:", "expect", "Smith-Waterman score:", "% identity",
// "N aa overlap") and the HCA score from its lines. The expect value is also
// read from "E():" or "E(n):"; with `currentLayout` the z-score does not need
// a following "expect". Values not found stay -1.0.
void TransFasdata(AliData& ali, bool currentLayout = false);

// True when the upper-cased start of a file looks like a report of the FASTA
// package's current layout that the classic markers do not recognise (an
// ssearch report has no "INITN"): a "QUERY:" line, a "LIBRARY:" line, a
// ">>>" query line and "THE BEST SCORES" or "!! NO SEQUENCES". For the report
// kind detection.
bool LooksLikeCurrentFastaReport(std::string_view upperHead);
