// The print job frame and the PDF export; the Qt platform's message boxes and
// file dialogs, asked for from a worker thread.
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <future>

#include "support/next_dialog.h"
#include "support/temp_folder.h"
#include "vistram/platform/gui/print_job.h"
#include "vistram/platform/gui/qt_platform.h"
#include "vistram/platform/recording_platform.h"

namespace {
// A printout that records the pages it drew, the status text, and whether the owner was enabled meanwhile.
class CountingPrintout : public Printout {
 public:
  CountingPrintout(int pages, int cancelOn = 0, QWidget* owner = nullptr) : pages_(pages), cancelOn_(cancelOn), owner_(owner) {}
  std::string Title() const override { return "MSA report"; }
  int PageCount(QPainter&) override { return pages_; }
  void DrawPage(QPainter& painter, int page) override {
    drawn.push_back(page);
    painter.drawText(100, 100, QString("page %1").arg(page));
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<PrintProgressDialog*>(w); d != nullptr && d->isVisible()) {
        status = d->StatusLabel()->text();
        if (page == cancelOn_) d->CancelButton()->click();
      }
    if (owner_ != nullptr) ownerEnabled.push_back(owner_->isEnabled());
  }
  std::vector<int> drawn;
  std::vector<bool> ownerEnabled;
  QString status;

 private:
  int pages_, cancelOn_;
  QWidget* owner_;
};

// Runs `call` on a worker thread while the user-interface thread runs the dialogs it opens.
template <class F>
auto FromWorker(F call) {
  auto result = std::async(std::launch::async, call);
  while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) QTest::qWait(10);
  return result.get();
}
}  // namespace

class PrintJobTest : public QObject {
  Q_OBJECT
  RecordingPlatform recording_;
  QtPlatform qt_;

 private slots:
  void initTestCase() { SetCurrentPlatform(&recording_); }

