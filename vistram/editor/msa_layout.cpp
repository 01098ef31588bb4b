#include "vistram/editor/msa_layout.h"

#include <algorithm>

int RoundHalfDown(int numerator, int denominator) {
  if (denominator <= 0) return 0;
  const int q = numerator / denominator;
  const int rest = numerator - q * denominator;
  return 2 * rest > denominator ? q + 1 : q;
}

CellRange CellsInRect(int x0, int y0, int x1, int y1, int cw, int lh, int h, int v, int columnCount, int rowCount) {
  CellRange r;
  if (cw <= 0 || lh <= 0) return r;
  // Column c spans (c - h) * cw - cw / 2 .. + cw; row r spans (r - v) * lh .. + lh.
  auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
  r.firstColumn = std::clamp(floorDiv(x0 + cw / 2, cw) + h - 2, 0, columnCount);
  r.endColumn = std::clamp(floorDiv(x1 + cw / 2, cw) + h + 3, 0, columnCount);
  r.firstRow = std::clamp(floorDiv(y0, lh) + v - 2, 0, rowCount);
  r.endRow = std::clamp(floorDiv(y1, lh) + v + 3, 0, rowCount);
  return r;
}

std::string RulerNumber(int k, int columnCount) {
  if (k == 1 || k % 10 == 0 || k == columnCount) return std::to_string(k);
  return std::string();
}

char RulerMark(int k, int columnCount) { return RulerNumber(k, columnCount).empty() ? '.' : '|'; }

ScrollSetup ReajusteVHScroll(DarUvaData& msa, int clientWidth, int clientHeight, int cw, int lh) {
  ScrollSetup s;
  const int P = RoundHalfDown(clientWidth + 1, cw);
  const int Q = RoundHalfDown(clientHeight + 1, lh);
  const int columns = msa.columnCount, rows = msa.SequenceCount();
  if (P - 2 < columns) {
    s.P = P;
    s.horizontal = true;
    s.hMax = columns - P + 2;
    s.h = std::clamp(msa.h, -2, s.hMax);
  } else {
    s.P = 0;
    s.h = -2;
  }
  if (Q - 2 < rows) {
    s.Q = Q;
    s.vertical = true;
    s.vMax = rows - Q + 2;
    s.v = std::clamp(msa.v, 0, s.vMax);
  } else {
    s.Q = 0;
    s.v = 0;
  }
  msa.columnsPerPage = s.P;
  msa.rowsPerPage = s.Q;
  msa.h = s.h;
  msa.v = s.v;
  return s;
}

int CaretX(int col, int h, int cw) { return (col - h - 2) * cw + cw / 2; }
int CaretY(int row, int v, int lh) { return (row - 1 - v) * lh; }

bool CaretFromClick(int x, int y, int cw, int lh, int h, int v, int columnCount, int rowCount, int& col, int& row) {
  if (cw <= 0 || lh <= 0 || x < 0 || y < 0) return false;
  const int c = (x - cw / 2) / cw + h + 2;
  const int r = y / lh + v + 1;
  if (x < cw / 2 || c < 1 || c > columnCount || r < 1 || r > rowCount) return false;
  col = c;
  row = r;
  return true;
}

void MoveCaret(CaretKey key, bool ctrl, int clientWidth, int clientHeight, int cw, int lh, int columnCount,
               int rowCount, int& col, int& row) {
  const bool page = ctrl || key == CaretKey::PageUp || key == CaretKey::PageDown;
  const int colStep = page ? std::max(1, RoundHalfDown(clientWidth, cw)) : 1;
  const int rowStep = page ? std::max(1, RoundHalfDown(clientHeight, lh)) : 1;
  switch (key) {
    case CaretKey::Left: col = col - colStep < 2 ? 1 : col - colStep; break;
    case CaretKey::Right: col = col + colStep >= columnCount ? columnCount : col + colStep; break;
    case CaretKey::Up:
    case CaretKey::PageUp: row = row - rowStep < 2 ? 1 : row - rowStep; break;
    case CaretKey::Down:
    case CaretKey::PageDown: row = row + rowStep >= rowCount ? rowCount : row + rowStep; break;
    case CaretKey::Home: col = 1; row = 1; break;
    case CaretKey::End: col = columnCount; row = rowCount; break;
  }
}

void ScrollForCaret(CaretKey key, bool ctrl, int oldCol, int oldRow, int col, int row, int clientWidth,
                    int clientHeight, int cw, int lh, const ScrollSetup& bars, int& h, int& v) {
  if (key == CaretKey::Home || key == CaretKey::End) {
    const bool home = key == CaretKey::Home;
    if (bars.horizontal) h = home ? -2 : bars.hMax;
    if (bars.vertical) v = home ? 0 : bars.vMax;
    return;
  }
  const int oldX = CaretX(oldCol, h, cw), newX = CaretX(col, h, cw);
  const int oldY = CaretY(oldRow, v, lh), newY = CaretY(row, v, lh);
  const bool wasInX = oldX >= 0 && oldX <= clientWidth, wasInY = oldY >= 0 && oldY <= clientHeight;
  const int pageColumns = std::max(1, bars.P), pageRows = std::max(1, bars.Q);
  auto clampH = [&](int value) { return std::clamp(value, -2, std::max(-2, bars.hMax)); };
  auto clampV = [&](int value) { return std::clamp(value, 0, std::max(0, bars.vMax)); };
  switch (key) {
    case CaretKey::Left:
      if (bars.horizontal && wasInX && newX < 1) h = clampH(h - (ctrl ? pageColumns : 1));
      break;
    case CaretKey::Right:
      if (bars.horizontal && wasInX && newX >= clientWidth) h = clampH(h + (ctrl ? pageColumns : 1));
      break;
    case CaretKey::Up:
      if (bars.vertical && wasInY && newY < 0) v = clampV(v - 1);
      break;
    case CaretKey::Down:
      if (bars.vertical && wasInY && newY >= clientHeight) v = clampV(v + 1);
      break;
    case CaretKey::PageUp:
      if (bars.vertical && wasInY && newY < 0) v = clampV(v - pageRows);
      break;
    case CaretKey::PageDown:
      if (bars.vertical && wasInY && newY >= clientHeight) v = clampV(v + pageRows);
      break;
    default: break;
  }
  // A caret still outside after the step (a page move past the view) is
  // brought into view.
  if (bars.horizontal) {
    const int x = CaretX(col, h, cw);
    if (x < 0 || x >= clientWidth) h = clampH(col - 1 - (x < 0 ? 0 : std::max(0, bars.P - 3)));
  }
  if (bars.vertical) {
    const int y = CaretY(row, v, lh);
    if (y < 0 || y >= clientHeight) v = clampV(row - 1 - (y < 0 ? 0 : std::max(0, bars.Q - 3)));
  }
}
