// The geometry of the pairwise alignment view, apart from any toolkit: the
// column rounding, the horizontal scroll range and steps, which columns an
// area shows, where every residue, position number and tick goes, the
// previous/next buttons and the caption texts. The window and the printout
// draw what these functions lay out.
#pragma once
#include <string>
#include <vector>

struct DataProgram;
struct VisualHaspData;

// Pixel distance (in character widths) to columns: the absolute value
// truncated, plus one when its fractional part is above 0.5 (2.5 gives 2,
// 2.51 gives 3), with the sign of the input.
int RoundColumns(double value);

// The scroll position is in columns; it is never below this.
inline constexpr int kScrollMinimum = -2;

struct PairwiseScroll {
  bool enabled = false;
  int minimum = kScrollMinimum;
  int maximum = kScrollMinimum;
  int position = kScrollMinimum;
  int visibleColumns = 0;  // v
};
// After a new HSP or a new view size: v = round(clientWidth / cw); when
// v - 2 < n the range is -2 .. n - v + 2, otherwise scrolling is off. The
// position is -2 either way.
PairwiseScroll ComputePairwiseScroll(int clientWidth, int charWidth, int columns);

enum class ScrollRequest { LineLeft, LineRight, PageLeft, PageRight, Other };
// The new position after `request`: lines move by v / 10 columns, pages by
// v, within the range; other requests (thumb tracking included) change nothing.
int ApplyPairwiseScroll(const PairwiseScroll& scroll, int position, ScrollRequest request);

struct ColumnRange {
  int first = 0;  // inclusive
  int last = 0;   // exclusive
};
// The columns that the horizontal pixel band left..right touches at scroll
// position `scroll`, with two columns of margin on each side.
ColumnRange PairwiseColumns(int left, int right, int charWidth, int scroll, int columns);

// One text of the drawing: centred horizontally on x, its top at y.
struct PairwiseText {
  int x = 0;
  int y = 0;
  std::string text;
  int textColour = 0;  // palette indexes
  int backColour = 1;
  enum Kind { Query, Middle, Subject, Number } kind = Query;
  int column = 0;
};
struct PairwiseTick {
  int x = 0;
  int y1 = 0;
  int y2 = 0;
};
struct PairwiseDrawing {
  std::vector<PairwiseText> texts;
  std::vector<PairwiseTick> ticks;
};
// Lays out columns [range.first, range.last) of `view`: column k at
// x = xOffset + cw * (k - reference + 1) (on screen reference is the scroll
// position and xOffset 0; printed, the block's first column and the margin),
// query at y0, match line at y0 + lh, subject at y0 + 2 lh; the query
// position above (y0 - lh) and the subject position below (y0 + 3 lh) every
// tenth residue, with a tick of 5 pixels.
PairwiseDrawing LayoutPairwise(const VisualHaspData& view, ColumnRange range, int reference, int xOffset, int y0,
                               int charWidth, int lineHeight);
// y0 of the screen view: 3 lh / 2.
inline int PairwiseTop(int lineHeight) { return (3 * lineHeight) / 2; }

struct HspButtons {
  bool previous = false;
  bool next = false;
};
// The previous/next buttons for alignment `alignmentNumber` (1-based) of a
// hit with `alignmentCount` alignments; both off when nothing is shown
// (alignmentNumber 0).
HspButtons UpdateHspButtons(int alignmentCount, int alignmentNumber);

// The caption fields of the shown alignment.
struct HspCaption {
  std::string alignment;  // "Ali: %u/%u. Origin: %s (%u)"
  std::string statistics;
  std::string queryFrom, queryTo, subjectFrom, subjectTo;
};
// Empty fields when no alignment is shown or there is no current table.
HspCaption BuildHspCaption(const DataProgram& dp);
