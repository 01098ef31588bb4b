#include "vistram/mapper/gui/map_printout.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "vistram/base/page_geometry.h"

int MapPrintPoints(int screenFontPixels) {
  return std::max(1, static_cast<int>(std::lround(screenFontPixels * 72.0 / kScreenDpi)));
}

MapPrintout::MapPrintout(const StatData& stat, int screenFontPixels)
    : stat_(stat), points_(MapPrintPoints(screenFontPixels)) {}

int MapPrintout::PageCount(QPainter& painter) {
  QPaintDevice& device = *painter.device();
  const int dpi = device.logicalDpiX();
  font_ = MakeFixedPrintFont(points_ * dpi / 72, device);
  pages_.clear();
  if (!font_.ok) return 0;
  style_ = MakeMapPaintStyle(MakeMapFont(points_, dpi), true);
  font_.cw = style_.f.cw;
  font_.lh = style_.f.lh;
  margin_ = static_cast<int>(std::lround(0.62992126 * dpi));
  rows_ = std::max(1, (device.height() - 2 * margin_ - 8 * font_.lh) / font_.lh);
  pages_ = RowPages(static_cast<int>(stat_.entries.size()), rows_);
  return static_cast<int>(pages_.size());
}

void MapPrintout::DrawPage(QPainter& painter, int page) {
  if (!font_.ok || page < 1 || page > static_cast<int>(pages_.size())) return;
  QPaintDevice& device = *painter.device();
  const int m = margin_, cw = style_.f.cw, lh = style_.f.lh;
  const int W = device.width(), H = device.height();
  DrawMsaReportHeader(painter, font_, m, page);
  painter.save();
  painter.setPen(QPen(Qt::black, 0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRect(QPoint(m, m), QPoint(W - m, H - m)));
  const int barsLeft = m + 33 * cw;
  const QRect histogram(QPoint(barsLeft, m + 2 * lh), QPoint(W - m, m + 6 * lh));
  const QRect names(QPoint(m, m + 8 * lh), QPoint(m + 32 * cw, H - m));
  const QRect bars(QPoint(barsLeft, m + 8 * lh), QPoint(W - m, H - m));
  for (const QRect& framed : {histogram, names, bars}) painter.drawRect(framed);
  painter.restore();
  PaintMapHistogram(painter, stat_, style_, histogram, histogram.width());
  PaintMapRuler(painter, stat_, style_, barsLeft, m + 2 * lh, bars.width());
  PaintMapLegend(painter, stat_, style_, QPoint(m, m + 2 * lh));
  const std::size_t first = static_cast<std::size_t>(pages_[static_cast<std::size_t>(page - 1)]);
  const std::size_t count = std::min(static_cast<std::size_t>(rows_), stat_.entries.size() - first);
  PaintMapNames(painter, stat_, style_, names, first, count);
  PaintMapBars(painter, stat_, style_, bars, bars.width(), first, count);
}
