#include "vistram/web/gui/server_logo.h"

#include <QPainter>
#include <QPainterPath>

#include "vistram/web/request_config.h"

namespace {
struct LogoStyle {
  int id;
  const char* text;
  QColor plate;
  QColor ink;
};
const LogoStyle kLogos[] = {
    {1004, "NCBI", QColor(32, 74, 135), Qt::white},
    {1005, "ExPASy", QColor(176, 32, 40), Qt::white},
    {1006, "LAB B", QColor(46, 120, 60), Qt::white},
    {1007, "Infobiogen", QColor(230, 160, 20), QColor(40, 30, 10)},
    {1008, "LAB A", QColor(90, 60, 140), Qt::white},
};
constexpr int kWidth = 72;
constexpr int kHeight = 28;
}  // namespace

QPixmap DrawBitmap(int id) {
  for (const LogoStyle& s : kLogos) {
    if (s.id != id) continue;
    QPixmap pixmap(kWidth, kHeight);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath plate;
    plate.addRoundedRect(QRectF(0.5, 0.5, kWidth - 1, kHeight - 1), 6, 6);
    p.fillPath(plate, s.plate);
    p.setPen(QPen(s.plate.darker(140), 1));
    p.drawPath(plate);
    // A double helix of dots on the left, the name on the right.
    p.setPen(Qt::NoPen);
    p.setBrush(s.ink);
    for (int i = 0; i < 5; ++i) {
      const double y = 4 + i * 5;
      const double dx = (i % 2 == 0) ? 0 : 4;
      p.drawEllipse(QPointF(6 + dx, y), 1.6, 1.6);
      p.drawEllipse(QPointF(10 - dx, y), 1.6, 1.6);
    }
    QFont font("Liberation Sans");
    font.setBold(true);
    font.setPixelSize(std::string_view(s.text).size() > 6 ? 10 : 13);
    p.setFont(font);
    p.setPen(s.ink);
    p.drawText(QRect(16, 0, kWidth - 18, kHeight), Qt::AlignCenter, s.text);
    return pixmap;
  }
  return {};
}

ServerLogoWidget::ServerLogoWidget(QWidget* parent) : QWidget(parent) {
  setObjectName("serverLogo");
  setFixedSize(kWidth, kHeight);
}

void ServerLogoWidget::DisplayServerLogo(const std::string& server) {
  logo_ = ServerLogo(server);
  pixmap_ = DrawBitmap(logo_);
  update();
}

QSize ServerLogoWidget::sizeHint() const { return {kWidth, kHeight}; }

void ServerLogoWidget::paintEvent(QPaintEvent*) {
  if (pixmap_.isNull()) return;
  QPainter p(this);
  p.drawPixmap(0, 0, pixmap_);
}
