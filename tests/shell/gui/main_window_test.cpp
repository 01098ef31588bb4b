// The main window driven as the user drives it: reports opened through the
// pending path and through the open-file dialog, the list, the selection
// commands and keys, the previous/next buttons, leaving, closing and
// renaming tables, the information dialogs.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QMenu>
#include <QStatusBar>
#include <QSet>
#include <QTimer>
#include <QToolBar>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "main_window_fixture.h"
#include "shell/view_fixture.h"
#include "vistram/base/command_ids.h"
#include "vistram/platform/gui/label_cell.h"
#include "vistram/platform/messages.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/load_flow.h"
#include "vistram/shell/gui/load_progress.h"
#include "vistram/shell/gui/main_window.h"
#include "vistram/shell/gui/result_list.h"
#include "vistram/shell/gui/save_results_dialog.h"

namespace {
// A platform whose open-file dialog waits until released: a load that
// stays in its first step as long as the test wants.
class GatedPlatform : public RecordingPlatform {
 public:
  FileDialogResult OpenFileDialog(WindowHandle owner, const FileDialogRequest& request) override {
    std::unique_lock lock(m_);
    waiting_ = true;
    cv_.wait(lock, [this] { return released_; });
    lock.unlock();
    return RecordingPlatform::OpenFileDialog(owner, request);
  }
  bool Waiting() {
    std::lock_guard lock(m_);
    return waiting_;
  }
  void Release() {
    std::lock_guard lock(m_);
    released_ = true;
    cv_.notify_all();
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  bool waiting_ = false;
  bool released_ = false;
};
}  // namespace

class MainWindowTest : public MainWindowFixture {
  Q_OBJECT

 private slots:
  void init() { StartWindow(); }
  void cleanup() { StopWindow(); }

  void refusesToStartWithoutConfiguration() {
    QTemporaryDir empty;
    platform_.Clear();
    QVERIFY(MainWindow::Create(empty.filePath("vistram").toStdString()) == nullptr);
    const auto messages = platform_.Messages();
    QCOMPARE(messages.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(messages[0].text),
             QString("This is not a complete release of Vistram.\nUnable to execute the software."));
  }

