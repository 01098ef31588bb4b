#include "vistram/editor/msa_edit.h"

#include <utility>

namespace {

struct Cell {
  char residue = '.';
  char match = '.';
  int text = 0;
  int back = 1;
};

Cell CellAt(const DarUvaSeq& s, std::size_t i) { return {s.residues[i], s.matchLine[i], s.textColours[i], s.backColours[i]}; }

void PutCell(DarUvaSeq& s, std::size_t i, const Cell& c) {
  s.residues[i] = c.residue;
  s.matchLine[i] = c.match;
  s.textColours[i] = c.text;
  s.backColours[i] = c.back;
}

Cell TypedCell(const ColourConfiguration& colours, char c) {
  Cell cell;
  cell.residue = c;
  cell.match = ' ';
  AssignAAColor(colours, c, cell.text, cell.back);
  return cell;
}

// Moves positions i.. one to the right (the last is lost) and puts `c` at i.
void ShiftRight(DarUvaSeq& s, std::size_t i, const Cell& c) {
  const std::size_t n = s.residues.size();
  for (std::size_t k = n - 1; k > i; --k) PutCell(s, k, CellAt(s, k - 1));
  PutCell(s, i, c);
}

// Moves positions i+1.. one to the left and ends the row with an empty cell.
void ShiftLeft(DarUvaSeq& s, std::size_t i) {
  const std::size_t n = s.residues.size();
  for (std::size_t k = i; k + 1 < n; ++k) PutCell(s, k, CellAt(s, k + 1));
  PutCell(s, n - 1, Cell{});
}

// Rows [first, last) touched by a character operation; false when out of range.
bool AffectedRows(const DarUvaData& msa, int col, int row, bool allRows, std::size_t& first, std::size_t& last) {
  if (col < 1 || col > msa.columnCount || row < 1 || row > msa.SequenceCount()) return false;
  first = allRows ? 0 : static_cast<std::size_t>(row - 1);
  last = allRows ? msa.rows.size() : first + 1;
  return true;
}

}  // namespace

bool EcraseCaractere(DarUvaData& msa, const ColourConfiguration& colours, int col, int row, char c, bool allRows) {
  std::size_t first = 0, last = 0;
  if (!AffectedRows(msa, col, row, allRows, first, last)) return false;
  const Cell cell = TypedCell(colours, c);
  for (std::size_t r = first; r < last; ++r) PutCell(*msa.rows[r], static_cast<std::size_t>(col - 1), cell);
  return true;
}

bool InsereCaractere(DarUvaData& msa, const ColourConfiguration& colours, int col, int row, char c, bool allRows) {
  std::size_t first = 0, last = 0;
  if (!AffectedRows(msa, col, row, allRows, first, last)) return false;
  const Cell cell = TypedCell(colours, c);
  for (std::size_t r = first; r < last; ++r) ShiftRight(*msa.rows[r], static_cast<std::size_t>(col - 1), cell);
  return true;
}

bool EffaceCaractere(DarUvaData& msa, int col, int row, bool allRows) {
  std::size_t first = 0, last = 0;
  if (!AffectedRows(msa, col, row, allRows, first, last)) return false;
  for (std::size_t r = first; r < last; ++r) ShiftLeft(*msa.rows[r], static_cast<std::size_t>(col - 1));
  return true;
}

bool RemoveSequence(DarUvaData& msa, int r) {
  if (r < 0 || r >= msa.SequenceCount()) return false;
  msa.rows.erase(msa.rows.begin() + r);
  return true;
}

bool MergeSequence(DarUvaData& msa, int r) {
  if (r < 1 || r >= msa.SequenceCount()) return false;
  const DarUvaSeq& lower = *msa.rows[static_cast<std::size_t>(r)];
  DarUvaSeq& upper = *msa.rows[static_cast<std::size_t>(r - 1)];
  for (std::size_t c = 0; c < lower.residues.size() && c < upper.residues.size(); ++c) {
    if (lower.residues[c] == '.') continue;
    if (upper.residues[c] == '.') {
      upper.residues[c] = lower.residues[c];
      upper.textColours[c] = lower.textColours[c];
      upper.backColours[c] = lower.backColours[c];
    } else {
      upper.residues[c] = 'X';
      upper.textColours[c] = 0;
      upper.backColours[c] = 1;
    }
  }
  const std::size_t paren = upper.name.find('(');
  if (paren != std::string::npos) upper.name.resize(paren > 0 ? paren - 1 : 0);
  return true;
}

