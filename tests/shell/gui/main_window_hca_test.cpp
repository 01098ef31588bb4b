// The HCA viewers reached from the main window: command 3014 (F2) shows the
// current HSP as two HCA plots in place of the pairwise view, with the
// symbol legend, and follows every change of the HSP; command 3015 opens and
// closes the Full HCA Viewer.
#include <QAction>

#include "main_window_fixture.h"
#include "vistram/base/command_ids.h"
#include "vistram/hca/gui/hca_viewer.h"
#include "vistram/shell/gui/pairwise_view.h"

class MainWindowHcaTest : public MainWindowFixture {
  Q_OBJECT

 private slots:
  void init() { StartWindow(); }
  void cleanup() { StopWindow(); }

  void hcaViewerFollowsTheCurrentHsp() {
    QAction* hca = w_->CommandAction(kCmdHcaViewer);
    QVERIFY(hca != nullptr);
    QCOMPARE(hca->shortcut(), QKeySequence(Qt::Key_F2));
    w_->MainWndProc_OnInitMenu();
    QVERIFY(!hca->isEnabled());  // no data yet
    w_->MainWndProc_OnCommand(kCmdHcaViewer);
    QVERIFY(w_->HcaArea() == nullptr);

    QSignalSpy done(w_.get(), &MainWindow::loadFinished);
    w_->OpenCommandLine(SourceData("sample.bla").toStdString());
    QVERIFY(done.wait(10000));
    w_->MainWndProc_OnCommand(kCmdHcaViewer);
    HcaViewer* viewer = w_->HcaArea();
    QVERIFY(viewer != nullptr);
    QVERIFY(hca->isChecked());
    QVERIFY(viewer->isVisible());
    QVERIFY(!w_->PairwiseArea()->isVisible());
    QVERIFY(w_->findChild<HcaLegendWidget*>() != nullptr);
    // The two plots are the current HSP's aligned lines.
    const VisualHaspData& hsp = *w_->Data().viewer;
    QCOMPARE(viewer->PlotCount(), 2);
    QCOMPARE(viewer->Plot(0)->residues, hsp.queryLine);
    QCOMPARE(viewer->Plot(1)->residues, hsp.subjectLine);
    QCOMPARE(viewer->Plot(1)->seqName, w_->Data().Hit(hsp.hitNumber)->identifier);
    QCOMPARE(viewer->Plot(1)->aa[0].seqNumber, hsp.subjectStart);
    if (qEnvironmentVariableIsSet("HCA_SHOT")) w_->grab().save(qEnvironmentVariable("HCA_SHOT"));

    // Another hit: the plots are replaced.
    w_->ResultList()->setCurrentIndex(w_->ResultList()->model()->index(1, 0));
    QCOMPARE(w_->Data().viewer->hitNumber, 2);
    QCOMPARE(viewer->Plot(1)->residues, w_->Data().viewer->subjectLine);
    QCOMPARE(viewer->Plot(1)->seqName, w_->Data().Hit(2)->identifier);

    // Closing the report empties it; F2 again closes it.
    w_->MainWndProc_OnCommand(kCmdClose);
    QVERIFY(viewer->Plot(0) == nullptr);
    QSignalSpy again(w_.get(), &MainWindow::loadFinished);
    w_->OpenCommandLine(SourceData("sample.bla").toStdString());
    QVERIFY(again.wait(10000));
    QCOMPARE(w_->HcaArea()->PlotCount(), 2);
    w_->MainWndProc_OnCommand(kCmdHcaViewer);
    QVERIFY(w_->HcaArea() == nullptr);
    QVERIFY(!hca->isChecked());
    QVERIFY(w_->PairwiseArea()->isVisible());
    QVERIFY(w_->findChild<HcaLegendWidget*>() == nullptr);
  }

  void fullHcaViewerOpensAndCloses() {
    QAction* full = w_->CommandAction(kCmdFullHcaViewer);
    QVERIFY(full != nullptr);
    w_->MainWndProc_OnCommand(kCmdFullHcaViewer);
    QPointer<FullHcaViewer> viewer = w_->FullHca();
    QVERIFY(viewer);
    QVERIFY(full->isChecked());
    QCOMPARE(viewer->windowTitle(), QString("HCA-Scope II"));
    // Closed by the user: the item loses its check mark.
    viewer->close();
    QTRY_VERIFY(viewer.isNull());
    QVERIFY(!full->isChecked());
    // The command opens a new one, and closes it again.
    w_->MainWndProc_OnCommand(kCmdFullHcaViewer);
    QVERIFY(w_->FullHca() != nullptr);
    w_->MainWndProc_OnCommand(kCmdFullHcaViewer);
    QTRY_VERIFY(w_->FullHca() == nullptr);
    QVERIFY(!full->isChecked());
  }
};

QTEST_MAIN(MainWindowHcaTest)
#include "main_window_hca_test.moc"
