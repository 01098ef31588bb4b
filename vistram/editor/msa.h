// The multiple sequence alignment (MSA) of the alignment editor: the record
// that every part of the editor shares, its construction from the selected
// alignments of the current table, the consensus line and the residue
// colours.
//
// The construction is a pile-up anchored on the query: column c of the MSA
// is position c of the query sequence. Subject residues opposite a gap in
// the query are dropped, so no column is ever inserted.
//
// Residue colours: an upper-case letter takes the colours that the HCA
// colour code configures for it; a lower-case letter (reports may carry
// masked, lower-case residues, which the construction copies as they are)
// takes the colours of its upper-case letter, so that a masked stretch looks
// like the residues it stands for; anything else is black on white.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vistram/base/colours.h"

struct DataProgram;

// Widths of the MSA's texts (characters kept; longer values are cut).
inline constexpr std::size_t kMsaTitleWidth = 259;
inline constexpr std::size_t kMsaNameWidth = 49;

// One row. Every buffer holds exactly the MSA's column count entries.
struct DarUvaSeq {
  std::string name;        // at most 49 characters
  std::string residues;    // '.' where there is no residue
  std::string matchLine;   // the HSP's match line characters, '.' where nothing was placed
  std::vector<int> textColours;  // palette indexes, one per residue
  std::vector<int> backColours;
};

// The MSA record. Exactly one exists while the editor is open (PDARUVA).
struct DarUvaData {
  std::string title;  // report path it was built from (at most 259); empty for an MSF file
  int columnCount = 0;
  std::vector<std::unique_ptr<DarUvaSeq>> rows;  // display order; row 0 is the query when built from HSPs
  std::string consensus;                         // columnCount characters
  // View state kept by the editor windows: columns and rows per page (0 when
  // everything fits), vertical position v (from 0), horizontal position h
  // (from -2: the first column after a left margin of two cells).
  int columnsPerPage = 0;
  int rowsPerPage = 0;
  int v = 0;
  int h = -2;
  int colourCode = kColourHca;
  bool useBackground = true;
  int consensusThreshold = 0;

  int SequenceCount() const { return static_cast<int>(rows.size()); }
};

// The open MSA, null while the editor is closed. Not owning: the editor's
// window owns the record.
extern DarUvaData* PDARUVA;

// A new row of `columnCount` positions: residues and match line '.', text
// colour 0 and background 1 everywhere.
std::unique_ptr<DarUvaSeq> NewDarUvaSeq(int columnCount);
// A new MSA of `rowCount` empty rows (NewDarUvaSeq) and a consensus of '.'.
std::unique_ptr<DarUvaData> NewDarUvaData(int rowCount, int columnCount);
// Releases the MSA and everything it owns; a null record is ignored.
void VirePointDarUva(std::unique_ptr<DarUvaData>& msa);

// Fills `target` with `columnCount` consensus characters: in each column the
// letter A..Z that occurs most often among the rows' residues, when its count
// is at least `threshold` and no other letter has the same count; '.'
// otherwise (and always where no letter occurs).
void CreeConsensus(std::string& target, int threshold, int columnCount, int sequenceCount,
                   const std::vector<std::unique_ptr<DarUvaSeq>>& rows);

// The colours of one position for `c` under `colours` (see above).
void AssignAAColor(const ColourConfiguration& colours, char c, int& text, int& back);
// Fills the two colour arrays of one row (resized to the residues).
void InitColorsString(std::string_view residues, std::vector<int>& text, std::vector<int>& back,
                      const ColourConfiguration& colours);
// The same, reading colour code 10 from the configuration file first.
void InitColorsString(std::string_view residues, std::vector<int>& text, std::vector<int>& back,
                      const std::string& configPath, bool useBackground);
// Colours every row of `msa`.
void ColourAllRows(DarUvaData& msa, const ColourConfiguration& colours);

// One selected alignment: hit and alignment numbers, both from 1.
struct SelectedPair {
  int hit = 0;
  int alignment = 0;
};
// The selected alignments of the working set, in hit order and, within a
// hit, in alignment order.
std::vector<SelectedPair> ListSelectedAlignments(const DataProgram& dp);

// Called once per row placed, with (rows done, rows in all).
using MsaProgressFn = void (*)(void* context, int done, int total);

// Builds the MSA from `pairs` of the working set of `dp`: row 0 the query
// (named after the first 10 characters of its name), one row per pair named
// "%s (%4u-%4u) %u" (identifier cut to 10, subject start and end, alignment
// number), the consensus with threshold rows / 2, colours from the
// configuration file, view state (0, 0, 0, -2) and the report path as title.
// Null when a pair names no alignment. Throws std::bad_alloc.
std::unique_ptr<DarUvaData> BuildMsaFromAlignments(const DataProgram& dp, const std::vector<SelectedPair>& pairs,
                                                  MsaProgressFn progress = nullptr, void* context = nullptr);
