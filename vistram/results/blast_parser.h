// The BLAST report reader: plain-text and HTML BLAST reports (the classic
// layout, and the BLAST+ layout with "Length=" lines) and the saved-results
// files of this program, read into the working set of a DataProgram.
//
// The reader is line-oriented and keyword-driven: every line is read with
// MYFGETS into a 500-byte buffer, upper-cased into a second buffer for the
// keyword tests, and classified by the first rule that matches. Work buffers
// are fixed and reused, so memory grows only with the records stored.
#pragma once
#include <string>
#include <string_view>

#include "vistram/platform/platform.h"
#include "vistram/results/records.h"

class ResultView;

// Result codes of LitBlastForListBox.
enum BlastReadResult : int {
  kBlastFailed = 0,          // kind not 4 or 5; no end marker; allocation failed while building hits
  kBlastOk = 1,
  kBlastCannotOpen = 2,
  kBlastNoQuery = 3,         // no line containing "QUERY="
  kBlastNoDatabase = 4,      // no "DATABASE:" line after the query length line
  kBlastEndInAlignment = 5,  // the file ended inside an alignment
  kBlastNoLetters = 6,       // no "LETTERS)" (nor BLAST+ "Length=") line after the query line
  kBlastNoBuffers = 7,       // the work buffers could not be allocated
};

// Base addresses put in front of relative entry links.
inline constexpr std::string_view kExpasyBaseUrl = "https://www.expasy.org";
inline constexpr std::string_view kNcbiBaseUrl = "https://www.ncbi.nlm.nih.gov";

// Reads the report at `path` (kind 4 = HTML, 5 = text, as TestFichier says)
// into the working set of `dp`: the header block, one HspData per hit, one
// AliData per alignment. The further queries of a multi-query report go to
// dp.extraSections, one working set each (the first query is the working set).
// `progress` (may be null) receives SetProgress calls every few megabytes;
// `mainWindow` is not used for output. Returns a BlastReadResult; on failure
// the working set holds what was built so far and the caller frees it with
// FreeHspData (and clears extraSections).
int LitBlastForListBox(ResultView* progress, WindowHandle mainWindow, DataProgram& dp, const std::string& path,
                       int kind);

// Finishes an alignment: stores the three lines (each cut to the query
// text's length; query and subject upper-cased), the start and end numbers,
// the gapped flag and the statistics (TransBlaStatData). The ends are
// start - 1 + the letters of the line, except where the report printed a
// different end (translated searches, minus strands): a printed end
// (queryPrintedEnd, subjectPrintedEnd > 0) that differs is kept.
// 1, or 0 on allocation failure (nothing kept).
int TransfertData(AliData& ali, std::string_view queryText, std::string_view middleText,
                  std::string_view subjectText, int queryStart, int subjectStart, int queryPrintedEnd = 0,
                  int subjectPrintedEnd = 0);

// Fills the eleven statistics of `ali` from its statsText ("SCORE =",
// "EXPECT =", "IDENTITIES =", "POSITIVES =", "P =" or "P(...) =") and the HCA
// score from its lines. Values not found stay -1.0.
void TransBlaStatData(AliData& ali);

// The pairwise viewer's record for alignment `alignmentNumber` of hit
// `hitNumber` (both 1-based) of the working set; null when there is no such
// alignment or an allocation fails.
std::unique_ptr<VisualHaspData> LitUnAlignHsp(WindowHandle mainWindow, int hitNumber, int alignmentNumber,
                                              const DataProgram& dp);
