// The drawing resources of the main window: the sixteen palette brushes and
// pens, the three fixed-pitch fonts ("Courier New", which Debian's
// fonts-liberation supplies as the metric-compatible Liberation Mono) and the
// character metrics of the list and viewer fonts.
#pragma once
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>
#include <array>

#include "vistram/base/colours.h"
#include "vistram/base/config.h"

class QWidget;

// The palette colour of `index` (0..15; other indexes give black).
QColor PaletteColor(int index);

struct DisplayResources {
  std::array<QBrush, kPaletteSize> brushes;
  std::array<QPen, kPaletteSize> pens;
  QBrush nullBrush{Qt::NoBrush};
  QPen nullPen{Qt::NoPen};

  QFont comboFont;   // font 1: CBFNTSIZE
  QFont listFont;    // font 2: LBFNTSIZE
  QFont viewerFont;  // font 3: ALIFNTSIZE

  // Metrics of fonts 2 and 3: average character width and line height
  // (character height + external leading), in pixels.
  int listCharWidth = 0;
  int listLineHeight = 0;
  int viewerCharWidth = 0;
  int viewerLineHeight = 0;
};

// Fills the brushes and pens, one of width 1 per palette index.
void CreateBrushesAndPens(DisplayResources& display);

// The font of `points` for a screen of `dpiX` horizontal dots per inch:
// "Courier New", fixed pitch, normal weight, pixel height points * dpiX / 72.
QFont DescribeFont(int points, int dpiX);
// Builds the three fonts from the preferences and measures fonts 2 and 3.
// When the list or viewer font cannot be made, shows "Unable to create fonts"
// (caption "Vistram ", owner `owner`) and returns false with `display`
// unchanged.
bool CreateFonts(DisplayResources& display, const GuiPreferences& prefs, int dpiX, QWidget* owner);
// The horizontal dots per inch of the screen `widget` is on (or the primary screen).
int ScreenDpiX(const QWidget* widget);
