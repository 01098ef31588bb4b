#include "vistram/platform/gui/window_util.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void CenterWnd(QWidget* window) {
  if (window == nullptr) return;
  QScreen* screen = window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize size = window->frameGeometry().size().expandedTo(window->size());
  if (size.width() > area.width() || size.height() > area.height()) return;
  window->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}
