#include "vistram/hca/hca_model.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <new>

#include "vistram/results/hca_score.h"
#include "vistram/base/memory.h"
#include "vistram/results/records.h"
#include "vistram/base/colours.h"

namespace {

constexpr std::size_t ToIndex(int i) { return static_cast<std::size_t>(i); }

bool Hydro(const InfoSeq& seq, int i) {
  return i >= 0 && i < seq.length && seq.aa[ToIndex(i)].hydrophobic != 0;
}

bool Breaker(const InfoSeq& seq, int i) { return i >= 0 && i < seq.length && seq.aa[ToIndex(i)].breaker != 0; }

// The net position of the residue at 1-based position i. The turn of 3.6
// and the start offset 18 are single-precision constants.
HcaPointD NetPosition(int i, const HcaGraphData& g) {
  const float turnPhase = static_cast<float>(i - 1) + 18.0f;
  const double y = std::fmod(static_cast<double>(turnPhase), static_cast<double>(3.6f)) * g.dy + 6.0 * g.W;
  return {static_cast<double>(i) * g.dx, y};
}

HcaPointD Sub(HcaPointD a, HcaPointD b) { return {a.x - b.x, a.y - b.y}; }
HcaPointD Half(HcaPointD a) { return {a.x * 0.5, a.y * 0.5}; }
HcaPointD Mid(HcaPointD a, HcaPointD b) { return {(a.x + b.x) * 0.5, (a.y + b.y) * 0.5}; }

// The neighbour vectors of a reference net of `n` residues around index 5.
struct Neighbours {
  HcaPointD m1, p1, p3, p4, m3, m4;
  std::vector<HcaPointD> ref;
};

Neighbours ReferenceNet(int n, const HcaGraphData& g) {
  Neighbours nb;
  nb.ref.resize(ToIndex(n));
  for (int k = 0; k < n; ++k) nb.ref[ToIndex(k)] = NetPosition(k + 1, g);
  const HcaPointD c = nb.ref[5];
  nb.m1 = Sub(nb.ref[4], c);
  nb.p1 = Sub(nb.ref[6], c);
  nb.p3 = Sub(nb.ref[8], c);
  nb.p4 = Sub(nb.ref[9], c);
  nb.m3 = Sub(nb.ref[2], c);
  nb.m4 = Sub(nb.ref[1], c);
  return nb;
}

// One cluster seeded at s.
InfoCluster ClusterCreation(const InfoSeq& seq, int s) {
  std::vector<int> members{s};
  std::vector<char> inCluster(ToIndex(seq.length), 0);
  inCluster[ToIndex(s)] = 1;
  static constexpr int kOffsets[6] = {-1, -3, -4, 1, 3, 4};
  std::size_t taken = 0;
  for (;;) {
    while (taken < members.size()) {
      const int m = members[taken++];
      for (int off : kOffsets) {
        const int c = m + off;
        if (c < 0 || c >= seq.length || !Hydro(seq, c) || inCluster[ToIndex(c)]) continue;
        if (IsProline(seq, m, c)) continue;
        members.push_back(c);
        inCluster[ToIndex(c)] = 1;
      }
    }
    // The +2 step: a hydrophobic residue two past the greatest member joins
    // unless a proline lies between it and the member added last.
    const int greatest = *std::max_element(members.begin(), members.end());
    const int c = greatest + 2;
    if (c < seq.length && Hydro(seq, c) && !inCluster[ToIndex(c)] && !IsProline(seq, c, members.back())) {
      members.push_back(c);
      inCluster[ToIndex(c)] = 1;
      continue;
    }
    break;
  }
  std::sort(members.begin(), members.end());
  InfoCluster cluster;
  cluster.number = seq.ClusterCount() + 1;
  cluster.first = members.front();
  cluster.last = members.back();
  cluster.zigzag = 0;
  for (int j = std::max(cluster.first, 1); j <= cluster.last; ++j) {
    if (IsZigZag(seq, j)) {
      cluster.zigzag = 1;
      break;
    }
  }
  return cluster;
}

void CopyCut(std::string& field, std::string_view value) {
  field.assign(value.substr(0, std::min(value.size(), kHcaTextWidth - 1)));
}

}  // namespace

int RoundDouble(double value) {
  const double a = std::fabs(value);
  double whole = std::floor(a);
  if (a - whole > 0.5) whole += 1.0;
  const int r = static_cast<int>(whole);
  return value < 0 ? -r : r;
}

double HcaNetOffset(const HcaGraphData& geometry) { return std::fmod(36.0, 3.6) * geometry.dy; }

int HCAPoliceEnUnitePhysique(int dpiX, double points) {
  return std::max(1, RoundDouble(static_cast<double>(dpiX) * points / 72.0));
}

void DimPoliceDiag(int averageCharWidth, int heightWithLeading, HcaGraphData& geometry, int mode) {
  geometry.W = averageCharWidth;
  geometry.H = heightWithLeading;
  const double h = heightWithLeading;
  geometry.dy = h * 10.0 / 27.0 * 3.2;
  geometry.dx = mode == kHcaPrinter ? h * 50.0 / 189.0 : h / 3.0;
}