bool MoveSequence(DarUvaData& msa, int r, int direction) {
  const int other = r + direction;
  if ((direction != -1 && direction != 1) || r < 0 || r >= msa.SequenceCount() || other < 0 ||
      other >= msa.SequenceCount()) {
    return false;
  }
  std::swap(msa.rows[static_cast<std::size_t>(r)], msa.rows[static_cast<std::size_t>(other)]);
  return true;
}

std::string RenamedRowName(const std::string& oldName, const std::string& entered, bool firstRow) {
  const std::string cut = entered.substr(0, 10);
  std::string name = std::string(10 - cut.size(), ' ') + cut;
  if (!firstRow && oldName.size() > 12) name.append(" ").append(oldName, 11);
  return name.substr(0, kMsaNameWidth);
}

// ---------------------------------------------------------------------------
// History

struct MsaEditSession::Edit {
  enum Kind { kOverwrite, kInsert, kDelete, kRemove, kMerge, kMove, kRename, kConsensus } kind;
  int col = 0, row = 0;  // caret, from 1
  bool all = false;
  char c = '.';
  int direction = 0;
  std::vector<Cell> cells;             // per affected row: the cell overwritten, lost or deleted
  std::unique_ptr<DarUvaSeq> removed;  // the row taken out (remove, merge)
  std::unique_ptr<DarUvaSeq> above;    // the upper row before a merge
  std::string text[2];                 // before, after (names or consensus)
  int threshold[2] = {0, 0};
};

MsaEditSession::MsaEditSession(DarUvaData& msa, ColourConfiguration colours) : msa_(msa), colours_(colours) {}
MsaEditSession::~MsaEditSession() = default;

void MsaEditSession::Apply(Edit& e, bool forward) {
  std::size_t first = 0, last = 0;
  const std::size_t col = static_cast<std::size_t>(e.col > 0 ? e.col - 1 : 0);
  const std::size_t r = static_cast<std::size_t>(e.row > 0 ? e.row - 1 : 0);
  switch (e.kind) {
    case Edit::kOverwrite:
    case Edit::kInsert:
    case Edit::kDelete: {
      AffectedRows(msa_, e.col, e.row, e.all, first, last);
      const std::size_t lastCol = static_cast<std::size_t>(msa_.columnCount - 1);
      if (forward) {
        e.cells.clear();
        for (std::size_t k = first; k < last; ++k) {
          e.cells.push_back(CellAt(*msa_.rows[k], e.kind == Edit::kInsert ? lastCol : col));
        }
        if (e.kind == Edit::kOverwrite) EcraseCaractere(msa_, colours_, e.col, e.row, e.c, e.all);
        if (e.kind == Edit::kInsert) InsereCaractere(msa_, colours_, e.col, e.row, e.c, e.all);
        if (e.kind == Edit::kDelete) EffaceCaractere(msa_, e.col, e.row, e.all);
      } else {
        for (std::size_t k = first; k < last; ++k) {
          DarUvaSeq& s = *msa_.rows[k];
          const Cell& old = e.cells[k - first];
          if (e.kind == Edit::kOverwrite) PutCell(s, col, old);
          if (e.kind == Edit::kInsert) {
            ShiftLeft(s, col);
            PutCell(s, lastCol, old);
          }
          if (e.kind == Edit::kDelete) ShiftRight(s, col, old);
        }
      }
      break;
    }
    case Edit::kRemove:
      if (forward) {
        e.removed = std::move(msa_.rows[r]);
        msa_.rows.erase(msa_.rows.begin() + static_cast<long>(r));
      } else {
        msa_.rows.insert(msa_.rows.begin() + static_cast<long>(r), std::move(e.removed));
      }
      break;
    case Edit::kMerge:
      if (forward) {
        e.above = std::make_unique<DarUvaSeq>(*msa_.rows[r - 1]);
        MergeSequence(msa_, static_cast<int>(r));
        e.removed = std::move(msa_.rows[r]);
        msa_.rows.erase(msa_.rows.begin() + static_cast<long>(r));
      } else {
        msa_.rows[r - 1] = std::move(e.above);
        msa_.rows.insert(msa_.rows.begin() + static_cast<long>(r), std::move(e.removed));
      }
      break;
    case Edit::kMove:
      if (forward) {
        MoveSequence(msa_, static_cast<int>(r), e.direction);
      } else {
        MoveSequence(msa_, static_cast<int>(r) + e.direction, -e.direction);
      }
      break;
    case Edit::kRename:
      msa_.rows[r]->name = e.text[forward ? 1 : 0];
      break;
    case Edit::kConsensus:
      msa_.consensus = e.text[forward ? 1 : 0];
      msa_.consensusThreshold = e.threshold[forward ? 1 : 0];
      break;
  }
}

