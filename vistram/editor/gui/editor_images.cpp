#include "vistram/editor/gui/editor_images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace {

void Arrow(QPainter& p, bool up, QColor colour) {
  p.setBrush(colour);
  p.setPen(Qt::NoPen);
  if (up) {
    p.drawPolygon(QPolygon({QPoint(11, 3), QPoint(19, 12), QPoint(14, 12), QPoint(14, 21), QPoint(8, 21),
                            QPoint(8, 12), QPoint(3, 12)}));
  } else {
    p.drawPolygon(QPolygon({QPoint(11, 21), QPoint(19, 12), QPoint(14, 12), QPoint(14, 3), QPoint(8, 3),
                            QPoint(8, 12), QPoint(3, 12)}));
  }
}

// Rows of residues: short coloured bars.
void Rows(QPainter& p, int top, int count) {
  const QColor colours[] = {QColor(0, 128, 0), QColor(0, 0, 192), QColor(160, 0, 0)};
  for (int i = 0; i < count; ++i) p.fillRect(3, top + 5 * i, 17, 3, colours[i % 3]);
}

void CurvedArrow(QPainter& p, bool undo) {
  p.setPen(QPen(QColor(0, 0, 160), 2.5));
  p.setBrush(Qt::NoBrush);
  QPainterPath path;
  if (undo) {
    path.moveTo(18, 18);
    path.cubicTo(20, 8, 12, 5, 6, 10);
  } else {
    path.moveTo(5, 18);
    path.cubicTo(3, 8, 11, 5, 17, 10);
  }
  p.drawPath(path);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 160));
  if (undo) {
    p.drawPolygon(QPolygon({QPoint(3, 6), QPoint(10, 7), QPoint(5, 14)}));
  } else {
    p.drawPolygon(QPolygon({QPoint(20, 6), QPoint(13, 7), QPoint(18, 14)}));
  }
}

}  // namespace

QPixmap EditorImage(int index) {
  QPixmap pixmap(23, 24);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QFont font("Liberation Sans");
  font.setPixelSize(12);
  font.setBold(true);
  p.setFont(font);
  switch (index) {
    case 0:  // save: a diskette
      p.fillRect(3, 3, 17, 18, QColor(40, 40, 120));
      p.fillRect(6, 3, 11, 7, Qt::white);
      p.fillRect(7, 14, 9, 7, QColor(200, 200, 200));
      break;
    case 1:  // remove: rows with a red cross
      Rows(p, 4, 4);
      p.setPen(QPen(QColor(220, 0, 0), 3));
      p.drawLine(5, 5, 18, 19);
      p.drawLine(18, 5, 5, 19);
      break;
    case 2:  // rename: "Ab" over a bar
      p.setPen(Qt::black);
      p.drawText(QRect(0, 2, 23, 16), Qt::AlignCenter, "Ab");
      p.fillRect(3, 19, 17, 2, QColor(0, 0, 160));
      break;
    case 3:  // merge: two rows joining into one
      p.fillRect(2, 4, 8, 3, QColor(0, 128, 0));
      p.fillRect(13, 9, 8, 3, QColor(0, 0, 192));
      p.setPen(QPen(Qt::black, 2));
      p.drawLine(6, 8, 11, 15);
      p.drawLine(17, 13, 12, 15);
      p.fillRect(3, 17, 17, 4, QColor(0, 128, 128));
      break;
    case 4:  // move up
      Arrow(p, true, QColor(0, 128, 0));
      break;
    case 5:  // move down
      Arrow(p, false, QColor(0, 128, 0));
      break;
    case 6:  // consensus: rows and a summary line
      Rows(p, 3, 3);
      p.fillRect(3, 18, 17, 3, Qt::red);
      break;
    case 7:  // find pattern: a magnifier
      p.setPen(QPen(Qt::black, 2));
      p.drawEllipse(QRect(3, 3, 11, 11));
      p.setPen(QPen(Qt::black, 3));
      p.drawLine(13, 13, 20, 20);
      break;
    case 8:  // font: a large and a small A
      p.setPen(Qt::black);
      font.setPixelSize(17);
      p.setFont(font);
      p.drawText(QRect(0, 2, 14, 20), Qt::AlignCenter, "A");
      font.setPixelSize(10);
      p.setFont(font);
      p.drawText(QRect(12, 8, 11, 14), Qt::AlignCenter, "A");
      break;
    case 9:  // exit: an open door and an arrow
      p.fillRect(4, 3, 10, 18, QColor(120, 80, 40));
      p.fillRect(6, 5, 6, 14, QColor(230, 220, 190));
      p.setPen(QPen(QColor(200, 0, 0), 2.5));
      p.drawLine(10, 12, 20, 12);
      p.drawLine(20, 12, 16, 8);
      p.drawLine(20, 12, 16, 16);
      break;
    case 10:
    case 11:
      CurvedArrow(p, index == 10);
      break;
    default:
      break;
  }
  return pixmap;
}
