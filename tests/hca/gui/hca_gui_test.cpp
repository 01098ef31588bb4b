// HCA plots drawn on QImage and saved as pictures; the HCA Viewer (an HSP,
// plots scroll together), the Full HCA Viewer and the batch command.
#include <QPainter>
#include <QScrollBar>
#include <QtTest>

#include "support/file_size_limit.h"
#include "support/temp_folder.h"
#include "vistram/hca/gui/hca_batch_writer.h"
#include "vistram/hca/gui/hca_draw.h"
#include "vistram/hca/gui/hca_viewer.h"
#include "vistram/hca/hca_plot_file.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/records.h"
#include "vistram/shell/batch_hca.h"

namespace {

const std::string kGlobins = std::string(VISTRAM_TEST_DATA_DIR) + "/hca/emboss_globins.fasta";
const std::string kEftu = std::string(VISTRAM_TEST_DATA_DIR) + "/hca/bioruby_EFTU_BACSU.fasta";

bool Dark(const QImage& img, int x, int y) { return img.rect().contains(x, y) && qGray(img.pixel(x, y)) < 100; }

bool DarkNear(const QImage& img, int x, int y, int r = 1) {
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx)
      if (Dark(img, x + dx, y + dy)) return true;
  return false;
}

int CountPixels(const QImage& img, const std::function<bool(QRgb)>& which) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += which(img.pixel(x, y));
  return n;
}
bool IsDark(QRgb p) { return qGray(p) < 100; }
HcaViewerSettings Settings() { return {8, QFont(), "", "/opt/vistram"}; }

VisualHaspData Hsp() {
  return {.alignedLength = 93,
          .queryLine = "MVLSPADKTNVKAAWGKVGAHAGEYGAEALERMFLSFPTTKTYFPHFDLSHGSAQVKGHGKKVADALTNAVAHVDDMPNALSALSDLHAHKL",
          .subjectLine = "MVHLTPEEKSAVTALWGKVNVDEVGGEALGRLLVVYPWTQRFFESFGDLSTPDAVMGNPKVKAHGKKVLGAFSDGLAHLDNLKGTFA--LS",
          .queryStart = 1, .subjectStart = 12, .subjectBackColours = std::vector<int>(93, 14)};
}

}  // namespace

class HcaGuiTest : public QObject {
  Q_OBJECT

  RecordingPlatform platform_;
  HcaDeviceResources res_;
  int down_ = 0;  // from the first net to the second

