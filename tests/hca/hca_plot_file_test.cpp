#include "support/temp_folder.h"
#include "vistram/hca/hca_plot_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "vistram/platform/recording_platform.h"

namespace fs = std::filesystem;

namespace {

// Reads the file back field by field, little-endian.
class Reader {
 public:
  explicit Reader(std::vector<std::uint8_t> bytes) : b_(std::move(bytes)) {}
  std::int32_t I32() {
    Need(4);
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(b_[pos_++]) << (8 * i);
    return static_cast<std::int32_t>(u);
  }
  double F64() {
    Need(8);
    std::uint64_t u = 0;
    for (int i = 0; i < 8; ++i) u |= static_cast<std::uint64_t>(b_[pos_++]) << (8 * i);
    return std::bit_cast<double>(u);
  }
  std::uint8_t U8() {
    Need(1);
    return b_[pos_++];
  }
  std::string Raw(std::size_t n) {
    Need(n);
    std::string s(reinterpret_cast<const char*>(b_.data() + pos_), n);
    pos_ += n;
    return s;
  }
  std::string Text260() {
    std::string raw = Raw(260);
    EXPECT_EQ(raw.back(), '\0');
    const auto nul = raw.find('\0');
    // NUL-padded: nothing but NUL bytes after the text.
    EXPECT_EQ(raw.find_first_not_of('\0', nul), std::string::npos);
    return raw.substr(0, nul);
  }
  std::size_t Pos() const { return pos_; }
  std::size_t Size() const { return b_.size(); }

 private:
  void Need(std::size_t n) { ASSERT_LE(pos_ + n, b_.size()); }
  std::vector<std::uint8_t> b_;
  std::size_t pos_ = 0;
};

HcaGraphData Geometry() {
  HcaGraphData g;
  DimPoliceDiag(5, 12, g, kHcaScreen);
  CalculAmasUnitaire(g);
  return g;
}

std::vector<std::uint8_t> ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A private folder; `path` is where it is.
struct TempDir : test_support::TempFolder {
  const fs::path path{test_support::TempFolder::path()};
};

}  // namespace

TEST(HcaPlotFile, EveryFieldReadsBack) {
  const std::string s = "AAAAAVAVAAP-MVLSPADK";
  std::vector<int> text(s.size(), 0), back(s.size(), 1);
  text[1] = 2;
  back[5] = 14;
  auto seq = BuildHcaSequence(s, text, back, 7, "SEQ_1 test", "/opt/vistram", Geometry());
  ASSERT_TRUE(seq);
  seq->frameLeft = 5;
  seq->frameTop = 6;
  seq->frameRight = 700;
  seq->frameBottom = 160;
  seq->visibleResidues = 123;
  seq->scrollPos = -4;
  seq->scrollable = 1;
  seq->showZigzags = 0;
  ASSERT_FALSE(seq->clusters.empty());
  ASSERT_FALSE(seq->zigzags.empty());

  const auto bytes = HcaPlotFileBytes(*seq);
  const std::size_t n = s.size();
  EXPECT_EQ(bytes.size(), 29 + 4 + 872 + 4 + n + 16 * seq->clusters.size() + 4 * seq->zigzags.size() + 153 * n);

  Reader r(bytes);
  const std::string header = r.Raw(29);
  EXPECT_EQ(header, std::string("Fichier graphique HCAplots\n\x1a", 28) + '\0');
  EXPECT_EQ(r.I32(), 256);
  const std::size_t recordStart = r.Pos();
  EXPECT_EQ(r.Text260(), "KALEIDOGRAM");
  EXPECT_EQ(r.Text260(), "/opt/vistram");
  EXPECT_EQ(r.Text260(), "SEQ_1 test");
  EXPECT_EQ(r.I32(), 0);  // residues pointer, no meaning
  EXPECT_EQ(r.I32(), static_cast<int>(n));
  EXPECT_EQ(r.I32(), 0);
  EXPECT_EQ(r.I32(), static_cast<int>(n) - 1);
  EXPECT_EQ(r.I32(), static_cast<int>(n));
  r.I32();
  EXPECT_EQ(r.I32(), seq->ClusterCount());
  r.I32();
  EXPECT_EQ(r.I32(), seq->ZigzagCount());
  r.I32();
  const int window[13] = {5, 6, 700, 160, 123, -4, 1, 0, 1, 1, 1, 0, 1};
  for (int v : window) EXPECT_EQ(r.I32(), v);
  EXPECT_EQ(r.Pos() - recordStart, 872u);
  EXPECT_EQ(r.I32(), static_cast<int>(n));
  EXPECT_EQ(r.Raw(n), s);
  for (const InfoCluster& c : seq->clusters) {
    EXPECT_EQ(r.I32(), c.number);
    EXPECT_EQ(r.I32(), c.first);
    EXPECT_EQ(r.I32(), c.last);
    EXPECT_EQ(r.I32(), c.zigzag);
  }
  for (std::int32_t z : seq->zigzags) EXPECT_EQ(r.I32(), z);
  for (std::size_t i = 0; i < n; ++i) {
    const InfoAA& a = seq->aa[i];
    const std::size_t start = r.Pos();
    EXPECT_EQ(r.I32(), a.breaker);
    EXPECT_EQ(r.I32(), a.seqNumber);
    EXPECT_EQ(r.F64(), a.x);
    EXPECT_EQ(r.F64(), a.y);
    EXPECT_EQ(static_cast<std::uint32_t>(r.I32()), a.textColour);
    EXPECT_EQ(static_cast<std::uint32_t>(r.I32()), a.backColour);
    EXPECT_EQ(r.U8(), a.contourBits);
    for (int m = 0; m < 4; ++m) EXPECT_EQ(r.I32(), 0);
    EXPECT_EQ(r.I32(), a.hydrophobic);
    for (const HcaPointD& p : a.polygon) {
      EXPECT_EQ(r.F64(), p.x);
      EXPECT_EQ(r.F64(), p.y);
    }
    EXPECT_EQ(r.I32(), 0);
    EXPECT_EQ(r.Pos() - start, 153u);
  }
  EXPECT_EQ(r.Pos(), r.Size());
  // Colours are stored red in the low byte.
  EXPECT_EQ(bytes[29 + 4 + 872 + 4 + n + 16 * seq->clusters.size() + 4 * seq->zigzags.size() + 153 + 24], 255);
}

