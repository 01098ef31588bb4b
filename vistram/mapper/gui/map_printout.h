// The map printout (an "MSA report"): on every page the header, a frame,
// the histogram, the scale and the colour-class legend, then the names and
// bars of as many entries as the page holds, all drawn by the map's own
// routines in their printing form.
#pragma once
#include <string>
#include <vector>

#include "vistram/mapper/gui/map_draw.h"
#include "vistram/platform/gui/print_fonts.h"
#include "vistram/platform/gui/printout.h"

class MapPrintout : public Printout {
 public:
  // `stat` must outlive the printout; `screenFontPixels` is the map
  // window's font height in screen pixels.
  MapPrintout(const StatData& stat, int screenFontPixels);
  std::string Title() const override { return "MSA report"; }
  int PageCount(QPainter& painter) override;
  void DrawPage(QPainter& painter, int page) override;
  int RowsPerPage() const { return rows_; }

 private:
  const StatData& stat_;
  int points_;
  PrintFont font_;
  MapPaintStyle style_;
  int margin_ = 0, rows_ = 1;
  std::vector<int> pages_;
};

// The map window's font height in pixels as a point size at the screen's 96 dots per inch.
int MapPrintPoints(int screenFontPixels);