  void startsEmptyWithOnlyBuiltCommands() {
    QCOMPARE(w_->windowTitle(), QString("Vistram "));
    for (int id : {kCmdSave, kCmdClose, kCmdDatabaseInfo, kCmdSelectFirstAlignments, kCmdSelectAllAlignments,
                   kCmdUnselectAllAlignments, kCmdViewDatabaseFile, kCmdColours, kCmdMapper, kCmdStringFinder,
                   kCmdIdAnalyser, kCmdFieldSearch, kCmdRename}) {
      w_->MainWndProc_OnInitMenu();
      QVERIFY2(!w_->CommandAction(id)->isEnabled(), qPrintable(QString::number(id)));
    }
    for (int id : {kCmdOpen, kCmdExit, kCmdGuiParameters, kCmdBlast2Defaults, kCmdBlast2Search, kCmdClustalRequest, kCmdAbout})
      QVERIFY(w_->CommandAction(id)->isEnabled());
    QVERIFY(!w_->SelectionCheck()->isEnabled());
    QVERIFY(!w_->PreviousButton()->isEnabled());
    QVERIFY(!w_->NextButton()->isEnabled());
    QVERIFY(!w_->TableCombo()->isEnabled());
    // Print setup is always there; Print and its PDF export wait for data.
    QVERIFY(w_->CommandAction(kCmdPrintSetup)->isEnabled());
    for (int id : {kCmdPrint, kCmdExportPdf}) QVERIFY(!w_->CommandAction(id)->isEnabled());
    QStringList menus;
    for (QAction* a : w_->menuBar()->actions()) menus << a->text();
    QCOMPARE(menus, QStringList({"&File", "&Edit", "&Options", "&Tools", "&Help"}));
    QStringList file;
    for (QAction* a : w_->menuBar()->actions().first()->menu()->actions()) file << (a->isSeparator() ? "|" : a->text());
    QCOMPARE(file, QStringList({"&Open...", "&Save...", "&Rename...", "&Close", "|", "&DataBase information...", "|",
                                "Prin&t setup...", "&Print sequence", "Export as PDF...", "|", "Recent &files", "|",
                                "&Exit..."}));
    // Toolbar: the buttons in order, with the tooltip of their position.
    QStringList tips;
    for (QAction* a : w_->ToolBar()->actions())
      if (!a->isSeparator() && !a->toolTip().isEmpty() && w_->ToolBar()->widgetForAction(a) != w_->TableCombo())
        tips << a->toolTip();
    QCOMPARE(tips, QStringList({"Open a new file", "Print 1D alignment", "Printer setup", "Display database information", "INTERNET database interrogation",
                                "Connect BLAST Web server", "HCA viewer", "DorUvo Editor", "Mapper", "String Finder", "bye bye Vistram..."}));
    // Accelerators: F1 is command 3027, which does nothing.
    QCOMPARE(w_->CommandAction(kCmdNothing)->shortcut(), QKeySequence(Qt::Key_F1));
    QCOMPARE(w_->CommandAction(kCmdStringFinder)->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(w_->CommandAction(kCmdIdAnalyser)->shortcut(), QKeySequence(Qt::Key_F6));
    QCOMPARE(w_->CommandAction(kCmdFieldSearch)->shortcut(), QKeySequence(Qt::Key_F7));
    // Every menu command has its status-bar help; each toolbar button its own icon.
    for (int id : {kCmdOpen, kCmdSave, kCmdClose, kCmdDatabaseInfo, kCmdExit, kCmdHcaViewer, kCmdFullHcaViewer,
                   kCmdStringFinder, kCmdIdAnalyser, kCmdFieldSearch, kCmdAbout, kCmdRename})
      QVERIFY2(!w_->CommandAction(id)->statusTip().isEmpty(), qPrintable(QString::number(id)));
    QSet<qint64> icons;
    for (int id : {kCmdOpen, kCmdDatabaseInfo, kCmdViewDatabaseFile, kCmdHcaViewer, kCmdStringFinder, kCmdExit})
      icons.insert(w_->CommandAction(id)->icon().cacheKey());
    QCOMPARE(icons.size(), 6);
    // A menu closed with Escape takes its help text off the status bar.
    QMenu* tools = w_->menuBar()->actions()[3]->menu();
    tools->popup(QPoint(0, 0));
    w_->statusBar()->showMessage(w_->CommandAction(kCmdHcaViewer)->statusTip());
    QTest::keyClick(tools, Qt::Key_Escape);
    QTRY_VERIFY(!tools->isVisible());
    QVERIFY(w_->statusBar()->currentMessage() != w_->CommandAction(kCmdHcaViewer)->statusTip());
  }

  void opensThroughPendingPathAndShowsTheTable() {
    OpenByPath(SourceData("sample.bla"));
    const DataProgram& dp = w_->Data();
    QCOMPARE(dp.tableCount, 1);
    QCOMPARE(w_->ResultList()->model()->rowCount(), 13);
    QCOMPARE(static_cast<int>(dp.hitCount), 13);
    QCOMPARE(w_->windowTitle(), QString("Vistram - BLAST 2"));  // a gapped BLAST report
    QCOMPARE(ComboItems(), QStringList({"sample.bla"}));
    QVERIFY(w_->TableCombo()->isEnabled());
    QCOMPARE(w_->ResultList()->currentIndex().row(), 0);
    QVERIFY(dp.viewer != nullptr);
    QCOMPARE(dp.viewer->hitNumber, 1);
    QVERIFY(w_->SelectionLabel()->text().startsWith("Ali: 1/1. Origin: sample.bla"));
    QVERIFY(w_->SelectionLabel()->textShown());
    w_->MainWndProc_OnInitMenu();
    for (int id : {kCmdSave, kCmdClose, kCmdDatabaseInfo, kCmdSelectFirstAlignments, kCmdSelectAllAlignments,
                   kCmdUnselectAllAlignments, kCmdColours, kCmdRename})
      QVERIFY(w_->CommandAction(id)->isEnabled());
    QVERIFY(!w_->CommandAction(kCmdViewDatabaseFile)->isEnabled());  // a text report has no links
    QVERIFY(w_->SelectionCheck()->isEnabled());
    QVERIFY(platform_.Messages().empty());
  }

  void opensThroughTheDialogAndCancelKeepsTheTable() {
    OpenByPath(SourceData("sample.bla"));
    SelectRow(3);
    QCOMPARE(w_->Data().viewer->hitNumber, 4);

    // Cancelled: the same table, hit and alignment are shown again.
    QSignalSpy done(w_.get(), &MainWindow::loadFinished);
    w_->MainWndProc_OnCommand(kCmdOpen);
    QVERIFY(done.wait(10000));
    QCOMPARE(done.first().first().toInt(), 0);
    QCOMPARE(w_->Data().tableCount, 1);
    QCOMPARE(w_->Data().viewer->hitNumber, 4);
    QCOMPARE(w_->ResultList()->currentIndex().row(), 3);
    QCOMPARE(ComboItems(), QStringList({"sample.bla"}));
    const auto requests = platform_.FileRequests();
    QCOMPARE(requests.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(requests[0].filters[0].text), QString("All formats"));

    // Chosen: an HTML report becomes the second table, with its links.
    const QString html = TestData("biopython_bt032.html");
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, html.toStdString(), "biopython_bt032.html"});
    done.clear();
    w_->MainWndProc_OnCommand(kCmdOpen);
    QVERIFY(done.wait(10000));
    QCOMPARE(done.first().first().toInt(), 1);
    QCOMPARE(ComboItems(), QStringList({"sample.bla", "biopython_bt032.html"}));
    QCOMPARE(w_->TableCombo()->currentIndex(), 1);
    QCOMPARE(w_->Data().header.isHtml, 1);
    w_->MainWndProc_OnInitMenu();
    QVERIFY(w_->CommandAction(kCmdViewDatabaseFile)->isEnabled());

