// The geometry of the editor's panes in character cells: which cells an
// area of a pane shows, the ruler's marks, the scroll ranges, the caret's
// pixel position and its moves. Plain arithmetic shared by the windows and
// by any printout of the alignment.
//
// A pane shows columns from the horizontal position h (-2: two empty cells
// before the first column) and rows from the vertical position v. Column c
// (from 0) lies centred at x = (c - h) * cw, row r at y = (r - v) * lh.
#pragma once
#include <string>

#include "vistram/editor/msa.h"

// round(numerator / denominator) for positive values, a fraction of exactly
// one half rounding toward zero.
int RoundHalfDown(int numerator, int denominator);

// The cells that a pixel rectangle [x0, x1) x [y0, y1) of a pane meets,
// widened by two cells on every side and clipped to the MSA: columns
// [firstColumn, endColumn) and rows [firstRow, endRow), from 0.
struct CellRange {
  int firstColumn = 0;
  int endColumn = 0;
  int firstRow = 0;
  int endRow = 0;
};
CellRange CellsInRect(int x0, int y0, int x1, int y1, int cw, int lh, int h, int v, int columnCount, int rowCount);

// The ruler above column k (from 1): its number when k is 1, a multiple of
// ten or the last column; empty otherwise. The mark one line below is '|'
// with a number and '.' without.
std::string RulerNumber(int k, int columnCount);
char RulerMark(int k, int columnCount);

// The scroll bars of the alignment pane (client size in pixels).
struct ScrollSetup {
  int P = 0;  // columns per page, 0 when everything fits
  int Q = 0;  // rows per page, 0 when everything fits
  bool horizontal = false;  // bar enabled
  bool vertical = false;
  int hMax = 0;  // ranges -2 .. hMax and 0 .. vMax
  int vMax = 0;
  int h = -2;  // positions kept inside the ranges
  int v = 0;
};
// Computes the bars and stores P, Q, h and v into `msa`.
ScrollSetup ReajusteVHScroll(DarUvaData& msa, int clientWidth, int clientHeight, int cw, int lh);

// Caret of column `col` and row `row` (from 1): its top left pixel.
int CaretX(int col, int h, int cw);
int CaretY(int row, int v, int lh);
// The caret cell under a click at (x, y); false when it lies outside the MSA.
bool CaretFromClick(int x, int y, int cw, int lh, int h, int v, int columnCount, int rowCount, int& col, int& row);

enum class CaretKey { Left, Right, Up, Down, PageUp, PageDown, Home, End };
// Moves the caret for `key`. The step is 1, or a page (client width / cw or
// client height / lh, rounded) with Ctrl held or for Page Up and Page Down.
void MoveCaret(CaretKey key, bool ctrl, int clientWidth, int clientHeight, int cw, int lh, int columnCount,
               int rowCount, int& col, int& row);
// The horizontal and vertical positions that keep the caret visible after a
// move from (oldCol, oldRow) to (col, row), scrolling as the keys do: one
// cell (a page with Ctrl, or for Page Up/Down), Home and End to the ends.
void ScrollForCaret(CaretKey key, bool ctrl, int oldCol, int oldRow, int col, int row, int clientWidth,
                    int clientHeight, int cw, int lh, const ScrollSetup& bars, int& h, int& v);
