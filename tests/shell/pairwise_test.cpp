#include "vistram/shell/pairwise.h"

#include <gtest/gtest.h>

#include "view_fixture.h"

namespace {

TEST(PairwiseGeometry, RoundingGoesUpOnlyAboveOneHalfAndKeepsTheSign) {
  EXPECT_EQ(RoundColumns(2.5), 2);
  EXPECT_EQ(RoundColumns(2.51), 3);
  EXPECT_EQ(RoundColumns(2.49), 2);
  EXPECT_EQ(RoundColumns(-2.5), -2);
  EXPECT_EQ(RoundColumns(-2.51), -3);
  EXPECT_EQ(RoundColumns(0.0), 0);
  EXPECT_EQ(RoundColumns(7.0), 7);
}

TEST(PairwiseGeometry, ScrollRangeFollowsTheVisibleColumns) {
  // 100 columns in a 50-column view: -2 .. 52.
  PairwiseScroll s = ComputePairwiseScroll(500, 10, 100);
  EXPECT_TRUE(s.enabled);
  EXPECT_EQ(s.visibleColumns, 50);
  EXPECT_EQ(s.minimum, -2);
  EXPECT_EQ(s.maximum, 52);
  EXPECT_EQ(s.position, -2);
  // A view of 102 columns shows 100 columns with their margins: no scrolling.
  EXPECT_FALSE(ComputePairwiseScroll(1020, 10, 100).enabled);
  EXPECT_TRUE(ComputePairwiseScroll(1010, 10, 100).enabled);
  // 1025 / 10 = 102.5 rounds to 102.
  EXPECT_FALSE(ComputePairwiseScroll(1025, 10, 100).enabled);
  EXPECT_FALSE(ComputePairwiseScroll(500, 0, 100).enabled);
}

TEST(PairwiseGeometry, ScrollRequestsMoveByTenthsAndPagesWithinTheRange) {
  PairwiseScroll s = ComputePairwiseScroll(500, 10, 100);
  EXPECT_EQ(ApplyPairwiseScroll(s, -2, ScrollRequest::LineRight), 3);
  EXPECT_EQ(ApplyPairwiseScroll(s, 3, ScrollRequest::LineLeft), -2);
  EXPECT_EQ(ApplyPairwiseScroll(s, -2, ScrollRequest::LineLeft), -2);
  EXPECT_EQ(ApplyPairwiseScroll(s, -2, ScrollRequest::PageRight), 48);
  EXPECT_EQ(ApplyPairwiseScroll(s, 48, ScrollRequest::PageRight), 52);
  EXPECT_EQ(ApplyPairwiseScroll(s, 20, ScrollRequest::Other), 20);
  PairwiseScroll off = ComputePairwiseScroll(2000, 10, 100);
  EXPECT_EQ(ApplyPairwiseScroll(off, -2, ScrollRequest::PageRight), -2);
}

TEST(PairwiseGeometry, PaintedColumnsCoverTheInvalidBandWithMargins) {
  ColumnRange r = PairwiseColumns(0, 200, 10, -2, 100);
  EXPECT_EQ(r.first, 0);
  EXPECT_EQ(r.last, 20);
  r = PairwiseColumns(100, 200, 10, 30, 100);
  EXPECT_EQ(r.first, 38);
  EXPECT_EQ(r.last, 52);
  r = PairwiseColumns(0, 5000, 10, 30, 100);
  EXPECT_EQ(r.last, 100);
}

TEST(PairwiseGeometry, NumbersEveryTenthResidueButNeverOnAGap) {
  // Query 5..: residue 10 is column 5; subject 1..: column 9 is residue 10.
  //             0123456789012
  auto v = MakeView("ABCDEFGHIJKLM", "             ", "ABCD-FGHIJKLM", 5, 1);
  // A gap column that would carry a multiple of ten: subject 20 is never shown
  // on a '-' even when the number array says so.
  v->subjectResidueNumbers[4] = 20;
  PairwiseDrawing d = LayoutPairwise(*v, {0, 13}, -2, 0, 30, 10, 20);
  std::vector<std::tuple<std::string, int, int>> numbers;
  for (const auto& t : d.texts) {
    if (t.kind == PairwiseText::Number) numbers.emplace_back(t.text, t.x, t.y);
  }
  ASSERT_EQ(numbers.size(), 2u);
  EXPECT_EQ(numbers[0], std::make_tuple(std::string("10"), 10 * (5 + 3), 30 - 20));
  EXPECT_EQ(numbers[1], std::make_tuple(std::string("10"), 10 * (10 + 3), 30 + 60));
  ASSERT_EQ(d.ticks.size(), 2u);
  EXPECT_EQ(d.ticks[0].y1, 28);
  EXPECT_EQ(d.ticks[0].y2, 32);
  EXPECT_EQ(d.ticks[1].y1, 88);
  // Three residues per column; the first column three character widths in.
  EXPECT_EQ(d.texts.size(), 13u * 3 + 2);
  EXPECT_EQ(d.texts[0].x, 30);
  EXPECT_EQ(d.texts[0].y, 30);
  EXPECT_EQ(d.texts[1].y, 50);
  EXPECT_EQ(d.texts[2].y, 70);
  // Printed: x from the margin and the block's first column.
  PairwiseDrawing p = LayoutPairwise(*v, {5, 6}, 5, 100, 30, 10, 20);
  EXPECT_EQ(p.texts[0].x, 110);
}

TEST(PairwiseGeometry, LayoutNeverReadsPastShortLines) {
  auto v = MakeView("ABC", "AB", "AB", 1, 1);
  v->alignedLength = 10;
  PairwiseDrawing d = LayoutPairwise(*v, {0, 10}, -2, 0, 30, 10, 20);
  EXPECT_EQ(d.texts.size(), 6u);
}

TEST(PairwiseGeometry, CaptionNamesTheAlignmentAndItsOrigin) {
  DataProgram dp;
  FillWorkingSet(dp, 3, 2);
  dp.tableNames = {"first.bla", "search 1"};
  dp.tableNameCount = 2;
  EXPECT_TRUE(BuildHspCaption(dp).alignment.empty());
  dp.viewer = MakeView("AB", "A ", "AC", 12, 40);
  dp.viewer->hitNumber = 3;
  dp.viewer->alignmentNumber = 2;
  dp.viewer->sourceTableIndex = 1;
  dp.viewer->sourceHitNumber = 17;
  dp.viewer->statsText = "SCORE = 40";
  EXPECT_TRUE(BuildHspCaption(dp).alignment.empty());  // no current table
  dp.currentTable = 0;
  HspCaption c = BuildHspCaption(dp);
  EXPECT_EQ(c.alignment, "Ali: 2/2. Origin: search 1 (17)");
  EXPECT_EQ(c.statistics, "SCORE = 40");
  EXPECT_EQ(c.queryFrom, "12");
  EXPECT_EQ(c.queryTo, "13");
  EXPECT_EQ(c.subjectFrom, "40");
  EXPECT_EQ(c.subjectTo, "41");
}

}  // namespace
