#include "vistram/hca/hca_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "support/temp_folder.h"
#include "vistram/hca/hca_layout.h"
#include "vistram/hca/hca_plot_file.h"
#include "vistram/platform/recording_platform.h"

namespace {

HcaGraphData ScreenGeometry() {
  HcaGraphData g;
  DimPoliceDiag(6, 27, g, kHcaScreen);  // dy = 32, dx = 9
  CalculAmasUnitaire(g);
  return g;
}

std::unique_ptr<InfoSeq> Build(std::string_view s, int firstNumber = 1) {
  return BuildHcaSequence(s, {}, {}, firstNumber, "test", "/opt/vistram/vistram", ScreenGeometry());
}

using Spans = std::vector<std::pair<int, int>>;
Spans SpansOf(const InfoSeq& seq) {
  Spans out;
  for (const InfoCluster& c : seq.clusters) out.emplace_back(c.first, c.last);
  return out;
}

// Reads the (little-endian) file back field by field.
struct Reader {
  std::string b;
  std::size_t pos = 0;
  std::string Raw(std::size_t n) { return b.substr((pos += n) - n, n); }
  template <class T = std::int32_t>
  T Get() {
    T v{};
    const std::string s = Raw(sizeof v);
    std::memcpy(&v, s.data(), s.size());
    return v;
  }
  std::string Text260() {  // NUL-padded, with at least one NUL
    const std::string raw = Raw(260);
    EXPECT_TRUE(raw.back() == '\0' && raw.find_first_not_of('\0', raw.find('\0')) == std::string::npos);
    return raw.substr(0, raw.find('\0'));
  }
};

std::size_t FileSize(const InfoSeq& seq) {
  const std::size_t n = seq.residues.size();
  return 29 + 4 + 872 + 4 + n + 16 * seq.clusters.size() + 4 * seq.zigzags.size() + 153 * n;
}

}  // namespace

TEST(HcaModel, RoundingAndDeviceGeometry) {
  for (auto [v, r] : {std::pair{2.5, 2}, {2.51, 3}, {-2.5, -2}, {-2.51, -3}, {0.49, 0}}) EXPECT_EQ(RoundDouble(v), r) << v;
  HcaGraphData g;
  DimPoliceDiag(6, 27, g, kHcaScreen);
  EXPECT_DOUBLE_EQ(g.dy, 32.0);
  EXPECT_DOUBLE_EQ(g.dx, 9.0);
  EXPECT_EQ(InitGraphHeight(g), 288 + 54);
  DimPoliceDiag(40, 189, g, kHcaPrinter);
  EXPECT_DOUBLE_EQ(g.dx, 50.0);
  DefineLineWidth(600, g, kHcaPrinter);  // 0.5, 0.1 and 0.35 pt at 600 dpi, at least 1
  EXPECT_EQ(g.lineWidth, (std::array<int, 3>{4, 1, 3}));
  DefineLineWidth(600, g, kHcaScreen);
  EXPECT_EQ(g.lineWidth, (std::array<int, 3>{1, 1, 1}));
  EXPECT_EQ(HCAPoliceEnUnitePhysique(96, 8), 11);  // 10.67
  EXPECT_NEAR(HcaNetOffset(ScreenGeometry()), 3.6 * 32, 1e-9);  // the second net, one full turn below
}

TEST(HcaModel, UnitHexagonZigzagVectorsAndHelix) {
  const HcaGraphData g = ScreenGeometry();
  const double eps = 1e-4 * g.dy;
  const double hexagon[6][2] = {{1.5, -0.3}, {2, 0.2}, {0.5, 0.5}, {-1.5, 0.3}, {-2, -0.2}, {-0.5, -0.5}};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_NEAR(g.hexagon[i].x, hexagon[i][0] * g.dx, eps) << i;
    EXPECT_NEAR(g.hexagon[i].y, hexagon[i][1] * g.dy, eps) << i;
  }
  const double zigzag[6] = {g.zigzagA.x / g.dx, g.zigzagA.y / g.dy, g.zigzagBx / g.dx,
                            g.zigzagBy / g.dy,  g.zigzagF.x / g.dx, g.zigzagF.y / g.dy};
  const double expected[6] = {0.5, -0.4, 2, 1.2, 1, 1};
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(zigzag[i], expected[i], 1e-4) << i;
  auto seq = Build("AAAAAAAA");
  const double turn[8] = {0, 1, 2, 3, 0.4, 1.4, 2.4, 3.4};
  for (int i = 0; i < 8; ++i) {
    EXPECT_DOUBLE_EQ(seq->aa[i].x, (i + 1) * 9.0);
    EXPECT_NEAR(seq->aa[i].y, turn[i] * 32 + 36, 1e-4) << i;
  }
}

