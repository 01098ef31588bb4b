#include "vistram/platform/gui/print_fonts.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <string>

PrintFont MakeFixedPrintFont(int pixelHeight, QPaintDevice& device) {
  PrintFont f;
  if (pixelHeight <= 0) return f;
  f.font = QFont("Courier New");
  f.font.setStyleHint(QFont::Monospace);
  f.font.setFixedPitch(true);
  f.font.setWeight(QFont::Normal);
  f.font.setPixelSize(pixelHeight);
  const QFontMetrics fm(f.font, &device);
  f.cw = fm.averageCharWidth();
  f.lh = fm.height() + std::max(0, fm.leading());
  f.ascent = fm.ascent();
  f.ok = f.cw > 0 && f.lh > 0;
  return f;
}

PrintFont MakeFixedPrintFontPoints(int points, QPaintDevice& device) {
  return MakeFixedPrintFont(points * device.logicalDpiY() / 72, device);
}

void DrawTextBottom(QPainter& painter, const PrintFont& font, int x, int y, const std::string& text) {
  painter.setFont(font.font);
  painter.setPen(Qt::black);
  const QFontMetrics fm(font.font, painter.device());
  painter.drawText(x, y - fm.descent(), QString::fromStdString(text));
}

void DrawMsaReportHeader(QPainter& painter, const PrintFont& font, int margin, int page) {
  const int m = margin;
  const int headingWidth = static_cast<int>(std::char_traits<char>::length(kPrintHeadingLine)) * font.cw;
  DrawTextBottom(painter, font, m, m - font.lh, kPrintHeadingLine);
  DrawTextBottom(painter, font, m + headingWidth + 5 * font.cw, m - font.lh, kPrintNoticeLine);
  DrawTextBottom(painter, font, m, m, "MSA (Page " + std::to_string(page) + ")");
}
