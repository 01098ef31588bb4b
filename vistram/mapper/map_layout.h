// The map's geometry, shared by the window, the picture and the printout:
// where each pane goes, where a query position falls, the bars' and the
// histogram's rectangles, the ruler's ticks, scrolling by page and the
// position under the mouse. Pure arithmetic on pixels; no window library.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "vistram/mapper/stat_data.h"

struct MapRect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const MapRect&) const = default;
};

// The map font's average character width and line height.
struct MapFontMetrics {
  int cw = 8;
  int lh = 16;
};

// The nearest integer, a fraction of exactly one half rounding toward zero.
int MapRound(double x);

// The horizontal scale of a drawing width D (margins m = 4 cw on both sides
// excluded) over a query of length L: position p (from 1) falls at
// m + round(p D / L).
struct MapScale {
  int m = 0;
  int D = 0;
  int L = 1;
  int X(long long p) const;
  // The query position under pane x (1..L), or 0 outside m < x <= m + D.
  // The right end is included, where position L itself is drawn: with less
  // than two pixels per position no pixel left of it would round to L.
  int PositionAt(int x) const;
};
// The scale of a pane of `clientWidth` pixels.
MapScale MakeMapScale(int clientWidth, int cw, int L);

// The positions that carry a ruler number and a guide line, ascending and
// each once: 1, the multiples of `ticks`, and L (always last). A ticks value
// of 0 (the Scale dialog accepts it) gives only 1 and L.
std::vector<int> MapTickPositions(int L, unsigned ticks);

// The panes of the map window of client size W x H.
struct MapPanes {
  MapRect names, bars, histogram;
};
MapPanes MapPaneLayout(int W, int H, const MapFontMetrics& f);

// A bar of entry `e` drawn in the row whose top is y0.
MapRect MapBarRect(const StatEntry& e, const MapScale& s, int y0, int lh);
// The histogram's column of position p (from 1) whose base is `bottom`:
// D/(2L) on both sides of x, as high as coverage x 4 lh / M.
MapRect MapHistogramColumn(const MapScale& s, int p, std::int32_t coverage, std::int32_t maxCoverage, int bottom,
                           int lh);
// The largest coverage, at least 1.
std::int32_t MapMaxCoverage(const StatData& stat);

// The visible entry whose bar contains (x, y) in the bars pane, and that
// bar; -1 when none. Rows start at the first shown entry.
int WhichSeqClicked(const StatData& stat, const MapScale& s, int lh, int paneHeight, int x, int y, MapRect* bar);

// Scrolling the bars by whole entries.
struct MapScrollBar {
  bool enabled = false;
  std::uint32_t maximum = 0;  // the range is 0..maximum
  std::uint32_t position = 0;
};
// Sets the page size and first entry of `stat` for a bars pane of
// `clientHeight` pixels and returns the scroll bar's state.
MapScrollBar ReajusteStatGraphScroll(StatData& stat, int clientHeight, int lh);
enum class MapScrollRequest { LineUp, LineDown, PageUp, PageDown, Top, Bottom, Thumb };
// The first entry after `request` (thumb: `thumb`), kept within 0..maximum.
std::uint32_t MapScrolledFirst(const StatData& stat, const MapScrollBar& bar, MapScrollRequest request,
                               std::uint32_t thumb = 0);

// The description tip of a pressed bar (in map window coordinates): at the
// bar's left, its bottom at the bar's top, 50 cw by 2 lh, moved left to end
// 2 pixels before the window's right edge when it would pass it.
MapRect MapDescriptionTip(const MapRect& barInWindow, int windowWidth, const MapFontMetrics& f);
// The position tip, centred on x, 16 cw by lh, its bottom at `barsTop`.
MapRect MapPositionTip(int x, int barsTop, const MapFontMetrics& f);

// The legend line of class i: ":%4u to %4u".
std::string MapLegendText(const ScoreClass& c);

// The whole map as one picture (every bar, no scrolling): width and height
// of the canvas for `width` pixels across.
struct MapPictureLayout {
  int width = 0;
  int height = 0;
  MapPanes panes;
};
MapPictureLayout MapPictureGeometry(const StatData& stat, int width, const MapFontMetrics& f);
