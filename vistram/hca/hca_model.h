// The HCA plot model: one protein sequence (a whole sequence, or one aligned
// line of an HSP with its gaps) laid out on the unrolled alpha-helix net of
// 3.6 residues per turn, drawn twice one turn apart. For every character the
// model holds its flags, colours, scale number, net position, contour bits and
// fill polygon; for the sequence its hydrophobic clusters and zigzag
// positions. Everything is computed here, in device units given by an
// HcaGraphData; the windows only paint what the model computed.
//
// Ownership: an InfoSeq owns its residue text and its three arrays; it
// belongs to the plot window that shows it (or to the batch command).
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct DataProgram;

// A colour as 0x00BBGGRR (red in the low byte), as the plot file stores it.
using HcaRgb = std::uint32_t;
constexpr HcaRgb HcaMakeRgb(int r, int g, int b) {
  return static_cast<HcaRgb>(r & 0xFF) | (static_cast<HcaRgb>(g & 0xFF) << 8) | (static_cast<HcaRgb>(b & 0xFF) << 16);
}
constexpr int HcaRed(HcaRgb c) { return static_cast<int>(c & 0xFF); }
constexpr int HcaGreen(HcaRgb c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int HcaBlue(HcaRgb c) { return static_cast<int>((c >> 16) & 0xFF); }
inline constexpr HcaRgb kHcaWhite = HcaMakeRgb(255, 255, 255);
inline constexpr HcaRgb kHcaBlack = HcaMakeRgb(0, 0, 0);
inline constexpr HcaRgb kHcaGrey = HcaMakeRgb(192, 192, 192);

struct HcaPointD {
  double x = 0;
  double y = 0;
};

// Contour bits of a residue's cell: each bit is one edge of the cell, named
// by the two net neighbours whose corners it joins.
enum : std::uint8_t {
  kHcaBitM1M4 = 0x01,  // edge between the corners toward -4 and -1
  kHcaBitM4M3 = 0x02,  // -4 and -3
  kHcaBitM3P1 = 0x04,  // -3 and +1
  kHcaBitP3M1 = 0x08,  // -1 and +3
  kHcaBitP3P4 = 0x10,  // +3 and +4
  kHcaBitP4P1 = 0x20,  // +4 and +1
};

// Corner indexes of the unit hexagon (HcaGraphData::hexagon).
enum HcaCorner : int { kCornerP3 = 0, kCornerP4 = 1, kCornerP1 = 2, kCornerM3 = 3, kCornerM4 = 4, kCornerM1 = 5 };

// One character of the plotted sequence (153 bytes packed in the plot file).
struct InfoAA {
  std::int32_t breaker = 0;    // 1 for a proline
  std::int32_t seqNumber = 0;  // scale number; -1 for a character that is not a letter
  double x = 0;                // position on the net, device units
  double y = 0;
  HcaRgb textColour = kHcaBlack;
  HcaRgb backColour = kHcaWhite;
  std::uint8_t contourBits = 0;
  std::array<std::int32_t, 4> marker{};  // reserved, always 0
  std::int32_t hydrophobic = 0;
  std::array<HcaPointD, 6> polygon{};  // fill polygon, relative to the residue's centre
  std::int32_t highlight = 0;          // reserved, always 0
};

// One hydrophobic cluster (16 bytes in the plot file).
struct InfoCluster {
  std::int32_t number = 0;  // 1-based, in order of creation
  std::int32_t first = 0;   // first residue index (0-based)
  std::int32_t last = 0;    // last residue index
  std::int32_t zigzag = 0;  // 1 when a zigzag position lies in [first, last]
};

// Widths of the three text fields of an InfoSeq (bytes with the NUL).
inline constexpr std::size_t kHcaTextWidth = 260;

// One plotted sequence.
struct InfoSeq {
  std::string sourceTag;    // always "KALEIDOGRAM" (width 260)
  std::string programPath;  // width 260
  std::string seqName;      // width 260
  std::string residues;     // the plotted characters as received
  std::int32_t length = 0;
  std::int32_t firstIndex = 0;
  std::int32_t lastIndex = -1;
  std::int32_t count = 0;
  std::vector<InfoCluster> clusters;
  std::vector<std::int32_t> zigzags;  // 1-based positions
  std::vector<InfoAA> aa;
  // Window state, kept current by the plot window.
  std::int32_t frameLeft = 0, frameTop = 0, frameRight = 0, frameBottom = 0;
  std::int32_t visibleResidues = 0;
  std::int32_t scrollPos = 0;
  std::int32_t scrollable = 0;
  // Drawing switches.
  std::int32_t colourMode = 0;  // 0 residue colours; 1 black letters, grey hydrophobic cells
  std::int32_t showLetters = 1, showColours = 1, showContours = 1, showZigzags = 1, showMarkers = 1;

  std::int32_t ClusterCount() const { return static_cast<std::int32_t>(clusters.size()); }
  std::int32_t ZigzagCount() const { return static_cast<std::int32_t>(zigzags.size()); }
};

// Output device modes.
inline constexpr int kHcaScreen = 10;
inline constexpr int kHcaPrinter = 20;

// The geometry of one output device, as plain numbers (the fonts themselves
// belong to the window or printout that measured them).
struct HcaGraphData {
  int W = 0;  // average character width of the residue font
  int H = 0;  // character height plus external leading
  double dx = 0;
  double dy = 0;
  std::array<int, 3> lineWidth{1, 1, 1};  // contours, letters/zigzags, scale ticks
  std::array<HcaPointD, 6> hexagon{};     // corners toward +3, +4, +1, -3, -4, -1
  HcaPointD zigzagA;
  double zigzagBx = 0;
  double zigzagBy = 0;
  HcaPointD zigzagE;
  HcaPointD zigzagF;
};

// Rounding of device coordinates: the fraction goes up only when above 0.5,
// applied to the absolute value (2.5 -> 2, 2.51 -> 3, -2.5 -> -2).
int RoundDouble(double value);

// The distance between the two copies of the net: one full turn.
double HcaNetOffset(const HcaGraphData& geometry);

// Device geometry.
// Points to device units: max(1, RoundDouble(dpiX * points / 72)).
int HCAPoliceEnUnitePhysique(int dpiX, double points);
// Fills W, H, dx and dy from the residue font's metrics.
void DimPoliceDiag(int averageCharWidth, int heightWithLeading, HcaGraphData& geometry, int mode);
// The three line widths: 1 pixel each on the screen; 0.5, 0.1, 0.4 points on a printer.
void DefineLineWidth(int dpiX, HcaGraphData& geometry, int mode);
// Height of one plot strip: RoundDouble(9 dy) + 2 H.
int InitGraphHeight(const HcaGraphData& geometry);
// Fills the unit hexagon and the zigzag vectors (needs dx, dy, W).
void CalculAmasUnitaire(HcaGraphData& geometry);
// Fills x and y of every residue.
void CalcCoordAADiag(InfoSeq& seq, const HcaGraphData& geometry);
// Fills the polygon of every residue (after the contour bits).
void CreePolyUni(InfoSeq& seq, const HcaGraphData& geometry);

// The palette colour of index 0..15; an index outside the palette gives
// `fallback` (the configuration is not checked when read).
HcaRgb HcaPaletteRgb(int index, HcaRgb fallback);

// Builds the model of one sequence: the characters, one text and one
// background palette index per character, the number of the first letter,
// the name, the program's path and the device geometry. Null when memory
// runs out (the caller is told that no plot could be made).
std::unique_ptr<InfoSeq> BuildHcaSequence(std::string_view characters, const std::vector<int>& textColours,
                                          const std::vector<int>& backColours, int firstNumber,
                                          std::string_view name, std::string_view programPath,
                                          const HcaGraphData& geometry);
// The same, taking the program's path from the DataProgram.
std::unique_ptr<InfoSeq> BuildHcaSequence(std::string_view characters, const std::vector<int>& textColours,
                                          const std::vector<int>& backColours, int firstNumber,
                                          std::string_view name, const DataProgram& dp,
                                          const HcaGraphData& geometry);

// The build steps, in order (exposed for tests and for the printout, which
// recomputes the geometry-dependent ones on a copy).
void AssigneRupteur(InfoSeq& seq);
void PrepColorPropSeq(InfoSeq& seq, const std::vector<int>& textColours, const std::vector<int>& backColours);
void PrepClusterSeq(InfoSeq& seq);
void CalculTableauBits(InfoSeq& seq);
void CalcAAZigZag(InfoSeq& seq);
void AssignedEchelleRel(InfoSeq& seq, int firstNumber);

// True when residues a and b are both hydrophobic, 1, 3 or 4 apart, with no
// proline between them.
bool HcaLinked(const InfoSeq& seq, int a, int b);
// True when a proline lies among the residues min(a, b) .. max(a, b) - 1.
bool IsProline(const InfoSeq& seq, int a, int b);
// The zigzag pattern not-H, H, not-H, H, not-H on j - 1 .. j + 3.
bool IsZigZag(const InfoSeq& seq, int j);

// Deep copy (null when memory runs out).
std::unique_ptr<InfoSeq> DuplicatePData(const InfoSeq& seq);
// Releases the record (kept for the callers that free explicitly).
void FreeDataSequence(std::unique_ptr<InfoSeq>& seq);
