// The rows a pattern search runs over: plain copies of an alignment's rows
// (the editor hands them over; batch mode reads them from a file).
#pragma once
#include <string>

struct PatternRow {
  std::string name;      // at most 49 characters are shown
  std::string residues;  // upper-case one-letter codes, alignment gaps as '.'
};

// The kind of sequence, which names the residue-class table ("<kind>.TBL").
enum class SequenceKind { Dna, Protein, Special };

// "ADN", "PROTEINE" or "SPECIAL".
const char* TableBaseName(SequenceKind kind);
