#include "vistram/editor/gui/msa_draw.h"

#include <QPainter>

#include "vistram/shell/colours.h"

namespace {

QColor Palette(int index) {
  const PaletteColour c = PaletteAt(index);
  return QColor(c.red, c.green, c.blue);
}

QRect Cell(const MsaFrame& f, int c, int r) {
  return QRect(f.originX + (c - f.firstColumn) * f.cw, f.originY + (r - f.firstRow) * f.lh, f.cw, f.lh);
}

// Draws `text` centred in `rect`.
void Centred(QPainter& p, const QRect& rect, QChar ch) { p.drawText(rect, Qt::AlignCenter, QString(ch)); }

}  // namespace

void DessineDarUvaAlign(QPainter& painter, const DarUvaData& msa, const MsaFrame& frame, const CellRange& cells) {
  painter.save();
  painter.setFont(frame.font);
  int lastText = -1;
  for (int r = cells.firstRow; r < cells.endRow; ++r) {
    const DarUvaSeq& row = *msa.rows[static_cast<std::size_t>(r)];
    // Backgrounds in runs of one colour, then the letters.
    int c = cells.firstColumn;
    while (c < cells.endColumn) {
      const int back = row.backColours[static_cast<std::size_t>(c)];
      int end = c + 1;
      while (end < cells.endColumn && row.backColours[static_cast<std::size_t>(end)] == back) ++end;
      const QRect first = Cell(frame, c, r);
      painter.fillRect(QRect(first.left(), first.top(), (end - c) * frame.cw, frame.lh), Palette(back));
      c = end;
    }
    for (c = cells.firstColumn; c < cells.endColumn; ++c) {
      const int text = row.textColours[static_cast<std::size_t>(c)];
      if (text != lastText) {
        painter.setPen(Palette(text));
        lastText = text;
      }
      Centred(painter, Cell(frame, c, r), QChar(row.residues[static_cast<std::size_t>(c)]));
    }
  }
  painter.restore();
}

void DessineDarUvaConsensus(QPainter& painter, const DarUvaData& msa, const MsaFrame& frame, const CellRange& cells) {
  painter.save();
  painter.setFont(frame.font);
  painter.setPen(Qt::black);
  for (int c = cells.firstColumn; c < cells.endColumn && static_cast<std::size_t>(c) < msa.consensus.size(); ++c) {
    Centred(painter, Cell(frame, c, frame.firstRow), QChar(msa.consensus[static_cast<std::size_t>(c)]));
  }
  painter.restore();
}

void DessineDarUvaScale(QPainter& painter, const DarUvaData& msa, const MsaFrame& frame, const CellRange& cells) {
  painter.save();
  painter.setFont(frame.font);
  painter.setPen(Qt::black);
  for (int c = cells.firstColumn; c < cells.endColumn; ++c) {
    const int k = c + 1;
    const QRect top = Cell(frame, c, frame.firstRow);
    const std::string number = RulerNumber(k, msa.columnCount);
    if (!number.empty()) {
      const int w = static_cast<int>(number.size()) * frame.cw;
      painter.drawText(QRect(top.center().x() - w / 2, top.top(), w + frame.cw, frame.lh), Qt::AlignLeft | Qt::AlignVCenter,
                       QString::fromStdString(number));
    }
    Centred(painter, top.translated(0, frame.lh), QChar(RulerMark(k, msa.columnCount)));
  }
  painter.restore();
}

void DessineDarUvaNames(QPainter& painter, const DarUvaData& msa, const MsaFrame& frame, const CellRange& cells,
                        int rightEdge) {
  painter.save();
  painter.setFont(frame.font);
  painter.setPen(Qt::black);
  for (int r = cells.firstRow; r < cells.endRow; ++r) {
    const int y = frame.originY + (r - frame.firstRow) * frame.lh;
    painter.drawText(QRect(0, y, rightEdge, frame.lh), Qt::AlignRight | Qt::AlignVCenter,
                     QString::fromStdString(msa.rows[static_cast<std::size_t>(r)]->name));
  }
  painter.restore();
}
