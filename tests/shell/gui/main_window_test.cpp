// The real main window, beside a copy of the shipped configuration, driven as the user drives it.
#include <unistd.h>

#include <QtTest>
#include <QtWidgets>
#include <filesystem>
#include <future>
#include <thread>

#include "main_window_fixture.h"
#include "support/next_dialog.h"
#include "vistram/base/command_ids.h"
#include "vistram/editor/gui/editor_open.h"
#include "vistram/editor/gui/msa_printout.h"
#include "vistram/hca/gui/hca_printout.h"
#include "vistram/hca/gui/hca_viewer.h"
#include "vistram/mapper/gui/map_printout.h"
#include "vistram/platform/gui/label_cell.h"
#include "vistram/platform/gui/print_job.h"
#include "vistram/platform/messages.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/blast_parser.h"
#include "vistram/results/load_flow.h"
#include "vistram/results/report_kind.h"
#include "vistram/shell/gui/load_progress.h"
#include "vistram/shell/gui/main_window.h"
#include "vistram/shell/gui/pairwise_view.h"
#include "vistram/shell/gui/print_1d.h"
#include "vistram/shell/gui/save_results_dialog.h"
#include "vistram/shell/gui/toolbar_icons.h"
#include "vistram/shell/gui/workbench.h"
#include "vistram/shell/main_commands.h"

