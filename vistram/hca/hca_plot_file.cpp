#include "vistram/hca/hca_plot_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "vistram/platform/messages.h"
#include "vistram/base/memory.h"
#include "vistram/base/safe_file.h"

namespace {

class ByteWriter {
 public:
  explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}
  void U8(std::uint8_t v) { out_.push_back(v); }
  void I32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int s = 0; s < 32; s += 8) out_.push_back(static_cast<std::uint8_t>(u >> s));
  }
  void U32(std::uint32_t v) { I32(static_cast<std::int32_t>(v)); }
  void F64(double v) {
    const auto u = std::bit_cast<std::uint64_t>(v);
    for (int s = 0; s < 64; s += 8) out_.push_back(static_cast<std::uint8_t>(u >> s));
  }
  void Text(const std::string& s, std::size_t width) {
    const std::size_t n = std::min(s.size(), width - 1);
    out_.insert(out_.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
    out_.insert(out_.end(), width - n, 0);
  }
  void Bytes(const char* p, std::size_t n) {
    // (resize and copy: GCC 12 at -O3 warns wrongly on the range insert)
    const std::size_t at = out_.size();
    out_.resize(at + n);
    if (n != 0) std::memcpy(out_.data() + at, p, n);
  }

 private:
  std::vector<std::uint8_t>& out_;
};

}  // namespace

std::vector<std::uint8_t> HcaPlotFileBytes(const InfoSeq& seq) {
  const std::size_t n = seq.residues.size();
  std::vector<std::uint8_t> out;
  out.reserve(kHcaFileHeaderSize + 4 + kHcaFileRecordSize + 4 + n + kHcaFileClusterSize * seq.clusters.size() +
              4 * seq.zigzags.size() + kHcaFileResidueSize * n);
  ByteWriter w(out);
  static constexpr char kHeader[] = "Fichier graphique HCAplots\n\x1a";
  w.Bytes(kHeader, sizeof kHeader);  // with its NUL: 29 bytes
  w.I32(256);
  // The record.
  w.Text(seq.sourceTag, kHcaTextWidth);
  w.Text(seq.programPath, kHcaTextWidth);
  w.Text(seq.seqName, kHcaTextWidth);
  w.I32(0);  // residues (owned)
  w.I32(seq.length);
  w.I32(seq.firstIndex);
  w.I32(seq.lastIndex);
  w.I32(seq.count);
  w.I32(0);  // clusters (owned)
  w.I32(seq.ClusterCount());
  w.I32(0);  // zigzags (owned)
  w.I32(seq.ZigzagCount());
  w.I32(0);  // aa (owned)
  for (std::int32_t v : {seq.frameLeft, seq.frameTop, seq.frameRight, seq.frameBottom, seq.visibleResidues,
                         seq.scrollPos, seq.scrollable, seq.colourMode, seq.showLetters, seq.showColours,
                         seq.showContours, seq.showZigzags, seq.showMarkers})
    w.I32(v);
  // The parts.
  w.I32(static_cast<std::int32_t>(n));
  w.Bytes(seq.residues.data(), n);
  for (const InfoCluster& c : seq.clusters) {
    w.I32(c.number);
    w.I32(c.first);
    w.I32(c.last);
    w.I32(c.zigzag);
  }
  for (std::int32_t z : seq.zigzags) w.I32(z);
  for (std::size_t i = 0; i < n && i < seq.aa.size(); ++i) {
    const InfoAA& a = seq.aa[i];
    w.I32(a.breaker);
    w.I32(a.seqNumber);
    w.F64(a.x);
    w.F64(a.y);
    w.U32(a.textColour);
    w.U32(a.backColour);
    w.U8(a.contourBits);
    for (std::int32_t m : a.marker) w.I32(m);
    w.I32(a.hydrophobic);
    for (const HcaPointD& p : a.polygon) {
      w.F64(p.x);
      w.F64(p.y);
    }
    w.I32(a.highlight);
  }
  return out;
}

int WriteHcaPlotFile(const std::string& path, const InfoSeq& seq) {
  if (path.empty() || seq.aa.size() < seq.residues.size()) return 0;
  std::vector<std::uint8_t> bytes;
  try {
    bytes = HcaPlotFileBytes(seq);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return 0;
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return WriteFileSafely(path, text) ? 1 : 0;
}

int SaveHCAPlot(WindowHandle owner, const InfoSeq& seq) {
  FileDialogRequest request;
  request.title = "Save HCA plot";
  request.filters = {{"HCA file (*.hca)", "*.hca"}};
  request.defaultExtension = "hca";
  request.initialFolder = seq.programPath;
  request.mustExist = true;
  const FileDialogResult chosen = CurrentPlatform().SaveFileDialog(owner, request);
  if (chosen.status == FileDialogResult::Status::Cancelled) return 0;
  if (chosen.status == FileDialogResult::Status::Chosen && chosen.path.size() < kHcaTextWidth &&
      WriteHcaPlotFile(chosen.path, seq) == 1)
    return 1;
  MyInfoMsgBox(IDS_HCA_CAPTION, IDS_HCA_CANNOT_CREATE, owner);
  return -1;
}