void MsaEditSession::Record(std::unique_ptr<Edit> edit) {
  Apply(*edit, true);
  undo_.push_back(std::move(edit));
  redo_.clear();
}

namespace {
std::unique_ptr<MsaEditSession::Edit> MakeEdit(int kind, int col, int row) {
  auto e = std::make_unique<MsaEditSession::Edit>();
  e->kind = static_cast<decltype(e->kind)>(kind);
  e->col = col;
  e->row = row;
  return e;
}
}  // namespace

bool MsaEditSession::Overwrite(int col, int row, char c, bool allRows) {
  std::size_t first = 0, last = 0;
  if (!AffectedRows(msa_, col, row, allRows, first, last)) return false;
  auto e = MakeEdit(Edit::kOverwrite, col, row);
  e->c = c;
  e->all = allRows;
  Record(std::move(e));
  return true;
}

bool MsaEditSession::Insert(int col, int row, char c, bool allRows) {
  std::size_t first = 0, last = 0;
  if (!AffectedRows(msa_, col, row, allRows, first, last)) return false;
  auto e = MakeEdit(Edit::kInsert, col, row);
  e->c = c;
  e->all = allRows;
  Record(std::move(e));
  return true;
}

bool MsaEditSession::Delete(int col, int row, bool allRows) {
  std::size_t first = 0, last = 0;
  if (!AffectedRows(msa_, col, row, allRows, first, last)) return false;
  auto e = MakeEdit(Edit::kDelete, col, row);
  e->all = allRows;
  Record(std::move(e));
  return true;
}

bool MsaEditSession::Remove(int r) {
  if (r < 0 || r >= msa_.SequenceCount()) return false;
  Record(MakeEdit(Edit::kRemove, 1, r + 1));
  return true;
}

bool MsaEditSession::Merge(int r) {
  if (r < 1 || r >= msa_.SequenceCount()) return false;
  Record(MakeEdit(Edit::kMerge, 1, r + 1));
  return true;
}

bool MsaEditSession::Move(int r, int direction) {
  const int other = r + direction;
  if ((direction != -1 && direction != 1) || r < 0 || r >= msa_.SequenceCount() || other < 0 ||
      other >= msa_.SequenceCount()) {
    return false;
  }
  auto e = MakeEdit(Edit::kMove, 1, r + 1);
  e->direction = direction;
  Record(std::move(e));
  return true;
}

bool MsaEditSession::Rename(int r, const std::string& newName) {
  if (r < 0 || r >= msa_.SequenceCount()) return false;
  auto e = MakeEdit(Edit::kRename, 1, r + 1);
  e->text[0] = msa_.rows[static_cast<std::size_t>(r)]->name;
  e->text[1] = newName.substr(0, kMsaNameWidth);
  Record(std::move(e));
  return true;
}

bool MsaEditSession::SetConsensusThreshold(int threshold) {
  if (threshold < 0 || threshold > msa_.SequenceCount()) return false;
  auto e = MakeEdit(Edit::kConsensus, 1, 1);
  e->text[0] = msa_.consensus;
  e->threshold[0] = msa_.consensusThreshold;
  CreeConsensus(e->text[1], threshold, msa_.columnCount, msa_.SequenceCount(), msa_.rows);
  e->threshold[1] = threshold;
  Record(std::move(e));
  return true;
}

namespace {
// The caret after applying `e` (forward) or taking it back.
void CaretOf(const MsaEditSession::Edit& e, bool forward, int& col, int& row) {
  col = e.col;
  row = e.row;
  if (e.kind == MsaEditSession::Edit::kMove && forward) row += e.direction;
}
}  // namespace

bool MsaEditSession::Undo(int& col, int& row) {
  if (undo_.empty()) return false;
  std::unique_ptr<Edit> e = std::move(undo_.back());
  undo_.pop_back();
  Apply(*e, false);
  CaretOf(*e, false, col, row);
  redo_.push_back(std::move(e));
  return true;
}

bool MsaEditSession::Redo(int& col, int& row) {
  if (redo_.empty()) return false;
  std::unique_ptr<Edit> e = std::move(redo_.back());
  redo_.pop_back();
  Apply(*e, true);
  CaretOf(*e, true, col, row);
  undo_.push_back(std::move(e));
  return true;
}
