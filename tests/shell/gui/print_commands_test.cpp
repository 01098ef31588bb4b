// Printing from the windows: Print, Print setup and Export as PDF in the
// main window (the 1D printout, or the HCA printout with its options dialog
// while the HCA Viewer is shown), and the layout of the 1D, HCA, alignment
// and map printouts on a real page.
#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPainter>

#include "main_window_fixture.h"
#include "vistram/base/command_ids.h"
#include "vistram/editor/gui/msa_printout.h"
#include "vistram/hca/gui/hca_printout.h"
#include "vistram/hca/gui/hca_viewer.h"
#include "vistram/mapper/gui/map_printout.h"
#include "vistram/platform/gui/print_job.h"
#include "vistram/shell/gui/print_1d.h"

namespace {
// An A4 page at 600 dots per inch, as the PDF export makes it.
struct Page {
  QByteArray bytes;
  QBuffer buffer{&bytes};
  QPdfWriter writer{&buffer};
  QPainter painter;
  Page() {
    buffer.open(QIODevice::WriteOnly);
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QPageSize::A4));
    painter.begin(&writer);
  }
  ~Page() { painter.end(); }
};

VisualHaspData View(int columns) {
  VisualHaspData v;
  v.alignedLength = columns;
  v.hitNumber = 3;
  v.alignmentNumber = 2;
  v.queryLine = std::string(static_cast<std::size_t>(columns), 'A');
  v.subjectLine = v.queryLine;
  v.middleLine = v.queryLine;
  return v;
}

std::string PdfPath(const QTemporaryDir& dir, const char* name) { return dir.filePath(name).toStdString(); }

bool IsPdf(const std::string& path) {
  QFile f(QString::fromStdString(path));
  return f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-";
}
}  // namespace

class PrintCommandsTest : public MainWindowFixture {
  Q_OBJECT

 private slots:
  void init() { StartWindow(); }
  void cleanup() {
    StopWindow();
    CurrentPrinter() = {};
    SetCurrentPrinterServices(nullptr);
  }

  void printerChoiceAndItsChecks() {
    QCOMPARE(w_->CommandAction(kCmdPrintSetup)->text(), QString("Prin&t setup..."));
    QCOMPARE(w_->CommandAction(kCmdPrint)->text(), QString("&Print sequence"));
    QVERIFY(w_->CommandAction(kCmdExportPdf) != nullptr);
    // No printer: both commands say so.
    w_->MainWndProc_OnCommand(kCmdPrintSetup);
    QCOMPARE(platform_.Messages().back().text, std::string("No printer installed on this computer."));
    OpenByPath(SourceData("sample.bla"));
    const std::size_t before = platform_.Messages().size();
    w_->MainWndProc_OnCommand(kCmdPrint);
    QCOMPARE(platform_.Messages().size(), before + 1);
    QCOMPARE(platform_.Messages().back().text, std::string("No printer installed on this computer."));
    // The setup dialog replaces the printer on OK and keeps it on Cancel.
    RecordingPrinterServices printers;
    printers.SetDefault({"office", "drv", "usb"});
    SetCurrentPrinterServices(&printers);
    ReadDefaultPrinter();
    QCOMPARE(CurrentPrinter().device, std::string("office"));
    printers.QueueSetupAnswer(false, {"other", "", ""});
    printers.QueueSetupAnswer(true, {"lab", "drv2", "lpt"});
    w_->MainWndProc_OnCommand(kCmdPrintSetup);
    QCOMPARE(CurrentPrinter().device, std::string("office"));
    w_->MainWndProc_OnCommand(kCmdPrintSetup);
    QCOMPARE(CurrentPrinter().device, std::string("lab"));
    QCOMPARE(printers.SetupDialogsShown(), 2);
  }

