// MSF multiple alignment files: the writer, the GCG checksum and the reader
// that turns a file into an MSA record; also the aligned FASTA and Clustal
// exports of the same columns.
//
// Written layout: a header line with the file's path, the length and the
// total checksum, an empty line, one "Name:" line per row (and one for the
// consensus when saved), an empty line, "//", an empty line, then blocks of
// W columns: a ruler line, one line per row with a blank after every tenth
// residue, the consensus line when saved, and an empty line.
//
// Reading: a file is MSF when some line holds "NAME:", "LEN:", "CHECK:" and
// "WEIGHT:" (any case). Each name line before the first "//" names the next
// row (its second word, upper-cased). After it, a line whose first word is a
// row's name adds its residues to the first row of that name. The residues
// start at position 11, or after the first word when the word reaches past
// it (long names written by other tools), or earlier when every data line
// of the file has its residues start earlier (older GCG files put them two
// blanks after the longest name). Letters and '.' are residues; '-'
// and '~' are gaps and stored as '.'; everything else (digits, blanks) is
// skipped. A row takes at most the column count (the largest "LEN:").
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "vistram/editor/msa.h"

// GCG checksum of `sequence` over positions first..last (0-based, included):
// the sum of ((i mod 57) + 1) x the character code, i counted from `first`,
// modulo 10000. Positions past the end are not counted.
int SEQGCGCHECKSUM(std::string_view sequence, int first, int last);

// Writes columns first..last (0-based) of `msa` as MSF at `path`, W residues
// a line, the ruler starting at `scaleBegin`, with a consensus row named
// after the file's base name when `saveConsensus`. The file is replaced only
// when complete. 1 on success, 0 when it cannot be written (`path` kept).
int SauveMSF(int W, const std::string& path, const DarUvaData& msa, int first, int scaleBegin, int last,
             bool saveConsensus);

// Aligned FASTA (gaps '-', 60 residues a line) and Clustal (ALN) exports of
// columns first..last, with the consensus as a last row when asked. The
// Clustal names are the row names without blanks, made unique. 1 or 0.
int SaveAlignedFasta(const std::string& path, const DarUvaData& msa, int first, int last, bool saveConsensus);
int SaveClustal(const std::string& path, const DarUvaData& msa, int first, int last, bool saveConsensus);

// Output formats chosen from a file name's extension.
enum class MsaFileFormat { kMsf, kFasta, kClustal, kUnknown };
// ".msf" MSF; ".fasta", ".fa", ".fas", ".mfa" aligned FASTA; ".aln", ".clustal" Clustal.
MsaFileFormat MsaFormatFromPath(const std::string& path);
// Writes in the format of `format` (W and scaleBegin serve MSF only).
int SaveMsaAs(MsaFileFormat format, int W, const std::string& path, const DarUvaData& msa, int first, int scaleBegin,
              int last, bool saveConsensus);

// True when `path` is an MSF file; rowCount is then the number of name
// lines and columnCount the largest "LEN:" value.
bool AnalyseMSFHeader(const std::string& path, int& rowCount, int& columnCount);

// Reads the MSF file into a new MSA (colours from the configuration file,
// backgrounds on, consensus threshold rows / 2, empty title). Null when the
// file cannot be read again or has more name lines than `rowCount`.
std::unique_ptr<DarUvaData> ReadMSFforSeq(const std::string& path, int rowCount, int columnCount,
                                          const std::string& configPath);

// Message texts of the MSF reader.
inline constexpr const char* kMsgNotMsf = "Unable to open a non-MSF file.";
inline constexpr const char* kMsgCannotReadMsf = "Unable to read MSF data.";
