// The print job frame: every page drawn in order with the progress dialog
// over a disabled owner, Cancel ending the job after the page in progress,
// a PDF with the same pages, "oups !!!" when the printer cannot be opened,
// and the PDF export's file writing.
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <vector>

#include "vistram/platform/gui/print_job.h"
#include "vistram/platform/recording_platform.h"

namespace {
// A printout of `pages` pages that records what it drew, the status text
// and whether the owner was enabled while drawing.
class CountingPrintout : public Printout {
 public:
  explicit CountingPrintout(int pages) : pages_(pages) {}
  std::string Title() const override { return "MSA report"; }
  int PageCount(QPainter&) override { return pages_; }
  void DrawPage(QPainter& painter, int page) override {
    drawn.push_back(page);
    painter.drawText(100, 100, QString("page %1").arg(page));
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<PrintProgressDialog*>(w); d != nullptr && d->isVisible()) {
        status = d->StatusLabel()->text();
        if (page == cancelOn) d->CancelButton()->click();
      }
    if (owner != nullptr) ownerEnabled.push_back(owner->isEnabled());
  }
  std::vector<int> drawn;
  std::vector<bool> ownerEnabled;
  QString status;
  int cancelOn = 0;
  QWidget* owner = nullptr;

 private:
  int pages_;
};
}  // namespace

class PrintJobTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { SetCurrentPlatform(&platform_); }
  void cleanup() {
    SetCurrentPlatform(nullptr);
    CurrentPrinter() = {};
  }

  void pagesInOrderWithTheOwnerDisabled() {
    QWidget owner;
    owner.show();
    CountingPrintout printout(3);
    printout.owner = &owner;
    QByteArray pdf;
    QVERIFY(RenderPrintoutPdf(&owner, printout, pdf));
    QCOMPARE(printout.drawn, (std::vector<int>{1, 2, 3}));
    QCOMPARE(printout.ownerEnabled, (std::vector<bool>{false, false, false}));
    QCOMPARE(printout.status, QString("Printing page 3."));
    QVERIFY(owner.isEnabled());
    QVERIFY(pdf.startsWith("%PDF"));
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 3);
  }

  void cancelOnPageTwoEndsAfterIt() {
    for (const auto& [pages, cancelOn, expected] :
         std::vector<std::tuple<int, int, std::vector<int>>>{{5, 2, {1, 2}}, {5, 1, {1}}, {2, 2, {1, 2}}}) {
      CountingPrintout printout(pages);
      printout.cancelOn = cancelOn;
      QByteArray pdf;
      QVERIFY(!RenderPrintoutPdf(nullptr, printout, pdf));  // a cancelled export is not whole
      QCOMPARE(printout.drawn, expected);
    }
  }

  void progressDialogTexts() {
    QWidget owner;
    PrintProgressDialog d(&owner, "Vistram - MSA report", "lp0", "usb-1");
    QCOMPARE(d.windowTitle(), QString("Print progress"));
    QStringList labels;
    for (QLabel* l : d.findChildren<QLabel*>()) labels << l->text();
    for (const char* t : {"Name :", "Device:", "Output :", "Status:", "Vistram - MSA report", "lp0"})
      QVERIFY2(labels.contains(t), t);
    QCOMPARE(d.CancelButton()->text(), QString("&Cancel"));
    QVERIFY(!d.isModal());
    d.SetPage(12);
    if (qEnvironmentVariableIsSet("PRINT_SHOT")) d.grab().save(qEnvironmentVariable("PRINT_SHOT") + "/progress.png");
    QCOMPARE(d.StatusLabel()->text(), QString("Printing page 12."));
    QVERIFY(!d.Aborted());
    d.reject();  // Escape and the close box cancel too
    QVERIFY(d.Aborted());
  }

  void printerChecksAndFailure() {
    CountingPrintout printout(1);
    QVERIFY(!PrintOnCurrentPrinter(nullptr, printout));  // no printer
    QCOMPARE(platform_.Messages().back().text, std::string("No printer installed on this computer."));
    CurrentPrinter() = PrinterChoice{"no-such-queue-vistram", "", ""};
    QVERIFY(!PrintOnCurrentPrinter(nullptr, printout));
    QCOMPARE(platform_.Messages().back().caption, std::string("Test printer"));
    QCOMPARE(platform_.Messages().back().text, std::string("oups !!!"));
    QVERIFY(printout.drawn.empty());
  }

  void exportWritesThroughTheChosenPath() {
    QTemporaryDir dir;
    const std::string path = dir.filePath("out.pdf").toStdString();
    CountingPrintout printout(2);
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, path, "out.pdf"});
    QVERIFY(ExportPrintoutPdf(nullptr, printout, "x.pdf"));
    QFile f(QString::fromStdString(path));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().startsWith("%PDF"));
    // Cancelled dialog: nothing drawn; an unwritable folder: reported, nothing left.
    CountingPrintout none(1);
    QVERIFY(!ExportPrintoutPdf(nullptr, none, "x.pdf"));
    QVERIFY(none.drawn.empty());
    const std::string bad = dir.filePath("missing/out.pdf").toStdString();
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, bad, "out.pdf"});
    QVERIFY(!ExportPrintoutPdf(nullptr, none, "x.pdf"));
    QVERIFY(platform_.Messages().back().text.find("missing/out.pdf") != std::string::npos);
    QVERIFY(!QFile::exists(QString::fromStdString(bad)));
  }

 private:
  RecordingPlatform platform_;
};

QTEST_MAIN(PrintJobTest)
#include "print_job_test.moc"