TEST(HcaModel, NumberingColoursAndNames) {
  // A gap has number -1 and is no breaker; the letters after it go on without a hole.
  auto seq = Build("AP-GK", 8);
  auto field = [&](auto member) { std::vector<int> v; for (const InfoAA& a : seq->aa) v.push_back(a.*member); return v; };
  EXPECT_EQ(field(&InfoAA::seqNumber), (std::vector<int>{8, 9, -1, 10, 11}));
  EXPECT_EQ(field(&InfoAA::breaker), (std::vector<int>{0, 1, 0, 0, 0}));
  EXPECT_EQ(Build("-AC", 0)->aa[1].seqNumber, 1);  // a first number of 0 numbers from 1
  EXPECT_EQ(BuildHcaSequence("A", {0}, {1}, 1, std::string(400, 'n'), "", ScreenGeometry())->seqName.size(), 259u);
  // Palette colours; indexes outside the palette fall back to black on white.
  auto c = BuildHcaSequence("AVX", {2, 0, 99}, {1, 14, -1}, 1, "c", "", ScreenGeometry());
  EXPECT_EQ(c->aa[0].textColour, HcaMakeRgb(255, 0, 0));
  EXPECT_EQ(c->aa[1].backColour, HcaMakeRgb(192, 192, 192));
  EXPECT_EQ(c->aa[2].textColour, kHcaBlack);
  EXPECT_EQ(c->aa[2].backColour, kHcaWhite);
  EXPECT_EQ(c->aa[1].hydrophobic, 1);
  EXPECT_EQ(c->aa[0].hydrophobic, 0);
}

TEST(HcaModel, ClustersLinksAndTheTwoStep) {
  const std::pair<const char*, Spans> cases[] = {
      {"AVAV", {{1, 3}}},                 // the +2 step joins V1 and V3
      {"VAPV", {{0, 0}, {3, 3}}},         // a proline between residues 3 apart keeps them apart
      {"VAAV", {{0, 3}}},
      {"VPV", {{0, 0}, {2, 2}}},          // a proline right after the greatest member stops the +2 step
      {"VAPAV", {{0, 0}, {4, 4}}},        // four apart with a proline between
      {"VAAAVPLL", {{0, 4}, {6, 7}}},     // linked four apart, then a proline stops the step toward L6
      {"AAAA", {}},
      {"", {}},
      // Haemoglobin alpha 1-15 and 1-26 by hand: P5 blocks the step from L3; V11-W15 four apart,
      // V18 three after W15; Y25 alone.
      {"MVLSPADKTNVKAAW", {{0, 2}, {10, 14}}},
      {"MVLSPADKTNVKAAWGKVGAHAGEYG", {{0, 2}, {10, 17}, {24, 24}}},
  };
  for (const auto& [s, spans] : cases) EXPECT_EQ(SpansOf(*Build(s)), spans) << s;
  auto globin = Build("MVLSPADKTNVKAAW");
  EXPECT_EQ(globin->clusters[1].number, 2);
  // A zigzag cluster, and the same too close to the end (j + 3 must lie inside).
  auto seq = Build("AAAAAVAVAAA");
  ASSERT_EQ(SpansOf(*seq), (Spans{{5, 7}}));
  EXPECT_EQ(seq->clusters[0].zigzag, 1);
  EXPECT_EQ(seq->zigzags, (std::vector<std::int32_t>{6}));
  EXPECT_EQ(Build("AVAVA")->zigzags, (std::vector<std::int32_t>{2}));  // from the second residue on
  auto shortSeq = Build("AAAAAVAV");
  EXPECT_EQ(shortSeq->clusters[0].zigzag, 0);
  EXPECT_TRUE(shortSeq->zigzags.empty());
}

