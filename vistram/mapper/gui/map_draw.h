// Painting of the map on any QPainter: the window's panes, a QImage (PNG),
// QSvgGenerator (SVG) and the printer all go through these routines, with
// the geometry of map_layout.h. Each routine paints in the coordinates of the
// painter it is given, inside the area it is given.
#pragma once
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QRect>
#include <cstddef>
#include <string>

#include "vistram/mapper/map_layout.h"
#include "vistram/mapper/stat_data.h"

class QPainter;

// The map font: "Courier New", weight 400, fixed pitch, `points` high at
// `dpiX` dots per inch (points x dpi / 72 pixels).
QFont MakeMapFont(int points, int dpiX);
MapFontMetrics MeasureMapFont(const QFont& font);

struct MapPaintStyle {
  QFont font;
  MapFontMetrics f;
  // The printout's form: names right-aligned at the area's right edge minus
  // cw with separators across the area, bars shrunk by lh/6 at top and
  // bottom, coordinate texts on white, black dotted separators.
  bool printForm = false;
};
MapPaintStyle MakeMapPaintStyle(const QFont& font, bool printForm = false);

// The pane colours.
inline const QColor kMapLightGrey(192, 192, 192);
inline const QColor kMapTipYellow(255, 255, 102);
QColor ScoreClassColour(const ScoreClass& c);

// The legend of the score classes, one line per class from `origin`.
void PaintMapLegend(QPainter& painter, const StatData& stat, const MapPaintStyle& style, QPoint origin);
// The ruler in the band top + 4 lh .. top + 6 lh, over bars whose drawing
// starts at x0 with `barsClientWidth` pixels.
void PaintMapRuler(QPainter& painter, const StatData& stat, const MapPaintStyle& style, int x0, int top,
                   int barsClientWidth);
// The coverage histogram in `area`; positions line up with bars of
// `clientWidth` pixels.
void PaintMapHistogram(QPainter& painter, const StatData& stat, const MapPaintStyle& style, const QRect& area,
                       int clientWidth);
// The labels of entries first .. first + count - 1, one per line from the
// area's top.
void PaintMapNames(QPainter& painter, const StatData& stat, const MapPaintStyle& style, const QRect& area,
                   std::size_t first, std::size_t count);
// The bars of entries first .. first + count - 1 with their guide lines,
// coordinates and hit separators; `clientWidth` is the bars' drawing width
// from the area's left edge.
void PaintMapBars(QPainter& painter, const StatData& stat, const MapPaintStyle& style, const QRect& area,
                  int clientWidth, std::size_t first, std::size_t count);

// The whole map (legend, ruler, histogram, every name and bar) as one picture.
inline constexpr int kMapPictureWidth = 1024;
// A PNG picture is at most this tall; taller maps are written as SVG.
inline constexpr int kMapPngMaxHeight = 32767;
void PaintMapPicture(QPainter& painter, const StatData& stat, const MapPaintStyle& style,
                     const MapPictureLayout& layout);
// The picture in memory: SVG when `svg`, otherwise PNG. False with `error`
// set when it cannot be made.
bool RenderMapPicture(const StatData& stat, const MapPaintStyle& style, bool svg, QByteArray& out,
                      std::string& error);
// Writes the picture to `path` (SVG or PNG by its extension) through the
// safe file writer. False with `error` set.
bool SaveMapPicture(const std::string& path, const StatData& stat, const MapPaintStyle& style, std::string& error);
// True when `path` names an SVG picture (".svg", any case).
bool IsSvgPath(const std::string& path);

// The batch mode's picture writer (see map_picture_writer.h): the map font
// at 96 dots per inch, drawn without a display.
bool WriteMapPictureForBatch(const std::string& path, const StatData& stat, int fontPoints, std::string& error);
