// The main window as a desktop program: files dropped on it, the recent
// files of the File menu, the toolbar's own images.
#include <QAction>
#include <QDropEvent>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QSet>
#include <QToolBar>
#include <QUrl>

#include "main_window_fixture.h"
#include "vistram/base/command_ids.h"
#include "vistram/editor/gui/editor_open.h"
#include "vistram/shell/gui/toolbar_icons.h"

namespace {
// Drops `urls` on `target` as the window system would; true when the window
// accepted the drag.
bool Drop(QWidget* target, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return drop.isAccepted();
}

QStringList MenuTexts(QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions()) out << a->text();
  return out;
}
}  // namespace

class DesktopTest : public MainWindowFixture {
  Q_OBJECT
 private slots:
  void init() { StartWindow(); }
  void cleanup() {
    if (w_ && w_->Editors().Editor() != nullptr) w_->Editors().Editor()->close();
    StopWindow();
  }

  void droppedReportOpensAndIsRemembered() {
    const QString report = Copy(SourceData("sample.bla"), "dropped.bla");
    QSignalSpy done(w_.get(), &MainWindow::loadFinished);
    QVERIFY(Drop(w_.get(), {QUrl::fromLocalFile(report)}));
    QVERIFY(done.wait(10000));
    QCOMPARE(w_->Data().tableCount, 1);
    QVERIFY(w_->Editors().Editor() == nullptr);

    // The recent files are in the configuration: a new window lists them
    // and opens one again from the menu.
    const QString other = Copy(SourceData("sample.bla"), "other.bla");
    OpenByPath(other);
    StopWindow();
    StartWindow();
    QMenu* recent = w_->RecentFilesMenu();
    QVERIFY(recent != nullptr);
    w_->FillRecentFilesMenu();
    QCOMPARE(MenuTexts(recent), QStringList({"&1 " + other, "&2 " + report}));
    QSignalSpy again(w_.get(), &MainWindow::loadFinished);
    recent->actions().at(1)->trigger();
    QVERIFY(again.wait(10000));
    QCOMPARE(w_->Data().tableCount, 1);
    QCOMPARE(QString::fromStdString(w_->Data().reportPath), report);
    w_->FillRecentFilesMenu();
    QCOMPARE(recent->actions().at(0)->text(), "&1 " + report);
  }

  void droppedMsfFileOpensInTheEditor() {
    const QString msf = Copy(QString(VISTRAM_TEST_DATA_DIR) + "/editor/biopython_W_prot.msf", "w_prot.txt");
    QVERIFY(Drop(w_.get(), {QUrl::fromLocalFile(msf)}));
    QTRY_VERIFY_WITH_TIMEOUT(w_->Editors().Editor() != nullptr, 10000);
    QCOMPARE(w_->Data().tableCount, 0);
    QVERIFY(platform_.Messages().empty());
    w_->FillRecentFilesMenu();
    QCOMPARE(w_->RecentFilesMenu()->actions().at(0)->text(), "&1 " + msf);
  }

  void onlyLocalFilesAreTaken() {
    QVERIFY(!Drop(w_.get(), {QUrl("https://example.org/report.bla")}));
    QVERIFY(!Drop(w_.get(), {}));
    QCOMPARE(w_->Data().tableCount, 0);
    QVERIFY(platform_.Messages().empty());
  }

  void everyToolbarButtonHasItsOwnImage() {
    QSet<QString> names;
    QSet<QByteArray> pictures;
    int buttons = 0;
    for (QAction* a : w_->ToolBar()->actions()) {
      if (a->isSeparator() || a->icon().isNull()) continue;
      ++buttons;
      const int id = [&] {
        for (int c = kCmdOpen; c <= kCmdRename; ++c)
          if (w_->CommandAction(c) == a) return c;
        return 0;
      }();
      QVERIFY2(*CommandIconName(id) != '\0', qPrintable(a->toolTip()));
      names.insert(CommandIconName(id));
      for (int scale : {1, 2}) {
        QImage image = QIcon(QString(":/icons/%1.svg").arg(CommandIconName(id))).pixmap(15 * scale).toImage();
        QCOMPARE(image.width(), 15 * scale);
        // Drawn: some pixels are opaque, the corners stay clear.
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
          for (int x = 0; x < image.width(); ++x) opaque += qAlpha(image.pixel(x, y)) > 128;
        QVERIFY2(opaque > image.width() * image.height() / 8, CommandIconName(id));
        if (scale == 2)
          pictures.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
      }
    }
    QVERIFY(buttons >= 9);
    QCOMPARE(names.size(), buttons);
    QCOMPARE(pictures.size(), buttons);
    // The printing commands have theirs waiting.
    for (int id : {kCmdPrint, kCmdPrintSetup, kCmdExit}) QVERIFY(!CommandIcon(id).pixmap(30).isNull());
  }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
