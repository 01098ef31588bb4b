// Painting the alignment on any QPainter (a window, a picture, a page).
// Every routine draws the cells of one part of the MSA into a frame: cell
// (column c, row r) occupies the rectangle at x = originX + (c - firstColumn)
// * cw, y = originY + (r - firstRow) * lh, cw x lh pixels. The editor's
// panes pass their scroll position as the first column and row (and half a
// cell to the left as origin, so that column c is centred at (c - h) * cw);
// a printout passes its page's first column and row.
#pragma once
#include <QFont>
#include <QRect>

#include "vistram/editor/msa.h"
#include "vistram/editor/msa_layout.h"

class QPainter;

struct MsaFrame {
  QFont font;
  int cw = 8;
  int lh = 16;
  int originX = 0;
  int originY = 0;
  int firstColumn = 0;  // the column (from 0) at originX; may be negative (margin)
  int firstRow = 0;     // the row at originY
};

// The residues of `cells` with their palette colours on opaque backgrounds.
void DessineDarUvaAlign(QPainter& painter, const DarUvaData& msa, const MsaFrame& frame, const CellRange& cells);
// The consensus characters of columns [cells.firstColumn, cells.endColumn)
// on the frame's first line, transparent, in black.
void DessineDarUvaConsensus(QPainter& painter, const DarUvaData& msa, const MsaFrame& frame, const CellRange& cells);
// The ruler of the same columns: numbers on the first line, '|' or '.' below.
void DessineDarUvaScale(QPainter& painter, const DarUvaData& msa, const MsaFrame& frame, const CellRange& cells);
// The names of rows [cells.firstRow, cells.endRow), right-aligned so that
// they end at x = rightEdge.
void DessineDarUvaNames(QPainter& painter, const DarUvaData& msa, const MsaFrame& frame, const CellRange& cells,
                        int rightEdge);