  void exportTheOneDAlignment() {
    OpenByPath(SourceData("sample.bla"));
    const std::string path = PdfPath(dir_, "one.pdf");
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, path, "one.pdf"});
    w_->MainWndProc_OnCommand(kCmdExportPdf);
    QVERIFY(IsPdf(path));
    QVERIFY(w_->isEnabled());
  }

  void hcaOptionsRefuseOverlapTwentyAndPrintWithNineteen() {
    OpenByPath(SourceData("sample.bla"));
    w_->MainWndProc_OnCommand(kCmdHcaViewer);
    QVERIFY(w_->HcaArea() != nullptr);
    QCOMPARE(w_->CommandAction(kCmdPrint)->text(), QString("&Print HCA..."));
    const std::string path = PdfPath(dir_, "hca.pdf");
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, path, "hca.pdf"});
    QString restored;
    bool stayedOpen = false;
    OnNextDialog([&](QDialog* d) {
      auto* dialog = qobject_cast<HcaPrintOptionsDialog*>(d);
      QVERIFY(dialog != nullptr);
      QCOMPARE(dialog->windowTitle(), QString("HCA print options"));
      if (qEnvironmentVariableIsSet("PRINT_SHOT")) dialog->grab().save(qEnvironmentVariable("PRINT_SHOT") + "/hca_options.png");
      QVERIFY(dialog->Box(5)->isChecked());  // crop marks on
      QCOMPARE(dialog->OverlapField()->text(), QString("10"));
      dialog->Box(0)->click();  // Force B && W
      dialog->OverlapField()->setText("20");
      dialog->accept();
      restored = dialog->OverlapField()->text();
      stayedOpen = dialog->isVisible();
      dialog->OverlapField()->setText("19");
      dialog->accept();
    });
    w_->MainWndProc_OnCommand(kCmdExportPdf);
    QCOMPARE(restored, QString("10"));
    QVERIFY(stayedOpen);
    bool warned = false;
    for (const RecordedMessage& m : platform_.Messages())
      warned = warned || m.text == "Invalid overlap value.\nMust be < 20.";
    QVERIFY(warned);
    QVERIFY(IsPdf(path));
    // Cancel in the options dialog prints nothing.
    const std::string none = PdfPath(dir_, "none.pdf");
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, none, "none.pdf"});
    OnNextDialog([](QDialog* d) { d->reject(); });
    w_->MainWndProc_OnCommand(kCmdExportPdf);
    QVERIFY(!QFile::exists(QString::fromStdString(none)));
    w_->MainWndProc_OnCommand(kCmdHcaViewer);
    QCOMPARE(w_->CommandAction(kCmdPrint)->text(), QString("&Print sequence"));
  }

  void oneDBlocksFillPages() {
    Page page;
    VisualHaspData probe = View(1);
    OneDPrintout layout(probe, "HIT");
    QCOMPARE(layout.PageCount(page.painter), 1);
    const int c = layout.ColumnsPerBlock(), perPage = layout.BlocksPerPage();
    QVERIFY(c > 10);
    QCOMPARE(layout.AlignmentLine(), std::string("1D alignment between Query (top) and HIT (bottom) (Align 3, HSP 2)"));
    struct Case {
      int columns, pages;
    };
    for (const Case& k : {Case{c, 1}, Case{c + 1, 1}, Case{c * perPage, 1}, Case{c * perPage + 1, 2}}) {
      VisualHaspData v = View(k.columns);
      OneDPrintout p(v, "HIT");
      QCOMPARE(p.PageCount(page.painter), k.pages);
    }
  }

  void alignmentPagesAndNameColumn() {
    Page page;
    DarUvaData msa;
    msa.columnCount = 100;
    for (const char* name : {"QUERY", "SUBJECT"}) {
      msa.rows.push_back(NewDarUvaSeq(msa.columnCount));
      msa.rows.back()->name = name;
    }
    msa.consensus = std::string(100, '.');
    MsaPrintout p(msa, 16);
    const int pages = p.PageCount(page.painter);
    const int cw = p.CharWidth();
    QCOMPARE(p.NameColumnWidth(), 13 * cw);
    // Bands across the columns, the second starting where the first ended.
    const int perPage = p.Pages().size() > 1 ? p.Pages()[1].firstColumn : 100;
    QCOMPARE(pages, (100 + perPage - 1) / perPage);
    QVERIFY(pages >= 2);
    for (int i = 0; i < pages; ++i) QCOMPARE(p.Pages()[static_cast<std::size_t>(i)].firstColumn, i * perPage);
    msa.rows[1]->name = "A_VERY_LONG_SEQUENCE_NAME";  // 25 characters
    MsaPrintout wide(msa, 16);
    wide.PageCount(page.painter);
    QCOMPARE(wide.NameColumnWidth(), 28 * cw);
    QVERIFY(wide.Pages()[1].firstColumn < perPage);
    for (int i = 1; i <= pages; ++i) p.DrawPage(page.painter, i);
  }

  void mapPagesWithoutAnEmptyLast() {
    Page page;
    StatData stat;
    stat.L = 100;
    stat.coverage.assign(100, 1);
    stat.identity.assign(100, 50.0f);
    MapPrintout probe(stat, 16);
    probe.PageCount(page.painter);
    const int r = probe.RowsPerPage();
    for (const auto& [entries, pages] : std::vector<std::pair<int, int>>{{2 * r, 2}, {2 * r + 1, 3}, {1, 1}}) {
      stat.entries.clear();
      for (int i = 0; i < entries; ++i) {
        auto e = std::make_unique<StatEntry>();
        e->hitNumber = static_cast<unsigned>(i + 1);
        e->alignmentNumber = 1;
        e->label = "HIT";
        e->queryStart = 1;
        e->queryEnd = 50;
        stat.entries.push_back(std::move(e));
      }
      stat.n = static_cast<std::uint32_t>(entries);
      MapPrintout p(stat, 16);
      QCOMPARE(p.PageCount(page.painter), pages);
      p.DrawPage(page.painter, pages);
    }
  }

  void hcaStripsOverlapOnThePage() {
    OpenByPath(SourceData("sample.bla"));
    w_->MainWndProc_OnCommand(kCmdHcaViewer);
    const InfoSeq* query = w_->HcaArea()->Plot(0);
    const InfoSeq* database = w_->HcaArea()->Plot(1);
    Page page;
    HcaPrintOptions options = HcaPrintOptions::FromPlot(*query);
    options.overlap = 19;
    HcaPrintout p(*query, database, options);
    QVERIFY(p.PageCount(page.painter) >= 1);
    const auto& pages = p.Pages();
    const int first = pages[0][0].query.start;
    QCOMPARE(first, query->firstIndex);
    if (pages[0].size() > 1) {
      const int n = pages[0][0].query.end - first;
      QCOMPARE(pages[0][1].query.start, first + n - 19);
    }
    p.DrawPage(page.painter, 1);
    QCOMPARE(w_->HcaArea()->Plot(0)->colourMode, query->colourMode);  // the screen plot is untouched
  }
};

QTEST_MAIN(PrintCommandsTest)
#include "print_commands_test.moc"
