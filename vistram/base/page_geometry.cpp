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