    // The shipped configuration names no browser and no Hitmerge.
    platform_.Clear();
    w_->MainWndProc_OnCommand(kCmdViewDatabaseFile);
    w_->MainWndProc_OnCommand(kCmdHitmerge);
    const auto messages = platform_.Messages();
    QCOMPARE(messages.size(), std::size_t(2));
    QCOMPARE(QString::fromStdString(messages[0].text), QString("Navigator not found."));
    QCOMPARE(QString::fromStdString(messages[1].text), QString("Hitmerge not found."));
  }

  void unreadableFileSaysSoAndKeepsTheTable() {
    OpenByPath(SourceData("sample.bla"));
    const QString bad = dir_.filePath("notes.txt");
    QFile f(bad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("nothing a search program wrote\n");
    f.close();
    QSignalSpy done(w_.get(), &MainWindow::loadFinished);
    w_->OpenCommandLine(bad.toStdString());
    QVERIFY(done.wait(10000));
    QCOMPARE(done.first().first().toInt(), 0);
    const auto messages = platform_.Messages();
    QCOMPARE(messages.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(messages[0].text),
             QString("Unable to open or read your file.\nPlease, check the file :\n%1.").arg(bad));
    QCOMPARE(w_->Data().tableCount, 1);
    QCOMPARE(w_->ResultList()->model()->rowCount(), 13);
  }

  void secondOpenWhileLoadingIsRefused() {
    GatedPlatform gated;
    gated.QueueFileAnswer({FileDialogResult::Status::Chosen, SourceData("sample.bla").toStdString(), "sample.bla"});
    SetCurrentPlatform(&gated);
    QSignalSpy done(w_.get(), &MainWindow::loadFinished);
    w_->MainWndProc_OnCommand(kCmdOpen);
    QTRY_VERIFY(gated.Waiting());
    QVERIFY(w_->LoadRunning());
    w_->MainWndProc_OnCommand(kCmdOpen);  // refused, with a message
    auto messages = gated.Messages();
    QCOMPARE(messages.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(messages[0].text), QString::fromStdString(LoadStringText(IDS_LOAD_ALREADY_RUNNING)));
    gated.Release();
    QVERIFY(done.wait(10000));
    QCOMPARE(done.size(), 1);
    QCOMPARE(w_->Data().tableCount, 1);
    SetCurrentPlatform(&platform_);
  }

  void progressWindowFollowsTheWorker() {
    ResultView& view = w_->View();
    std::thread worker([&view] {
      view.ShowProgress();
      view.SetProgress(3 << 20, 12 << 20);
    });
    worker.join();
    QTRY_VERIFY(w_->ProgressWindow() != nullptr);
    auto* progress = static_cast<LoadProgressWindow*>(w_->ProgressWindow());
    QTRY_COMPARE(progress->Percent(), 25);
    QVERIFY(progress->isVisible());
    QCOMPARE(progress->windowTitle(), QString("Vistram"));
    std::thread([&view] {
      view.SetProgress(12 << 20, 12 << 20);
      view.HideProgress();
    }).join();
    QTRY_VERIFY(w_->ProgressWindow() == nullptr);
  }

  void selectionWithSpaceCheckBoxAndCommands() {
    OpenByPath(SourceData("sample.bla"));
    DataProgram& dp = w_->Data();
    SelectRow(2);
    QListView* list = w_->ResultList();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Space);
    QVERIFY((*dp.hits)[2]->IsSelected(0));
    QVERIFY(w_->SelectionCheck()->isChecked());
    QTest::keyClick(list, Qt::Key_Space);
    QVERIFY(!(*dp.hits)[2]->IsSelected(0));
    QVERIFY(!w_->SelectionCheck()->isChecked());

    QTest::mouseClick(w_->SelectionCheck(), Qt::LeftButton);
    QVERIFY((*dp.hits)[2]->IsSelected(0));

    w_->MainWndProc_OnCommand(kCmdSelectAllAlignments);
    w_->MainWndProc_OnCommand(kCmdUnselectAllAlignments);
    w_->MainWndProc_OnCommand(kCmdSelectFirstAlignments);
    int selected = 0, total = 0;
    for (const auto& h : *dp.hits) {
      QCOMPARE(h->selected[0], 1);
      for (int f : h->selected) selected += f, ++total;
    }
    QCOMPARE(selected, 13);
    QVERIFY(total > 13);  // hits with two alignments keep their second one unselected
  }