  std::unique_ptr<InfoSeq> Build(const std::string& s, std::vector<int> back = {}) {
    if (back.empty()) back.assign(s.size(), 1);
    return BuildHcaSequence(s, {}, back, 1, "test", "", res_.geometry);
  }
  QImage Render(const InfoSeq& seq) {
    QImage img(RoundDouble((seq.length + 3) * res_.geometry.dx) + 8 * res_.geometry.W, res_.stripHeight,
               QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    DessineDiagramme2(p, seq, 0, 0, seq.lastIndex, 0, 0, img.width(), img.height(), res_, kHcaScreen);
    return img;
  }
  HcaDrawList Layout(const InfoSeq& seq) { return PrepareHcaDrawing(seq, 0, seq.lastIndex, 0, 0, 0, res_.geometry); }

 private slots:
  void initTestCase() {
    auto res = MakeHcaDeviceResources(96, 24, kHcaScreen);  // a large font: every shape spans several pixels
    QVERIFY(res.has_value());
    res_ = *res;
    down_ = RoundDouble(HcaNetOffset(res_.geometry));
    SetCurrentPlatform(&platform_);
  }
  void cleanupTestCase() { SetCurrentPlatform(nullptr); }
  void init() { platform_.Clear(); }

  void contoursOnBothNets() {
    auto seq = Build("KKKKVKKKK");
    seq->showLetters = 0;
    const QImage img = Render(*seq);
    const HcaDrawList list = Layout(*seq);
    const HcaResidueFigure& v = list.residues[4];
    QCOMPARE(v.contourBits, std::uint8_t(0x3F));
    auto mid = [&](std::uint8_t bit) {
      const auto [a, b] = HcaContourEdge(bit);
      return QPoint((v.hexagon[a].x + v.hexagon[b].x) / 2, (v.hexagon[a].y + v.hexagon[b].y) / 2);
    };
    for (std::uint8_t bit : kHcaContourBits) {
      QVERIFY2(DarkNear(img, mid(bit).x(), mid(bit).y()), qPrintable(QString("edge %1 first net").arg(bit)));
      QVERIFY2(DarkNear(img, mid(bit).x(), mid(bit).y() + down_), qPrintable(QString("edge %1 second").arg(bit)));
    }
    seq->showContours = 0;  // none with contours off
    QVERIFY(!DarkNear(Render(*seq), mid(kHcaBitP3P4).x(), mid(kHcaBitP3P4).y()));
  }

  void symbolsFillsAndZigzags() {
    auto seq = Build("AAPAGASATAA");
    seq->showContours = 0;
    seq->showColours = 0;
    const QImage img = Render(*seq);
    const HcaDrawList list = Layout(*seq);
    for (int i : {2, 4, 6}) {  // P star, G diamond, S square with dot: filled at the centre, on both nets
      const HcaResidueFigure& f = list.residues[static_cast<std::size_t>(i)];
      QVERIFY2(Dark(img, f.X, f.Yc) && Dark(img, f.X, f.Yc + down_), qPrintable(QString(f.residue)));
    }
    const HcaResidueFigure& t = list.residues[8];  // T: an empty square
    const HcaSymbolShape sq = HcaLayoutSymbol(HcaSymbol::Square, t.X, t.Yc, res_.geometry.W, res_.geometry.H);
    QVERIFY(Dark(img, t.X - sq.squareHalf, t.Yc) && !Dark(img, t.X, t.Yc));
    // A white letter (proline's, as shipped) on no background is drawn black.
    seq->aa[2].textColour = kHcaWhite;
    QCOMPARE(Layout(*seq).residues[2].letterColour, kHcaBlack);

    // Residue 2 has a red background (palette 2); V at 4 is hydrophobic.
    auto fills = Build("KKKKVKK", {1, 1, 2, 1, 1, 1, 1});
    fills->showLetters = 0;
    fills->showContours = 0;
    const HcaDrawList fl = Layout(*fills);
    const auto &red = fl.residues[2], &v = fl.residues[4];
    QImage f = Render(*fills);
    QCOMPARE(QColor(f.pixel(red.X, red.Yc2)), QColor(255, 0, 0));
    QCOMPARE(QColor(f.pixel(v.X, v.Yc)), QColor(Qt::white));
    fills->colourMode = 1;  // black and white: grey hydrophobic cells only
    f = Render(*fills);
    QCOMPARE(QColor(f.pixel(red.X, red.Yc)), QColor(Qt::white));
    QCOMPARE(QColor(f.pixel(v.X, v.Yc2)), QColor(192, 192, 192));
    QCOMPARE(Layout(*Build("AAAAAVAVAAA")).zigzagStrokes.size(), std::size_t(4));  // a zigzag, on both nets
  }

  void scale() {
    std::vector<int> numbered;
    for (const auto& f : Layout(*Build(std::string(24, 'K') + "-")).residues)
      if (f.scale != HcaResidueFigure::Scale::None) numbered.push_back(f.index);
    QCOMPARE(numbered, (std::vector<int>{0, 9, 19}));  // 1, 10, 20; no number on the final gap
    // The last letter: its number lower down, left-aligned, and no tick.
    const HcaResidueFigure last = Layout(*Build(std::string(25, 'K'))).residues[24];
    QVERIFY(last.scale == HcaResidueFigure::Scale::LastNumber && last.number == "25");
    QVERIFY(!last.tick && last.numberAt.y == 3 * res_.geometry.W);

  }

  void hcaViewerShowsTheHspAndScrollsBothPlots() {
    std::unique_ptr<HcaViewer> viewer(HcaViewer::Create(Settings(), nullptr));
    QVERIFY(viewer);
    viewer->resize(500, viewer->sizeHint().height());
    viewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(viewer.get()));
    viewer->ShowHsp(Hsp(), "QUERY_NAME", "HBB_HUMAN");
    QCOMPARE(viewer->ActiveIndex(), 1);
    const InfoSeq* s = viewer->Plot(1);
    QCOMPARE(s->seqName, std::string("HBB_HUMAN"));
    QCOMPARE(s->aa[0].seqNumber, 12);  // HSP lines are numbered from their start
    QCOMPARE(s->aa[0].backColour, HcaMakeRgb(192, 192, 192));

    QScrollBar* bar = viewer->Frame()->HBar();
    QCOMPARE(bar->minimum(), -s->visibleResidues);
    QCOMPARE(bar->maximum(), s->count);
    viewer->HcaFrameProc_MyOnHScroll(HcaWindow::HScroll::LineRight);
    QCOMPARE(viewer->Plot(0)->scrollPos, 10);
    QCOMPARE(viewer->Plot(1)->scrollPos, 10);
    // Clamped one residue short of the bar's minimum; the bar itself drives the plots.
    viewer->HcaFrameProc_MyOnHScroll(HcaWindow::HScroll::Thumb, -100000);
    QCOMPARE(viewer->Plot(0)->scrollPos, -s->visibleResidues + 1);
    bar->setValue(bar->maximum());
    QCOMPARE(viewer->Plot(0)->scrollPos, s->count);

    // A new HSP replaces the plots, scrolled to the start, and paints.
    viewer->ShowHsp(Hsp(), "Q2", "H2");
    QCOMPARE(viewer->Plot(0)->scrollPos, 0);
    QVERIFY(CountPixels(viewer->PlotWidget(0)->grab().toImage(), IsDark) > 200);
  }

