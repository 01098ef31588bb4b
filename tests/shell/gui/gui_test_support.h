// Helpers of the window tests: pixel counting over rendered images.
#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>

// Pixels of exactly `colour` inside `area` of `image`.
inline int CountColour(const QImage& image, const QRect& area, const QColor& colour) {
  const QRect r = area.intersected(image.rect());
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      if (image.pixelColor(x, y).rgb() == colour.rgb()) ++n;
    }
  }
  return n;
}

// Glyphs without anti-aliasing, so that text pixels carry the exact text colour.
inline QFont Crisp(QFont font) {
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}
