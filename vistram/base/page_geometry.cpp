#include "vistram/base/page_geometry.h"

#include <algorithm>
#include <cmath>

int PrintMargin(int pixelsPerInch) { return static_cast<int>(std::lround(0.23622048 * pixelsPerInch)); }

int ColumnsPerBlock(int pageWidth, int margin, int characterWidth) {
  if (characterWidth <= 0) return 1;
  return std::max(1, (pageWidth - 2 * margin) / characterWidth);
}

int BlocksPerPage(const BlockPages& pages) {
  const int pitch = std::max(1, pages.blockPitch);
  const int room = pages.pageHeight - pages.firstTop - pages.blockHeight;
  if (room < 0) return 1;
  return room / pitch + 1;
}

std::vector<int> PageStarts(int blocks, const BlockPages& pages) {
  std::vector<int> starts;
  const int perPage = BlocksPerPage(pages);
  for (int first = 0; first < blocks; first += perPage) starts.push_back(first);
  return starts;
}

int BlockCount(int totalColumns, int columnsPerBlock) {
  if (totalColumns <= 0) return 0;
  const int per = std::max(1, columnsPerBlock);
  return (totalColumns - 1) / per + 1;
}

std::vector<GridPage> GridPages(int columns, int rows, int columnsPerPage, int rowsPerPage) {
  std::vector<GridPage> pages;
  if (columns <= 0 || rows <= 0) return pages;
  const int c = std::max(1, columnsPerPage);
  const int r = std::max(1, rowsPerPage);
  for (int row = 0; row < rows; row += r)
    for (int column = 0; column < columns; column += c) pages.push_back(GridPage{column, row});
  return pages;
}

std::vector<int> RowPages(int rows, int rowsPerPage) {
  std::vector<int> pages;
  const int r = std::max(1, rowsPerPage);
  for (int first = 0; first < rows; first += r) pages.push_back(first);
  return pages;
}

int NameColumnChars(const std::vector<int>& nameLengths) {
  int longest = 10;  // "Consensus:"
  for (int n : nameLengths) longest = std::max(longest, n);
  return longest + 3;
}

namespace {
StripWindow FirstWindow(int first, int last, int perStrip) { return {first, std::min(last, first + perStrip)}; }
void Advance(StripWindow& w, int last, int step) {
  w.start += step;
  w.end = std::min(last, w.end + step);
}
}  // namespace

std::vector<std::vector<StripPair>> StripPages(const StripPlan& plan) {
  std::vector<std::vector<StripPair>> pages;
  const int n = std::max(1, plan.perStrip);
  const int overlap = std::clamp(plan.overlap, 0, n - 1);
  const int step = n - overlap;
  StripPair pair{FirstWindow(plan.queryFirst, plan.queryLast, n),
                 FirstWindow(plan.databaseFirst, plan.databaseLast, n)};
  if (plan.queryLast < plan.queryFirst) return pages;
  // One pair takes two strips, each its name line (2 H) plus h plus H.
  const int pairHeight = 2 * (2 * plan.lineHeight + plan.stripHeight + plan.lineHeight);
  int top = 0;
  bool first = true;
  while (true) {
    // The query is done once its window starts beyond what the last strip showed.
    const bool queryDone = !first && plan.queryLast < pair.query.start + overlap;
    if (queryDone) break;
    const bool fits = !pages.empty() && !pages.back().empty() &&
                      plan.pageHeight >= top + pairHeight - plan.lineHeight;
    if (!fits) {
      pages.emplace_back();
      top = plan.firstTop;
    }
    pages.back().push_back(pair);
    top += pairHeight;
    first = false;
    Advance(pair.query, plan.queryLast, step);
    Advance(pair.database, plan.databaseLast, step);
  }
  return pages;
}

bool StripExhausted(const StripWindow& window, int last) { return window.start > last; }
