#include "vistram/editor/gui/msa_printout.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "vistram/editor/gui/msa_draw.h"

MsaPrintout::MsaPrintout(const DarUvaData& msa, int screenFontPixels)
    : msa_(msa), points_(std::max(1, static_cast<int>(std::lround(screenFontPixels * 72.0 / kScreenDpi)))) {}

int MsaPrintout::PageCount(QPainter& painter) {
  QPaintDevice& device = *painter.device();
  const int dpi = device.logicalDpiX();
  font_ = MakeFixedPrintFontPoints(points_, device);
  pages_.clear();
  if (!font_.ok) return 0;
  margin_ = static_cast<int>(std::lround(0.62992126 * dpi));
  std::vector<int> lengths;
  for (const auto& row : msa_.rows) lengths.push_back(static_cast<int>(row->name.size()));
  nameWidth_ = NameColumnChars(lengths) * font_.cw;
  columns_ = std::max(1, (device.width() - nameWidth_ - 2 * margin_) / font_.cw);
  rows_ = std::max(1, (device.height() - 4 * font_.lh - 2 * margin_) / font_.lh);
  pages_ = GridPages(msa_.columnCount, msa_.SequenceCount(), columns_, rows_);
  return static_cast<int>(pages_.size());
}

void MsaPrintout::DrawPage(QPainter& painter, int page) {
  if (!font_.ok || page < 1 || page > static_cast<int>(pages_.size())) return;
  const GridPage& p = pages_[static_cast<std::size_t>(page - 1)];
  const int m = margin_, cw = font_.cw, lh = font_.lh, N = nameWidth_;
  DrawMsaReportHeader(painter, font_, m, page);
  const CellRange cells{p.firstColumn, std::min(msa_.columnCount, p.firstColumn + columns_), p.firstRow,
                        std::min(msa_.SequenceCount(), p.firstRow + rows_)};
  MsaFrame frame;
  frame.font = font_.font;
  frame.cw = cw;
  frame.lh = lh;
  frame.originX = m + N;
  frame.firstColumn = p.firstColumn;
  frame.firstRow = p.firstRow;
  painter.save();
  const int W = painter.device()->width();
  painter.setClipRect(QRect(QPoint(m, m), QPoint(W - m, painter.device()->height() - m)));
  MsaFrame ruler = frame;
  ruler.originY = m + 2 * lh;
  ruler.firstRow = 0;
  DessineDarUvaScale(painter, msa_, ruler, cells);
  MsaFrame consensus = frame;
  consensus.originY = m + 5 * lh;
  consensus.firstRow = 0;
  DessineDarUvaConsensus(painter, msa_, consensus, cells);
  MsaFrame residues = frame;
  residues.originY = m + 6 * lh;
  DessineDarUvaAlign(painter, msa_, residues, cells);
  MsaFrame names = frame;
  names.originX = m;
  names.originY = m + 6 * lh;
  DessineDarUvaNames(painter, msa_, names, cells, m + N - cw);
  painter.restore();
}
