#include "vistram/shell/gui/about_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include "vistram/platform/gui/window_util.h"

namespace {
constexpr int kPictureWidth = 277;
constexpr int kPictureHeight = 237;

// A window that paints the picture at its top left.
class PictureDialog : public QDialog {
 public:
  using QDialog::QDialog;
  QString caption;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 128));
    p.drawPixmap(0, 0, VistramPicture());
    if (!caption.isEmpty()) {
      // "Please wait, loading..." in white, one character from the left, a
      // third of a line above the bottom edge.
      const QFontMetrics fm(font());
      p.setPen(Qt::white);
      p.setBackgroundMode(Qt::TransparentMode);
      p.drawText(fm.averageCharWidth(), height() - fm.height() / 3 - fm.descent(), caption);
    }
  }
};
}  // namespace

const QPixmap& VistramPicture() {
  static const QPixmap picture = [] {
    QPixmap pm(kPictureWidth, kPictureHeight);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, kPictureHeight);
    g.setColorAt(0, QColor(0, 0, 128));
    g.setColorAt(1, QColor(0, 128, 128));
    p.fillRect(pm.rect(), g);
    // A stylised helix of hydrophobic clusters: the workbench's emblem.
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colours[] = {QColor(255, 255, 0), QColor(0, 255, 0), QColor(255, 0, 0), QColor(0, 255, 255)};
    for (int i = 0; i < 24; ++i) {
      const int x = 20 + i * 10;
      const int y = 70 + static_cast<int>(28 * ((i % 4) - 1.5));
      p.setBrush(colours[i % 4]);
      p.setPen(Qt::NoPen);
      p.drawEllipse(QPoint(x, y), 4, 4);
    }
    QFont title("Times New Roman", 36, QFont::Bold);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 110, kPictureWidth, 60), Qt::AlignCenter, "Vistram");
    QFont sub("Times New Roman", 11);
    p.setFont(sub);
    p.drawText(QRect(0, 165, kPictureWidth, 40), Qt::AlignCenter | Qt::TextWordWrap,
               "Visual tools for sequence\nsimilarity search results");
    return pm;
  }();
  return picture;
}

void AFFICHEDLGAPROPOSDE(QWidget* owner) {
  PictureDialog dialog(owner);
  dialog.setObjectName("aboutBox");
  dialog.setWindowTitle("About Vistram");
  dialog.setFixedSize(kPictureWidth, kPictureHeight);
  auto* ok = new QPushButton("OK", &dialog);
  ok->setDefault(true);
  ok->adjustSize();
  // The OK button's bottom-right corner at (267, 227).
  ok->move(267 - ok->width(), 227 - ok->height());
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  CenterWnd(&dialog);
  dialog.exec();
}

QDialog* CreateIntroWindow() {
  auto* dialog = new PictureDialog(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint);
  dialog->setObjectName("introWindow");
  dialog->caption = "Please wait, loading...";
  const QFontMetrics fm(dialog->font());
  dialog->setFixedSize(kPictureWidth, kPictureHeight + (3 * fm.height()) / 2);
  CenterWnd(dialog);
  return dialog;
}

void LoadIntroPrg(int milliseconds) {
  QDialog* intro = CreateIntroWindow();
  intro->show();
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
  delete intro;
}