void DefineLineWidth(int dpiX, HcaGraphData& geometry, int mode) {
  if (mode == kHcaPrinter) {
    geometry.lineWidth = {HCAPoliceEnUnitePhysique(dpiX, 0.5), HCAPoliceEnUnitePhysique(dpiX, 0.1),
                          HCAPoliceEnUnitePhysique(dpiX, 0.4)};
  } else {
    geometry.lineWidth = {1, 1, 1};
  }
}

int InitGraphHeight(const HcaGraphData& geometry) { return RoundDouble(9.0 * geometry.dy) + 2 * geometry.H; }

void CalculAmasUnitaire(HcaGraphData& geometry) {
  const Neighbours nb = ReferenceNet(10, geometry);
  const HcaPointD p3 = Half(nb.p3), p4 = Half(nb.p4), p1 = Half(nb.p1);
  const HcaPointD m3 = Half(nb.m3), m4 = Half(nb.m4), m1 = Half(nb.m1);
  geometry.hexagon = {p3, p4, p1, m3, m4, m1};
  geometry.zigzagA = Mid(p3, m1);
  geometry.zigzagBx = (p3.x - m1.x) * 2.0 * 0.5;
  geometry.zigzagBy = (nb.ref[6].y - nb.ref[8].y) * 3.0 * 0.25;
  geometry.zigzagE = p1;
  geometry.zigzagF = Sub(p1, m1);
}

void CalcCoordAADiag(InfoSeq& seq, const HcaGraphData& geometry) {
  for (int k = 0; k < seq.length; ++k) {
    const HcaPointD p = NetPosition(k + 1, geometry);
    seq.aa[ToIndex(k)].x = p.x;
    seq.aa[ToIndex(k)].y = p.y;
  }
}

void CreePolyUni(InfoSeq& seq, const HcaGraphData& geometry) {
  const Neighbours nb = ReferenceNet(11, geometry);
  const HcaPointD hM1 = Half(nb.m1), hP1 = Half(nb.p1), hP3 = Half(nb.p3);
  const HcaPointD hP4 = Half(nb.p4), hM3 = Half(nb.m3), hM4 = Half(nb.m4);
  const HcaPointD B = Mid(nb.m1, nb.p3), D = Mid(B, hP3);
  const HcaPointD F = Mid(nb.p1, nb.p4), G = Mid(F, hP4);
  const HcaPointD I = Mid(nb.p1, nb.m3), K = Mid(I, hM3);
  const HcaPointD M = Mid(nb.m1, nb.m4), N = Mid(M, hM4);
  for (int j = 0; j < seq.length; ++j) {
    InfoAA& a = seq.aa[ToIndex(j)];
    const bool h = a.hydrophobic != 0;
    const bool sameAsBefore = h == Hydro(seq, j - 1);
    const bool sameAsAfter = h == Hydro(seq, j + 1);
    auto& poly = a.polygon;
    poly[0] = hM1;
    poly[3] = hP1;
    poly[5] = (a.contourBits & kHcaBitM1M4) ? hM4 : (sameAsBefore ? N : M);
    poly[1] = (a.contourBits & kHcaBitP3M1) ? hP3 : (sameAsBefore ? D : B);
    poly[4] = (a.contourBits & kHcaBitM3P1) ? hM3 : (sameAsAfter ? K : I);
    poly[2] = (a.contourBits & kHcaBitP4P1) ? hP4 : (sameAsAfter ? G : F);
    if (j == 0) {
      poly[1] = hP3;
      poly[5] = hM4;
    }
    if (j == seq.length - 1) {
      poly[2] = hP4;
      poly[4] = hM3;
    }
  }
}

HcaRgb HcaPaletteRgb(int index, HcaRgb fallback) {
  if (index < 0 || index >= kPaletteSize) return fallback;
  const PaletteColour& c = kPalette[static_cast<std::size_t>(index)];
  return HcaMakeRgb(c.red, c.green, c.blue);
}

bool IsProline(const InfoSeq& seq, int a, int b) {
  const int lo = std::min(a, b);
  const int hi = std::max(a, b);
  for (int k = lo; k < hi; ++k)
    if (Breaker(seq, k)) return true;
  return false;
}

bool HcaLinked(const InfoSeq& seq, int a, int b) {
  if (!Hydro(seq, a) || !Hydro(seq, b)) return false;
  const int d = std::abs(a - b);
  if (d != 1 && d != 3 && d != 4) return false;
  return !IsProline(seq, a, b);
}

bool IsZigZag(const InfoSeq& seq, int j) {
  return Hydro(seq, j) && j - 1 >= 0 && j + 3 < seq.length && Hydro(seq, j + 2) && !Hydro(seq, j - 1) &&
         !Hydro(seq, j + 1) && !Hydro(seq, j + 3);
}

void AssigneRupteur(InfoSeq& seq) {
  for (int k = 0; k < seq.length; ++k) seq.aa[ToIndex(k)].breaker = seq.residues[ToIndex(k)] == 'P' ? 1 : 0;
}

