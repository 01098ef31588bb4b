#include "vistram/hca/hca_model.h"

#include <gtest/gtest.h>

#include "vistram/hca/hca_layout.h"

namespace {

HcaGraphData ScreenGeometry() {
  HcaGraphData g;
  DimPoliceDiag(6, 27, g, kHcaScreen);  // dy = 32, dx = 9
  DefineLineWidth(96, g, kHcaScreen);
  CalculAmasUnitaire(g);
  return g;
}

std::unique_ptr<InfoSeq> Build(std::string_view s, int firstNumber = 1) {
  return BuildHcaSequence(s, std::vector<int>(s.size(), 0), std::vector<int>(s.size(), 1), firstNumber, "test",
                          "/opt/vistram/vistram", ScreenGeometry());
}

std::vector<std::pair<int, int>> Spans(const InfoSeq& seq) {
  std::vector<std::pair<int, int>> out;
  for (const InfoCluster& c : seq.clusters) out.emplace_back(c.first, c.last);
  return out;
}

}  // namespace

TEST(HcaModel, RoundDoubleRoundsHalfDownOnAbsoluteValue) {
  EXPECT_EQ(RoundDouble(2.5), 2);
  EXPECT_EQ(RoundDouble(2.51), 3);
  EXPECT_EQ(RoundDouble(-2.5), -2);
  EXPECT_EQ(RoundDouble(-2.51), -3);
  EXPECT_EQ(RoundDouble(0.49), 0);
}

TEST(HcaModel, DeviceGeometry) {
  HcaGraphData g;
  DimPoliceDiag(6, 27, g, kHcaScreen);
  EXPECT_DOUBLE_EQ(g.dy, 32.0);
  EXPECT_DOUBLE_EQ(g.dx, 9.0);
  EXPECT_EQ(InitGraphHeight(g), 288 + 54);
  DimPoliceDiag(40, 189, g, kHcaPrinter);
  EXPECT_DOUBLE_EQ(g.dx, 50.0);
  DefineLineWidth(600, g, kHcaPrinter);
  EXPECT_EQ(g.lineWidth[0], 4);  // 0.5 pt at 600 dpi = 4.17
  EXPECT_EQ(g.lineWidth[1], 1);  // 0.1 pt = 0.83, at least 1
  EXPECT_EQ(g.lineWidth[2], 3);
  DefineLineWidth(600, g, kHcaScreen);
  EXPECT_EQ(g.lineWidth, (std::array<int, 3>{1, 1, 1}));
  EXPECT_EQ(HCAPoliceEnUnitePhysique(96, 8), 11);  // 10.67
  // The second net lies one full turn below the first.
  EXPECT_NEAR(HcaNetOffset(ScreenGeometry()), 3.6 * 32, 1e-9);
}

TEST(HcaModel, UnitHexagonAndZigzagVectors) {
  const HcaGraphData g = ScreenGeometry();
  const double dx = g.dx, dy = g.dy, eps = 1e-4 * dy;
  const std::pair<double, double> expected[6] = {{1.5, -0.3}, {2, 0.2}, {0.5, 0.5}, {-1.5, 0.3}, {-2, -0.2}, {-0.5, -0.5}};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_NEAR(g.hexagon[i].x, expected[i].first * dx, eps) << i;
    EXPECT_NEAR(g.hexagon[i].y, expected[i].second * dy, eps) << i;
  }
  EXPECT_NEAR(g.zigzagA.x, 0.5 * dx, eps);
  EXPECT_NEAR(g.zigzagA.y, -0.4 * dy, eps);
  EXPECT_NEAR(g.zigzagBx, 2 * dx, eps);
  EXPECT_NEAR(g.zigzagBy, 1.2 * dy, eps);
  EXPECT_NEAR(g.zigzagF.x, dx, eps);
  EXPECT_NEAR(g.zigzagF.y, dy, eps);
}

TEST(HcaModel, NetCoordinatesFollowTheHelix) {
  auto seq = Build("AAAAAAAA");
  const double dy = 32, top = 6 * 6;
  const double turn[8] = {0, 1, 2, 3, 0.4, 1.4, 2.4, 3.4};
  for (int i = 0; i < 8; ++i) {
    EXPECT_DOUBLE_EQ(seq->aa[i].x, (i + 1) * 9.0);
    EXPECT_NEAR(seq->aa[i].y, turn[i] * dy + top, 1e-4) << i;
  }
}