  void fullViewerLoadsFilesAndScrollsTheActivePlot() {
    QPointer<FullHcaViewer> viewer = FullHcaViewer::Create(Settings());
    QVERIFY(viewer);
    viewer->resize(700, viewer->height());
    viewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(viewer.data()));
    // "Load DB seq." waits for a query.
    QVERIFY(!viewer->DbLoadEnabled());
    QVERIFY(!viewer->LoadSequenceFile(kEftu, 1));
    QCOMPARE(viewer->PlotCount(), 0);
    QVERIFY(viewer->LoadSequenceFile(kGlobins, 0));
    QVERIFY(viewer->DbLoadEnabled());
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, kEftu, "bioruby_EFTU_BACSU.fasta"});
    viewer->HCAMainWndProc_OnCommand(kCmdHcaLoadDbFile);
    QCOMPARE(viewer->Plot(1)->seqName, std::string("sp|P33166|EFTU_BACSU"));
    QCOMPARE(viewer->ActiveIndex(), 1);

    // Only the active plot moves; a click makes the other one active.
    viewer->HcaFrameProc_MyOnHScroll(HcaWindow::HScroll::LineRight);
    QCOMPARE(viewer->Plot(1)->scrollPos, 10);
    QCOMPARE(viewer->Plot(0)->scrollPos, 0);
    QTest::mouseClick(viewer->PlotWidget(0), Qt::LeftButton);
    QCOMPARE(viewer->ActiveIndex(), 0);
    QCOMPARE(viewer->Frame()->HBar()->value(), 0);
    viewer->HcaFrameProc_MyOnHScroll(HcaWindow::HScroll::PageRight);
    QCOMPARE(std::pair(viewer->Plot(0)->scrollPos, viewer->Plot(1)->scrollPos), std::pair(std::min(viewer->PageStep(), viewer->Plot(0)->count), 10));
    // The header band names both sequences, the active one in blue.
    QVERIFY(CountPixels(viewer->HeaderBand()->grab().toImage(), [](QRgb p) { return p == qRgb(0, 0, 255); }) > 0);

    // A file without a sequence: the message, and the plots stay; the plot file (of the query) and picture.
    QTemporaryDir dir;
    QVERIFY(!viewer->LoadSequenceFile(dir.filePath("missing.fa").toStdString(), 0));
    QCOMPARE(platform_.Messages().back().text, std::string("Unable to retrieve the sequence."));
    QCOMPARE(viewer->Plot(0)->seqName, std::string("HBB_HUMAN"));
    const QString hca = dir.filePath("q.hca"), png = dir.filePath("both.png");
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, hca.toStdString(), "q.hca"});
    viewer->HCAMainWndProc_OnCommand(kCmdHcaSaveQueryPlot);
    QCOMPARE(QFile(hca).size(), qint64(HcaPlotFileBytes(*viewer->Plot(0)).size()));
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, png.toStdString(), "both.png"});
    viewer->HCAMainWndProc_OnCommand(kCmdHcaSaveImage);
    QCOMPARE(QImage(png).size(), HcaPictureSize({viewer->Plot(0), viewer->Plot(1)}, viewer->Resources()));
    viewer->close();  // deletes itself
    QTRY_VERIFY(viewer.isNull());
  }

  void batchCommandWritesEachFormatSafely() {
    QTemporaryDir dir;
    SetHcaBatchWriter(WriteHcaBatchOutput);
    auto run = [&](std::string input, const QString& output) {
      std::vector<std::string> args = {std::move(input), "-o", dir.filePath(output).toStdString()};
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      return RunHcaBatch(static_cast<int>(argv.size()), argv.data());
    };
    for (const char* name : {"out.hca", "out.svg", "out.png"}) QCOMPARE(run(kGlobins, name), 0);
    QFile hca(dir.filePath("out.hca")), svg(dir.filePath("out.svg"));
    QVERIFY(hca.open(QIODevice::ReadOnly) && hca.read(26) == "Fichier graphique HCAplots");
    QVERIFY(svg.open(QIODevice::ReadOnly) && svg.readAll().trimmed().endsWith("</svg>"));
    QVERIFY(CountPixels(QImage(dir.filePath("out.png")), IsDark) > 500);
    QCOMPARE(run(kGlobins, "x.txt"), 2);  // unknown extension
    QCOMPARE(run(dir.filePath("missing.fa").toStdString(), "m.hca"), 1);
    // A disk that fills up: the export fails and the old picture stays whole.
    for (const QString name : {"out.svg", "out.png"}) {
      const QByteArray before = test_support::ReadWholeFile(dir.filePath(name).toStdString()).c_str();
      {
        test_support::FileSizeLimit limit(512);
        QVERIFY(limit.Active());
        QCOMPARE(run(kGlobins, name), 1);
      }
      QCOMPARE(test_support::ReadWholeFile(dir.filePath(name).toStdString()).c_str(), before);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 3);
    SetHcaBatchWriter(nullptr);
  }
};

QTEST_MAIN(HcaGuiTest)
#include "hca_gui_test.moc"