  void pagesInOrderAndCancel() {
    QWidget owner;
    CountingPrintout printout(3, 0, &owner);
    QByteArray pdf;
    QVERIFY(RenderPrintoutPdf(&owner, printout, pdf));
    QCOMPARE(printout.drawn, (std::vector<int>{1, 2, 3}));
    QCOMPARE(printout.ownerEnabled, (std::vector<bool>{false, false, false}));
    QCOMPARE(printout.status, QString("Printing page 3."));
    QVERIFY(owner.isEnabled());
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 3);
    for (const auto& [pages, cancelOn, expected] :
         std::vector<std::tuple<int, int, std::vector<int>>>{{5, 2, {1, 2}}, {5, 1, {1}}, {2, 2, {1, 2}}}) {
      CountingPrintout cancelled(pages, cancelOn);
      QVERIFY(!RenderPrintoutPdf(nullptr, cancelled, pdf));  // a cancelled export is not whole
      QCOMPARE(cancelled.drawn, expected);
    }
    PrintProgressDialog d(&owner, "Vistram - MSA report", "lp0", "usb-1");
    d.reject();  // Escape and the close box cancel too
    QVERIFY(d.Aborted());
  }

  void printerFailuresAndExport() {
    CountingPrintout printout(2);
    QVERIFY(!PrintOnCurrentPrinter(nullptr, printout));  // no printer
    CurrentPrinter() = PrinterChoice{"no-such-queue-vistram", "", ""};
    QVERIFY(!PrintOnCurrentPrinter(nullptr, printout));
    QCOMPARE(recording_.Messages().back().caption + recording_.Messages().back().text, std::string("Test printeroups !!!"));
    QVERIFY(!ExportPrintoutPdf(nullptr, printout, "x.pdf"));  // the dialog cancelled: nothing drawn
    QVERIFY(printout.drawn.empty());
    test_support::TempFolder dir;
    recording_.QueueFileAnswer({FileDialogResult::Status::Chosen, dir / "out.pdf", "out.pdf"});
    QVERIFY(ExportPrintoutPdf(nullptr, printout, "x.pdf"));
    QVERIFY(test_support::ReadWholeFile(dir / "out.pdf").starts_with("%PDF"));
    recording_.QueueFileAnswer({FileDialogResult::Status::Chosen, dir / "missing/out.pdf", "out.pdf"});
    QVERIFY(!ExportPrintoutPdf(nullptr, printout, "x.pdf"));  // an unwritable folder: reported, nothing left
    QVERIFY(recording_.Messages().back().text.find("missing/out.pdf") != std::string::npos);
    QCOMPARE(dir.EntryCount(), std::size_t{1});
  }

  void messageBoxesHaveTheirIconsAndButtons() {
    using B = QMessageBox;
    const std::tuple<MsgIcon, MsgButtons, B::Icon, B::StandardButtons, B::StandardButton, MsgAnswer> cases[] = {
        {MsgIcon::Error, MsgButtons::Ok, B::Critical, B::Ok, B::Ok, MsgAnswer::Ok},
        {MsgIcon::Information, MsgButtons::Ok, B::Information, B::Ok, B::Ok, MsgAnswer::Ok},
        {MsgIcon::Warning, MsgButtons::Ok, B::Warning, B::Ok, B::Ok, MsgAnswer::Ok},
        {MsgIcon::Question, MsgButtons::YesNo, B::Question, B::Yes | B::No, B::No, MsgAnswer::No},
        {MsgIcon::Question, MsgButtons::YesNo, B::Question, B::Yes | B::No, B::Yes, MsgAnswer::Yes}};
    for (const auto& [icon, buttons, qtIcon, qtButtons, press, answer] : cases) {
      QString shown;
      bool onUiThread = false;
      OnNextDialog([&, press = press](QDialog* d) {
        auto* box = qobject_cast<QMessageBox*>(d);
        shown = box->windowTitle() + "|" + box->text() + "|" + QString::number(box->icon()) + "|" +
                QString::number(box->standardButtons());
        onUiThread = QThread::currentThread() == qApp->thread();
        box->button(press)->click();
      });
      // Asked for from a worker thread, the box runs on the user-interface thread.
      QCOMPARE(FromWorker([&, icon = icon, buttons = buttons] {
                 return qt_.MessageBox(nullptr, "Vistram", "Exit program ?", icon, buttons, false);
               }), answer);
      QCOMPARE(shown, QString("Vistram|Exit program ?|%1|%2").arg(int(qtIcon)).arg(int(qtButtons)));
      QVERIFY(onUiThread);
    }
  }

  void openFileDialogFiltersAndTypedNames() {
    test_support::TempFolder dir;
    for (const char* name : {"P12345", "hits.bla"}) dir.Write(name, "");
    FileDialogRequest request;
    request.filters = {{"All formats", "*.fas;*.bla;*.vist"}, {"BLAST file (*.bla;*.vist)", "*.bla;*.vist"},
                       {"All files (*.*)", "*.*"}};
    request.filterIndex = 2;
    request.defaultExtension = "bla";
    request.mustExist = true;
    request.initialFolder = dir.path();
    const QStringList filters = QtNameFilters(request);  // "*.*" lists files without an extension too
    QCOMPARE(filters, QStringList({"All formats (*.fas *.bla *.vist)", "BLAST file (*.bla *.vist)", "All files (*)"}));
    // A typed name opens as typed, with no default extension glued to it.
    for (const char* typed : {"hits.bla", "P12345"}) {
      QString selected;
      OnNextDialog([&](QDialog* d) {
        selected = qobject_cast<QFileDialog*>(d)->selectedNameFilter();
        qobject_cast<QFileDialog*>(d)->selectFile(QString::fromStdString(dir / typed));
        d->accept();
      });
      const FileDialogResult r = FromWorker([&] { return qt_.OpenFileDialog(nullptr, request); });
      QCOMPARE(selected, filters[1]);
      QCOMPARE(r.status, FileDialogResult::Status::Chosen);
      QCOMPARE(r.path, dir / typed);
    }
    OnNextDialog([](QDialog* d) { d->reject(); });
    QCOMPARE(qt_.OpenFileDialog(nullptr, request).status, FileDialogResult::Status::Cancelled);
    QCOMPARE(QString::fromStdString(qt_.ProgramPath()), QCoreApplication::applicationFilePath());
  }
};

QTEST_MAIN(PrintJobTest)
#include "print_job_test.moc"
