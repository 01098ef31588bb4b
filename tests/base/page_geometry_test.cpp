#include "vistram/base/page_geometry.h"

#include <gtest/gtest.h>

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

}  // namespace
