#include "vistram/hca/gui/hca_draw.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QSvgGenerator>
#include <algorithm>

#include "vistram/base/safe_file.h"

namespace {

QColor ToQColor(HcaRgb c) { return QColor(HcaRed(c), HcaGreen(c), HcaBlue(c)); }

QPoint ToQPoint(const HcaPointI& p) { return QPoint(p.x, p.y); }

QPolygon ToPolygon(const std::array<HcaPointI, 6>& pts) {
  QPolygon poly(6);
  for (int i = 0; i < 6; ++i) poly.setPoint(i, pts[static_cast<std::size_t>(i)].x, pts[static_cast<std::size_t>(i)].y);
  return poly;
}

int TextWidth(const HcaDeviceResources& res, const std::string& text) {
  int w = 0;
  for (char c : text) w += res.advance[static_cast<unsigned char>(c) & 0x7F];
  return w;
}

// Text with its top edge at y, centred on x (or starting at x).
void DrawTextTop(QPainter& painter, const HcaDeviceResources& res, const std::string& text, int x, int y,
                 bool centred) {
  const int left = centred ? x - TextWidth(res, text) / 2 : x;
  painter.drawText(QPoint(left, y + res.ascent), QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void DrawLetter(QPainter& painter, const HcaDeviceResources& res, char c, int x, int y) {
  const QChar ch(static_cast<char16_t>(static_cast<unsigned char>(c)));
  painter.drawText(QPoint(x - res.advance[static_cast<unsigned char>(c) & 0x7F] / 2, y + res.ascent), QString(ch));
}

}  // namespace

std::optional<HcaDeviceResources> MakeHcaDeviceResources(int dpiX, int residuePoints, int mode) {
  if (dpiX <= 0 || residuePoints <= 0) return std::nullopt;
  HcaDeviceResources res;
  res.mode = mode;
  res.residueFont = QFont(QStringLiteral("Times New Roman"));
  res.residueFont.setStyleHint(QFont::Serif);
  res.residueFont.setPixelSize(std::max(1, residuePoints * dpiX / 72));
  res.fixedFont = QFont(QStringLiteral("Courier New"));
  res.fixedFont.setStyleHint(QFont::TypeWriter);
  res.fixedFont.setFixedPitch(true);
  res.fixedFont.setPixelSize(15);
  const QFontMetrics fm(res.residueFont);
  if (fm.height() <= 0) return std::nullopt;
  for (int c = 32; c < 127; ++c) res.advance[static_cast<std::size_t>(c)] = fm.horizontalAdvance(QChar(c));
  res.ascent = fm.ascent();
  res.rawFont = QRawFont::fromFont(res.residueFont);
  if (res.rawFont.isValid()) {
    for (int c = 32; c < 127; ++c) {
      const QChar ch(c);
      const QList<quint32> g = res.rawFont.glyphIndexesForString(QString(ch));
      res.glyph[static_cast<std::size_t>(c)] = g.isEmpty() ? 0 : g.front();
    }
  }
  DimPoliceDiag(std::max(1, fm.averageCharWidth()), fm.height() + fm.leading(), res.geometry, mode);
  DefineLineWidth(dpiX, res.geometry, mode);
  CalculAmasUnitaire(res.geometry);
  res.stripHeight = InitGraphHeight(res.geometry);
  return res;
}

void PrepHCADC(QPainter& painter, HcaDrawCache& cache) {
  painter.save();
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  cache = HcaDrawCache{};
  cache.painter = &painter;
}

void CleanHCADC(QPainter& painter, HcaDrawCache& cache) {
  painter.restore();
  cache = HcaDrawCache{};
}

void MyHCASetFont(HcaDrawCache& cache, const QFont& font) {
  if (cache.font == &font) return;
  cache.painter->setFont(font);
  cache.font = &font;
}

void MyHCASetTextColor(HcaDrawCache& cache, const QColor& colour) {
  if (cache.textColour && *cache.textColour == colour) return;
  cache.painter->setPen(colour);
  cache.textColour = colour;
}

void MyHCASetPen(HcaDrawCache& cache, const QColor& colour, int width) {
  QPen pen(colour);
  // A one-pixel line is drawn as a cosmetic pen, which the raster engine
  // draws without stroking.
  pen.setWidth(width <= 1 ? 0 : width);
  cache.painter->setPen(pen);
  // The text colour lives in the pen here: the next text must set it again.
  cache.textColour.reset();
}

void MyHCASetBrush(HcaDrawCache& cache, const QColor& colour) {
  if (cache.brushColour && *cache.brushColour == colour) return;
  cache.painter->setBrush(colour);
  cache.brushColour = colour;
}

void DrawHcaSymbol(QPainter& painter, const HcaSymbolShape& shape, const QColor& colour) {
  switch (shape.kind) {
    case HcaSymbol::Star:
    case HcaSymbol::Diamond: {
      QPolygon poly;
      for (const HcaPointI& p : shape.polygon) poly << ToQPoint(p);
      painter.setPen(Qt::NoPen);
      painter.setBrush(colour);
      painter.drawPolygon(poly, Qt::WindingFill);
      break;
    }
    case HcaSymbol::Square:
    case HcaSymbol::SquareDot: {
      const int s = shape.squareHalf;
      painter.setPen(QPen(colour, 1));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(shape.squareCentre.x - s, shape.squareCentre.y - s, 2 * s, 2 * s);
      if (shape.kind == HcaSymbol::SquareDot) {
        const int d = std::max(1, shape.dotHalf);
        painter.fillRect(shape.dotCentre.x - d, shape.dotCentre.y - d, 2 * d, 2 * d, colour);
      }
      break;
    }
    case HcaSymbol::None: break;
  }
}

void AppendHcaContour(QList<QLine>& lines, std::uint8_t bits, const std::array<HcaPointI, 6>& corners) {
  for (std::uint8_t bit : kHcaContourBits) {
    if (!(bits & bit)) continue;
    const auto [a, b] = HcaContourEdge(bit);
    lines.append(QLine(ToQPoint(corners[static_cast<std::size_t>(a)]), ToQPoint(corners[static_cast<std::size_t>(b)])));
  }
}

void TraceHCACercle(QPainter& painter, const InfoSeq& seq, const std::array<HcaPointI, 6>& corners, int index) {
  if (index < 0 || index >= seq.length) return;
  QList<QLine> lines;
  AppendHcaContour(lines, seq.aa[static_cast<std::size_t>(index)].contourBits, corners);
  painter.drawLines(lines);
}

void DessineDiagramme2(QPainter& painter, const InfoSeq& seq, int xOrigin, int first, int last, int x0, int y0,
                       int right, int bottom, const HcaDeviceResources& res, int mode) {
  (void)right;
  (void)bottom;
  (void)mode;  // the geometry in `res` is already that of the device
  const HcaDrawList list = PrepareHcaDrawing(seq, first, last, xOrigin, x0, y0, res.geometry);
  if (list.residues.empty()) return;
  const HcaGraphData& g = res.geometry;
  HcaDrawCache cache;
  PrepHCADC(painter, cache);
  MyHCASetFont(cache, res.residueFont);
  const QColor black(0, 0, 0);

  // Scale numbers and ticks.
  for (const HcaResidueFigure& f : list.residues) {
    if (f.scale == HcaResidueFigure::Scale::None) continue;
    MyHCASetTextColor(cache, black);
    DrawTextTop(painter, res, f.number, f.numberAt.x, f.numberAt.y, f.scale == HcaResidueFigure::Scale::Number);
    if (f.tick) {
      MyHCASetPen(cache, black, g.lineWidth[2]);
      painter.drawLine(ToQPoint(f.tickLine.from), ToQPoint(f.tickLine.to));
    }
  }
  // Cells, without outline; both copies. All cells go before the letters,
  // so that a letter reaching into its neighbour's cell stays visible.
  painter.setPen(Qt::NoPen);
  cache.textColour.reset();
  for (const HcaResidueFigure& f : list.residues) {
    if (!f.fill) continue;
    MyHCASetBrush(cache, ToQColor(f.fillColour));
    painter.drawPolygon(ToPolygon(f.polygon));
    painter.drawPolygon(ToPolygon(f.polygon2));
  }
  // Letters, one glyph run per colour; symbols as shapes.
  std::vector<std::pair<HcaRgb, std::pair<QList<quint32>, QList<QPointF>>>> runs;
  for (const HcaResidueFigure& f : list.residues) {
    if (!f.letter) continue;
    if (f.symbol != HcaSymbol::None) {
      const QColor c = ToQColor(f.letterColour);
      DrawHcaSymbol(painter, HcaLayoutSymbol(f.symbol, f.X, f.Yc, g.W, g.H), c);
      DrawHcaSymbol(painter, HcaLayoutSymbol(f.symbol, f.X, f.Yc2, g.W, g.H), c);
      continue;
    }
    const auto ch = static_cast<std::size_t>(static_cast<unsigned char>(f.residue) & 0x7F);
    if (!res.rawFont.isValid() || res.glyph[ch] == 0) {
      MyHCASetTextColor(cache, ToQColor(f.letterColour));
      DrawLetter(painter, res, f.residue, f.X, f.letterY);
      DrawLetter(painter, res, f.residue, f.X, f.letterY2);
      continue;
    }
    auto it = std::find_if(runs.begin(), runs.end(), [&](const auto& r) { return r.first == f.letterColour; });
    if (it == runs.end()) {
      runs.push_back({f.letterColour, {}});
      it = std::prev(runs.end());
    }
    const double left = f.X - res.advance[ch] / 2;
    it->second.first << res.glyph[ch] << res.glyph[ch];
    it->second.second << QPointF(left, f.letterY + res.ascent) << QPointF(left, f.letterY2 + res.ascent);
  }
  cache.textColour.reset();
  cache.brushColour.reset();
  for (const auto& [colour, run] : runs) {
    QGlyphRun glyphs;
    glyphs.setRawFont(res.rawFont);
    glyphs.setGlyphIndexes(run.first);
    glyphs.setPositions(run.second);
    painter.setPen(ToQColor(colour));
    painter.drawGlyphRun(QPointF(0, 0), glyphs);
  }

  if (list.contours) {
    MyHCASetPen(cache, black, g.lineWidth[0]);
    QList<QLine> edges;
    for (const HcaResidueFigure& f : list.residues) {
      if (f.contourBits == 0) continue;
      AppendHcaContour(edges, f.contourBits, f.hexagon);
      AppendHcaContour(edges, f.contourBits, f.hexagon2);
    }
    painter.drawLines(edges);
  }
  if (list.zigzags && !list.zigzagStrokes.empty()) {
    MyHCASetPen(cache, black, g.lineWidth[1]);
    for (const HcaSegment& s : list.zigzagStrokes) painter.drawLine(ToQPoint(s.from), ToQPoint(s.to));
  }
  CleanHCADC(painter, cache);
}

void DRAWHCAWND(QPainter& painter, const InfoSeq& seq, const HcaDeviceResources& res, const QRect& paintRect) {
  int first = 0;
  int last = 0;
  if (!HcaPaintRange(seq, res.geometry, paintRect.left(), paintRect.right() + 1, first, last)) return;
  DessineDiagramme2(painter, seq, HcaXOrigin(seq, res.geometry), first, last, 0, 0, paintRect.right() + 1,
                    paintRect.bottom() + 1, res, kHcaScreen);
}

void TraceHCAlegend(QPainter& painter, int x, int y, const QFont& font, int cw, int lh) {
  painter.save();
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setFont(font);
  painter.setBrush(Qt::black);
  const QFontMetrics fm(font);
  const HcaLegendLayout l = TraceHCAlegendLayout(x, y, cw, lh);
  painter.setPen(QColor(0, 0, 255));
  painter.drawText(QPoint(l.titleAt.x, l.titleAt.y + fm.ascent()), QStringLiteral("Legend:"));
  for (const auto& line : l.lines) {
    painter.setPen(Qt::black);
    painter.drawText(QPoint(line.labelAt.x, line.labelAt.y + fm.ascent()), QString::fromStdString(line.label));
    DrawHcaSymbol(painter, line.shape, Qt::black);
  }
  painter.restore();
}

QSize HcaPictureSize(const std::vector<const InfoSeq*>& plots, const HcaDeviceResources& res) {
  const HcaGraphData& g = res.geometry;
  int longest = 0;
  for (const InfoSeq* p : plots)
    if (p) longest = std::max(longest, p->length);
  const int width = RoundDouble((longest + 1) * g.dx) + 8 * g.W + 2;
  const int height = static_cast<int>(plots.size()) * (res.stripHeight + g.H) + g.H;
  return QSize(std::max(width, 1), std::max(height, 1));
}

void PaintHcaPicture(QPainter& painter, const std::vector<const InfoSeq*>& plots, const HcaDeviceResources& res) {
  const HcaGraphData& g = res.geometry;
  const QSize size = HcaPictureSize(plots, res);
  painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  int top = 0;
  for (const InfoSeq* p : plots) {
    if (!p) continue;
    painter.save();
    painter.setFont(res.residueFont);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(g.W, top + res.ascent), QString::fromStdString(p->seqName));
    painter.restore();
    top += g.H;
    DessineDiagramme2(painter, *p, 0, p->firstIndex, p->lastIndex, g.W, top, size.width(), top + res.stripHeight,
                      res, res.mode);
    top += res.stripHeight;
  }
}

QByteArray HcaPictureBytes(bool svg, const std::vector<const InfoSeq*>& plots, const HcaDeviceResources& res) {
  const QSize size = HcaPictureSize(plots, res);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) return {};
  if (svg) {
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(QStringLiteral("HCA plot"));
    QPainter painter;
    if (!painter.begin(&generator)) return {};
    PaintHcaPicture(painter, plots, res);
    // The generator reports no write errors: a picture is complete only when
    // the painter ends cleanly and the document is closed.
    if (!painter.end() || !bytes.trimmed().endsWith("</svg>")) return {};
  } else {
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) return {};
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      PaintHcaPicture(painter, plots, res);
    }
    if (!image.save(&buffer, "PNG")) return {};
  }
  return bytes;
}

bool SaveHcaPicture(const std::string& path, const std::vector<const InfoSeq*>& plots,
                    const HcaDeviceResources& res) {
  const QString qpath = QString::fromStdString(path);
  const bool svg = QFileInfo(qpath).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0;
  const QByteArray bytes = HcaPictureBytes(svg, plots, res);
  if (bytes.isEmpty()) return false;
  return WriteFileSafely(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}