  void previousAndNextAlignments() {
    OpenByPath(SourceData("sample.bla"));
    DataProgram& dp = w_->Data();
    int row = -1;
    for (int i = 0; i < static_cast<int>(dp.hits->size()); ++i)
      if ((*dp.hits)[static_cast<std::size_t>(i)]->alignmentCount == 2) row = i;
    QVERIFY(row >= 0);
    SelectRow(row);
    QCOMPARE(dp.viewer->alignmentNumber, 1);
    QVERIFY(w_->NextButton()->isEnabled());
    QVERIFY(!w_->PreviousButton()->isEnabled());
    QTest::mouseClick(w_->NextButton(), Qt::LeftButton);
    QCOMPARE(dp.viewer->alignmentNumber, 2);
    QCOMPARE(dp.viewer->hitNumber, row + 1);
    QVERIFY(!w_->NextButton()->isEnabled());
    QVERIFY(w_->PreviousButton()->isEnabled());
    // Keypad '+' at the last alignment does nothing; '-' goes back.
    QTest::keyClick(w_->ResultList(), Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(dp.viewer->alignmentNumber, 2);
    QTest::keyClick(w_->ResultList(), Qt::Key_Minus, Qt::KeypadModifier);
    QCOMPARE(dp.viewer->alignmentNumber, 1);
    // The check box follows the shown alignment.
    QTest::keyClick(w_->ResultList(), Qt::Key_Space);
    QTest::keyClick(w_->ResultList(), Qt::Key_Plus, Qt::KeypadModifier);
    QVERIFY(!w_->SelectionCheck()->isChecked());
    QTest::keyClick(w_->ResultList(), Qt::Key_Minus, Qt::KeypadModifier);
    QVERIFY(w_->SelectionCheck()->isChecked());
  }

  void leavingAndClosingTables() {
    OpenByPath(SourceData("sample.bla"));
    SelectRow(5);
    OpenByPath(TestData("biopython_bt032.html"));
    QCOMPARE(ComboItems(), QStringList({"sample.bla", "biopython_bt032.html"}));
    const int htmlRows = w_->ResultList()->model()->rowCount();

    // Back to the first table through the combo box: where it was left.
    w_->TableCombo()->setCurrentIndex(0);
    w_->MainWndProc_OnCommand(kCmdTableCombo);
    QCOMPARE(w_->Data().currentTable, 0);
    QCOMPARE(w_->ResultList()->model()->rowCount(), 13);
    QCOMPARE(w_->Data().viewer->hitNumber, 6);
    QCOMPARE(w_->ResultList()->currentIndex().row(), 5);

    // Close: the other table becomes current.
    w_->MainWndProc_OnCommand(kCmdClose);
    QCOMPARE(w_->Data().tableCount, 1);
    QCOMPARE(ComboItems(), QStringList({"biopython_bt032.html"}));
    QCOMPARE(w_->ResultList()->model()->rowCount(), htmlRows);
    // The name list keeps the closed table's name for the origins.
    QCOMPARE(w_->Data().tableNameCount, 2);

    w_->MainWndProc_OnCommand(kCmdClose);
    QCOMPARE(w_->Data().tableCount, 0);
    QCOMPARE(w_->ResultList()->model()->rowCount(), 0);
    QCOMPARE(w_->windowTitle(), QString("Vistram "));
    QVERIFY(!w_->TableCombo()->isEnabled());
    QVERIFY(!w_->SelectionCheck()->isEnabled());
    QVERIFY(!w_->SelectionLabel()->textShown());
    w_->MainWndProc_OnInitMenu();
    QVERIFY(!w_->CommandAction(kCmdClose)->isEnabled());
    w_->MainWndProc_OnCommand(kCmdClose);  // reached without data: nothing happens
    QCOMPARE(w_->Data().tableCount, 0);
  }

  void renamingATableAndItsFile() {
    const QString report = Copy(SourceData("sample.bla"), "mine.bla");
    OpenByPath(report);
    platform_.QueueAnswer(MsgAnswer::Yes);  // "Rename the file on disk ?"
    OnNextDialog([](QDialog* d) {
      QCOMPARE(d->windowTitle(), QString("Rename sequence"));
      d->findChild<QLineEdit*>("newName")->setText("molybdenum");
      d->accept();
    });
    w_->MainWndProc_OnCommand(kCmdRename);
    QCOMPARE(ComboItems(), QStringList({"molybdenum"}));
    QCOMPARE(QString::fromStdString(w_->Data().tableNames[0]), QString("molybdenum"));
    QVERIFY(QFile::exists(dir_.filePath("molybdenum.vist")));
    QVERIFY(!QFile::exists(report));
    QCOMPARE(QString::fromStdString(w_->Data().tables[0]->sourcePath), dir_.filePath("molybdenum.vist"));
    QVERIFY(w_->SelectionLabel()->text().contains("Origin: molybdenum"));
    const auto messages = platform_.Messages();
    QCOMPARE(messages.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(messages[0].text), QString("Rename the file on disk ?"));

    // A name already taken on disk: the file stays, the user is told.
    QFile taken(dir_.filePath("taken.vist"));
    QVERIFY(taken.open(QIODevice::WriteOnly));
    taken.close();
    platform_.Clear();
    platform_.QueueAnswer(MsgAnswer::Yes);
    OnNextDialog([](QDialog* d) {
      d->findChild<QLineEdit*>("newName")->setText("taken");
      d->accept();
    });
    w_->MainWndProc_OnCommand(kCmdRename);
    QCOMPARE(ComboItems(), QStringList({"taken"}));
    QVERIFY(QFile::exists(dir_.filePath("molybdenum.vist")));
    QCOMPARE(QString::fromStdString(platform_.Messages().back().text), QString("Unable to rename the file."));

    // Cancelled: nothing changes.
    OnNextDialog([](QDialog* d) { d->reject(); });
    w_->MainWndProc_OnCommand(kCmdRename);
    QCOMPARE(ComboItems(), QStringList({"taken"}));
  }

  void informationDialogs() {
    OpenByPath(SourceData("sample.bla"));
    QString sequenceName, count;
    OnNextDialog([&](QDialog* d) {
      QCOMPARE(d->windowTitle(), QString("File header"));
      sequenceName = d->findChild<QLineEdit*>("sequenceName")->text();
      count = d->findChild<QLineEdit*>("sequenceCount")->text();
      d->accept();
    });
    w_->MainWndProc_OnCommand(kCmdDatabaseInfo);
    QVERIFY(sequenceName.contains("(270 letters)"));
    QCOMPARE(count, QString("13"));

    SelectRow(1);
    QString id;
    bool focused = false;
    OnNextDialog([&](QDialog* d) {
      QCOMPARE(d->windowTitle(), QString("Database sequence info"));
      auto* field = d->findChild<QLineEdit*>("sequenceId");
      id = field->text();
      focused = d->focusWidget() == field;
      d->reject();
    });
    QListView* list = w_->ResultList();
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->visualRect(list->model()->index(1, 0)).center());
    QCOMPARE(id, QString::fromStdString((*w_->Data().hits)[1]->identifier));
    QVERIFY(focused);
  }

