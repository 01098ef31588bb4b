// The HCA windows on the offscreen platform: the HCA Viewer showing an HSP
// (plots scroll together), the Full HCA Viewer loading sequence files (plots
// scroll independently, the clicked plot is active), the header band, the
// plot file and picture commands, and the batch command.
#include <QFile>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "vistram/hca/gui/hca_batch_writer.h"
#include "vistram/hca/gui/hca_viewer.h"
#include "vistram/shell/batch_hca.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/records.h"

namespace {

const std::string kGlobins = std::string(VISTRAM_TEST_DATA_DIR) + "/hca/emboss_globins.fasta";
const std::string kEftu = std::string(VISTRAM_TEST_DATA_DIR) + "/hca/bioruby_EFTU_BACSU.fasta";

HcaViewerSettings Settings() {
  HcaViewerSettings s;
  s.residuePoints = 8;
  s.listFont = QFont("Courier New");
  s.listFont.setPixelSize(13);
  s.programFolder = "/opt/vistram";
  return s;
}

VisualHaspData Hsp() {
  VisualHaspData v;
  v.queryLine = "MVLSPADKTNVKAAWGKVGAHAGEYGAEALERMFLSFPTTKTYFPHFDLSHGSAQVKGHGKKVADALTNAVAHVDDMPNALSALSDLHAHKL";
  v.subjectLine = "MVHLTPEEKSAVTALWGKVNVDEVGGEALGRLLVVYPWTQRFFESFGDLSTPDAVMGNPKVKAHGKKVLGAFSDGLAHLDNLKGTFA--LS";
  v.alignedLength = static_cast<int>(v.queryLine.size());
  v.queryStart = 1;
  v.subjectStart = 12;
  const std::size_t n = v.queryLine.size();
  v.queryTextColours.assign(n, 0);
  v.queryBackColours.assign(n, 1);
  v.subjectTextColours.assign(n, 4);
  v.subjectBackColours.assign(n, 14);
  return v;
}

int DarkPixels(const QImage& img) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += qGray(img.pixel(x, y)) < 100;
  return n;
}

}  // namespace

class HcaViewerTest : public QObject {
  Q_OBJECT

  RecordingPlatform platform_;

 private slots:
  void init() {
    platform_.Clear();
    SetCurrentPlatform(&platform_);
  }
  void cleanup() { SetCurrentPlatform(nullptr); }

  void hcaViewerShowsTheHspAndScrollsBothPlots() {
    std::unique_ptr<HcaViewer> viewer(HcaViewer::Create(Settings(), nullptr));
    QVERIFY(viewer);
    viewer->resize(500, viewer->sizeHint().height());
    viewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(viewer.get()));
    QVERIFY(!viewer->HeaderBand()->isVisible());

    viewer->ShowHsp(Hsp(), "QUERY_NAME", "HBB_HUMAN");
    QCOMPARE(viewer->PlotCount(), 2);
    QCOMPARE(viewer->ActiveIndex(), 1);
    const InfoSeq* q = viewer->Plot(0);
    const InfoSeq* s = viewer->Plot(1);
    QVERIFY(q && s);
    QCOMPARE(q->seqName, std::string("QUERY_NAME"));
    QCOMPARE(s->seqName, std::string("HBB_HUMAN"));
    QCOMPARE(s->aa[0].seqNumber, 12);  // HSP lines are numbered from their start
    QCOMPARE(s->aa[88].seqNumber, -1);  // a gap
    QCOMPARE(s->aa[0].backColour, HcaMakeRgb(192, 192, 192));
    QVERIFY(s->scrollable == 1);

    QScrollBar* bar = viewer->Frame()->HBar();
    QVERIFY(bar->isEnabled());
    QCOMPARE(bar->minimum(), -s->visibleResidues);
    QCOMPARE(bar->maximum(), s->count);
    viewer->HcaFrameProc_MyOnHScroll(HcaWindow::HScroll::LineRight);
    QCOMPARE(viewer->Plot(0)->scrollPos, 10);
    QCOMPARE(viewer->Plot(1)->scrollPos, 10);
    QCOMPARE(bar->value(), 10);
    viewer->HcaFrameProc_MyOnHScroll(HcaWindow::HScroll::PageLeft);
    QCOMPARE(viewer->Plot(1)->scrollPos, 10 - viewer->PageStep());
    // Clamped at the left end (one residue short of the bar's minimum), and at the right end.
    viewer->HcaFrameProc_MyOnHScroll(HcaWindow::HScroll::Thumb, -100000);
    QCOMPARE(viewer->Plot(0)->scrollPos, -s->visibleResidues + 1);
    bar->setValue(bar->maximum());  // the bar itself drives the plots
    QCOMPARE(viewer->Plot(0)->scrollPos, s->count);
    // Clicks do nothing in the HCA Viewer.
    QTest::mouseClick(viewer->PlotWidget(0), Qt::LeftButton);
    QCOMPARE(viewer->ActiveIndex(), 1);

