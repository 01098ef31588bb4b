#include "vistram/hca/hca_layout.h"

#include <algorithm>

namespace {

constexpr std::size_t ToIndex(int i) { return static_cast<std::size_t>(i); }

// RoundDouble of a single-precision value, as the legend rounds.
int RoundFloat(float v) { return RoundDouble(static_cast<double>(v)); }

HcaPointI Around(double cx, double cy, const HcaPointD& p) { return {RoundDouble(cx + p.x), RoundDouble(cy + p.y)}; }

}  // namespace

std::pair<int, int> HcaContourEdge(std::uint8_t bit) {
  switch (bit) {
    case kHcaBitM1M4: return {kCornerM4, kCornerM1};
    case kHcaBitM4M3: return {kCornerM4, kCornerM3};
    case kHcaBitM3P1: return {kCornerM3, kCornerP1};
    case kHcaBitP3M1: return {kCornerM1, kCornerP3};
    case kHcaBitP3P4: return {kCornerP3, kCornerP4};
    case kHcaBitP4P1: return {kCornerP4, kCornerP1};
    default: return {0, 0};
  }
}

HcaSymbol HcaSymbolOf(char residue) {
  switch (residue) {
    case 'P': return HcaSymbol::Star;
    case 'G': return HcaSymbol::Diamond;
    case 'T': return HcaSymbol::Square;
    case 'S': return HcaSymbol::SquareDot;
    default: return HcaSymbol::None;
  }
}

HcaSymbolShape HcaLayoutSymbol(HcaSymbol symbol, int cx, int cy, int cw, int lh) {
  HcaSymbolShape s;
  s.kind = symbol;
  switch (symbol) {
    case HcaSymbol::Diamond: {
      const int h = cw / 2;
      s.polygon = {{cx, cy - h}, {cx + h, cy}, {cx, cy + h}, {cx - h, cy}};
      break;
    }
    case HcaSymbol::Star: {
      static constexpr float kStar[5][2] = {
          {-0.59f, 0.81f}, {0.0f, -1.0f}, {0.59f, 0.81f}, {-0.95f, -0.31f}, {0.95f, -0.31f}};
      const int r = RoundFloat(static_cast<float>(cw + lh) * 2.0f / 7.0f);
      for (const auto& m : kStar)
        s.polygon.push_back(
            {cx + RoundFloat(m[0] * static_cast<float>(r)), cy + RoundFloat(m[1] * static_cast<float>(r))});
      break;
    }
    case HcaSymbol::Square:
    case HcaSymbol::SquareDot:
      s.squareCentre = {cx, cy};
      s.squareHalf = RoundFloat(static_cast<float>(lh) * 50.0f / 189.0f);
      if (symbol == HcaSymbol::SquareDot) {
        s.dotCentre = {cx, cy};
        s.dotHalf = lh / 12;
      }
      break;
    case HcaSymbol::None: break;
  }
  return s;
}

