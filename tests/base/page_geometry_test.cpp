#include "vistram/base/page_geometry.h"

#include <gtest/gtest.h>

#include <vector>

// clang-format off
namespace {

using Ints = std::vector<int>;

TEST(PageGeometry, MarginsColumnsBlocksAndPages) {
  // 6 mm at 600 dpi; (4800 - 284) / 50 columns, at least one; "Consensus:" or the longest name, and three.
  // Blocks 60 apart and 60 high from 140 end at 980 for the fourteenth: one pixel less, 13; none fits: one
  // a page, so printing ends; a zero pitch counts as one pixel.
  const BlockPages page{1000, 140, 60, 60}, shorter{979, 140, 60, 60}, tiny{100, 140, 60, 60}, flat{1000, 0, 0, 10};
  const Ints got = {PrintMargin(600), PrintMargin(300), PrintMargin(0), ColumnsPerBlock(4800, 142, 50),
                    ColumnsPerBlock(300, 142, 50), ColumnsPerBlock(4800, 142, 0), ColumnsPerBlock(100, 10, 1),
                    BlockCount(0, 60), BlockCount(1, 60), BlockCount(60, 60), BlockCount(61, 60), BlockCount(120, 60),
                    BlockCount(5, 0), NameColumnChars({}), NameColumnChars({4, 10}), NameColumnChars({4, 11, 2}),
                    BlocksPerPage(page), BlocksPerPage(shorter), BlocksPerPage(tiny), BlocksPerPage(flat)};
  EXPECT_EQ(got, (Ints{142, 71, 0, 90, 1, 1, 80, 0, 1, 1, 2, 2, 5, 13, 13, 14, 14, 13, 1, 991}));
  // Map pages of rows: an exact multiple makes no empty last page.
  const std::vector<Ints> starts = {RowPages(60, 30), RowPages(61, 30), RowPages(1, 30), RowPages(0, 30),
      RowPages(2, 0), PageStarts(0, page), PageStarts(14, page), PageStarts(29, page), PageStarts(3, tiny)};
  EXPECT_EQ(starts, (std::vector<Ints>{{0, 30}, {0, 30, 60}, {0}, {}, {0, 1}, {}, {0}, {0, 14, 28}, {0, 1, 2}}));
  // Alignment pages go across column bands first: columns, rows, per page across and down; then the first
  // column and row of each page.
  const std::pair<Ints, Ints> cases[] = {
      {{100, 10, 50, 20}, {0, 0, 50, 0}},   {{100, 25, 50, 20}, {0, 0, 50, 0, 0, 20, 50, 20}},
      {{50, 20, 50, 20}, {0, 0}},           {{51, 1, 50, 20}, {0, 0, 50, 0}}, {{0, 5, 50, 20}, {}},
      {{3, 2, 0, 0}, {0, 0, 1, 0, 2, 0, 0, 1, 1, 1, 2, 1}}};  // never less than one per page
  for (const auto& [in, pages] : cases) {
    Ints got;
    for (const GridPage& p : GridPages(in[0], in[1], in[2], in[3])) got.insert(got.end(), {p.firstColumn, p.firstRow});
    EXPECT_EQ(got, pages) << in[0] << "x" << in[1];
  }
}

// Strips of 100 overlapping by 10, the page one pixel short of two pairs; query and database windows, -1 a page.
Ints Strips(int queryLast, int databaseLast, int queryFirst = 0, int pageHeight = 599, int perStrip = 100) {
  Ints out;
  for (const auto& page : StripPages({perStrip, 10, pageHeight, 90, 100, 10, queryFirst, queryLast, 0, databaseLast})) {
    for (const StripPair& p : page)
      out.insert(out.end(), {p.query.start, p.query.end, p.database.start, p.database.end});
    out.push_back(-1);
  }
  return out;
}

TEST(PageGeometry, StripsAdvanceByTheirLengthLessTheOverlap) {
  EXPECT_EQ(Strips(299, 999),
            (Ints{0, 100, 0, 100, -1, 90, 190, 90, 190, -1, 180, 280, 180, 280, -1, 270, 299, 270, 370, -1}));
  EXPECT_EQ(Strips(299, 999, 0, 600),
            (Ints{0, 100, 0, 100, 90, 190, 90, 190, -1, 180, 280, 180, 280, 270, 299, 270, 370, -1}));
  EXPECT_EQ(Strips(49, 999), (Ints{0, 49, 0, 100, -1}));  // shorter than one strip
  EXPECT_EQ(Strips(5, 999), (Ints{0, 5, 0, 100, -1}));    // shorter than the overlap
  EXPECT_EQ(Strips(299, 999, 20), (Ints{20, 120, 0, 100, -1, 110, 210, 90, 190, -1, 200, 299, 180, 280, -1}));
  EXPECT_EQ(Strips(-1, 10), Ints{});
  // The query goes on past the database: its windows pass the database's end.
  EXPECT_EQ(Strips(299, 120),
            (Ints{0, 100, 0, 100, -1, 90, 190, 90, 120, -1, 180, 280, 180, 120, -1, 270, 299, 270, 120, -1}));
  EXPECT_TRUE(!StripExhausted({90, 120}, 120) && StripExhausted({180, 120}, 120));
  // An overlap as large as a strip is cut to one less, so strips still move on.
  EXPECT_EQ(Strips(30, 999, 0, 599, 10).size(), 22u * 5);
}

}  // namespace
// clang-format on
