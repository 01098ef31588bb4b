// PROSITE patterns turned into pattern-file entries.
//
// A PROSITE pattern ("[LIV]-G-{P}-x(2,4)-K.") converts exactly when it uses
// only what the pattern language can say: residues, [..] groups, {..}
// exclusions (the group of the other standard residues), x and x(n) (as
// X's), x(i,j) (i X's and a gap mark {j-i+1}) and fixed repeats A(n). Anchors
// "<" ">", ranges A(i,j) on other elements and results over 99 characters
// are refused with the reason.
#pragma once
#include <cstdio>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

struct PrositeEntry {
  std::string id;           // "PROTEIN_KINASE_ATP"
  std::string accession;    // "PS00107"
  std::string description;  // the DE lines joined
  std::string pattern;      // the PA lines joined
};

// The pattern entries (those with PA lines) of a PROSITE data file, in file order.
std::vector<PrositeEntry> ReadPrositeEntries(std::istream& in);

// Converts one PROSITE pattern. True with the pattern in `out`; false with
// the reason in `why`.
bool ConvertPrositePattern(std::string_view prosite, std::string& out, std::string& why);

// The pattern-file lines of one converted entry: "#MOTIF", "DE ID: description", "PA pattern".
std::string MotEntryText(const PrositeEntry& entry, const std::string& pattern);

// Converts the PROSITE file `input` into the pattern file `output` (written
// only when complete). Each pattern not converted is listed on `errors` as
// "ID (accession): reason". Returns 0 when written, 1 with `message` when
// the input cannot be read, holds no pattern entry or none that converts, or
// the output cannot be written.
int ConvertPrositeFile(const std::string& input, const std::string& output, std::FILE* errors, std::string& message);
