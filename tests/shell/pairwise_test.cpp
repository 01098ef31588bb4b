// The pairwise view's model: the colours of its three lines, its geometry, its caption.
#include "vistram/shell/pairwise.h"

#include <gtest/gtest.h>

#include "view_fixture.h"
#include "vistram/results/alignment_colours.h"

namespace {

using V = std::vector<int>;

const std::string kConfig = VISTRAM_TEST_DATA_DIR "/../shell/data/colours.cfg";

// Expected colours of the query, subject and match lines (empty: not checked).
TEST(Colours, EachCodeColoursTheThreeLines) {
  const struct {
    const char* name;
    int code;
    bool background;
    const char *query, *middle, *subject;
    V queryText, queryBack, subjectText, subjectBack, middleText, middleBack;
  } rows[] = {
      // V configured; P white on red; d as D; '-' black on white; match letters white on black.
      {"hca", kColourHca, true, "VPd-X", "V + X", "VPdAv", {9, 1, 2, 0, 0}, {5, 2, 1, 1, 1}, {9, 1, 2, 0, 9},
       {5, 2, 1, 1, 5}, {1, 0, 0, 0, 1}, {0, 1, 1, 1, 0}},
      // Without backgrounds P's white letter would vanish: black instead.
      {"hca plain", kColourHca, false, "VPd-X", "V + X", "VPdAv", {9, 0, 2, 0, 0}, {1, 1, 1, 1, 1}, {}, {}, {}, {}},
      // Both residues by the match character: identity, similarity, other.
      {"identity", kColourIdentity, true, "LVKA", "L+ x", "LIRA", {8, 13, 15, 8}, {14, 7, 1, 1}, {8, 13, 15, 8},
       {14, 1, 1, 1}, {0, 0, 0, 0}, {1, 1, 1, 1}},
      {"identity plain", kColourIdentity, false, "LVKA", "L+ x", "LIRA", {}, {1, 1, 1, 1}, {}, {}, {}, {}},
      {"black and white", kColourBlackWhite, true, "VP-", "V +", "VPA", {0, 0, 0}, {1, 1, 1}, {}, {}, {1, 0, 0},
       {0, 1, 1}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    auto v = MakeView(r.query, r.middle, r.subject, 1, 1);
    AssignColorForAA(kConfig, r.code, r.background, *v);
    const std::pair<const V*, const V*> checks[] = {
        {&r.queryText, &v->queryTextColours},     {&r.queryBack, &v->queryBackColours},
        {&r.subjectText, &v->subjectTextColours}, {&r.subjectBack, &v->subjectBackColours},
        {&r.middleText, &v->middleTextColours},   {&r.middleBack, &v->middleBackColours}};
    for (std::size_t i = 0; i < 6; ++i) {
      if (!checks[i].first->empty()) EXPECT_EQ(*checks[i].second, *checks[i].first) << "array " << i;
    }
  }
  V text, back;
  AssignHcaColours(kConfig, "VP.v*", text, back);  // one sequence alone
  EXPECT_TRUE(text == (V{9, 1, 0, 9, 0}) && back == (V{5, 2, 1, 5, 1}));
  const ColourConfiguration c = ReadColourConfiguration(kColourIdentity, kConfig + ".missing");  // the defaults
  const ColourConfiguration h = ReadColourConfiguration(kColourHca, kConfig + ".missing");
  EXPECT_EQ((V{c.ident, c.simil, c.autre, c.back[0], h.text[21], h.back[21]}), (V{2, 4, 0, 1, 0, 1}));
}


TEST(PairwiseGeometry, RoundingScrollRangeAndRequests) {
  for (const auto& [value, rounded] : std::vector<std::pair<double, int>>{
           {2.5, 2}, {2.51, 3}, {2.49, 2}, {-2.5, -2}, {-2.51, -3}, {0.0, 0}, {7.0, 7}})
    EXPECT_EQ(RoundColumns(value), rounded) << value;

  // 100 columns in a 50-column view: -2 .. 52.
  const PairwiseScroll s = ComputePairwiseScroll(500, 10, 100);
  EXPECT_EQ((std::vector<int>{s.enabled, s.visibleColumns, s.minimum, s.maximum, s.position}),
            (std::vector<int>{1, 50, -2, 52, -2}));
  // 102 columns show 100 with their margins (1025 / 10 rounds to 102): no scrolling.
  for (const auto& [width, charWidth, enabled] : std::vector<std::tuple<int, int, bool>>{
           {1020, 10, false}, {1010, 10, true}, {1025, 10, false}, {500, 0, false}})
    EXPECT_EQ(ComputePairwiseScroll(width, charWidth, 100).enabled, enabled) << width << " " << charWidth;

  // Lines are tenths of the view, within the range.
  for (const auto& [from, request, to] : std::vector<std::tuple<int, ScrollRequest, int>>{
           {-2, ScrollRequest::LineRight, 3}, {3, ScrollRequest::LineLeft, -2}, {-2, ScrollRequest::LineLeft, -2},
           {-2, ScrollRequest::PageRight, 48}, {48, ScrollRequest::PageRight, 52}, {20, ScrollRequest::Other, 20}})
    EXPECT_EQ(ApplyPairwiseScroll(s, from, request), to) << from;
  EXPECT_EQ(ApplyPairwiseScroll(ComputePairwiseScroll(2000, 10, 100), -2, ScrollRequest::PageRight), -2);

  // Painted columns cover the invalid band with margins.
  for (const auto& [left, right, scroll, first, last] : std::vector<std::tuple<int, int, int, int, int>>{
           {0, 200, -2, 0, 20}, {100, 200, 30, 38, 52}, {0, 5000, 30, -1, 100}}) {
    const ColumnRange r = PairwiseColumns(left, right, 10, scroll, 100);
    EXPECT_EQ(r.last, last) << left << " " << right;
    if (first >= 0) EXPECT_EQ(r.first, first) << left << " " << right;
  }
}

TEST(PairwiseGeometry, NumbersEveryTenthResidueButNeverOnAGap) {
  // Query 5..: residue 10 is column 5; subject 1..: column 9 is residue 10.
  auto v = MakeView("ABCDEFGHIJKLM", "             ", "ABCD-FGHIJKLM", 5, 1);
  v->subjectResidueNumbers[4] = 20;  // never shown on a '-'
  const PairwiseDrawing d = LayoutPairwise(*v, {0, 13}, -2, 0, 30, 10, 20);
  std::vector<std::tuple<std::string, int, int>> numbers;
  for (const auto& t : d.texts) {
    if (t.kind == PairwiseText::Number) numbers.emplace_back(t.text, t.x, t.y);
  }
  EXPECT_EQ(numbers, (std::vector<std::tuple<std::string, int, int>>{{"10", 10 * (5 + 3), 30 - 20},
                                                                    {"10", 10 * (10 + 3), 30 + 60}}));
  ASSERT_EQ(d.ticks.size(), 2u);
  EXPECT_EQ((std::vector<int>{d.ticks[0].y1, d.ticks[0].y2, d.ticks[1].y1}), (std::vector<int>{28, 32, 88}));
  // Three residues per column; the first column three character widths in.
  ASSERT_EQ(d.texts.size(), 13u * 3 + 2);
  EXPECT_EQ((std::vector<int>{d.texts[0].x, d.texts[0].y, d.texts[1].y, d.texts[2].y}), (std::vector<int>{30, 30, 50, 70}));
  // Printed: x from the margin and the block's first column.
  EXPECT_EQ(LayoutPairwise(*v, {5, 6}, 5, 100, 30, 10, 20).texts[0].x, 110);
  // Lines shorter than the aligned length are never read past.
  v = MakeView("ABC", "AB", "AB", 1, 1);
  v->alignedLength = 10;
  EXPECT_EQ(LayoutPairwise(*v, {0, 10}, -2, 0, 30, 10, 20).texts.size(), 6u);
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
  dp.viewer->sourceTableIndex = 1, dp.viewer->sourceHitNumber = 17;
  dp.viewer->statsText = "SCORE = 40";
  EXPECT_TRUE(BuildHspCaption(dp).alignment.empty());  // no current table
  dp.currentTable = 0;
  const HspCaption c = BuildHspCaption(dp);
  EXPECT_EQ((std::vector<std::string>{c.alignment, c.statistics, c.queryFrom, c.queryTo, c.subjectFrom, c.subjectTo}),
            (std::vector<std::string>{"Ali: 2/2. Origin: search 1 (17)", "SCORE = 40", "12", "13", "40", "41"}));
}

}  // namespace
