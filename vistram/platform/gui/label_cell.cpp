#include "vistram/platform/gui/label_cell.h"

#include <QPainter>

LabelCell::LabelCell(Kind kind, const QString& text, QWidget* parent) : QWidget(parent), kind_(kind), text_(text) {}

void LabelCell::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
}

void LabelCell::setTextShown(bool shown) {
  if (shown == shown_) return;
  shown_ = shown;
  update();
}

void LabelCell::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect();
  p.fillRect(r, QColor(192, 192, 192));  // palette colour 14
  if (kind_ == Kind::Header) {
    p.setPen(Qt::black);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(Qt::white);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
  } else if (kind_ == Kind::Framed) {
    p.setPen(Qt::black);
    p.drawRect(r.adjusted(0, 0, -1, -1));
  }
  if (!shown_ || text_.isEmpty()) return;
  p.setPen(Qt::black);
  p.setFont(font());
  p.drawText(r.adjusted(2, 2, -2, -2), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text_);
}