HcaDrawList PrepareHcaDrawing(const InfoSeq& seq, int first, int last, int xOrigin, int x0, int y0,
                              const HcaGraphData& g) {
  HcaDrawList list;
  first = std::max(first, 0);
  last = std::min(last, seq.length - 1);
  if (first > last) return list;
  const double D = HcaNetOffset(g);
  const double halfH = g.H / 2.0;
  list.residues.reserve(ToIndex(last - first + 1));
  for (int k = first; k <= last; ++k) {
    const InfoAA& a = seq.aa[ToIndex(k)];
    HcaResidueFigure f;
    f.index = k;
    f.residue = seq.residues[ToIndex(k)];
    const double X = x0 + (a.x - xOrigin) + 1.0;
    const double Y = y0 + a.y;
    const double Y2 = Y + D;
    const double Yc = Y + halfH;
    const double Yc2 = Yc + D;
    for (std::size_t c = 0; c < 6; ++c) {
      f.hexagon[c] = Around(X, Yc, g.hexagon[c]);
      f.hexagon2[c] = Around(X, Yc2, g.hexagon[c]);
      f.polygon[c] = Around(X, Yc, a.polygon[c]);
      f.polygon2[c] = Around(X, Yc2, a.polygon[c]);
    }
    f.X = RoundDouble(X);
    f.Yc = RoundDouble(Yc);
    f.Yc2 = RoundDouble(Yc2);
    const double shift = f.residue == 'P' ? g.H / 3.0 : 0.0;
    f.letterY = RoundDouble(Y - shift);
    f.letterY2 = RoundDouble(Y2 - shift);
    f.contourBits = a.contourBits;

    // Scale: 1, every multiple of 10 and the last residue; never a gap.
    const bool isLast = k == seq.lastIndex;
    if (a.seqNumber > 0 && (a.seqNumber == 1 || a.seqNumber % 10 == 0 || isLast)) {
      f.number = std::to_string(a.seqNumber);
      if (isLast) {
        f.scale = HcaResidueFigure::Scale::LastNumber;
        f.numberAt = {f.X, y0 + 3 * g.W};
      } else {
        f.scale = HcaResidueFigure::Scale::Number;
        f.numberAt = {f.X, y0};
        f.tick = true;
        f.tickLine = {{f.X, y0 + 3 * g.W}, {f.X, y0 + 5 * g.W}};
      }
    }
    // Fill.
    if (seq.showColours == 1) {
      if (seq.colourMode == 0 && a.backColour != kHcaWhite) {
        f.fill = true;
        f.fillColour = a.backColour;
      } else if (seq.colourMode == 1 && a.hydrophobic) {
        f.fill = true;
        f.fillColour = kHcaGrey;
      }
    }
    // Letter or symbol.
    if (seq.showLetters == 1) {
      f.letter = true;
      f.letterColour = seq.colourMode == 0 ? a.textColour : kHcaBlack;
      // A letter the colour of what lies behind it would vanish (proline's
      // white letter when no background is painted): it takes the contrast.
      const HcaRgb behind = f.fill ? f.fillColour : kHcaWhite;
      if (f.letterColour == behind) f.letterColour = behind == kHcaBlack ? kHcaWhite : kHcaBlack;
      f.symbol = HcaSymbolOf(f.residue);
    }
    list.residues.push_back(std::move(f));
  }

  list.contours = seq.showContours == 1;
  list.zigzags = seq.showZigzags == 1;
  if (list.zigzags) {
    const int down = RoundDouble(D);
    for (std::int32_t p : seq.zigzags) {
      const int k = p - 1;
      if (k < first || k > last) continue;
      const InfoAA& a = seq.aa[ToIndex(k)];
      const double Xp = x0 + (a.x - xOrigin);
      const double Yc = y0 + a.y + halfH;
      const HcaSegment s1{Around(Xp, Yc, g.zigzagA), {RoundDouble(Xp + g.zigzagBx), RoundDouble(Yc - g.zigzagBy)}};
      const HcaPointI e = Around(Xp, Yc, g.zigzagE);
      const HcaSegment s2{e, {e.x + RoundDouble(g.zigzagF.x), e.y + RoundDouble(g.zigzagF.y)}};
      for (const HcaSegment& s : {s1, s2}) {
        list.zigzagStrokes.push_back(s);
        list.zigzagStrokes.push_back({{s.from.x, s.from.y + down}, {s.to.x, s.to.y + down}});
      }
    }
  }
  return list;
}

bool HcaPaintRange(const InfoSeq& seq, const HcaGraphData& geometry, int paintLeft, int paintRight, int& first,
                   int& last) {
  if (geometry.dx <= 0) return false;
  first = std::max(seq.firstIndex, RoundDouble(paintLeft / geometry.dx) + seq.scrollPos - 4);
  last = std::min(seq.lastIndex, RoundDouble(paintRight / geometry.dx) + seq.scrollPos + 4);
  // A range of one residue is drawn too (a one-letter plot would stay blank).
  return first <= last;
}

int HcaXOrigin(const InfoSeq& seq, const HcaGraphData& geometry) { return RoundDouble(seq.scrollPos * geometry.dx); }

HcaLegendLayout TraceHCAlegendLayout(int x, int y, int cw, int lh) {
  HcaLegendLayout l;
  l.titleAt = {x + cw, y + 10};
  static constexpr const char* kLabels[4] = {"G:", "P:", "S:", "T:"};
  const int bases[4] = {y + 10, y + lh + 12, y + 2 * lh + 14, y + 3 * lh + 16};
  const int f = x + 5 * cw;
  for (std::size_t i = 0; i < 4; ++i) {
    const int b = bases[i];
    const int c = b + lh + lh / 2;
    auto& line = l.lines[i];
    line.label = kLabels[i];
    line.labelAt = {x + 2 * cw, b + lh};
    switch (i) {
      case 0: line.shape = HcaLayoutSymbol(HcaSymbol::Diamond, f, c, cw, lh); break;
      case 1: line.shape = HcaLayoutSymbol(HcaSymbol::Star, x + 2 * cw + 5 * cw / 2 + cw / 2, c, cw, lh); break;
      case 2:
        line.shape = HcaLayoutSymbol(HcaSymbol::SquareDot, f, b + lh + lh - lh / 2, cw, lh);
        line.shape.dotCentre = {f, c};
        break;
      default: line.shape = HcaLayoutSymbol(HcaSymbol::Square, f, b + lh + lh - lh / 2, cw, lh); break;
    }
  }
  return l;
}