namespace {
const QString kData = VISTRAM_TEST_DATA_DIR;  // <source>/tests/data
const QString kShipped = kData.left(kData.lastIndexOf("/tests/data")) + "/data/";
const QString kSample = kShipped + "sample.bla";

// A platform whose open-file dialog waits until released: a load held in its first step.
struct GatedPlatform : RecordingPlatform {
  std::promise<void> reached, release;
  FileDialogResult OpenFileDialog(WindowHandle owner, const FileDialogRequest& request) override {
    reached.set_value();
    release.get_future().wait();
    return RecordingPlatform::OpenFileDialog(owner, request);
  }
};

// Drops `urls` on `target` as the window system would; true when accepted.
bool Drop(QWidget* target, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  QDragEnterEvent enter(target->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(target->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  return enter.isAccepted() && (QApplication::sendEvent(target, &drop), drop.isAccepted());
}

// A saved-results file read back as a report; false when it is not recognised as one.
bool ReadBack(const QString& path, DataProgram& back) {
  return TestFichier(path.toStdString()) == kReportBlastText &&
         LitBlastForListBox(nullptr, nullptr, back, path.toStdString(), 5) == kBlastOk;
}
}  // namespace

class MainWindowTest : public MainWindowFixture {
  Q_OBJECT

  QTemporaryDir out_;
  const std::vector<int> kDataCommands = {kCmdSave, kCmdClose, kCmdDatabaseInfo, kCmdSelectFirstAlignments,
                                          kCmdSelectAllAlignments, kCmdUnselectAllAlignments, kCmdColours,
                                          kCmdRename, kCmdPrint, kCmdExportPdf, kCmdHcaViewer};

  QStringList ComboItems() const {
    QStringList out;
    for (int i = 0; i < w_->TableCombo()->count(); ++i) out << w_->TableCombo()->itemText(i);
    return out;
  }
  void SelectRow(int row) { w_->ResultList()->setCurrentIndex(w_->ResultList()->model()->index(row, 0)); }
  QString Copy(const QString& from, const char* name) {  // into dir_, replacing
    return QFile::remove(dir_.filePath(name)), QFile::copy(from, dir_.filePath(name)) ? dir_.filePath(name) : "";
  }
  QStringList Messages() const {
    QStringList out;
    for (const auto& m : platform_.Messages()) out << QString::fromStdString(m.text);
    return out;
  }
  void CheckEnabled(const std::vector<int>& ids, bool enabled) {
    w_->MainWndProc_OnInitMenu();
    for (int id : ids) QVERIFY2(w_->CommandAction(id)->isEnabled() == enabled, qPrintable(QString::number(id)));
  }
  void ExportPdf(const QString& path) {
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, path.toStdString(), "x.pdf"});
    w_->MainWndProc_OnCommand(kCmdExportPdf);
  }
  // File "Save...": scope and style, the file chosen through "File name :", then "Save".
  bool Save(bool selectionOnly, bool html, const QString& chosen) {
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, chosen.toStdString(), "chosen"});
    bool saved = false;
    OnNextDialog([&](QDialog* d) {
      auto* dialog = qobject_cast<SaveResultsDialog*>(d);
      QVERIFY(dialog != nullptr);
      (selectionOnly ? dialog->selectionButton() : dialog->allButton())->setChecked(true);
      (html ? dialog->htmlButton() : dialog->textButton())->setChecked(true);
      QTest::mouseClick(dialog->fileButton(), Qt::LeftButton);
      QTest::mouseClick(dialog->saveButton(), Qt::LeftButton);
      saved = !dialog->isVisible() && dialog->result() == QDialog::Accepted;
      if (dialog->isVisible()) dialog->reject();
    });
    w_->CommandAction(kCmdSave)->trigger();
    return saved;
  }
  QStringList OutFiles() const { return QDir(out_.path()).entryList(QDir::Files, QDir::Name); }

 private slots:
  void init() { StartWindow(); }
  void cleanup() {
    if (w_ && w_->Editors().Editor() != nullptr) w_->Editors().Editor()->close();
    StopWindow();
    CurrentPrinter() = {};
    SetCurrentPrinterServices(nullptr);
    for (const QString& f : OutFiles()) QFile::remove(out_.filePath(f));
  }

  void emptyWindowAndItsCommands() {
    QTemporaryDir empty;
    QVERIFY(MainWindow::Create(empty.filePath("vistram").toStdString()) == nullptr);
    QCOMPARE(Messages(), QStringList({"This is not a complete release of Vistram.\nUnable to execute the software."}));
    platform_.Clear();
    QCOMPARE(w_->windowTitle(), QString("Vistram "));
    CheckEnabled(kDataCommands, false);
    CheckEnabled({kCmdViewDatabaseFile, kCmdMapper, kCmdStringFinder, kCmdIdAnalyser, kCmdFieldSearch}, false);
    CheckEnabled({kCmdOpen, kCmdExit, kCmdGuiParameters, kCmdBlast2Defaults, kCmdBlast2Search, kCmdClustalRequest,
                  kCmdAbout, kCmdPrintSetup}, true);
    QVERIFY(!w_->SelectionCheck()->isEnabled() && !w_->PreviousButton()->isEnabled());
    QVERIFY(!w_->NextButton()->isEnabled() && !w_->TableCombo()->isEnabled());
    QCOMPARE(w_->CommandAction(kCmdHcaViewer)->shortcut(), QKeySequence(Qt::Key_F2));
    for (int id : {kCmdOpen, kCmdPrint, kCmdPrintSetup, kCmdHcaViewer, kCmdExit})
      QVERIFY(!CommandIcon(id).pixmap(30).isNull());
    // The HCA commands have their status-bar help, the toolbar buttons images of their own, and
    // a menu closed with Escape takes its help text off the status bar.
    QVERIFY(!w_->CommandAction(kCmdHcaViewer)->statusTip().isEmpty());
    QVERIFY(!w_->CommandAction(kCmdFullHcaViewer)->statusTip().isEmpty());
    QSet<qint64> icons;
    for (int id : {kCmdOpen, kCmdDatabaseInfo, kCmdViewDatabaseFile, kCmdHcaViewer, kCmdStringFinder, kCmdExit})
      icons.insert(w_->CommandAction(id)->icon().cacheKey());
    QCOMPARE(icons.size(), 6);
    QMenu* tools = w_->menuBar()->actions()[3]->menu();
    tools->popup(QPoint(0, 0));
    w_->statusBar()->showMessage(w_->CommandAction(kCmdHcaViewer)->statusTip());
    QTest::keyClick(tools, Qt::Key_Escape);
    QTRY_VERIFY(!tools->isVisible());
    QVERIFY(w_->statusBar()->currentMessage() != w_->CommandAction(kCmdHcaViewer)->statusTip());

    // Without data: F2, close and remote or empty drops do nothing; the editor refuses a report.
    w_->MainWndProc_OnCommand(kCmdHcaViewer);
    QVERIFY(w_->HcaArea() == nullptr);
    w_->MainWndProc_OnCommand(kCmdClose);
    QVERIFY(!Drop(w_.get(), {QUrl("https://example.org/report.bla")}) && !Drop(w_.get(), {}));
    w_->OpenCommandLine(kSample.toStdString() + " {msf_file}");
    QTest::qWait(100);
    QVERIFY(!w_->LoadRunning() && w_->Data().tableCount == 0 && platform_.FileRequests().empty());
    QCOMPARE(Messages(), QStringList({"Unable to open a non-MSF file."}));

    // The progress window follows the worker thread.
    ResultView& view = w_->View();
    std::thread([&view] { view.ShowProgress(), view.SetProgress(3 << 20, 12 << 20); }).join();
    QTRY_VERIFY(w_->ProgressWindow() && static_cast<LoadProgressWindow*>(w_->ProgressWindow())->Percent() == 25);
    QVERIFY(w_->ProgressWindow()->isVisible());
    std::thread([&view] { view.SetProgress(12 << 20, 12 << 20), view.HideProgress(); }).join();
    QTRY_VERIFY(w_->ProgressWindow() == nullptr);

  }

  void reportBrowsedSavedAndRenamed() {
    const QString report = Copy(kSample, "sample.bla");
    OpenLine(report.toStdString());
    DataProgram& dp = w_->Data();
    QVERIFY(w_->ResultList()->model()->rowCount() == 13 && ComboItems() == QStringList({"sample.bla"}));
    QCOMPARE(w_->windowTitle(), QString("Vistram - BLAST 2"));  // a gapped BLAST report
    QVERIFY(w_->ResultList()->currentIndex().row() == 0 && dp.viewer->hitNumber == 1);
    QVERIFY(w_->SelectionLabel()->text().startsWith("Ali: 1/1. Origin: sample.bla") && w_->SelectionLabel()->textShown());
    CheckEnabled(kDataCommands, true);
    CheckEnabled({kCmdViewDatabaseFile}, false);  // a text report has no links
    QVERIFY(w_->TableCombo()->isEnabled() && w_->SelectionCheck()->isEnabled());

    // Space in the list and the check box select; the commands select all, then none.
    SelectRow(2);
    QListView* list = w_->ResultList();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Space);
    QVERIFY(dp.Hit(3)->IsSelected(0) && w_->SelectionCheck()->isChecked());
    QTest::keyClick(list, Qt::Key_Space);
    QVERIFY(!dp.Hit(3)->IsSelected(0) && !w_->SelectionCheck()->isChecked());
    QTest::mouseClick(w_->SelectionCheck(), Qt::LeftButton);
    QVERIFY(dp.Hit(3)->IsSelected(0));
    w_->MainWndProc_OnCommand(kCmdSelectAllAlignments);
    w_->MainWndProc_OnCommand(kCmdUnselectAllAlignments);
    int row = -1;  // a hit with two alignments
    for (const auto& h : *dp.hits) row = h->alignmentCount == 2 ? h->number - 1 : row;
    QVERIFY(row >= 0 && !dp.Hit(3)->IsSelected(0) && !dp.Hit(row + 1)->IsSelected(1));

    // Its alignments through the buttons and the keypad keys; the check box follows.
    SelectRow(row);
    QVERIFY(dp.viewer->alignmentNumber == 1 && w_->NextButton()->isEnabled() && !w_->PreviousButton()->isEnabled());
    QTest::mouseClick(w_->NextButton(), Qt::LeftButton);
    QVERIFY(dp.viewer->alignmentNumber == 2 && dp.viewer->hitNumber == row + 1);
    QVERIFY(!w_->NextButton()->isEnabled() && w_->PreviousButton()->isEnabled());
    for (auto [key, alignment] : {std::pair(Qt::Key_Plus, 2), std::pair(Qt::Key_Minus, 1)}) {  // '+' at the last: nothing
      QTest::keyClick(list, key, Qt::KeypadModifier);
      QCOMPARE(dp.viewer->alignmentNumber, alignment);
    }
    QTest::keyClick(list, Qt::Key_Space);
    QTest::keyClick(list, Qt::Key_Plus, Qt::KeypadModifier);
    QVERIFY(!w_->SelectionCheck()->isChecked());
    QTest::keyClick(list, Qt::Key_Minus, Qt::KeypadModifier);
    QVERIFY(w_->SelectionCheck()->isChecked());

    // Saved: both alignments selected, under a name made ".vist", as HTML; then the whole table.
    QTest::mouseClick(w_->NextButton(), Qt::LeftButton);
    QTest::keyClick(list, Qt::Key_Space);
    QVERIFY(Save(true, false, out_.filePath("picked.txt")));
    QCOMPARE(OutFiles(), QStringList({"picked.vist"}));
    QVERIFY(Save(true, true, out_.filePath("picked.vist")));
    QCOMPARE(OutFiles().size(), 5);
    DataProgram back, all;
    QVERIFY(ReadBack(out_.filePath("picked.vist"), back));
    const HspData& was = *dp.Hit(row + 1);
    QVERIFY(back.hitCount == 1 && back.Hit(1)->identifier == was.identifier && back.Hit(1)->alignmentCount == 2);
    for (std::size_t k = 0; k < 2; ++k)
      QCOMPARE(back.Hit(1)->alignments[k]->subjectLine, was.alignments[k]->subjectLine);
    QVERIFY(Save(false, false, out_.filePath("all.vist")) && ReadBack(out_.filePath("all.vist"), all));
    QVERIFY(all.hitCount == dp.hitCount && all.alignmentCount == dp.alignmentCount);

    // A right click shows the hit's information, its identifier in the field with the focus.
    SelectRow(1);
    QString id;
    OnNextDialog([&](QDialog* d) {
      QCOMPARE(d->windowTitle(), QString("Database sequence info"));
      auto* field = d->findChild<QLineEdit*>("sequenceId");
      id = d->focusWidget() == field ? field->text() : "no focus";
      d->reject();
    });
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->visualRect(list->model()->index(1, 0)).center());
    QCOMPARE(id, QString::fromStdString(dp.Hit(2)->identifier));
    QVERIFY(platform_.Messages().empty());

    // Renamed with the file on disk; then to a name taken on disk.
    const auto rename = [&](const char* name) {
      platform_.QueueAnswer(MsgAnswer::Yes);  // "Rename the file on disk ?"
      OnNextDialog([name](QDialog* d) {
        QCOMPARE(d->windowTitle(), QString("Rename sequence"));
        d->findChild<QLineEdit*>("newName")->setText(name);
        d->accept();
      });
      w_->MainWndProc_OnCommand(kCmdRename);
    };
    rename("molybdenum");
    QVERIFY(ComboItems() == QStringList({"molybdenum"}) && dp.tableNames[0] == "molybdenum" && !QFile::exists(report));
    QCOMPARE(QString::fromStdString(dp.tables[0]->sourcePath), dir_.filePath("molybdenum.vist"));
    QVERIFY(w_->SelectionLabel()->text().contains("Origin: molybdenum"));
    QVERIFY(!Copy(kSample, "taken.vist").isEmpty());
    rename("taken");
    QVERIFY(ComboItems() == QStringList({"taken"}) && QFile::exists(dir_.filePath("molybdenum.vist")));
    QCOMPARE(Messages(),
             QStringList({"Rename the file on disk ?", "Rename the file on disk ?", "Unable to rename the file."}));
  }

  void tablesOpenedLeftAndClosed() {
    OpenLine(kSample.toStdString());
    SelectRow(5);
    // The open-file dialog cancelled: the same table, hit and row; chosen: a second table.
    QSignalSpy done(w_.get(), &MainWindow::loadFinished);
    w_->MainWndProc_OnCommand(kCmdOpen);
    QVERIFY(done.wait(10000));
    QCOMPARE(done.takeFirst().first().toInt(), 0);
    QVERIFY(w_->Data().viewer->hitNumber == 6 && w_->ResultList()->currentIndex().row() == 5);
    QCOMPARE(platform_.FileRequests().at(0).filters[0].text, std::string("All formats"));
    const QString html = kData + "/blast/blast_html_legacy_www/biopython_bt032.html";
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, html.toStdString(), "biopython_bt032.html"});
    w_->MainWndProc_OnCommand(kCmdOpen);
    QVERIFY(done.wait(10000));
    QCOMPARE(done.takeFirst().first().toInt(), 1);
    QVERIFY(ComboItems() == QStringList({"sample.bla", "biopython_bt032.html"}) && w_->TableCombo()->currentIndex() == 1);
    const int htmlRows = w_->ResultList()->model()->rowCount();
    CheckEnabled({kCmdViewDatabaseFile}, true);

    // Back to the first table through the combo box: where it was left.
    w_->TableCombo()->setCurrentIndex(0);
    w_->MainWndProc_OnCommand(kCmdTableCombo);
    QVERIFY(w_->Data().currentTable == 0 && w_->ResultList()->model()->rowCount() == 13);
    QVERIFY(w_->Data().viewer->hitNumber == 6 && w_->ResultList()->currentIndex().row() == 5);

    // The HCA viewer (F2) shows the current HSP and follows it.
    QAction* hca = w_->CommandAction(kCmdHcaViewer);
    w_->MainWndProc_OnCommand(kCmdHcaViewer);
    HcaViewer* viewer = w_->HcaArea();
    QVERIFY(viewer && viewer->isVisible() && hca->isChecked() && !w_->PairwiseArea()->isVisible());
    QVERIFY(w_->findChild<HcaLegendWidget*>() != nullptr);
    for (int row : {5, 1}) {
      SelectRow(row);
      const VisualHaspData& hsp = *w_->Data().viewer;
      QVERIFY(hsp.hitNumber == row + 1 && viewer->PlotCount() == 2 && viewer->Plot(0)->residues == hsp.queryLine);
      QVERIFY(viewer->Plot(1)->residues == hsp.subjectLine && viewer->Plot(1)->aa[0].seqNumber == hsp.subjectStart);
      QCOMPARE(viewer->Plot(1)->seqName, w_->Data().Hit(hsp.hitNumber)->identifier);
    }

    // Close: the other table becomes current; the name list keeps the closed one's name.
    w_->MainWndProc_OnCommand(kCmdClose);
    QCOMPARE(ComboItems(), QStringList({"biopython_bt032.html"}));
    QVERIFY(w_->ResultList()->model()->rowCount() == htmlRows && w_->Data().tableNameCount == 2);
    w_->MainWndProc_OnCommand(kCmdClose);
    QVERIFY(w_->Data().tableCount == 0 && w_->ResultList()->model()->rowCount() == 0 && viewer->Plot(0) == nullptr);
    QCOMPARE(w_->windowTitle(), QString("Vistram "));
    QVERIFY(!w_->TableCombo()->isEnabled() && !w_->SelectionCheck()->isEnabled() && !w_->SelectionLabel()->textShown());
    CheckEnabled({kCmdClose}, false);

    // A second open while a load runs is refused; the first ends alone.
    GatedPlatform gated;
    auto reached = gated.reached.get_future();
    gated.QueueFileAnswer({FileDialogResult::Status::Chosen, kSample.toStdString(), "sample.bla"});
    SetCurrentPlatform(&gated);
    w_->MainWndProc_OnCommand(kCmdOpen);
    QTRY_VERIFY(reached.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    QVERIFY(w_->LoadRunning());
    w_->MainWndProc_OnCommand(kCmdOpen);
    QVERIFY(gated.Messages().size() == 1 && gated.Messages()[0].text == LoadStringText(IDS_LOAD_ALREADY_RUNNING));
    gated.release.set_value();
    QVERIFY(done.wait(10000));
    QCOMPARE(done.size(), 1);
    SetCurrentPlatform(&platform_);
    QCOMPARE(w_->HcaArea()->PlotCount(), 2);  // the viewer shows the new table; F2 again closes it
    w_->MainWndProc_OnCommand(kCmdHcaViewer);
    QVERIFY(!w_->HcaArea() && !hca->isChecked() && w_->PairwiseArea()->isVisible() && !w_->findChild<HcaLegendWidget*>());
  }

  void droppedFilesRecentFilesAndNamesThatAreNotUtf8() {
    const QString msf = Copy(kData + "/editor/biopython_W_prot.msf", "w_prot.txt");
    QVERIFY(Drop(w_.get(), {QUrl::fromLocalFile(msf)}));
    QTRY_VERIFY_WITH_TIMEOUT(w_->Editors().Editor() != nullptr, 10000);
    QVERIFY(w_->Data().tableCount == 0 && platform_.Messages().empty());
    w_->Editors().Editor()->close();  // asks first
    platform_.Clear();
    const QString dropped = Copy(kSample, "dropped.bla");
    QSignalSpy done(w_.get(), &MainWindow::loadFinished);
    QVERIFY(Drop(w_.get(), {QUrl::fromLocalFile(dropped)}));
    QVERIFY(done.wait(10000));
    QCOMPARE(w_->Data().tableCount, 1);

    // A relative name in Latin-1 bytes is made absolute byte for byte, the editor's marker kept.
    const std::string folder = dir_.path().toStdString(), name = "r\xe9sultat\xff.bla";
    std::filesystem::copy_file(kSample.toStdString(), folder + "/" + name);
    char here[4096];
    QVERIFY(::getcwd(here, sizeof here) != nullptr && ::chdir(folder.c_str()) == 0);
    char program[] = "vistram";
    std::string argument = name;
    char* argv[] = {program, argument.data()};
    const std::string line = AbsoluteCommandLine(JoinArguments(2, argv));
    const std::string marked = AbsoluteCommandLine(name + " " + std::string(kMsfMarker));
    QVERIFY(::chdir(here) == 0);
    QCOMPARE(line, folder + "/" + name);
    QCOMPARE(marked, line + " " + std::string(kMsfMarker));
    OpenLine(line);
    QVERIFY(w_->ResultList()->model()->rowCount() == 13 && platform_.Messages().empty());
    std::filesystem::remove(folder + "/" + name);  // QTemporaryDir cannot name it to remove it

    // A new window lists the recent files from the configuration and opens one again.
    StopWindow();
    StartWindow();
    w_->FillRecentFilesMenu();
    const QList<QAction*> recent = w_->RecentFilesMenu()->actions();
    QVERIFY(recent.size() >= 3 && recent[1]->text() == "&2 " + dropped && recent[2]->text() == "&3 " + msf);
    QSignalSpy again(w_.get(), &MainWindow::loadFinished);
    recent[1]->trigger();
    QVERIFY(again.wait(10000) && w_->Data().reportPath == dropped.toStdString());
  }

  void printingAndItsPages() {
    // No printer: both commands say so. The setup dialog replaces the printer on OK only.
    w_->MainWndProc_OnCommand(kCmdPrintSetup);
    OpenLine(kSample.toStdString());
    w_->MainWndProc_OnCommand(kCmdPrint);
    QCOMPARE(Messages(), QStringList(2, "No printer installed on this computer."));
    RecordingPrinterServices printers;
    printers.SetDefault({"office", "drv", "usb"});
    SetCurrentPrinterServices(&printers);
    ReadDefaultPrinter();
    printers.QueueSetupAnswer(false, {"other", "", ""});
    printers.QueueSetupAnswer(true, {"lab", "drv2", "lpt"});
    for (const char* device : {"office", "lab"}) {
      w_->MainWndProc_OnCommand(kCmdPrintSetup);
      QCOMPARE(CurrentPrinter().device, std::string(device));
    }
    ExportPdf(out_.filePath("one.pdf"));
    QVERIFY(w_->isEnabled());

    // With the HCA Viewer: the options dialog refuses an overlap of 20 and prints with 19.
    w_->MainWndProc_OnCommand(kCmdHcaViewer);
    QCOMPARE(w_->CommandAction(kCmdPrint)->text(), QString("&Print HCA..."));
    QString restored;
    bool stayedOpen = false;
    OnNextDialog([&](QDialog* d) {
      auto* dialog = qobject_cast<HcaPrintOptionsDialog*>(d);
      QVERIFY(dialog != nullptr);
      QVERIFY(dialog->Box(5)->isChecked() && dialog->OverlapField()->text() == "10");  // crop marks on
      dialog->Box(0)->click();  // Force B && W
      dialog->OverlapField()->setText("20");
      dialog->accept();
      restored = dialog->OverlapField()->text();
      stayedOpen = dialog->isVisible();
      dialog->OverlapField()->setText("19");
      dialog->accept();
    });
    ExportPdf(out_.filePath("hca.pdf"));
    QVERIFY(restored == "10" && stayedOpen && Messages().contains("Invalid overlap value.\nMust be < 20."));
    OnNextDialog([](QDialog* d) { d->reject(); });  // cancelled: nothing printed
    ExportPdf(out_.filePath("none.pdf"));
    QCOMPARE(OutFiles(), QStringList({"hca.pdf", "one.pdf"}));
    for (const QString& f : OutFiles()) {
      QFile pdf(out_.filePath(f));
      QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-");
    }

    // HCA strips overlap on an A4 page at 600 dots per inch; the screen plot is untouched.
    const InfoSeq* query = w_->HcaArea()->Plot(0);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    HcaPrintOptions options = HcaPrintOptions::FromPlot(*query);
    options.overlap = 19;
    HcaPrintout hcaPrintout(*query, w_->HcaArea()->Plot(1), options);
    QVERIFY(hcaPrintout.PageCount(painter) >= 1);
    const auto& strips = hcaPrintout.Pages()[0];
    QCOMPARE(strips[0].query.start, query->firstIndex);
    if (strips.size() > 1) QCOMPARE(strips[1].query.start, strips[0].query.end - 19);
    hcaPrintout.DrawPage(painter, 1);
    QCOMPARE(w_->HcaArea()->Plot(0)->colourMode, query->colourMode);
    w_->MainWndProc_OnCommand(kCmdHcaViewer);
    QCOMPARE(w_->CommandAction(kCmdPrint)->text(), QString("&Print sequence"));

    // 1D: blocks of columns fill the pages.
    const auto view = [](int columns) {
      VisualHaspData v;
      v.alignedLength = columns;
      v.hitNumber = 3;
      v.alignmentNumber = 2;
      v.queryLine = v.subjectLine = v.middleLine = std::string(static_cast<std::size_t>(columns), 'A');
      return v;
    };
    const VisualHaspData one = view(1);
    OneDPrintout layout(one, "HIT");
    QCOMPARE(layout.PageCount(painter), 1);
    const int c = layout.ColumnsPerBlock(), perPage = layout.BlocksPerPage();
    QVERIFY(c > 10);
    QCOMPARE(layout.AlignmentLine(), std::string("1D alignment between Query (top) and HIT (bottom) (Align 3, HSP 2)"));
    for (const auto& [columns, pages] :
         std::vector<std::pair<int, int>>{{c, 1}, {c + 1, 1}, {c * perPage, 1}, {c * perPage + 1, 2}}) {
      const VisualHaspData v = view(columns);
      QCOMPARE(OneDPrintout(v, "HIT").PageCount(painter), pages);
    }
    // Alignment: bands across the columns, the name column as wide as the longest name.
    DarUvaData msa;
    msa.columnCount = 100;
    for (const char* name : {"QUERY", "SUBJECT"}) {
      msa.rows.push_back(NewDarUvaSeq(msa.columnCount));
      msa.rows.back()->name = name;
    }
    msa.consensus = std::string(100, '.');
    MsaPrintout narrow(msa, 16);
    const int pages = narrow.PageCount(painter), cw = narrow.CharWidth();
    QVERIFY(narrow.NameColumnWidth() == 13 * cw && pages >= 2);
    const int band = narrow.Pages()[1].firstColumn;
    QCOMPARE(pages, (100 + band - 1) / band);
    for (int i = 0; i < pages; ++i) QCOMPARE(narrow.Pages()[static_cast<std::size_t>(i)].firstColumn, i * band);
    for (int i = 1; i <= pages; ++i) narrow.DrawPage(painter, i);
    msa.rows[1]->name = "A_VERY_LONG_SEQUENCE_NAME";  // 25 characters
    MsaPrintout wide(msa, 16);
    QVERIFY(wide.PageCount(painter) > 0 && wide.NameColumnWidth() == 28 * cw && wide.Pages()[1].firstColumn < band);
    // Map: rows fill the pages, without an empty last one.
    StatData stat;
    stat.L = 100;
    stat.coverage.assign(100, 1);
    stat.identity.assign(100, 50.0f);
    MapPrintout probe(stat, 16);
    probe.PageCount(painter);
    const int r = probe.RowsPerPage();
    for (const auto& [entries, mapPages] : std::vector<std::pair<int, int>>{{2 * r, 2}, {2 * r + 1, 3}, {1, 1}}) {
      stat.entries.clear();
      for (unsigned i = 1; i <= static_cast<unsigned>(entries); ++i)
        stat.entries.push_back(std::make_unique<StatEntry>(
            StatEntry{.hitNumber = i, .alignmentNumber = 1, .label = "HIT", .queryStart = 1, .queryEnd = 50}));
      stat.n = static_cast<std::uint32_t>(entries);
      MapPrintout map(stat, 16);
      QCOMPARE(map.PageCount(painter), mapPages);
      map.DrawPage(painter, mapPages);
    }
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
