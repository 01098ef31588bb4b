// The saved-results file: the current table, or its selected alignments, in
// a BLAST-like text layout (extension ".vist") that the BLAST reader reads
// back as a report of its own (docs/saved-results.md describes the layout).
//
// The file is written into a temporary file beside the target and renamed
// over it only when all of it was written and flushed, so a failed save keeps
// the previous file.
#pragma once
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

#include "vistram/results/records.h"

// Result codes of PrepareSaveHSPs.
inline constexpr int kSaveOk = 1;
inline constexpr int kSaveCannotCreate = 0;  // the file could not be created; nothing written
inline constexpr int kSaveWriteFailed = 2;   // writing failed; the previous file (if any) is kept

// Writes the saved-results file `path` with the first `hitCount` hits of
// `hits` (all alignments, or with selectionOnly non-zero only the selected
// ones) and the header texts of their table. Returns one of the codes above.
int PrepareSaveHSPs(const std::string& path, unsigned hitCount, const HitList& hits, std::string_view queryName,
                    std::string_view queryLengthText, std::string_view databaseText, int selectionOnly);

// The pieces of the layout, each written to `file` (write errors are left in
// the stream's error flag for the caller to check).

// Title, literature reference, "Query= ..." and "Database: ..." lines.
void WriteFileHeader(std::FILE* file, std::string_view queryName, std::string_view queryLengthText,
                     std::string_view databaseText);
// Every hit that has an alignment to write: its header, then those alignments.
void SaveAserieOfHsp(std::FILE* file, unsigned hitCount, const HitList& hits, int selectionOnly);
// ">IDENTIFIER " and the description word-wrapped at 78 columns, then the
// length line; with `hit`, the " Saved hit:" line that keeps its score and
// expect texts and its database link.
void SaveAliHeader(std::FILE* file, std::string_view identifier, std::string_view description,
                   std::string_view lengthText, const HspData* hit = nullptr);
// The statistics lines and the Query/middle/Sbjct blocks of 60 columns.
// The positions of a line advance by one per residue from its start. When an
// end is given (> 0) that this does not reach (translated searches, minus
// strands), the positions step from the start towards that end instead, and
// the last block ends exactly on it, so that the reader gets it back.
// Statistics that are not BLAST statistics (FASTA) follow a "Score = OPT
// Expect = E" line as " Saved text:" lines.
void SaveAli(std::FILE* file, std::string_view statsText, std::string_view queryLine, std::string_view subjectLine,
             std::string_view middleLine, int queryStart, int subjectStart, int queryEnd = 0, int subjectEnd = 0);
// The same for a stored alignment, ends included; FASTA statistics also get
// their " Saved statistics:" line with the eleven numbers.
void SaveAli(std::FILE* file, const AliData& ali);
// "POSTED DATE:" with the current local date and time: the reader's end marker.
void WriteFileTail(std::FILE* file);

// The date in the classic 24-character form "Sun Dec  6 20:09:19 2026"
// (English names whatever the locale), from the local time of `when`.
std::string FormatPostedDate(std::time_t when);

// The extension lines of saved-results files, read back only from these
// files (docs/saved-results.md).
inline constexpr std::string_view kSavedHit = " Saved hit: ";
inline constexpr std::string_view kSavedText = " Saved text: ";
inline constexpr std::string_view kSavedStatistics = " Saved statistics: ";
