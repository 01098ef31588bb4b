// Painting of HCA plots on any QPainter (plot windows, QImage for PNG,
// QSvgGenerator for SVG): the residues of a range with their scale, cells,
// letters or symbols, contours and zigzag marks, on both copies of the net;
// and the symbol legend. Positions come from the model (hca_layout.h).
//
// Symbols: the platform has no symbol font, so P, G, S and T are drawn as
// the legend draws them (star, filled diamond, square with a dot, square),
// centred on the residue's cell.
#pragma once
#include <QByteArray>
#include <QColor>
#include <QLine>
#include <QList>
#include <QFont>
#include <QPen>
#include <QRawFont>
#include <QRect>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "vistram/hca/hca_layout.h"
#include "vistram/hca/hca_model.h"

class QPainter;
class QPaintDevice;

// The fonts and geometry of one output device.
struct HcaDeviceResources {
  QFont residueFont;  // "Times New Roman", the HCA font size as cell height
  QFont fixedFont;    // "Courier New", 15 pixels
  HcaGraphData geometry;
  int stripHeight = 0;  // RoundDouble(9 dy) + 2 H
  int mode = kHcaScreen;
  // Advance of each ASCII character in the residue font, so that letters
  // are centred without asking the font metrics for each one.
  std::array<int, 128> advance{};
  int ascent = 0;
  // The residue font's glyphs, so that the letters of one colour go to the
  // surface as one glyph run.
  QRawFont rawFont;
  std::array<quint32, 128> glyph{};
};

// Makes the fonts for `dpiX` dots per inch and measures them
// (DefineHCAPolice, InitHCAPolice, DimPoliceDiag, DefineLineWidth,
// CalculAmasUnitaire). Nothing when a font cannot be made.
std::optional<HcaDeviceResources> MakeHcaDeviceResources(int dpiX, int residuePoints, int mode);

// The drawing cache: what is selected into the surface, so that an
// unchanged font, text colour or brush is not selected again.
struct HcaDrawCache {
  QPainter* painter = nullptr;
  const QFont* font = nullptr;
  std::optional<QColor> textColour;
  std::optional<QColor> brushColour;
  bool noBrush = false;
};

// Prepares a surface for drawing (saves its state, transparent background,
// no antialiasing) and restores it.
void PrepHCADC(QPainter& painter, HcaDrawCache& cache);
void CleanHCADC(QPainter& painter, HcaDrawCache& cache);
void MyHCASetFont(HcaDrawCache& cache, const QFont& font);
void MyHCASetTextColor(HcaDrawCache& cache, const QColor& colour);
void MyHCASetPen(HcaDrawCache& cache, const QColor& colour, int width);
void MyHCASetBrush(HcaDrawCache& cache, const QColor& colour);

// Draws residues first .. last of `seq` with offset (x0, y0) and the given
// x origin; right and bottom bound the area (nothing outside it is needed).
void DessineDiagramme2(QPainter& painter, const InfoSeq& seq, int xOrigin, int first, int last, int x0, int y0,
                       int right, int bottom, const HcaDeviceResources& res, int mode);

// The contour edges of `bits` around one centre, appended to `lines`.
void AppendHcaContour(QList<QLine>& lines, std::uint8_t bits, const std::array<HcaPointI, 6>& corners);
// Draws the contour edges of one residue whose bits are set, around one centre.
void TraceHCACercle(QPainter& painter, const InfoSeq& seq, const std::array<HcaPointI, 6>& corners, int index);

// Paints a plot window: the residues of the repainted area `paintRect`
// (plot-window coordinates), scrolled by the record's scrollPos.
void DRAWHCAWND(QPainter& painter, const InfoSeq& seq, const HcaDeviceResources& res, const QRect& paintRect);

// Draws one symbol shape (legend and plot).
void DrawHcaSymbol(QPainter& painter, const HcaSymbolShape& shape, const QColor& colour);

// The symbol legend at (x, y) with `font`, its character width cw and line height lh.
void TraceHCAlegend(QPainter& painter, int x, int y, const QFont& font, int cw, int lh);

// Whole plots as one picture: each plot's name on a line of its own, then
// its strip with every residue. Size of the picture, then the painting.
QSize HcaPictureSize(const std::vector<const InfoSeq*>& plots, const HcaDeviceResources& res);
void PaintHcaPicture(QPainter& painter, const std::vector<const InfoSeq*>& plots, const HcaDeviceResources& res);

// The plots as a complete SVG (`svg`) or PNG picture in memory; empty when
// the picture could not be made whole.
QByteArray HcaPictureBytes(bool svg, const std::vector<const InfoSeq*>& plots, const HcaDeviceResources& res);
// Writes the plots as an SVG or PNG picture, by the extension of `path`
// (".svg", anything else PNG), made in memory and written through SafeFile.
// True on success.
bool SaveHcaPicture(const std::string& path, const std::vector<const InfoSeq*>& plots,
                    const HcaDeviceResources& res);
