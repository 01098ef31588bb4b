#include "vistram/base/page_geometry.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

TEST(PageGeometry, MarginAndColumns) {
  EXPECT_EQ(PrintMargin(600), 142);  // 6 mm at 600 dpi
  EXPECT_EQ(PrintMargin(300), 71);
  EXPECT_EQ(PrintMargin(0), 0);
  EXPECT_EQ(ColumnsPerBlock(4800, 142, 50), 90);  // (4800 - 284) / 50
  EXPECT_EQ(ColumnsPerBlock(300, 142, 50), 1);    // never less than one column
  EXPECT_EQ(ColumnsPerBlock(4800, 142, 0), 1);
}

TEST(PageGeometry, BlocksOfColumns) {
  struct Case {
    int columns, perBlock, blocks;
  };
  for (const Case& c : {Case{0, 60, 0}, Case{1, 60, 1}, Case{60, 60, 1}, Case{61, 60, 2}, Case{120, 60, 2},
                        Case{5, 0, 5}}) {
    EXPECT_EQ(BlockCount(c.columns, c.perBlock), c.blocks) << c.columns << "/" << c.perBlock;
  }
}

TEST(PageGeometry, PagesEndWhenTheNextBlockWouldEndBelowThePage) {
  // A 1D printout: first block at m + 7 lh, blocks 6 lh apart and 6 lh high.
  const int lh = 10;
  BlockPages pages{1000, 70 + 7 * lh, 6 * lh, 6 * lh};
  // Tops at 140, 200, ..., 920: the fourteenth block ends at 980.
  EXPECT_EQ(BlocksPerPage(pages), 14);
  EXPECT_EQ(PageStarts(0, pages), std::vector<int>{});
  EXPECT_EQ(PageStarts(14, pages), std::vector<int>{0});
  EXPECT_EQ(PageStarts(15, pages), (std::vector<int>{0, 14}));
  EXPECT_EQ(PageStarts(29, pages), (std::vector<int>{0, 14, 28}));
  pages.pageHeight = 979;  // one pixel short of the fourteenth block
  EXPECT_EQ(BlocksPerPage(pages), 13);
  pages.pageHeight = 100;  // not even one block fits: one per page, so printing ends
  EXPECT_EQ(BlocksPerPage(pages), 1);
  EXPECT_EQ(PageStarts(3, pages), (std::vector<int>{0, 1, 2}));
  pages = BlockPages{1000, 0, 0, 10};  // a zero pitch counts as one pixel
  EXPECT_EQ(BlocksPerPage(pages), 991);
}

TEST(PageGeometry, AlignmentPagesGoAcrossColumnBandsFirst) {
  struct Case {
    int columns, rows, perColumns, perRows;
    std::vector<std::pair<int, int>> pages;  // (first column, first row)
  };
  const std::vector<Case> cases = {
      {100, 10, 50, 20, {{0, 0}, {50, 0}}},                    // 100 columns at 50: two bands
      {100, 25, 50, 20, {{0, 0}, {50, 0}, {0, 20}, {50, 20}}},  // then the next row band
      {50, 20, 50, 20, {{0, 0}}},                              // exact fit: one page
      {51, 1, 50, 20, {{0, 0}, {50, 0}}},
      {0, 5, 50, 20, {}},
      {3, 2, 0, 0, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}},  // never less than one per page
  };
  for (const Case& c : cases) {
    std::vector<std::pair<int, int>> got;
    for (const GridPage& p : GridPages(c.columns, c.rows, c.perColumns, c.perRows))
      got.emplace_back(p.firstColumn, p.firstRow);
    EXPECT_EQ(got, c.pages) << c.columns << "x" << c.rows;
  }
}

TEST(PageGeometry, MapPagesAndNameColumn) {
  EXPECT_EQ(RowPages(60, 30), (std::vector<int>{0, 30}));  // an exact multiple: no empty last page
  EXPECT_EQ(RowPages(61, 30), (std::vector<int>{0, 30, 60}));
  EXPECT_EQ(RowPages(1, 30), (std::vector<int>{0}));
  EXPECT_EQ(RowPages(0, 30), (std::vector<int>{}));
  EXPECT_EQ(RowPages(2, 0), (std::vector<int>{0, 1}));
  EXPECT_EQ(NameColumnChars({}), 13);         // "Consensus:" and three
  EXPECT_EQ(NameColumnChars({4, 10}), 13);
  EXPECT_EQ(NameColumnChars({4, 11, 2}), 14);  // a longer name widens it
}

namespace {
StripPlan Plan(int queryLast, int databaseLast) {
  StripPlan p;
  p.perStrip = 100;
  p.overlap = 10;
  p.lineHeight = 10;
  p.stripHeight = 100;
  p.firstTop = 90;
  p.pageHeight = 90 + (6 * 10 + 2 * 100) + (5 * 10 + 2 * 100) - 1;  // one pixel short of two pairs
  p.queryLast = queryLast;
  p.databaseLast = databaseLast;
  return p;
}
std::vector<int> QueryStarts(const std::vector<std::vector<StripPair>>& pages) {
  std::vector<int> starts;
  for (const auto& page : pages)
    for (const StripPair& pair : page) starts.push_back(pair.query.start);
  return starts;
}
}  // namespace

TEST(PageGeometry, StripsAdvanceByTheirLengthLessTheOverlap) {
  const auto pages = StripPages(Plan(299, 999));
  EXPECT_EQ(QueryStarts(pages), (std::vector<int>{0, 90, 180, 270}));
  ASSERT_EQ(pages.size(), 4u);  // one pair a page: the second would pass the bottom by one pixel
  EXPECT_EQ(pages[0][0].query.end, 100);
  EXPECT_EQ(pages[3][0].query.end, 299);  // clamped to the last residue
  EXPECT_EQ(pages[3][0].database.start, 270);
  EXPECT_EQ(pages[3][0].database.end, 370);

  StripPlan roomy = Plan(299, 999);
  roomy.pageHeight += 1;  // now two pairs fit on a page
  const auto two = StripPages(roomy);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].size(), 2u);
  EXPECT_EQ(two[1][1].query.start, 270);
}

TEST(PageGeometry, StripEdgeCases) {
  // A query shorter than one strip: one pair on one page.
  auto pages = StripPages(Plan(49, 999));
  ASSERT_EQ(pages.size(), 1u);
  ASSERT_EQ(pages[0].size(), 1u);
  EXPECT_EQ(pages[0][0].query.end, 49);
  // Even a query shorter than the overlap prints its pair.
  EXPECT_EQ(QueryStarts(StripPages(Plan(5, 999))), std::vector<int>{0});
  // The query goes on past the database: the database windows pass its end.
  pages = StripPages(Plan(299, 120));
  EXPECT_FALSE(StripExhausted(pages[1][0].database, 120));  // 90..120
  EXPECT_TRUE(StripExhausted(pages[2][0].database, 120));   // starts at 180
  EXPECT_EQ(pages[2][0].database.end, 120);
  // No residue: no page; a start past the first residue is kept.
  EXPECT_TRUE(StripPages(Plan(-1, 10)).empty());
  StripPlan from = Plan(299, 999);
  from.queryFirst = 20;
  EXPECT_EQ(QueryStarts(StripPages(from)), (std::vector<int>{20, 110, 200}));
  // An overlap as large as a strip is cut to one less, so strips still move on.
  StripPlan wide = Plan(30, 999);
  wide.perStrip = 10;
  wide.overlap = 50;
  EXPECT_EQ(QueryStarts(StripPages(wide)).size(), 22u);  // 0 .. 21, one residue on each time
}

}  // namespace
