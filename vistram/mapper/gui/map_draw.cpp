#include "vistram/mapper/gui/map_draw.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>
#include <cstdio>

#include <QGuiApplication>
#include <memory>

#include "vistram/base/safe_file.h"
#include "vistram/platform/messages.h"

namespace {

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kGrey(128, 128, 128);
const QColor kRed(255, 0, 0);

QRect ToQRect(const MapRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

QPen DottedPen(const QColor& c) {
  QPen pen(c, 0, Qt::DotLine);
  pen.setCosmetic(true);
  return pen;
}

// Text with its top at y: right-aligned ending at x, left-aligned from x, or
// centred on x. A background colour fills the text's box first.
enum class Anchor { Left, Right, Centre };
void DrawText(QPainter& painter, const QString& text, int x, int y, Anchor anchor, const QColor* background) {
  const QFontMetrics fm(painter.font());
  const int w = fm.horizontalAdvance(text);
  const int left = anchor == Anchor::Left ? x : anchor == Anchor::Right ? x - w : x - w / 2;
  const QRect box(left, y, w, fm.height());
  if (background != nullptr) painter.fillRect(box, *background);
  // At the baseline: drawing into a box makes a vector picture save and
  // restore the painter's state around every text.
  painter.drawText(QPoint(left, y + fm.ascent()), text);
}

// Vertical guide lines at the tick positions, over `top` .. `bottom`.
void GuideLines(QPainter& painter, const StatData& stat, const MapScale& s, int xOffset, int top, int bottom) {
  painter.setPen(QPen(kGrey, 0));
  for (int p : MapTickPositions(stat.L, stat.scaleTicks)) {
    const int x = xOffset + s.X(p);
    painter.drawLine(x, top, x, bottom);
  }
}

bool SameHitNext(const StatData& stat, std::size_t i) {
  return i + 1 >= stat.entries.size() || stat.entries[i + 1]->hitNumber == stat.entries[i]->hitNumber;
}

}  // namespace

QFont MakeMapFont(int points, int dpiX) {
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
  font.setFixedPitch(true);
  font.setWeight(QFont::Normal);
  font.setPixelSize(std::max(1, points * dpiX / 72));
  return font;
}

MapFontMetrics MeasureMapFont(const QFont& font) {
  const QFontMetrics fm(font);
  return {std::max(1, fm.averageCharWidth()), std::max(1, fm.height())};
}

MapPaintStyle MakeMapPaintStyle(const QFont& font, bool printForm) {
  MapPaintStyle style;
  style.font = font;
  style.f = MeasureMapFont(font);
  style.printForm = printForm;
  return style;
}

QColor ScoreClassColour(const ScoreClass& c) {
  return QColor(static_cast<int>((c.rgb >> 16) & 0xFF), static_cast<int>((c.rgb >> 8) & 0xFF),
                static_cast<int>(c.rgb & 0xFF));
}

void PaintMapLegend(QPainter& painter, const StatData& stat, const MapPaintStyle& style, QPoint origin) {
  const int cw = style.f.cw, lh = style.f.lh;
  painter.save();
  painter.setFont(style.font);
  for (std::uint32_t i = 0; i < stat.classCount && i < kScoreClassCount; ++i) {
    const int left = origin.x() + cw / 2, top = origin.y() + static_cast<int>(i) * lh;
    painter.setPen(QPen(kBlack, 0));
    painter.setBrush(ScoreClassColour(stat.classes[i]));
    painter.drawRect(left + 2, top + 2, lh - 5, lh - 5);
    painter.setPen(kBlack);
    DrawText(painter, QString::fromStdString(MapLegendText(stat.classes[i])), left + lh + cw, top, Anchor::Left, nullptr);
  }
  painter.restore();
}

void PaintMapRuler(QPainter& painter, const StatData& stat, const MapPaintStyle& style, int x0, int top,
                   int barsClientWidth) {
  const int lh = style.f.lh;
  const MapScale s = MakeMapScale(barsClientWidth, style.f.cw, stat.L);
  painter.save();
  painter.setFont(style.font);
  const std::vector<int> ticks = MapTickPositions(stat.L, stat.scaleTicks);
  for (std::size_t k = 0; k < ticks.size(); ++k) {
    const int x = x0 + s.X(ticks[k]);
    painter.setPen(QPen(kBlack, 0));
    painter.drawLine(x, top + 4 * lh, x, top + 6 * lh);
    // L, last, is written from its line so that it stays inside the map.
    DrawText(painter, QString::number(ticks[k]), x, top + 4 * lh, k + 1 == ticks.size() ? Anchor::Left : Anchor::Centre,
             &kWhite);
  }
  painter.restore();
}

void PaintMapHistogram(QPainter& painter, const StatData& stat, const MapPaintStyle& style, const QRect& area,
                       int clientWidth) {
  const int lh = style.f.lh;
  const MapScale s = MakeMapScale(clientWidth, style.f.cw, stat.L);
  const std::int32_t maxCoverage = MapMaxCoverage(stat);
  painter.save();
  painter.setFont(style.font);
  painter.setPen(QPen(kGrey, 0));
  painter.drawLine(area.left(), area.top() + 2 * lh, area.right(), area.top() + 2 * lh);
  DrawText(painter, QString::number(maxCoverage), area.left(), area.top(), Anchor::Left, nullptr);
  if (stat.displayLines) GuideLines(painter, stat, s, area.left(), area.top(), area.bottom());
  const int bottom = area.top() + 4 * lh;
  const std::size_t L = std::min(stat.coverage.size(), stat.identity.size());
  painter.setPen(Qt::NoPen);
  // In position order (a column may share its edge pixel with the next), the
  // brush changed only where the colour does.
  int brush = -1;
  for (std::size_t i = 0; i < L; ++i) {
    if (stat.coverage[i] <= 0) continue;
    const int red = stat.identity[i] >= 50.0F ? 1 : 0;
    if (red != brush) painter.setBrush(red != 0 ? kRed : kBlack);
    brush = red;
    MapRect r = MapHistogramColumn(s, static_cast<int>(i + 1), stat.coverage[i], maxCoverage, bottom, lh);
    r.left += area.left();
    r.right += area.left();
    // At least one pixel wide, so that a long query keeps every column.
    if (r.right <= r.left) r.right = r.left + 1;
    painter.drawRect(ToQRect(r));
  }
  painter.restore();
}

// The panes are drawn in passes (all texts, then all separators; all lines,
// bars, text backgrounds, texts, separators), so that a vector picture
// changes its pen and brush a few times rather than at every entry. Nothing
// of one entry overlaps another's, so the passes draw what entry-by-entry
// drawing would.
void PaintMapNames(QPainter& painter, const StatData& stat, const MapPaintStyle& style, const QRect& area,
                   std::size_t first, std::size_t count) {
  const int cw = style.f.cw, lh = style.f.lh;
  painter.save();
  painter.setFont(style.font);
  const int right = style.printForm ? area.left() + area.width() - cw : area.left() + 29 * cw;
  const int sepRight = style.printForm ? area.left() + area.width() : area.left() + 29 * cw;
  const std::size_t end = std::min(stat.entries.size(), first + count);
  const auto rowTop = [&](std::size_t i) { return area.top() + static_cast<int>(i - first) * lh; };
  painter.setPen(kBlack);
  for (std::size_t i = first; i < end; ++i)
    DrawText(painter, QString::fromStdString(stat.entries[i]->label), right, rowTop(i), Anchor::Right, nullptr);
  painter.setPen(DottedPen(kBlack));
  for (std::size_t i = first; i < end; ++i)
    if (!SameHitNext(stat, i)) painter.drawLine(area.left(), rowTop(i) + lh, sepRight, rowTop(i) + lh);
  painter.restore();
}

void PaintMapBars(QPainter& painter, const StatData& stat, const MapPaintStyle& style, const QRect& area,
                  int clientWidth, std::size_t first, std::size_t count) {
  const int lh = style.f.lh;
  const MapScale s = MakeMapScale(clientWidth, style.f.cw, stat.L);
  painter.save();
  painter.setFont(style.font);
  const std::size_t end = std::min(stat.entries.size(), first + count);
  const int bottom = style.printForm ? area.top() + static_cast<int>(end - std::min(first, end)) * lh : area.bottom();
  if (stat.displayLines) GuideLines(painter, stat, s, area.left(), area.top(), bottom);
  const int lineRight = style.printForm ? area.left() + area.width() : area.right();
  const QColor& textBack = style.printForm ? kWhite : kMapLightGrey;
  const int shrink = style.printForm ? lh / 6 : 0;
  const auto rowTop = [&](std::size_t i) { return area.top() + static_cast<int>(i - first) * lh; };
  std::vector<MapRect> bars;
  bars.reserve(end > first ? end - first : 0);
  for (std::size_t i = first; i < end; ++i) {
    MapRect r = MapBarRect(*stat.entries[i], s, rowTop(i), lh);
    r.left += area.left();
    r.right += area.left();
    r.top += shrink;
    r.bottom -= shrink;
    bars.push_back(r);
  }
  painter.setPen(QPen(kBlack, 0));
  for (std::size_t i = first; i < end; ++i)
    painter.drawLine(area.left(), rowTop(i) + lh / 2, lineRight, rowTop(i) + lh / 2);
  // A score in no class keeps the colour of the bar before it.
  QColor fill = stat.classCount > 0 ? ScoreClassColour(stat.classes[0]) : kBlack;
  for (std::size_t i = first; i < end; ++i) {
    const int cls = ScoreClassOf(stat, stat.entries[i]->score);
    if (cls >= 0) fill = ScoreClassColour(stat.classes[static_cast<std::size_t>(cls)]);
    if (painter.brush().color() != fill || painter.brush().style() != Qt::SolidPattern) painter.setBrush(fill);
    const MapRect& r = bars[i - first];
    const int left = std::min(r.left, r.right), right = std::max(r.left, r.right);
    painter.drawRect(left, r.top, std::max(0, right - left - 1), std::max(0, r.Height() - 1));
  }
  const QFontMetrics fm(style.font);
  const auto startBox = [&](std::size_t i) {
    const QString t = QString::number(stat.entries[i]->queryStart);
    const int w = fm.horizontalAdvance(t);
    return QRect(bars[i - first].left - w, bars[i - first].top, w, fm.height());
  };
  const auto endBox = [&](std::size_t i) {
    const QString t = QString::number(stat.entries[i]->queryEnd);
    return QRect(bars[i - first].right, bars[i - first].top, fm.horizontalAdvance(t), fm.height());
  };
  painter.setPen(Qt::NoPen);
  painter.setBrush(textBack);
  for (std::size_t i = first; i < end; ++i) {
    painter.drawRect(startBox(i));
    painter.drawRect(endBox(i));
  }
  painter.setPen(kBlack);
  for (std::size_t i = first; i < end; ++i) {
    painter.drawText(startBox(i).topLeft() + QPoint(0, fm.ascent()), QString::number(stat.entries[i]->queryStart));
    painter.drawText(endBox(i).topLeft() + QPoint(0, fm.ascent()), QString::number(stat.entries[i]->queryEnd));
  }
  painter.setPen(DottedPen(style.printForm ? kBlack : kWhite));
  for (std::size_t i = first; i < end; ++i) {
    if (SameHitNext(stat, i)) continue;
    const int y = style.printForm ? rowTop(i) + lh - 1 : bars[i - first].bottom;
    painter.drawLine(area.left(), y, lineRight, y);
  }
  painter.restore();
}

void PaintMapPicture(QPainter& painter, const StatData& stat, const MapPaintStyle& style,
                     const MapPictureLayout& layout) {
  const MapPanes& p = layout.panes;
  painter.fillRect(QRect(0, 0, layout.width, layout.height), kWhite);
  painter.fillRect(ToQRect(p.histogram), kMapLightGrey);
  painter.fillRect(ToQRect(p.bars), kMapLightGrey);
  PaintMapLegend(painter, stat, style, QPoint(0, 0));
  PaintMapRuler(painter, stat, style, p.bars.left + 1, 0, p.bars.Width());
  PaintMapHistogram(painter, stat, style, ToQRect(p.histogram), p.histogram.Width());
  PaintMapNames(painter, stat, style, ToQRect(p.names), 0, stat.entries.size());
  PaintMapBars(painter, stat, style, ToQRect(p.bars), p.bars.Width(), 0, stat.entries.size());
}

bool RenderMapPicture(const StatData& stat, const MapPaintStyle& style, bool svg, QByteArray& out,
                      std::string& error) {
  const MapPictureLayout layout = MapPictureGeometry(stat, kMapPictureWidth, style.f);
  out.clear();
  if (svg) {
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setResolution(96);  // one picture pixel is one screen pixel
    generator.setSize(QSize(layout.width, layout.height));
    generator.setViewBox(QRect(0, 0, layout.width, layout.height));
    generator.setTitle(QStringLiteral("Vistram map"));
    QPainter painter;
    if (!painter.begin(&generator)) {
      error = "the SVG picture cannot be drawn";
      return false;
    }
    PaintMapPicture(painter, stat, style, layout);
    painter.end();
    return true;
  }
  if (layout.height > kMapPngMaxHeight) {
    char text[160];
    std::snprintf(text, sizeof text, "a map of %zu bars is too tall for a PNG picture; write it as SVG",
                  stat.entries.size());
    error = text;
    return false;
  }
  QImage image(layout.width, layout.height, QImage::Format_RGB32);
  if (image.isNull()) {
    error = "not enough memory for the picture";
    return false;
  }
  {
    QPainter painter(&image);
    PaintMapPicture(painter, stat, style, layout);
  }
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) {
    error = "the PNG picture cannot be encoded";
    return false;
  }
  return true;
}

bool IsSvgPath(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".svg";
}

bool SaveMapPicture(const std::string& path, const StatData& stat, const MapPaintStyle& style, std::string& error) {
  QByteArray bytes;
  if (!RenderMapPicture(stat, style, IsSvgPath(path), bytes, error)) return false;
  SafeFile file;
  if (!file.Open(path) ||
      std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), file.Stream()) !=
          static_cast<std::size_t>(bytes.size()) ||
      !file.Commit()) {
    error = FormatTxtMessage(IDS_CANNOT_SAVE, path);
    return false;
  }
  return true;
}

bool WriteMapPictureForBatch(const std::string& path, const StatData& stat, int fontPoints, std::string& error) {
  std::unique_ptr<QGuiApplication> app;
  if (QCoreApplication::instance() == nullptr) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vistram";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  constexpr int kBatchDpi = 96;
  return SaveMapPicture(path, stat, MakeMapPaintStyle(MakeMapFont(fontPoints, kBatchDpi)), error);
}