TEST(HcaModel, RecordFieldsAndNumbering) {
  auto seq = Build("AP-GK", 8);
  EXPECT_EQ(seq->sourceTag, "KALEIDOGRAM");
  EXPECT_EQ(seq->programPath, "/opt/vistram/vistram");
  EXPECT_EQ(seq->length, 5);
  EXPECT_EQ(seq->count, 5);
  EXPECT_EQ(seq->firstIndex, 0);
  EXPECT_EQ(seq->lastIndex, 4);
  EXPECT_EQ(seq->showLetters + seq->showColours + seq->showContours + seq->showZigzags + seq->showMarkers, 5);
  // A gap has number -1 and is no breaker; the letters after it go on without a hole.
  const int numbers[5] = {8, 9, -1, 10, 11};
  const int breakers[5] = {0, 1, 0, 0, 0};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(seq->aa[i].seqNumber, numbers[i]) << i;
    EXPECT_EQ(seq->aa[i].breaker, breakers[i]) << i;
  }
  EXPECT_EQ(Build("-AC", 0)->aa[1].seqNumber, 1);  // a first number of 0 numbers from 1
  // Names longer than the field are cut.
  auto longName = BuildHcaSequence("A", {0}, {1}, 1, std::string(400, 'n'), "", ScreenGeometry());
  EXPECT_EQ(longName->seqName.size(), 259u);
}

TEST(HcaModel, ColoursComeFromThePalette) {
  auto seq = BuildHcaSequence("AVX", {2, 0, 99}, {1, 14, -1}, 1, "c", "", ScreenGeometry());
  EXPECT_EQ(seq->aa[0].textColour, HcaMakeRgb(255, 0, 0));
  EXPECT_EQ(seq->aa[1].backColour, HcaMakeRgb(192, 192, 192));
  // Indexes outside the palette fall back to black on white.
  EXPECT_EQ(seq->aa[2].textColour, kHcaBlack);
  EXPECT_EQ(seq->aa[2].backColour, kHcaWhite);
  EXPECT_EQ(seq->aa[1].hydrophobic, 1);
  EXPECT_EQ(seq->aa[0].hydrophobic, 0);
}

TEST(HcaModel, ClustersLinksAndTheTwoStep) {
  // V at 1 and 3 are not linked; the +2 step joins them.
  EXPECT_EQ(Spans(*Build("AVAV")), (std::vector<std::pair<int, int>>{{1, 3}}));
  // A proline between residues 3 apart keeps them apart.
  EXPECT_EQ(Spans(*Build("VAPV")), (std::vector<std::pair<int, int>>{{0, 0}, {3, 3}}));
  EXPECT_EQ(Spans(*Build("VAAV")), (std::vector<std::pair<int, int>>{{0, 3}}));
  // A proline right after the greatest member stops the +2 step.
  EXPECT_EQ(Spans(*Build("VPV")), (std::vector<std::pair<int, int>>{{0, 0}, {2, 2}}));
  // Four apart with a proline between: not linked either.
  EXPECT_EQ(Spans(*Build("VAPAV")), (std::vector<std::pair<int, int>>{{0, 0}, {4, 4}}));
  // Linked four apart, then a proline stops the +2 step toward L6.
  EXPECT_EQ(Spans(*Build("VAAAVPLL")), (std::vector<std::pair<int, int>>{{0, 4}, {6, 7}}));
  auto seq = Build("AVAV");
  EXPECT_EQ(seq->clusters[0].number, 1);
  EXPECT_TRUE(Build("AAAA")->clusters.empty());
  EXPECT_TRUE(Build("")->clusters.empty());
}

TEST(HcaModel, HumanAlphaGlobinStartByHand) {
  // Haemoglobin alpha, residues 1-15: M V L form one cluster (P5 blocks the
  // +2 step from L3); V11 and W15 are linked four apart.
  auto seq = Build("MVLSPADKTNVKAAW");
  EXPECT_EQ(Spans(*seq), (std::vector<std::pair<int, int>>{{0, 2}, {10, 14}}));
  EXPECT_EQ(seq->clusters[1].number, 2);
  EXPECT_TRUE(seq->zigzags.empty());
  EXPECT_EQ(seq->aa[4].breaker, 1);
  // Residues 1-26 go on: ...GKVGAHAGEYG. V18 is linked to W15 three apart;
  // Y25 stands alone.
  auto longer = Build("MVLSPADKTNVKAAWGKVGAHAGEYG");
  EXPECT_EQ(Spans(*longer), (std::vector<std::pair<int, int>>{{0, 2}, {10, 17}, {24, 24}}));
}

TEST(HcaModel, ZigzagCluster) {
  auto seq = Build("AAAAAVAVAAA");
  ASSERT_EQ(Spans(*seq), (std::vector<std::pair<int, int>>{{5, 7}}));
  EXPECT_EQ(seq->clusters[0].zigzag, 1);
  EXPECT_EQ(seq->zigzags, (std::vector<std::int32_t>{6}));
  // Too close to the end (j + 3 must lie inside): no zigzag.
  auto shortSeq = Build("AAAAAVAV");
  EXPECT_EQ(shortSeq->clusters[0].zigzag, 0);
  EXPECT_TRUE(shortSeq->zigzags.empty());
}

