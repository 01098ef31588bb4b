// Recognition of a report's kind from marker words in its first 20,000 bytes.
#pragma once
#include <string>

// Report kinds, as TestFichier returns them.
enum ReportKind : int {
  kReportUnreadable = 0,  // the file could not be opened or read
  kReportUnknown = 3,
  kReportBlastHtml = 4,   // BLAST report or saved results, HTML
  kReportBlastText = 5,   // BLAST report or saved results, text
  kReportFastaHtml = 6,
  kReportFastaText = 7,
  kReportEbiFastaHtml = 8,
  kReportEbiFastaText = 9,
};

// Bytes of the file's start that are examined.
inline constexpr std::size_t kReportProbeBytes = 20000;

// The kind of the report at `path` (a ReportKind): the first 20,000 bytes,
// upper-cased, are searched for marker words ("BLAST" with "ALTSCHUL" or
// "GISH", "VISTRAM" with "HALVER", the FASTA score-table words (or the
// "Query:" and "Library:" lines of the FASTA package's current layout), the EBI FASTA
// words, "<HTML>", "<TITLE>", "<A HREF"). A BLAST+ report that cites no
// author of that pair is recognised by "BLAST", its "Query=" line and a line
// beginning "Length="; a BLAST+ report as the NCBI web site saves it as text
// by its "Query #1:" and "Sequence ID:" lines.
int TestFichier(const std::string& path);
