#include "vistram/base/page_geometry.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Ints = std::vector<int>;

TEST(PageGeometry, MarginsColumnsBlocksAndRows) {
  const std::pair<int, int> ints[] = {
      {PrintMargin(600), 142},  // 6 mm at 600 dpi
      {PrintMargin(300), 71},
      {PrintMargin(0), 0},
      {ColumnsPerBlock(4800, 142, 50), 90},  // (4800 - 284) / 50
      {ColumnsPerBlock(300, 142, 50), 1},    // never less than one column
      {ColumnsPerBlock(4800, 142, 0), 1},
      {BlockCount(0, 60), 0}, {BlockCount(1, 60), 1}, {BlockCount(60, 60), 1}, {BlockCount(61, 60), 2},
      {BlockCount(120, 60), 2}, {BlockCount(5, 0), 5},
      {NameColumnChars({}), 13},  // "Consensus:" and three
      {NameColumnChars({4, 10}), 13},
      {NameColumnChars({4, 11, 2}), 14},  // a longer name widens it
  };
  for (std::size_t i = 0; i < std::size(ints); ++i) EXPECT_EQ(ints[i].first, ints[i].second) << "row " << i;
  const std::pair<Ints, Ints> rows[] = {
      {RowPages(60, 30), {0, 30}},  // an exact multiple: no empty last page
      {RowPages(61, 30), {0, 30, 60}}, {RowPages(1, 30), {0}}, {RowPages(0, 30), {}}, {RowPages(2, 0), {0, 1}}};
  for (std::size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(rows[i].first, rows[i].second) << "row " << i;
}

TEST(PageGeometry, PagesEndWhenTheNextBlockWouldEndBelowThePage) {
  // A 1D printout: first block at m + 7 lh, blocks 6 lh apart and 6 lh high;
  // tops at 140, 200, ..., 920: the fourteenth block ends at 980.
  BlockPages pages{1000, 140, 60, 60};
  EXPECT_EQ(BlocksPerPage(pages), 14);
  EXPECT_EQ(PageStarts(0, pages), Ints{});
  EXPECT_EQ(PageStarts(14, pages), Ints{0});
  EXPECT_EQ(PageStarts(29, pages), (Ints{0, 14, 28}));
  pages.pageHeight = 979;  // one pixel short of the fourteenth block
  EXPECT_EQ(BlocksPerPage(pages), 13);
  pages.pageHeight = 100;  // not even one block fits: one per page, so printing ends
  EXPECT_EQ(PageStarts(3, pages), (Ints{0, 1, 2}));
  EXPECT_EQ(BlocksPerPage(BlockPages{1000, 0, 0, 10}), 991);  // a zero pitch counts as one pixel
}

TEST(PageGeometry, AlignmentPagesGoAcrossColumnBandsFirst) {
  const struct {
    int columns, rows, perColumns, perRows;
    std::vector<std::pair<int, int>> pages;  // (first column, first row)
  } cases[] = {
      {100, 10, 50, 20, {{0, 0}, {50, 0}}},
      {100, 25, 50, 20, {{0, 0}, {50, 0}, {0, 20}, {50, 20}}},
      {50, 20, 50, 20, {{0, 0}}},
      {51, 1, 50, 20, {{0, 0}, {50, 0}}},
      {0, 5, 50, 20, {}},
      {3, 2, 0, 0, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}},  // never less than one per page
  };
  for (const auto& c : cases) {
    std::vector<std::pair<int, int>> got;
    for (const GridPage& p : GridPages(c.columns, c.rows, c.perColumns, c.perRows))
      got.emplace_back(p.firstColumn, p.firstRow);
    EXPECT_EQ(got, c.pages) << c.columns << "x" << c.rows;
  }
}

// Strips of 100 residues overlapping by 10, 100 pixels high under lines of
// 10; the page one pixel short of two pairs.
StripPlan Plan(int queryLast, int databaseLast, int queryFirst = 0) {
  return StripPlan{100, 10, 90 + 260 + 250 - 1, 90, 100, 10, queryFirst, queryLast, 0, databaseLast};
}
// Each pair as query start, query end, database start, database end; pages
// separated by -1.
Ints Flat(const StripPlan& plan) {
  Ints out;
  for (const auto& page : StripPages(plan)) {
    for (const StripPair& p : page) out.insert(out.end(), {p.query.start, p.query.end, p.database.start, p.database.end});
    out.push_back(-1);
  }
  return out;
}

TEST(PageGeometry, StripsAdvanceByTheirLengthLessTheOverlap) {
  EXPECT_EQ(Flat(Plan(299, 999)),
            (Ints{0, 100, 0, 100, -1, 90, 190, 90, 190, -1, 180, 280, 180, 280, -1, 270, 299, 270, 370, -1}));
  StripPlan roomy = Plan(299, 999);
  roomy.pageHeight += 1;  // now two pairs fit on a page
  EXPECT_EQ(Flat(roomy), (Ints{0, 100, 0, 100, 90, 190, 90, 190, -1, 180, 280, 180, 280, 270, 299, 270, 370, -1}));
  EXPECT_EQ(Flat(Plan(49, 999)), (Ints{0, 49, 0, 100, -1}));  // shorter than one strip
  EXPECT_EQ(Flat(Plan(5, 999)), (Ints{0, 5, 0, 100, -1}));     // shorter than the overlap
  EXPECT_EQ(Flat(Plan(299, 999, 20)), (Ints{20, 120, 0, 100, -1, 110, 210, 90, 190, -1, 200, 299, 180, 280, -1}));
  EXPECT_EQ(Flat(Plan(-1, 10)), Ints{});
  // The query goes on past the database: the database windows pass its end.
  const auto pages = StripPages(Plan(299, 120));
  EXPECT_FALSE(StripExhausted(pages[1][0].database, 120));  // 90..120
  EXPECT_TRUE(StripExhausted(pages[2][0].database, 120));   // starts at 180
  EXPECT_EQ(pages[2][0].database.end, 120);
  // An overlap as large as a strip is cut to one less, so strips still move on.
  StripPlan wide = Plan(30, 999);
  wide.perStrip = 10;
  wide.overlap = 50;
  EXPECT_EQ(Flat(wide).size(), 22u * 5);  // 0 .. 21, one residue on each time
}

}  // namespace