TEST(HcaPlotFile, WritesThroughATemporaryAndKeepsAGoodFileOnFailure) {
  TempDir dir;
  auto seq = BuildHcaSequence("MVLSPADKTNVKAAW", std::vector<int>(15, 0), std::vector<int>(15, 1), 1, "globin", "",
                              Geometry());
  const fs::path target = dir.path / "plot.hca";
  ASSERT_EQ(WriteHcaPlotFile(target.string(), *seq), 1);
  EXPECT_EQ(ReadAll(target), HcaPlotFileBytes(*seq));
  // Only the plot file remains in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
  // A folder that does not exist: nothing written, result 0.
  EXPECT_EQ(WriteHcaPlotFile((dir.path / "missing" / "x.hca").string(), *seq), 0);
  // A target that cannot be replaced (a directory) keeps what is there.
  fs::create_directory(dir.path / "taken.hca");
  EXPECT_EQ(WriteHcaPlotFile((dir.path / "taken.hca").string(), *seq), 0);
  EXPECT_TRUE(fs::is_directory(dir.path / "taken.hca"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 2);
}

TEST(HcaPlotFile, SaveDialogFlow) {
  TempDir dir;
  RecordingPlatform platform;
  SetCurrentPlatform(&platform);
  auto seq = BuildHcaSequence("MVLSPADKTN", std::vector<int>(10, 0), std::vector<int>(10, 1), 1, "q", "/opt/v",
                              Geometry());
  // Cancel: nothing written, no message.
  EXPECT_EQ(SaveHCAPlot(nullptr, *seq), 0);
  ASSERT_EQ(platform.FileRequests().size(), 1u);
  const FileDialogRequest req = platform.FileRequests()[0];
  EXPECT_EQ(req.title, "Save HCA plot");
  ASSERT_EQ(req.filters.size(), 1u);
  EXPECT_EQ(req.filters[0].text, "HCA file (*.hca)");
  EXPECT_EQ(req.filters[0].patterns, "*.hca");
  EXPECT_EQ(req.defaultExtension, "hca");
  EXPECT_EQ(req.initialFolder, "/opt/v");
  EXPECT_TRUE(platform.Messages().empty());
  // Chosen: written.
  const fs::path target = dir.path / "q.hca";
  platform.QueueFileAnswer({FileDialogResult::Status::Chosen, target.string(), "q.hca"});
  EXPECT_EQ(SaveHCAPlot(nullptr, *seq), 1);
  EXPECT_EQ(ReadAll(target).size(), 29 + 4 + 872 + 4 + 10 + 16 * seq->clusters.size() + 153 * 10u);
  // Unwritable: the message, with the HCA viewer caption.
  platform.QueueFileAnswer({FileDialogResult::Status::Chosen, (dir.path / "no" / "q.hca").string(), "q.hca"});
  EXPECT_EQ(SaveHCAPlot(nullptr, *seq), -1);
  ASSERT_EQ(platform.Messages().size(), 1u);
  EXPECT_EQ(platform.Messages()[0].caption, "HCA viewer");
  EXPECT_EQ(platform.Messages()[0].text, "Unable to create File.");
  SetCurrentPlatform(nullptr);
}