TEST(HcaModel, ContourBitsAndFillPolygons) {
  auto lone = Build("AVA");
  EXPECT_EQ(lone->aa[1].contourBits, 0x3F);
  auto pair = Build("VV");
  EXPECT_EQ(pair->aa[0].contourBits, kHcaBitM1M4 | kHcaBitM4M3 | kHcaBitP3M1 | kHcaBitP3P4);
  EXPECT_EQ(pair->aa[1].contourBits, kHcaBitM4M3 | kHcaBitM3P1 | kHcaBitP3P4 | kHcaBitP4P1);
  // A residue inside a triangle of two linked residues belongs to the area; a proline there blocks it.
  EXPECT_EQ(Build("LAAAV")->aa[3].contourBits & kHcaBitM3P1, kHcaBitM3P1);
  EXPECT_EQ(Build("LAAPV")->aa[3].contourBits & kHcaBitM3P1, 0);
  const auto polar = Build("KDEASTGN");
  for (const InfoAA& a : polar->aa) EXPECT_EQ(a.contourBits, 0);

  const HcaGraphData g = ScreenGeometry();
  const double eps = 1e-3;
  auto seq = Build("AAAA");
  const auto& mid = seq->aa[1].polygon;
  EXPECT_NEAR(mid[0].x, g.hexagon[kCornerM1].x, eps);
  EXPECT_NEAR(mid[3].y, g.hexagon[kCornerP1].y, eps);
  EXPECT_NEAR(mid[1].x, 1.25 * g.dx, eps);  // pulled in between equal neighbours: D = (1.25 dx, -0.55 dy)
  EXPECT_NEAR(mid[1].y, -0.55 * g.dy, eps);
  // The first residue takes the corners toward +3 and -4, the last toward +4 and -3.
  EXPECT_NEAR(seq->aa[0].polygon[1].x, g.hexagon[kCornerP3].x, eps);
  EXPECT_NEAR(seq->aa[0].polygon[5].x, g.hexagon[kCornerM4].x, eps);
  EXPECT_NEAR(seq->aa[3].polygon[2].x, g.hexagon[kCornerP4].x, eps);
  EXPECT_NEAR(seq->aa[3].polygon[4].x, g.hexagon[kCornerM3].x, eps);
  // A lone hydrophobic residue's cell is the full hexagon.
  const HcaCorner full[6] = {kCornerM1, kCornerP3, kCornerP4, kCornerP1, kCornerM3, kCornerM4};
  for (std::size_t c = 0; c < 6; ++c) EXPECT_NEAR(lone->aa[1].polygon[c].x, g.hexagon[full[c]].x, eps) << c;
  // After a residue of the other kind the vertex is B = (dx, -0.8 dy), not D.
  EXPECT_NEAR(lone->aa[2].polygon[1].x, g.dx, eps);
  EXPECT_NEAR(lone->aa[2].polygon[1].y, -0.8 * g.dy, eps);
  EXPECT_NEAR(Build("V")->aa[0].polygon[2].x, g.hexagon[kCornerP4].x, eps);
  // Toward +4 and -3 likewise: pulled in before a residue of the same kind (G, K), not before another (F, I).
  auto other = Build("AAVA");
  for (int c : {2, 4}) EXPECT_LT(std::hypot(mid[c].x, mid[c].y), std::hypot(other->aa[1].polygon[c].x, other->aa[1].polygon[c].y)) << c;
}

TEST(HcaLayout, PaintRangeCoversTheDamagedAreaPlusFour) {
  const HcaGraphData g = ScreenGeometry();  // dx = 9
  auto seq = Build(std::string(100, 'A'));
  int first = 0, last = 0;
  ASSERT_TRUE(HcaPaintRange(*seq, g, 90, 180, first, last));
  EXPECT_EQ(std::pair(first, last), std::pair(10 - 4, 20 + 4));
  seq->scrollPos = 50;
  ASSERT_TRUE(HcaPaintRange(*seq, g, 0, 900, first, last));
  EXPECT_EQ(std::pair(first, last), std::pair(46, 99));
  seq->scrollPos = 200;  // scrolled past the end: nothing to draw
  EXPECT_FALSE(HcaPaintRange(*seq, g, 0, 90, first, last));
  auto one = Build("W");  // a single residue is drawn
  ASSERT_TRUE(HcaPaintRange(*one, g, 0, 90, first, last));
  EXPECT_EQ(std::pair(first, last), std::pair(0, 0));
}

