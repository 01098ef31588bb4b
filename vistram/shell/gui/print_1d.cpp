#include "vistram/shell/gui/print_1d.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

#include "vistram/base/page_geometry.h"
#include "vistram/shell/gui/pairwise_view.h"
#include "vistram/shell/pairwise.h"

OneDPrintout::OneDPrintout(const VisualHaspData& view, std::string hitIdentifier)
    : view_(view), hit_(std::move(hitIdentifier)) {}

std::string OneDPrintout::AlignmentLine() const {
  char line[400];
  std::snprintf(line, sizeof line, "1D alignment between Query (top) and %.200s (bottom) (Align %u, HSP %u)",
                hit_.c_str(), static_cast<unsigned>(view_.hitNumber), static_cast<unsigned>(view_.alignmentNumber));
  return line;
}

int OneDPrintout::PageCount(QPainter& painter) {
  QPaintDevice& device = *painter.device();
  const int dpi = device.logicalDpiX();
  font_ = MakeFixedPrintFont(13 * dpi / kScreenDpi, device);
  if (!font_.ok) return 0;  // no font: nothing is drawn
  margin_ = PrintMargin(dpi);
  columns_ = ::ColumnsPerBlock(device.width(), margin_, font_.cw);
  const int lh = font_.lh;
  const BlockPages pages{device.height(), margin_ + 7 * lh, 6 * lh, 6 * lh};
  blocksPerPage_ = ::BlocksPerPage(pages);
  blocks_ = BlockCount(view_.alignedLength, columns_);
  return static_cast<int>(PageStarts(blocks_, pages).size());
}

void OneDPrintout::DrawPage(QPainter& painter, int page) {
  if (!font_.ok) return;
  const int m = margin_, cw = font_.cw, lh = font_.lh;
  const int x = m + 2 * cw;
  const int y = m + 2 * lh;
  DrawTextBottom(painter, font_, x, y, kPrintHeadingLine);
  DrawTextBottom(painter, font_, x, y + lh, kPrintNoticeLine);
  DrawTextBottom(painter, font_, x, y + 3 * lh, AlignmentLine());
  const int firstBlock = (page - 1) * blocksPerPage_;
  const int endBlock = std::min(blocks_, firstBlock + blocksPerPage_);
  for (int b = firstBlock; b < endBlock; ++b) {
    const int first = b * columns_;
    const ColumnRange range{first, std::min(view_.alignedLength, first + columns_)};
    const int top = m + 7 * lh + (b - firstBlock) * 6 * lh;
    const PairwiseDrawing drawing = LayoutPairwise(view_, range, first, m, top + lh, cw, lh);
    DrawPairwise(painter, drawing, font_.font, cw, lh);
  }
}
