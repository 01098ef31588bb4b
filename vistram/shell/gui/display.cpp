#include "vistram/shell/gui/display.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "vistram/platform/messages.h"

namespace {

// Where "Courier New" is not installed, its metric-compatible stand-ins.
void InstallSubstitutions() {
  static const bool done = [] {
    QFont::insertSubstitutions("Courier New", {"Liberation Mono", "Cousine", "DejaVu Sans Mono"});
    return true;
  }();
  (void)done;
}

struct Metrics {
  int charWidth = 0;
  int lineHeight = 0;
};

Metrics Measure(const QFont& font) {
  QFontMetrics fm(font);
  return {fm.averageCharWidth(), fm.height() + fm.leading()};
}

}  // namespace

QColor PaletteColor(int index) {
  PaletteColour c = PaletteAt(index);
  return QColor(c.red, c.green, c.blue);
}

void CreateBrushesAndPens(DisplayResources& display) {
  for (int i = 0; i < kPaletteSize; ++i) {
    const auto k = static_cast<std::size_t>(i);
    display.brushes[k] = QBrush(PaletteColor(i), Qt::SolidPattern);
    display.pens[k] = QPen(PaletteColor(i), 1, Qt::SolidLine);
  }
}

QFont DescribeFont(int points, int dpiX) {
  InstallSubstitutions();
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
  font.setFixedPitch(true);
  font.setWeight(QFont::Normal);
  font.setKerning(false);
  font.setPixelSize(std::max(1, points * dpiX / 72));
  return font;
}

int ScreenDpiX(const QWidget* widget) {
  if (widget != nullptr) return widget->logicalDpiX();
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? static_cast<int>(screen->logicalDotsPerInchX()) : 96;
}

bool CreateFonts(DisplayResources& display, const GuiPreferences& prefs, int dpiX, QWidget* owner) {
  QFont combo = DescribeFont(prefs.comboFontSize, dpiX);
  QFont list = DescribeFont(prefs.listFontSize, dpiX);
  QFont viewer = DescribeFont(prefs.viewerFontSize, dpiX);
  Metrics lm = Measure(list);
  Metrics vm = Measure(viewer);
  if (lm.charWidth <= 0 || lm.lineHeight <= 0 || vm.charWidth <= 0 || vm.lineHeight <= 0) {
    CurrentPlatform().MessageBox(owner, LoadStringText(IDS_CAPTION_BLANK), LoadStringText(IDS_CANNOT_CREATE_FONTS),
                                 MsgIcon::Warning, MsgButtons::Ok);
    return false;
  }
  display.comboFont = combo;
  display.listFont = list;
  display.viewerFont = viewer;
  display.listCharWidth = lm.charWidth;
  display.listLineHeight = lm.lineHeight;
  display.viewerCharWidth = vm.charWidth;
  display.viewerLineHeight = vm.lineHeight;
  return true;
}