TEST(HcaModel, ContourBits) {
  auto lone = Build("AVA");
  EXPECT_EQ(lone->aa[0].contourBits, 0);
  EXPECT_EQ(lone->aa[1].contourBits, 0x3F);
  EXPECT_EQ(lone->aa[2].contourBits, 0);
  auto pair = Build("VV");
  EXPECT_EQ(pair->aa[0].contourBits, kHcaBitM1M4 | kHcaBitM4M3 | kHcaBitP3M1 | kHcaBitP3P4);
  EXPECT_EQ(pair->aa[1].contourBits, kHcaBitM4M3 | kHcaBitM3P1 | kHcaBitP3P4 | kHcaBitP4P1);
  // A non-hydrophobic residue inside a triangle of two linked residues
  // belongs to the cluster's area; a proline there blocks it.
  EXPECT_EQ(Build("LAAAV")->aa[3].contourBits & kHcaBitM3P1, kHcaBitM3P1);
  EXPECT_EQ(Build("LAAPV")->aa[3].contourBits & kHcaBitM3P1, 0);
  auto none = Build("KDEASTGN");
  for (const InfoAA& a : none->aa) EXPECT_EQ(a.contourBits, 0);
}

TEST(HcaModel, FillPolygons) {
  const HcaGraphData g = ScreenGeometry();
  const double eps = 1e-3;
  auto seq = Build("AAAA");
  const auto& mid = seq->aa[1].polygon;
  EXPECT_NEAR(mid[0].x, g.hexagon[kCornerM1].x, eps);
  EXPECT_NEAR(mid[3].y, g.hexagon[kCornerP1].y, eps);
  // Pulled-in vertices between equal neighbours: D = (1.25 dx, -0.55 dy).
  EXPECT_NEAR(mid[1].x, 1.25 * g.dx, eps);
  EXPECT_NEAR(mid[1].y, -0.55 * g.dy, eps);
  // The first residue takes the hexagon's corners toward +3 and -4, the last toward +4 and -3.
  EXPECT_NEAR(seq->aa[0].polygon[1].x, g.hexagon[kCornerP3].x, eps);
  EXPECT_NEAR(seq->aa[0].polygon[5].x, g.hexagon[kCornerM4].x, eps);
  EXPECT_NEAR(seq->aa[3].polygon[2].x, g.hexagon[kCornerP4].x, eps);
  EXPECT_NEAR(seq->aa[3].polygon[4].x, g.hexagon[kCornerM3].x, eps);
  // A lone hydrophobic residue has all its contour bits: its cell is the full hexagon.
  auto lone = Build("AVA");
  for (std::size_t c = 0; c < 6; ++c) EXPECT_NEAR(lone->aa[1].polygon[c].x, g.hexagon[c == 0 ? kCornerM1 : c == 1 ? kCornerP3 : c == 2 ? kCornerP4 : c == 3 ? kCornerP1 : c == 4 ? kCornerM3 : kCornerM4].x, eps) << c;
  // After a residue of the other kind the vertex is B = (dx, -0.8 dy), not D.
  EXPECT_NEAR(lone->aa[2].polygon[1].x, g.dx, eps);
  EXPECT_NEAR(lone->aa[2].polygon[1].y, -0.8 * g.dy, eps);
  // One residue alone.
  EXPECT_NEAR(Build("V")->aa[0].polygon[2].x, g.hexagon[kCornerP4].x, eps);
}

TEST(HcaModel, DuplicateIsDeep) {
  auto seq = Build("MVLSPADKTNVKAAW");
  auto copy = DuplicatePData(*seq);
  ASSERT_TRUE(copy);
  copy->aa[0].x = -1;
  copy->clusters[0].last = 99;
  copy->residues[0] = 'Q';
  EXPECT_NE(seq->aa[0].x, -1);
  EXPECT_EQ(seq->clusters[0].last, 2);
  EXPECT_EQ(seq->residues[0], 'M');
  FreeDataSequence(copy);
  EXPECT_FALSE(copy);
}

TEST(HcaLayout, PaintRangeCoversTheDamagedAreaPlusFour) {
  const HcaGraphData g = ScreenGeometry();  // dx = 9
  auto seq = Build(std::string(100, 'A'));
  int first = 0, last = 0;
  ASSERT_TRUE(HcaPaintRange(*seq, g, 90, 180, first, last));
  EXPECT_EQ(first, 10 - 4);
  EXPECT_EQ(last, 20 + 4);
  seq->scrollPos = 50;
  ASSERT_TRUE(HcaPaintRange(*seq, g, 0, 900, first, last));
  EXPECT_EQ(first, 46);
  EXPECT_EQ(last, 99);
  EXPECT_EQ(HcaXOrigin(*seq, g), 450);
  // Scrolled past the end: nothing to draw.
  seq->scrollPos = 200;
  EXPECT_FALSE(HcaPaintRange(*seq, g, 0, 90, first, last));
  // A single residue is drawn.
  auto one = Build("W");
  ASSERT_TRUE(HcaPaintRange(*one, g, 0, 90, first, last));
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 0);
  EXPECT_EQ(PrepareHcaDrawing(*one, first, last, 0, 0, 0, g).residues.size(), 1u);
}
