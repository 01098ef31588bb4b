#include <QPushButton>
#include <QScrollBar>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "../view_fixture.h"
#include "gui_test_support.h"
#include "vistram/results/blast_parser.h"
#include "vistram/results/report_kind.h"
#include "vistram/base/colours.h"
#include "vistram/shell/gui/display.h"
#include "vistram/shell/gui/pairwise_view.h"

// Query residue 10 is column 5 (query from 5); subject residue 10 is column
// 9, subject residue 20 would fall on a gap.
static const char* kQuery = "VPKDVAVPKDVAVPKDVAVPKDVAVPKD";
static const char* kMiddle = "V+ D V+ KD AVP+  A+ P  VA+PK";
static const char* kSubject = "VIRDAVLPKDVA-PRDVAVPKEVAVPKD";

class PairwiseViewTest : public QObject {
  Q_OBJECT

 private:
  DisplayResources display_;
  int cw_ = 0;
  int lh_ = 0;
  std::string cfg_;

  static HspReader Reader() {
    return [](DataProgram&, int hit, int alignment) {
      auto v = MakeView(kQuery, kMiddle, kSubject, 5, 1);
      v->hitNumber = hit;
      v->alignmentNumber = alignment;
      return v;
    };
  }
  std::unique_ptr<PairwiseView> MakeWidget(DataProgram& dp, int width) {
    auto view = std::make_unique<PairwiseView>();
    view->SetViewerFont(display_.viewerFont, cw_, lh_);
    view->resize(width, 8 * lh_);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get())) return nullptr;
    view->ShowHsp(dp, 1, 1, Reader());
    return view;
  }
  QImage Grab(PairwiseView& view) { return view.Canvas()->grab().toImage(); }
  // The cell of column k in line `row` (0 query, 1 match, 2 subject) at scroll position -2.
  QRect Cell(int k, int row, int scroll = -2) const {
    const int x = cw_ * (k - scroll + 1);
    return QRect(x - cw_ / 2, (3 * lh_) / 2 + row * lh_, cw_, lh_);
  }
  QColor Background(const QImage& image, int k, int row) const {
    const QRect c = Cell(k, row);
    return image.pixelColor(c.left(), c.top());
  }

 private slots:
  void initTestCase() {
    GuiPreferences prefs;
    QVERIFY(CreateFonts(display_, prefs, 96, nullptr));
    display_.viewerFont = Crisp(display_.viewerFont);
    cw_ = display_.viewerCharWidth;
    lh_ = display_.viewerLineHeight;
    cfg_ = (std::filesystem::temp_directory_path() / ("vistram_pairwise_" + std::to_string(QCoreApplication::applicationPid()) + ".cfg")).string();
    std::ofstream(cfg_) << "[Couleurs_HCA]\nV=9\nP=1\nK=4\nD=2\n[Couleur_Fond_HCA]\nV=5\nP=2\n"
                           "[Couleurs_SimIden]\nIDENT=2\nSIMIL=4\nAUTRE=0\n[Couleur_Fond_SimIden]\nV=14\n";
  }
  void cleanupTestCase() { std::filesystem::remove(cfg_); }

  void hcaCodeDrawsConfiguredColoursWithTheBackgroundSwitch() {
    DataProgram dp;
    dp.configPath = cfg_;
    auto view = MakeWidget(dp, 60 * cw_);
    QVERIFY(view);
    QVERIFY(dp.viewer);
    QImage image = Grab(*view);
    QCOMPARE(Background(image, 1, 0), QColor(255, 0, 0));   // query P: on red
    QVERIFY(CountColour(image, Cell(1, 0), Qt::white) > 0);  // in white
    QCOMPARE(Background(image, 0, 0), QColor(255, 255, 0));  // query V: dark green on yellow
    QVERIFY(CountColour(image, Cell(0, 0), QColor(0, 128, 0)) > 0);
    QVERIFY(CountColour(image, Cell(3, 0), QColor(255, 0, 0)) > 0);  // D red on white
    QCOMPARE(Background(image, 3, 0), QColor(Qt::white));
    QCOMPARE(Background(image, 0, 1), QColor(Qt::black));    // identity: white on black
    QVERIFY(CountColour(image, Cell(0, 1), Qt::white) > 0);
    QCOMPARE(Background(image, 1, 1), QColor(Qt::white));    // '+': black on white
    QCOMPARE(Background(image, 12, 2), QColor(Qt::white));   // the subject's gap

    dp.useBackground = 0;
    view->Refresh();
    image = Grab(*view);
    QCOMPARE(Background(image, 1, 0), QColor(Qt::white));
    QCOMPARE(Background(image, 0, 0), QColor(Qt::white));
    QVERIFY(CountColour(image, Cell(0, 0), QColor(0, 128, 0)) > 0);
  }

  void identityAndBlackAndWhiteCodes() {
    DataProgram dp;
    dp.configPath = cfg_;
    dp.colourCode = kColourIdentity;
    auto view = MakeWidget(dp, 60 * cw_);
    QVERIFY(view);
    QImage image = Grab(*view);
    // Column 0 identity (red), 1 similarity (blue), 2 blank (black).
    QVERIFY(CountColour(image, Cell(0, 0), QColor(255, 0, 0)) > 0);
    QVERIFY(CountColour(image, Cell(0, 2), QColor(255, 0, 0)) > 0);
    QVERIFY(CountColour(image, Cell(1, 0), QColor(0, 0, 255)) > 0);
    QVERIFY(CountColour(image, Cell(1, 2), QColor(0, 0, 255)) > 0);
    QVERIFY(CountColour(image, Cell(2, 0), Qt::black) > 0);
    QCOMPARE(CountColour(image, Cell(2, 0), QColor(255, 0, 0)), 0);
    QCOMPARE(Background(image, 0, 0), QColor(192, 192, 192));
    QCOMPARE(Background(image, 0, 1), QColor(Qt::white));  // match line black on white

    dp.colourCode = kColourBlackWhite;
    view->Refresh();
    image = Grab(*view);
    for (int k = 0; k < 6; ++k) {
      QCOMPARE(Background(image, k, 0), QColor(Qt::white));
      QCOMPARE(Background(image, k, 2), QColor(Qt::white));
      QCOMPARE(CountColour(image, Cell(k, 0), QColor(255, 0, 0)), 0);
    }
    QCOMPARE(Background(image, 0, 1), QColor(Qt::black));
  }

  void numbersAndTicksMarkEveryTenthResidue() {
    DataProgram dp;
    dp.configPath = cfg_;
    auto view = MakeWidget(dp, 60 * cw_);
    QVERIFY(view);
    const QImage image = Grab(*view);
    const int y0 = (3 * lh_) / 2;
    // Query 10 stands at column 5: its number above and its tick.
    const int x5 = cw_ * 8;
    QVERIFY(CountColour(image, QRect(x5 - cw_, y0 - lh_, 2 * cw_, lh_ - 3), Qt::black) > 0);
    QCOMPARE(image.pixelColor(x5, y0 - 2), QColor(Qt::black));
    QCOMPARE(CountColour(image, QRect(cw_ * 6 - cw_ / 2, y0 - lh_, cw_, lh_ - 3), Qt::black), 0);  // none at column 3
  }

  void scrollRangeAndLineSteps() {
    DataProgram dp;
    dp.configPath = cfg_;
    // 28 columns in about 10: scrolling from -2 to n - v + 2.
    auto narrow = MakeWidget(dp, 10 * cw_ + 4);
    QVERIFY(narrow);
    const PairwiseScroll s = narrow->Scroll();
    QVERIFY(s.enabled);
    QVERIFY(narrow->HorizontalScrollBar()->isEnabled());
    QCOMPARE(narrow->HorizontalScrollBar()->minimum(), -2);
    QCOMPARE(narrow->HorizontalScrollBar()->maximum(), 28 - s.visibleColumns + 2);
    QCOMPARE(narrow->ScrollPosition(), -2);
    narrow->HorizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(narrow->ScrollPosition(), -2 + s.visibleColumns);
    narrow->HorizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(narrow->ScrollPosition(), -2 + s.visibleColumns - s.visibleColumns / 10);
    QCOMPARE(narrow->HorizontalScrollBar()->value(), narrow->ScrollPosition());

    // Wide enough: no scrolling, the first column three widths in.
    auto wide = MakeWidget(dp, 40 * cw_);
    QVERIFY(wide);
    QVERIFY(!wide->HorizontalScrollBar()->isEnabled());
    const QImage image = Grab(*wide);
    QCOMPARE(Background(image, 0, 0), QColor(255, 255, 0));
    QCOMPARE(image.pixelColor(3 * cw_ - cw_ / 2 - 1, (3 * lh_) / 2), QColor(Qt::white));
  }

  void showsAnAlignmentOfARealReportWithTheShippedColours() {
    // The first HSP of the sample report: query and subject from 1, identical
    // over the first 60 residues.
    DataProgram dp;
    dp.configPath = ShippedConfigPath();
    dp.colourCode = kColourIdentity;
    const std::string report = ShippedConfigPath().substr(0, ShippedConfigPath().rfind('/')) + "/sample.bla";
    QCOMPARE(LitBlastForListBox(nullptr, nullptr, dp, report, kReportBlastText), 1);
    auto view = std::make_unique<PairwiseView>();
    view->SetViewerFont(display_.viewerFont, cw_, lh_);
    view->resize(70 * cw_, 8 * lh_);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    QVERIFY(view->ShowHsp(dp, 1, 1, [](DataProgram& d, int h, int a) { return LitUnAlignHsp(nullptr, h, a, d); }));
    QVERIFY(view->HorizontalScrollBar()->isEnabled());
    const QImage image = Grab(*view);
    QStringList numbers;
    for (const auto& t : view->LastDrawing().texts) {
      if (t.kind == PairwiseText::Number && t.column < 30) numbers << QString("%1@%2").arg(QString::fromStdString(t.text)).arg(t.column);
    }
    QCOMPARE(numbers, (QStringList{"10@9", "10@9", "20@19", "20@19", "30@29", "30@29"}));
    QVERIFY(CountColour(image, Cell(0, 0), QColor(255, 0, 0)) > 0);  // "M", identical: IDENT red
    QVERIFY(CountColour(image, Cell(0, 2), QColor(255, 0, 0)) > 0);
    FreeHspData(dp);
  }

  void readerWithoutRecordLeavesTheViewEmptyAndTheButtonsOff() {
    DataProgram dp;
    dp.configPath = cfg_;
    FillWorkingSet(dp, 2, 3);
    auto view = MakeWidget(dp, 20 * cw_);
    QVERIFY(view);
    QPushButton previous, next;
    dp.viewer->hitNumber = 1;
    dp.viewer->alignmentNumber = 2;
    UpdateHspButtonWidgets(dp, &previous, &next);
    QVERIFY(previous.isEnabled());
    QVERIFY(next.isEnabled());
    QVERIFY(!view->ShowHsp(dp, 2, 1, [](DataProgram&, int, int) { return std::unique_ptr<VisualHaspData>(); }));
    QVERIFY(!dp.viewer);
    QVERIFY(!view->HorizontalScrollBar()->isEnabled());
    UpdateHspButtonWidgets(dp, &previous, &next);
    QVERIFY(!previous.isEnabled());
    QVERIFY(!next.isEnabled());
    const QImage image = Grab(*view);
    QCOMPARE(CountColour(image, image.rect(), Qt::white), image.width() * image.height());
  }
};

QTEST_MAIN(PairwiseViewTest)
#include "pairwise_view_test.moc"
