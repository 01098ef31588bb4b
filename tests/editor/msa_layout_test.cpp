// The editor's geometry: cells of an area, ruler, scroll ranges, caret.
#include <gtest/gtest.h>

#include "editor_test_support.h"
#include "vistram/editor/msa_layout.h"

namespace {

TEST(MsaLayout, RoundingRulerCellsAndScrollRanges) {
  const int rounding[][3] = {{10, 4, 2}, {11, 4, 3}, {9, 4, 2}, {8, 4, 2}, {5, 0, 0}};  // halves go down
  for (const auto& r : rounding) EXPECT_EQ(RoundHalfDown(r[0], r[1]), r[2]) << r[0] << "/" << r[1];
  const std::pair<int, const char*> numbers[] = {{1, "1"}, {10, "10"}, {95, "95"}, {11, ""}};
  for (const auto& [column, text] : numbers) EXPECT_EQ(RulerNumber(column, 95), text) << column;
  EXPECT_EQ(std::string() + RulerMark(20, 95) + RulerMark(21, 95), "|.");
  // Cells 10 x 20 from h = -2 (column 0 centred at x = 20): widened, then clipped to the alignment.
  const CellRange r = CellsInRect(200, 200, 210, 220, 10, 20, 40, 30, 500, 100), all = CellsInRect(0, 0, 10000, 10000, 10, 20, -2, 0, 7, 3);
  EXPECT_TRUE(r.firstColumn >= 56 && r.firstColumn <= 60 && r.firstRow <= 40 && r.endRow >= 41);  // x 200 from h 40: column 60
  EXPECT_TRUE(all.firstColumn == 0 && all.firstRow == 0 && all.endColumn == 7 && all.endRow == 3);
  // Scroll ranges follow the client size.
  auto msa = MakeMsa(std::vector<std::string>(30, std::string(200, 'A')));
  msa->h = 500;
  msa->v = 7;
  ScrollSetup s = ReajusteVHScroll(*msa, 400, 200, 10, 20);  // 10 x 20 cells: P 40, Q 10
  EXPECT_TRUE(s.horizontal && s.vertical);
  EXPECT_EQ(std::vector<int>({s.P, s.hMax, s.vMax, msa->h, msa->v}), std::vector<int>({40, 200 - 40 + 2, 30 - 10 + 2, s.hMax, 7}));  // h kept inside
  EXPECT_EQ(ReajusteVHScroll(*msa, 400, 209, 10, 20).vMax, 30 - 10 + 2);  // 10.5 rows: 10
  EXPECT_FALSE(ReajusteVHScroll(*msa, 2019, 200, 10, 20).horizontal);  // the columns and two margin cells fit
  EXPECT_TRUE(ReajusteVHScroll(*msa, 2009, 200, 10, 20).horizontal);
  s = ReajusteVHScroll(*msa, 2100, 700, 10, 20);  // everything fits: the view starts at the margin
  EXPECT_FALSE(s.horizontal || s.vertical);
  EXPECT_EQ(std::vector<int>({msa->h, msa->v, msa->columnsPerPage + msa->rowsPerPage}), std::vector<int>({-2, 0, 0}));
}

TEST(MsaCaret, PixelsClicksKeysAndScrolling) {
  EXPECT_EQ(CaretX(1, -2, 10) + CaretY(2, 0, 20), 15 + 20);
  int col = 0, row = 0;
  for (int c : {8, 9, 37})
    for (int r : {3, 6})
      EXPECT_TRUE(CaretFromClick(CaretX(c, 5, 10) + 3, CaretY(r, 2, 20) + 5, 10, 20, 5, 2, 100, 10, col, row) && col * 100 + row == c * 100 + r) << c << "," << r;
  // In the margin, past the last column, below the last row.
  EXPECT_FALSE(CaretFromClick(2, 5, 10, 20, -2, 0, 100, 10, col, row) || CaretFromClick(995, 5, 10, 20, -2, 0, 50, 10, col, row) ||
               CaretFromClick(20, 400, 10, 20, -2, 0, 50, 10, col, row));
  // 400 x 200 pixels of 10 x 20 cells: a page is 40 columns or 10 rows.
  const std::tuple<CaretKey, bool, int, int, int, int> cases[] = {  // {key, Ctrl, from column, row, to column, row}
      {CaretKey::Left, false, 3, 3, 2, 3},    {CaretKey::Left, false, 1, 3, 1, 3},
      {CaretKey::Left, true, 45, 3, 5, 3},    {CaretKey::Left, true, 30, 3, 1, 3},
      {CaretKey::Right, false, 5, 3, 6, 3},   {CaretKey::Right, false, 100, 3, 100, 3},
      {CaretKey::Right, true, 70, 3, 100, 3}, {CaretKey::Up, false, 5, 1, 5, 1},
      {CaretKey::PageUp, false, 5, 15, 5, 5}, {CaretKey::PageDown, false, 5, 15, 5, 25},
      {CaretKey::Down, false, 5, 25, 5, 25},  {CaretKey::Home, false, 50, 20, 1, 1},
      {CaretKey::End, false, 50, 2, 100, 25},
  };
  for (const auto& [key, ctrl, fromCol, fromRow, toCol, toRow] : cases) {
    col = fromCol, row = fromRow;
    MoveCaret(key, ctrl, 400, 200, 10, 20, 100, 25, col, row);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(toCol, toRow)) << static_cast<int>(key) << " from " << fromCol << "," << fromRow;
  }
  // Moves out of the view scroll it.
  auto msa = MakeMsa(std::vector<std::string>(50, std::string(200, 'A')));
  const ScrollSetup bars = ReajusteVHScroll(*msa, 400, 200, 10, 20);
  // {key, from column, row, to column, row, h, v before, h, v after}
  const std::tuple<CaretKey, int, int, int, int, int, int, int, int> scrolls[] = {
      {CaretKey::Right, 39, 1, 40, 1, -2, 0, -1, 0},  // right from the last visible column
      {CaretKey::Down, 1, 10, 1, 11, -2, 0, -2, 1}, {CaretKey::Home, 30, 9, 1, 1, 10, 5, -2, 0},
      {CaretKey::End, 1, 1, 200, 50, -2, 0, bars.hMax, bars.vMax},
      {CaretKey::PageUp, 1, 16, 1, 6, -2, 5, -2, 5},  // onto the view's top line: no scroll
      {CaretKey::PageUp, 1, 15, 1, 5, -2, 5, -2, 0}, {CaretKey::Right, 5, 3, 6, 3, -2, 0, -2, 0}};  // the last inside the view
  for (const auto& [key, fromCol, fromRow, toCol, toRow, h0, v0, h1, v1] : scrolls) {
    int h = h0, v = v0;
    ScrollForCaret(key, false, fromCol, fromRow, toCol, toRow, 400, 200, 10, 20, bars, h, v);
    EXPECT_EQ(std::make_pair(h, v), std::make_pair(h1, v1)) << static_cast<int>(key) << " " << fromRow;
  }
}

}  // namespace
