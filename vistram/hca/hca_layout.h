// Device coordinates of an HCA drawing: for a range of residues of one
// InfoSeq, where every scale number, tick, cell, letter, contour edge and
// zigzag stroke goes, on both copies of the net, rounded as the drawing
// rounds them. The windows (gui/hca_draw.h) paint these lists in order; the
// legend's and the residue symbols' shapes are laid out here as well.
#pragma once
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "vistram/hca/hca_model.h"

struct HcaPointI {
  int x = 0;
  int y = 0;
  friend bool operator==(const HcaPointI&, const HcaPointI&) = default;
};

struct HcaSegment {
  HcaPointI from;
  HcaPointI to;
};

// The two corners (HcaCorner indexes) joined by the edge of contour bit `bit`.
std::pair<int, int> HcaContourEdge(std::uint8_t bit);
// The six contour bits in drawing order.
inline constexpr std::array<std::uint8_t, 6> kHcaContourBits = {kHcaBitM1M4, kHcaBitM4M3, kHcaBitM3P1,
                                                                kHcaBitP3M1, kHcaBitP3P4, kHcaBitP4P1};

// Symbols drawn in place of the letters P, G, S and T.
enum class HcaSymbol { None, Star, Diamond, Square, SquareDot };
HcaSymbol HcaSymbolOf(char residue);

// A symbol laid out around a centre: a polygon (star: non-zero winding;
// diamond) or an outlined square with an optional filled dot.
struct HcaSymbolShape {
  HcaSymbol kind = HcaSymbol::None;
  std::vector<HcaPointI> polygon;  // star or diamond
  HcaPointI squareCentre;          // Square, SquareDot
  int squareHalf = 0;
  HcaPointI dotCentre;  // SquareDot
  int dotHalf = 0;
};
// The shape of `symbol` for character width cw and line height lh, centred
// on (cx, cy) (for the dot of SquareDot too).
HcaSymbolShape HcaLayoutSymbol(HcaSymbol symbol, int cx, int cy, int cw, int lh);

// One residue of a drawing.
struct HcaResidueFigure {
  int index = 0;  // residue index in the record
  char residue = ' ';
  int X = 0;                           // centre column
  int Yc = 0;                          // centre line of the first copy, rounded
  int Yc2 = 0;                         // centre line of the second copy
  int letterY = 0, letterY2 = 0;       // top of the letter (a P is drawn H/3 higher)
  std::array<HcaPointI, 6> hexagon{};  // unit hexagon around the first centre
  std::array<HcaPointI, 6> hexagon2{};
  std::array<HcaPointI, 6> polygon{};  // the residue's own cell
  std::array<HcaPointI, 6> polygon2{};
  std::uint8_t contourBits = 0;
  // Scale.
  enum class Scale { None, Number, LastNumber } scale = Scale::None;
  std::string number;
  HcaPointI numberAt;  // Number: top centre; LastNumber: top-left
  bool tick = false;
  HcaSegment tickLine;
  // Cell fill (both polygons) and letter.
  bool fill = false;
  HcaRgb fillColour = kHcaWhite;
  bool letter = false;
  HcaRgb letterColour = kHcaBlack;
  HcaSymbol symbol = HcaSymbol::None;
};

struct HcaDrawList {
  std::vector<HcaResidueFigure> residues;  // in order
  std::vector<HcaSegment> zigzagStrokes;   // both copies
  bool contours = false;                   // showContours
  bool zigzags = false;                    // showZigzags
};

// Lays out residues first .. last (clamped to the record) at offset (x0, y0)
// with the given x origin.
HcaDrawList PrepareHcaDrawing(const InfoSeq& seq, int first, int last, int xOrigin, int x0, int y0,
                              const HcaGraphData& geometry);

// The residues a plot window repaints for the area paintLeft .. paintRight
// (pixels): four more on each side, clamped to the record. False when there
// is nothing to draw (the area lies beside the residues).
bool HcaPaintRange(const InfoSeq& seq, const HcaGraphData& geometry, int paintLeft, int paintRight, int& first,
                   int& last);
// The x origin of a plot window: RoundDouble(scrollPos * dx).
int HcaXOrigin(const InfoSeq& seq, const HcaGraphData& geometry);

// The symbol legend at (x, y) for a font of character width cw and line height lh.
struct HcaLegendLayout {
  HcaPointI titleAt;  // "Legend:", top-left
  struct Line {
    std::string label;  // "G:", "P:", "S:", "T:"
    HcaPointI labelAt;  // top-left
    HcaSymbolShape shape;
  };
  std::array<Line, 4> lines;
};
HcaLegendLayout TraceHCAlegendLayout(int x, int y, int cw, int lh);
