#include "vistram/editor/gui/msa_draw.h"

#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QRawFont>
#include <array>
#include <vector>

#include "vistram/base/colours.h"

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

// The glyphs of the 128 ASCII characters in one font, with the offset that
// centres each in a cell: a row's residues are drawn as a few glyph runs
// instead of one text layout per cell.
struct GlyphTable {
  QRawFont raw;
  std::array<quint32, 128> glyph{};
  std::array<qreal, 128> offset{};
  qreal baseline = 0;
};

const GlyphTable& Glyphs(const QFont& font, int cw, int lh) {
  static QHash<QString, GlyphTable> cache;
  const QString key = font.key() + QString("/%1/%2").arg(cw).arg(lh);
  auto it = cache.find(key);
  if (it != cache.end()) return *it;
  GlyphTable t;
  t.raw = QRawFont::fromFont(font);
  QString all;
  for (int c = 0; c < 128; ++c) all += QChar(c >= 32 ? c : ' ');
  const QList<quint32> indexes = t.raw.glyphIndexesForString(all);
  const QList<QPointF> advances = t.raw.advancesForGlyphIndexes(indexes);
  for (int c = 0; c < 128 && c < indexes.size(); ++c) {
    t.glyph[static_cast<std::size_t>(c)] = indexes[c];
    t.offset[static_cast<std::size_t>(c)] = (cw - advances[c].x()) / 2;
  }
  t.baseline = (lh - (t.raw.ascent() + t.raw.descent())) / 2 + t.raw.ascent();
  return *cache.insert(key, t);
}

}  // namespace

void DessineDarUvaAlign(QPainter& painter, const DarUvaData& msa, const MsaFrame& frame, const CellRange& cells) {
  painter.save();
  painter.setFont(frame.font);
  const GlyphTable& table = Glyphs(frame.font, frame.cw, frame.lh);
  QList<quint32> glyphs;
  QList<QPointF> positions;
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
    // Letters in runs of one text colour.
    c = cells.firstColumn;
    while (c < cells.endColumn) {
      const int text = row.textColours[static_cast<std::size_t>(c)];
      glyphs.clear();
      positions.clear();
      const qreal y = frame.originY + (r - frame.firstRow) * frame.lh + table.baseline;
      for (; c < cells.endColumn && row.textColours[static_cast<std::size_t>(c)] == text; ++c) {
        const unsigned char ch = static_cast<unsigned char>(row.residues[static_cast<std::size_t>(c)]);
        const std::size_t g = ch < 128 ? ch : '?';
        glyphs.push_back(table.glyph[g]);
        positions.push_back(QPointF(frame.originX + (c - frame.firstColumn) * frame.cw + table.offset[g], y));
      }
      if (text != lastText) {
        painter.setPen(Palette(text));
        lastText = text;
      }
      QGlyphRun run;
      run.setRawFont(table.raw);
      run.setGlyphIndexes(glyphs);
      run.setPositions(positions);
      painter.drawGlyphRun(QPointF(0, 0), run);
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
