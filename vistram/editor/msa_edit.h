// Editing the MSA: the character operations at a caret (one row or every
// row), the row operations (remove, merge, move, rename), the consensus
// threshold, and the history that undoes and redoes each of them.
//
// Every residue change keeps each row at exactly the column count: an
// insertion loses the row's last residue, a deletion appends '.'. The match
// line and both colour arrays move with the residues. Columns and rows are
// counted from 1 at the caret (`col`, `row`) and from 0 in the record (`r`).
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "vistram/editor/msa.h"

// Character operations. With `allRows` every row changes, otherwise row
// `row` only. False (nothing changed) when col or row is out of range.
// Overwrite: the residue at col becomes `c`, its match-line character a blank.
bool EcraseCaractere(DarUvaData& msa, const ColourConfiguration& colours, int col, int row, char c, bool allRows);
// Insert: positions col.. move right (the last is lost), `c` placed at col.
bool InsereCaractere(DarUvaData& msa, const ColourConfiguration& colours, int col, int row, char c, bool allRows);
// Delete: positions col+1.. move left, the last becomes '.' (black on white).
bool EffaceCaractere(DarUvaData& msa, int col, int row, bool allRows);

// Releases row r; the following rows move up. False when there is no row r.
bool RemoveSequence(DarUvaData& msa, int r);
// Merges row r into row r - 1 (residues placed where row r - 1 has '.', 'X'
// black on white where both have one), then cuts the name of row r - 1
// before the blank that precedes its first '('. Row r stays (the caller
// removes it). False, nothing changed, when r is 0 or out of range.
bool MergeSequence(DarUvaData& msa, int r);
// Exchanges row r with the row above (-1) or below (+1). False at the ends.
bool MoveSequence(DarUvaData& msa, int r, int direction);
// The name a row gets when renamed to `entered`: its first 10 characters
// right-aligned in 10; for a row other than the first whose old name has
// more than one character from position 11 on, a blank and that tail follow.
std::string RenamedRowName(const std::string& oldName, const std::string& entered, bool firstRow);

// An editing session over one MSA: each operation is applied and recorded so
// that it can be undone and redone, without limit while the editor lives.
// Undo and Redo report the caret (col, row from 1) where the change was.
class MsaEditSession {
 public:
  MsaEditSession(DarUvaData& msa, ColourConfiguration colours);
  ~MsaEditSession();
  MsaEditSession(const MsaEditSession&) = delete;
  MsaEditSession& operator=(const MsaEditSession&) = delete;

  DarUvaData& Msa() { return msa_; }
  const ColourConfiguration& Colours() const { return colours_; }

  bool Overwrite(int col, int row, char c, bool allRows);
  bool Insert(int col, int row, char c, bool allRows);
  bool Delete(int col, int row, bool allRows);
  bool Remove(int r);
  // Merges row r into the row above and removes row r.
  bool Merge(int r);
  bool Move(int r, int direction);
  bool Rename(int r, const std::string& newName);
  // Recomputes the consensus with `threshold` (0 .. rows); false when outside.
  bool SetConsensusThreshold(int threshold);

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  bool Undo(int& col, int& row);
  bool Redo(int& col, int& row);

  struct Edit;

 private:
  void Apply(Edit& edit, bool forward);
  void Record(std::unique_ptr<Edit> edit);

  DarUvaData& msa_;
  ColourConfiguration colours_;
  std::vector<std::unique_ptr<Edit>> undo_;
  std::vector<std::unique_ptr<Edit>> redo_;
};