    // A new HSP replaces the plots, scrolled to the start.
    viewer->ShowHsp(Hsp(), "Q2", "H2");
    QCOMPARE(viewer->Plot(0)->scrollPos, 0);
    QCOMPARE(viewer->Plot(0)->seqName, std::string("Q2"));
    // The plot paints letters, cells and contours.
    const QImage shot = viewer->PlotWidget(0)->grab().toImage();
    QVERIFY(DarkPixels(shot) > 200);

    viewer->Empty();
    QVERIFY(!viewer->Plot(0) && !viewer->Plot(1));
    QVERIFY(!bar->isEnabled());
    QSignalSpy closed(viewer.get(), &HcaWindow::closed);
    viewer.reset();
    QCOMPARE(closed.count(), 1);
  }

  void fullViewerLoadsFilesAndScrollsTheActivePlot() {
    QPointer<FullHcaViewer> viewer = FullHcaViewer::Create(Settings());
    QVERIFY(viewer);
    QCOMPARE(viewer->windowTitle(), QString("HCA-Scope II"));
    viewer->resize(700, viewer->height());
    viewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(viewer.data()));

    // "Load DB seq." waits for a query.
    QVERIFY(!viewer->DbLoadEnabled());
    QVERIFY(!viewer->LoadSequenceFile(kEftu, 1));
    QCOMPARE(viewer->PlotCount(), 0);

    QVERIFY(viewer->LoadSequenceFile(kGlobins, 0));
    QCOMPARE(viewer->PlotCount(), 1);
    QCOMPARE(viewer->Plot(0)->seqName, std::string("HBB_HUMAN"));
    QCOMPARE(viewer->Plot(0)->aa[0].seqNumber, 1);
    QVERIFY(viewer->DbLoadEnabled());

    // The DB sequence through the menu command and the file dialog.
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, kEftu, "bioruby_EFTU_BACSU.fasta"});
    viewer->HCAMainWndProc_OnCommand(kCmdHcaLoadDbFile);
    QCOMPARE(viewer->PlotCount(), 2);
    QCOMPARE(viewer->Plot(1)->seqName, std::string("sp|P33166|EFTU_BACSU"));
    QCOMPARE(viewer->ActiveIndex(), 1);
    QCOMPARE(platform_.FileRequests().back().initialFolder, std::string("/opt/vistram"));

    // Only the active plot moves; a click makes the other one active.
    viewer->HcaFrameProc_MyOnHScroll(HcaWindow::HScroll::LineRight);
    QCOMPARE(viewer->Plot(1)->scrollPos, 10);
    QCOMPARE(viewer->Plot(0)->scrollPos, 0);
    QTest::mouseClick(viewer->PlotWidget(0), Qt::LeftButton);
    QCOMPARE(viewer->ActiveIndex(), 0);
    QCOMPARE(viewer->Frame()->HBar()->value(), 0);
    viewer->HcaFrameProc_MyOnHScroll(HcaWindow::HScroll::PageRight);
    QVERIFY(viewer->PageStep() > 10);
    QCOMPARE(viewer->Plot(0)->scrollPos, std::min(viewer->PageStep(), viewer->Plot(0)->count));
    QCOMPARE(viewer->Plot(1)->scrollPos, 10);

    // The header band names both sequences, the active one in blue.
    const QImage band = viewer->HeaderBand()->grab().toImage();
    bool blue = false;
    for (int y = 0; y < band.height(); ++y)
      for (int x = 0; x < band.width(); ++x) blue = blue || band.pixel(x, y) == qRgb(0, 0, 255);
    QVERIFY(blue);

    // A file without a sequence: the message, and the plots stay.
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.fasta");
    {
      QFile f(bad);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(">short\nMKV\n");
    }
    QVERIFY(!viewer->LoadSequenceFile(bad.toStdString(), 0));
    QCOMPARE(platform_.Messages().back().text, std::string("Unable to retrieve the sequence."));
    QCOMPARE(platform_.Messages().back().caption, std::string("Vistram"));
    QCOMPARE(viewer->Plot(0)->seqName, std::string("HBB_HUMAN"));
    // A cancelled dialog says nothing.
    const auto before = platform_.Messages().size();
    viewer->HCAMainWndProc_OnCommand(kCmdHcaLoadQueryFile);
    QCOMPARE(platform_.Messages().size(), before);

    // Reloading slot 0 keeps two plots.
    QVERIFY(viewer->LoadSequenceFile(kEftu, 0));
    QCOMPARE(viewer->PlotCount(), 2);

    // Plot file and picture through the commands.
    const QString hca = dir.filePath("q.hca");
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, hca.toStdString(), "q.hca"});
    viewer->HCAMainWndProc_OnCommand(kCmdHcaSaveQueryPlot);
    QVERIFY(QFile::exists(hca));
    QCOMPARE(QFile(hca).size(), qint64(29 + 4 + 872 + 4 + viewer->Plot(0)->length +
                                       16 * viewer->Plot(0)->ClusterCount() + 4 * viewer->Plot(0)->ZigzagCount() +
                                       153 * viewer->Plot(0)->length));
    const QString png = dir.filePath("both.png");
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, png.toStdString(), "both.png"});
    viewer->HCAMainWndProc_OnCommand(kCmdHcaSaveImage);
    QImage picture(png);
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.size(), HcaPictureSize({viewer->Plot(0), viewer->Plot(1)}, viewer->Resources()));

    viewer->close();  // deletes itself
    QTRY_VERIFY(viewer.isNull());
  }

  void settingsComeFromTheConfiguration() {
    QTemporaryDir dir;
    const QString cfg = dir.filePath("vistram.cfg");
    {
      QFile f(cfg);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write("[Couleurs_HCA]\nV=4\n");
    }
    DataProgram dp;
    dp.configPath = cfg.toStdString();
    dp.programFolder = dir.path().toStdString();
    dp.prefs.hca.letterFontSize = 12;
    const HcaViewerSettings s = MakeHcaViewerSettings(dp, QFont("Courier New"));
    QCOMPARE(s.residuePoints, 12);
    QCOMPARE(s.programFolder, dir.path().toStdString());
    // The Full HCA Viewer colours a loaded sequence with the configured HCA code.
    QPointer<FullHcaViewer> viewer = FullHcaViewer::Create(s);
    QVERIFY(viewer);
    QVERIFY(viewer->LoadSequenceFile(kGlobins, 0));
    QCOMPARE(viewer->Plot(0)->aa[0].textColour, HcaMakeRgb(0, 0, 255));  // HBB_HUMAN starts with V
    QCOMPARE(viewer->Plot(0)->aa[1].textColour, HcaMakeRgb(0, 0, 0));
    delete viewer.data();
  }

  void batchCommandWritesEachFormat() {
    QTemporaryDir dir;
    SetHcaBatchWriter(WriteHcaBatchOutput);
    for (const char* name : {"out.hca", "out.svg", "out.png"}) {
      const std::string out = dir.filePath(name).toStdString();
      std::vector<std::string> args = {kGlobins, "-o", out};
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      QCOMPARE(RunHcaBatch(static_cast<int>(argv.size()), argv.data()), 0);
      QVERIFY2(QFile::exists(QString::fromStdString(out)), name);
    }
    QFile hca(dir.filePath("out.hca"));
    QVERIFY(hca.open(QIODevice::ReadOnly));
    QVERIFY(hca.read(26) == "Fichier graphique HCAplots");
    QVERIFY(!QImage(dir.filePath("out.png")).isNull());
    // Unknown extension and a file without a sequence.
    std::vector<std::string> args = {kGlobins, "-o", dir.filePath("x.txt").toStdString()};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    QCOMPARE(RunHcaBatch(3, argv.data()), 2);
    args = {dir.filePath("missing.fa").toStdString(), "-o", dir.filePath("m.hca").toStdString()};
    argv.clear();
    for (auto& a : args) argv.push_back(a.data());
    QCOMPARE(RunHcaBatch(3, argv.data()), 1);
    QVERIFY(!QFile::exists(dir.filePath("m.hca")));
    SetHcaBatchWriter(nullptr);
  }
};

QTEST_MAIN(HcaViewerTest)
#include "hca_viewer_test.moc"
