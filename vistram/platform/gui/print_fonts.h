// The printouts' fonts, made for the device they draw on, and the lines of
// the page header that they share.
#pragma once
#include <QFont>
#include <string>

class QPaintDevice;
class QPainter;

// The fixed second line under "Vistram - print report".
inline constexpr const char* kPrintHeadingLine = "Vistram - print report";
inline constexpr const char* kPrintNoticeLine = "Vistram sequence analysis workbench";

// The screen's logical dots per inch that the screen's font sizes refer to.
inline constexpr int kScreenDpi = 96;

struct PrintFont {
  QFont font;
  int cw = 1;  // average character width
  int lh = 1;  // character height plus external leading
  int ascent = 0;
  bool ok = false;
};
// "Courier New", normal weight, fixed pitch, `pixelHeight` device pixels
// high on `device`; not ok when no font could be made or measured.
PrintFont MakeFixedPrintFont(int pixelHeight, QPaintDevice& device);
// The same font from a size in points.
PrintFont MakeFixedPrintFontPoints(int points, QPaintDevice& device);

// Draws `text` with its bottom edge on y, from x.
void DrawTextBottom(QPainter& painter, const PrintFont& font, int x, int y, const std::string& text);

// The page header of the alignment and map printouts ("MSA report"):
// "Vistram - print report" with its bottom at (m, m - lh), the fixed second
// line five characters to its right, and "MSA (Page %u)" with its bottom at
// (m, m); black on white.
void DrawMsaReportHeader(QPainter& painter, const PrintFont& font, int margin, int page);