  void searchCommandsOpenTheirDialogs() {
    OpenByPath(SourceData("sample.bla"));
    QStringList opened;
    for (int id : {kCmdStringFinder, kCmdIdAnalyser, kCmdFieldSearch}) {
      OnNextDialog([&](QDialog* d) {
        opened << d->metaObject()->className();
        d->reject();
      });
      w_->MainWndProc_OnCommand(id);
    }
    QCOMPARE(opened, QStringList({"StringFinderDlg", "IdAnalyserDlg", "FieldSearchDlg"}));
    QCOMPARE(w_->Data().tableCount, 1);  // cancelled: no new table
  }

  void commandLineForTheEditorIsNotOpenedAsAReport() {
    // An MSF command line goes to the alignment editor, which refuses a
    // report; the file is not loaded as a report.
    w_->OpenCommandLine(SourceData("sample.bla").toStdString() + " {msf_file}");
    QTest::qWait(100);
    QVERIFY(!w_->LoadRunning());
    QCOMPARE(w_->Data().tableCount, 0);
    QCOMPARE(platform_.Messages().size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(platform_.Messages()[0].text), QString("Unable to open a non-MSF file."));
    QVERIFY(platform_.FileRequests().empty());
  }

  void exitAsksFirst() {
    platform_.QueueAnswer(MsgAnswer::No);
    w_->MainWndProc_OnCommand(kCmdExit);
    QVERIFY(w_->isVisible());
    QCOMPARE(QString::fromStdString(platform_.Messages().back().text), QString("Exit program ?"));
    platform_.QueueAnswer(MsgAnswer::Yes);
    w_->MainWndProc_OnCommand(kCmdExit);
    QVERIFY(!w_->isVisible());
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