void PrepColorPropSeq(InfoSeq& seq, const std::vector<int>& textColours, const std::vector<int>& backColours) {
  for (int k = 0; k < seq.length; ++k) {
    InfoAA& a = seq.aa[ToIndex(k)];
    const char c = seq.residues[ToIndex(k)];
    a.textColour = HcaPaletteRgb(ToIndex(k) < textColours.size() ? textColours[ToIndex(k)] : 0, kHcaBlack);
    a.backColour = HcaPaletteRgb(ToIndex(k) < backColours.size() ? backColours[ToIndex(k)] : 1, kHcaWhite);
    a.hydrophobic = (c != '-' && c != '\0' && kHcaHydrophobic.find(c) != std::string_view::npos) ? 1 : 0;
  }
}

void PrepClusterSeq(InfoSeq& seq) {
  seq.clusters.clear();
  int i = 0;
  while (i < seq.length) {
    if (Hydro(seq, i)) {
      seq.clusters.push_back(ClusterCreation(seq, i));
      i = seq.clusters.back().last + 1;
    } else {
      ++i;
    }
  }
}

void CalculTableauBits(InfoSeq& seq) {
  struct Triangle {
    std::uint8_t bit;
    int p;
    int q;
  };
  static constexpr Triangle kTriangles[6] = {{kHcaBitM1M4, -1, -4}, {kHcaBitM4M3, -4, -3}, {kHcaBitM3P1, -3, 1},
                                             {kHcaBitP3M1, 3, -1},  {kHcaBitP3P4, 3, 4},   {kHcaBitP4P1, 4, 1}};
  for (int j = 0; j < seq.length; ++j) {
    std::uint8_t bits = 0;
    const bool h = Hydro(seq, j);
    for (const Triangle& t : kTriangles) {
      const int p = j + t.p;
      const int q = j + t.q;
      const bool set = h ? (!HcaLinked(seq, j, p) && !HcaLinked(seq, j, q)) : HcaLinked(seq, p, q);
      if (set) bits = static_cast<std::uint8_t>(bits | t.bit);
    }
    seq.aa[ToIndex(j)].contourBits = bits;
  }
}

void CalcAAZigZag(InfoSeq& seq) {
  seq.zigzags.clear();
  for (const InfoCluster& c : seq.clusters) {
    if (c.zigzag != 1) continue;
    for (int j = std::max(c.first, 1); j <= c.last; ++j)
      if (IsZigZag(seq, j)) seq.zigzags.push_back(j + 1);
  }
}

void AssignedEchelleRel(InfoSeq& seq, int firstNumber) {
  int counter = firstNumber;
  for (int k = 0; k < seq.length; ++k) {
    if (counter == 0) counter = 1;
    const unsigned char c = static_cast<unsigned char>(seq.residues[ToIndex(k)]);
    if (std::isalpha(c)) {
      seq.aa[ToIndex(k)].seqNumber = counter++;
    } else {
      seq.aa[ToIndex(k)].seqNumber = -1;
    }
  }
}

std::unique_ptr<InfoSeq> BuildHcaSequence(std::string_view characters, const std::vector<int>& textColours,
                                          const std::vector<int>& backColours, int firstNumber,
                                          std::string_view name, std::string_view programPath,
                                          const HcaGraphData& geometry) {
  try {
    // A NUL ends the characters, as it ends a text.
    characters = characters.substr(0, std::min(characters.size(), characters.find('\0')));
    auto seq = std::make_unique<InfoSeq>();
    seq->residues.assign(characters);
    seq->length = static_cast<std::int32_t>(characters.size());
    seq->count = seq->length;
    seq->firstIndex = 0;
    seq->lastIndex = seq->length - 1;
    seq->aa.resize(characters.size());
    seq->sourceTag = "KALEIDOGRAM";
    CopyCut(seq->programPath, programPath);
    CopyCut(seq->seqName, name);
    AssigneRupteur(*seq);
    PrepColorPropSeq(*seq, textColours, backColours);
    PrepClusterSeq(*seq);
    CalculTableauBits(*seq);
    CalcAAZigZag(*seq);
    CreePolyUni(*seq, geometry);
    AssignedEchelleRel(*seq, firstNumber);
    CalcCoordAADiag(*seq, geometry);
    return seq;
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return nullptr;
  }
}

std::unique_ptr<InfoSeq> BuildHcaSequence(std::string_view characters, const std::vector<int>& textColours,
                                          const std::vector<int>& backColours, int firstNumber,
                                          std::string_view name, const DataProgram& dp,
                                          const HcaGraphData& geometry) {
  return BuildHcaSequence(characters, textColours, backColours, firstNumber, name, dp.programFolder, geometry);
}

std::unique_ptr<InfoSeq> DuplicatePData(const InfoSeq& seq) {
  try {
    return std::make_unique<InfoSeq>(seq);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return nullptr;
  }
}

void FreeDataSequence(std::unique_ptr<InfoSeq>& seq) { seq.reset(); }
