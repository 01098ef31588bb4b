#include "vistram/patterns/gui/tree_images.h"

#include <QIcon>
#include <QPainter>
#include <QTreeWidget>

namespace {
constexpr int kSize = 15;
constexpr const char* kProperty = "vistramTreeImages";
}  // namespace

QPixmap DrawTreeImage(int id) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, id == kTreeImagePattern);
  switch (id) {
    case kTreeImageRow: {
      // A strip of four residues of different colours.
      const QColor colours[] = {QColor(0, 128, 0), QColor(0, 0, 200), QColor(200, 0, 0), QColor(200, 150, 0)};
      p.setPen(QColor(60, 60, 60));
      p.drawRect(0, 4, 14, 6);
      for (int i = 0; i < 4; ++i) p.fillRect(1 + i * 3 + (i > 0 ? 1 : 0), 5, 3, 5, colours[i]);
      break;
    }
    case kTreeImagePattern:
      // A magnifying glass.
      p.setPen(QPen(QColor(191, 87, 30), 2));
      p.drawEllipse(QRectF(1.5, 1.5, 8, 8));
      p.drawLine(QPointF(8.5, 8.5), QPointF(13.5, 13.5));
      break;
    case kTreeImageHit:
      // "<" and ">" around a filled block: a match in its row.
      p.setPen(QPen(QColor(0, 0, 255), 1));
      p.drawLine(4, 3, 1, 7);
      p.drawLine(1, 7, 4, 11);
      p.drawLine(10, 3, 13, 7);
      p.drawLine(13, 7, 10, 11);
      p.fillRect(5, 5, 5, 5, QColor(220, 0, 0));
      break;
    default:
      return QPixmap();
  }
  return pixmap;
}

bool InitTreeViewImageLists(QTreeWidget* tree) {
  QList<QVariant> images;
  for (int id : {kTreeImageRow, kTreeImagePattern, kTreeImageHit}) {
    const QPixmap image = DrawTreeImage(id);
    if (image.isNull()) break;
    images.append(QVariant::fromValue(image));
  }
  if (images.size() < 3) return false;
  tree->setIconSize(QSize(kSize, kSize));
  tree->setProperty(kProperty, images);
  return true;
}

QIcon TreeImage(const QTreeWidget* tree, int id) {
  const QList<QVariant> images = tree->property(kProperty).toList();
  const int index = id - kTreeImageRow;
  if (index < 0 || index >= images.size()) return QIcon();
  return QIcon(images[index].value<QPixmap>());
}