TEST(HcaPlotFile, EveryFieldReadsBack) {
  const std::string s = "AAAAAVAVAAP-MVLSPADK";
  auto seq = Build(s);
  seq->seqName = std::string(300, 'n');  // cut to 259 letters and a NUL
  seq->aa[1].textColour = HcaMakeRgb(255, 0, 0);
  int value = 100;
  for (std::int32_t* field : {&seq->frameLeft, &seq->frameTop, &seq->frameRight, &seq->frameBottom,
                              &seq->visibleResidues, &seq->scrollPos, &seq->scrollable, &seq->colourMode,
                              &seq->showLetters, &seq->showColours, &seq->showContours, &seq->showZigzags,
                              &seq->showMarkers})
    *field = ++value;
  const auto bytes = HcaPlotFileBytes(*seq);
  Reader r{std::string(bytes.begin(), bytes.end())};
  EXPECT_EQ(r.Raw(29), std::string("Fichier graphique HCAplots\n\x1a", 28) + '\0');
  EXPECT_EQ(r.Get(), 256);
  for (const std::string& text : {std::string("KALEIDOGRAM"), std::string("/opt/vistram/vistram"), std::string(259, 'n')})
    EXPECT_EQ(r.Text260(), text);
  // residues pointer, length, first and last index, count, clusters pointer and count, zigzags likewise,
  // aa pointer; then the window fields and the display switches (101 to 113).
  const int n = static_cast<int>(s.size());
  for (int v : {0, n, 0, n - 1, n, 0, seq->ClusterCount(), 0, seq->ZigzagCount(), 0}) EXPECT_EQ(r.Get(), v) << r.pos;
  for (int v = 101; v <= 113; ++v) EXPECT_EQ(r.Get(), v);
  EXPECT_EQ(r.pos, 29u + 4 + 872);
  EXPECT_EQ(r.Get(), n);
  EXPECT_EQ(r.Raw(s.size()), s);
  for (const InfoCluster& c : seq->clusters)
    for (int v : {c.number, c.first, c.last, c.zigzag}) EXPECT_EQ(r.Get(), v);
  for (std::int32_t z : seq->zigzags) EXPECT_EQ(r.Get(), z);
  for (const InfoAA& a : seq->aa) {  // 153 bytes each; then the markers and the highlight are 0
    for (int v : {a.breaker, a.seqNumber}) EXPECT_EQ(r.Get(), v);
    for (double v : {a.x, a.y}) EXPECT_EQ(r.Get<double>(), v);
    for (std::uint32_t v : {a.textColour, a.backColour}) EXPECT_EQ(r.Get<std::uint32_t>(), v);
    EXPECT_EQ(r.Get<std::uint8_t>(), a.contourBits);
    for (int v : {0, 0, 0, 0, a.hydrophobic}) EXPECT_EQ(r.Get(), v);
    for (const HcaPointD& p : a.polygon)
      for (double v : {p.x, p.y}) EXPECT_EQ(r.Get<double>(), v);
    EXPECT_EQ(r.Get(), 0);
  }
  EXPECT_EQ(r.pos, bytes.size());
  EXPECT_EQ(bytes[FileSize(*seq) - 153 * (s.size() - 1) + 24], 255);  // red in the low byte
  // A one-residue sequence keeps its letter.
  EXPECT_EQ(HcaPlotFileBytes(*Build("W"))[29 + 4 + 872 + 4], 'W');
}

TEST(HcaPlotFile, SavesThroughTheDialogAndATemporary) {
  test_support::TempFolder dir;
  RecordingPlatform platform;
  SetCurrentPlatform(&platform);
  auto seq = Build("MVLSPADKTNVKAAW");
  EXPECT_EQ(SaveHCAPlot(nullptr, *seq), 0);  // cancelled: nothing written, no message
  ASSERT_EQ(platform.FileRequests().size(), 1u);
  const FileDialogRequest req = platform.FileRequests()[0];
  EXPECT_EQ(req.defaultExtension, "hca");
  EXPECT_EQ(req.initialFolder, "/opt/vistram/vistram");
  platform.QueueFileAnswer({FileDialogResult::Status::Chosen, dir / "q.hca", "q.hca"});
  EXPECT_EQ(SaveHCAPlot(nullptr, *seq), 1);
  const auto bytes = HcaPlotFileBytes(*seq);
  EXPECT_EQ(test_support::ReadWholeFile(dir / "q.hca"), std::string(bytes.begin(), bytes.end()));
  EXPECT_EQ(dir.EntryCount(), 1u);  // no temporary left
  EXPECT_TRUE(platform.Messages().empty());
  // A missing folder; a target that cannot be replaced (a directory) stays.
  EXPECT_EQ(WriteHcaPlotFile(dir / "missing/x.hca", *seq), 0);
  std::filesystem::create_directory(dir / "taken.hca");
  EXPECT_EQ(WriteHcaPlotFile(dir / "taken.hca", *seq), 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.hca"));
  EXPECT_EQ(dir.EntryCount(), 2u);
  platform.QueueFileAnswer({FileDialogResult::Status::Chosen, dir / "no/q.hca", "q.hca"});
  EXPECT_EQ(SaveHCAPlot(nullptr, *seq), -1);
  const std::string tooLong = dir / std::string(259 - dir.path().size(), 'x');  // 260 characters: refused
  platform.QueueFileAnswer({FileDialogResult::Status::Chosen, tooLong, "x"});
  EXPECT_EQ(SaveHCAPlot(nullptr, *seq), -1);
  ASSERT_EQ(platform.Messages().size(), 2u);
  EXPECT_EQ(platform.Messages()[0].caption, "HCA viewer");
  EXPECT_EQ(platform.Messages()[0].text, "Unable to create File.");
  SetCurrentPlatform(nullptr);
}
